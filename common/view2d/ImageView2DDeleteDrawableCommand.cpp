#include "common/view2d/ImageView2DDeleteDrawableCommand.h"

#include "common/view2d/ImageView2DGeometryModel.h"

CDeleteDrawableCommand::CDeleteDrawableCommand(CGeometryModel* pModel,
                                               std::shared_ptr<CDrawableObject> pObject)
    : m_pModel(pModel), m_pObject(std::move(pObject))
{
}

void CDeleteDrawableCommand::exec()
{
    if (m_pModel)
        m_pModel->DeleteObject(m_pObject);
}

void CDeleteDrawableCommand::undo()
{
    if (m_pModel)
        m_pModel->AddObjectSelected(m_pObject);
}
