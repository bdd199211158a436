#include "common/view2d/ImageView2DChangeImageCommand.h"

#include "common/mvc/ImageView2DModel.h"
#include "common/view2d/ImageView2DGeometryModel.h"

CChangeImageCommand::CChangeImageCommand(CImageListModel* pImageList, CGeometryModel* pGeometryModel,
                                         ImagePtr pNewImage)
    : m_pImageList(pImageList), m_pGeometryModel(pGeometryModel), m_pNewImage(std::move(pNewImage)),
      m_pPrevious(std::make_shared<Optra::Algorithms::CImage>())
{
    if (!pImageList)
        return;
    if (const ImagePtr pCurrent = pImageList->GetCurrentImage())
        m_pPrevious->CopyFrom(*pCurrent);
}

size_t CChangeImageCommand::GetHeldBytes() const
{
    return (m_pNewImage ? m_pNewImage->GetDataSize() : 0) + m_pPrevious->GetDataSize();
}

void CChangeImageCommand::Show(const ImagePtr& pImage)
{
    if (!m_pImageList || !pImage || pImage->IsEmpty())
        return;
    m_pImageList->SetCurrentImage(pImage);
    if (m_pGeometryModel)
        m_pGeometryModel->ClearObject();
}

void CChangeImageCommand::exec()
{
    Show(m_pNewImage);
}

void CChangeImageCommand::undo()
{
    Show(m_pPrevious);
}
