#include "common/process/Image2DProcessBase.h"

#include "common/view2d/ImageView2DDrawableGeometry.h"

#include "optra/OptraResult.h"

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
    for (auto it = vctObjects.rbegin(); it != vctObjects.rend(); ++it)
    {
        if (AsRegion(*it))
            vctRois.push_back({(*it)->GetUID(), (*it)->GetName()});
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

QString CImage2DProcessBase::DescribeResult(int nResult)
{
    switch (nResult)
    {
    case Optra::EOptraResult_EmptyRegion:
        return QStringLiteral("The ROI lies outside the image.");
    case Optra::EOptraResult_EmptyImage:
        return QStringLiteral("The image is empty.");
    case Optra::EOptraResult_OutOfMemory:
        return QStringLiteral("There is not enough memory.");
    case Optra::EOptraResult_InvalidArgument:
        return QStringLiteral("A parameter is out of range.");
    case Optra::EOptraResult_DataMissing:
        return QStringLiteral("The language data is missing.");
    case Optra::EOptraResult_NotReady:
        return QStringLiteral("No language data is loaded.");
    case Optra::EOptraResult_EngineFailed:
        return QStringLiteral("The engine reported an error.");
    default:
        return QStringLiteral("Error %1.").arg(nResult);
    }
}
