#include "common/view2d/ImageView2DMoveDrawableCommand.h"

#include "common/view2d/ImageView2DGeometryModel.h"

CMoveDrawableCommand::CMoveDrawableCommand(CGeometryModel* pModel, std::shared_ptr<CDrawableObject> pObject,
                                           const QPointF& ptStart, const QPointF& ptEnd,
                                           const QPointF& ptOffset)
    : CMoveDrawableCommand(pModel, {SMoved{std::move(pObject), ptOffset}}, ptStart, ptEnd)
{
}

CMoveDrawableCommand::CMoveDrawableCommand(CGeometryModel* pModel, std::vector<SMoved> vctMoved,
                                           const QPointF& ptStart, const QPointF& ptEnd)
    : m_pModel(pModel), m_vctMoved(std::move(vctMoved)), m_ptStart(ptStart), m_ptEnd(ptEnd)
{
}

void CMoveDrawableCommand::MoveTo(const QPointF& ptGrab)
{
    if (!m_pModel)
        return;
    std::vector<std::shared_ptr<CDrawableObject>> vctObjects;
    vctObjects.reserve(m_vctMoved.size());
    for (const SMoved& moved : m_vctMoved)
    {
        m_pModel->MoveObject(moved.pObject, ptGrab - moved.ptOffset);
        vctObjects.push_back(moved.pObject);
    }
    m_pModel->CommitGeometry(vctObjects);
}

void CMoveDrawableCommand::exec()
{
    MoveTo(m_ptEnd);
}

void CMoveDrawableCommand::undo()
{
    MoveTo(m_ptStart);
}
