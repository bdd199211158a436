#include "common/view2d/ImageView2DMoveDrawableCommand.h"

#include "common/view2d/ImageView2DGeometryModel.h"

CMoveDrawableCommand::CMoveDrawableCommand(CGeometryModel* pModel, std::shared_ptr<CDrawableObject> pObject,
                                           const QPointF& ptStart, const QPointF& ptEnd,
                                           const QPointF& ptOffset)
    : m_pModel(pModel), m_pObject(std::move(pObject)), m_ptStart(ptStart), m_ptEnd(ptEnd),
      m_ptOffset(ptOffset)
{
}

void CMoveDrawableCommand::exec()
{
    if (m_pModel)
        m_pModel->MoveObject(m_pObject, m_ptEnd - m_ptOffset);
}

void CMoveDrawableCommand::undo()
{
    if (m_pModel)
        m_pModel->MoveObject(m_pObject, m_ptStart - m_ptOffset);
}
