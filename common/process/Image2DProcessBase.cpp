#include "common/process/Image2DProcessBase.h"

#include "common/view2d/ImageView2DDrawableGeometry.h"

namespace
{
const CDrawableGeometry* AsRegion(const CImage2DProcessBase::ObjectPtr& pObject)
{
    if (!pObject || pObject->GetType() != EImageView2DDrawbleObjectType_Geometry)
        return nullptr;
    return dynamic_cast<const CDrawableGeometry*>(pObject.get());
}
} // namespace

std::vector<SImage2DProcessRoi> CImage2DProcessBase::CollectRois(const std::vector<ObjectPtr>& vctObjects)
{
    std::vector<SImage2DProcessRoi> vctRois;
    for (const ObjectPtr& pObject : vctObjects)
    {
        if (AsRegion(pObject))
            vctRois.push_back({pObject->GetUID(), pObject->GetName()});
    }
    return vctRois;
}

CImage2DProcessBase::ShapePtr CImage2DProcessBase::FindRegion(const std::vector<ObjectPtr>& vctObjects,
                                                              unsigned int uid)
{
    for (const ObjectPtr& pObject : vctObjects)
    {
        const CDrawableGeometry* pRegion = AsRegion(pObject);
        if (pRegion && pObject->GetUID() == uid)
            return pRegion->GetData();
    }
    return nullptr;
}

CImage2DProcessBase::ImagePtr CImage2DProcessBase::CopyImage(const Optra::Algorithms::CImage& source)
{
    auto pCopy = std::make_shared<Optra::Algorithms::CImage>();
    return pCopy->CopyFrom(source) == 0 ? pCopy : nullptr;
}
