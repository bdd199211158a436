#include "common/view2d/ImageView2DAddDrawableCommand.h"

#include "common/view2d/ImageView2DGeometryModel.h"

CAddDrawableCommand::CAddDrawableCommand(CGeometryModel* pModel, std::shared_ptr<CDrawableObject> pObject)
    : m_pModel(pModel), m_pObject(std::move(pObject))
{
}

void CAddDrawableCommand::exec()
{
    if (m_pModel)
        m_pModel->AddObjectSelected(m_pObject);
}

void CAddDrawableCommand::undo()
{
    if (m_pModel)
        m_pModel->DeleteObject(m_pObject);
}
