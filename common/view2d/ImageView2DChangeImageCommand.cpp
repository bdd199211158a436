#include "common/view2d/ImageView2DChangeImageCommand.h"

#include "common/mvc/ImageView2DModel.h"
#include "common/view2d/ImageView2DGeometryModel.h"

CChangeImageCommand::CChangeImageCommand(CImageListModel* pImageList, CGeometryModel* pGeometryModel,
                                         ImagePtr pNewImage)
    : m_pImageList(pImageList), m_pGeometryModel(pGeometryModel), m_pNewImage(std::move(pNewImage)),
      m_pPrevious(pImageList ? pImageList->GetCurrentImage() : nullptr)
{
}

size_t CChangeImageCommand::GetHeldBytes() const
{
    // The image left behind is what the history adds; the one shown is
    // held by the list as well, but either may be the only holder later.
    return (m_pNewImage ? m_pNewImage->GetDataSize() : 0) + (m_pPrevious ? m_pPrevious->GetDataSize() : 0);
}

void CChangeImageCommand::Show(const ImagePtr& pImage, Drawables& vctLeft, const Drawables& vctBack,
                               bool bDrawablesFirst)
{
    if (!m_pImageList || !pImage || pImage->IsEmpty())
        return;
    vctLeft = m_pGeometryModel ? m_pGeometryModel->GetObjects() : Drawables();
    if (m_pGeometryModel)
        m_pGeometryModel->ClearObject();
    if (bDrawablesFirst)
        AddBack(vctBack);
    m_pImageList->SetCurrentImage(pImage);
    if (!bDrawablesFirst)
        AddBack(vctBack);
}

void CChangeImageCommand::AddBack(const Drawables& vctBack)
{
    if (!m_pGeometryModel)
        return;
    // Oldest first, so they keep their order (the model puts the newest in front).
    for (auto it = vctBack.rbegin(); it != vctBack.rend(); ++it)
    {
        if (m_pGeometryModel->AddObject(*it))
            (*it)->SetSelected(false);
    }
}

void CChangeImageCommand::exec()
{
    Show(m_pNewImage, m_vctPreviousDrawables, m_vctNewDrawables, false);
}

void CChangeImageCommand::undo()
{
    Show(m_pPrevious, m_vctNewDrawables, m_vctPreviousDrawables, true);
}
