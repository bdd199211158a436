#include "common/view2d/ImageView2DResizeDrawableCommand.h"

#include "common/view2d/ImageView2DGeometryModel.h"

namespace
{
// Handles are found again where the command left them; this only absorbs
// the rounding of the shape's own arithmetic.
constexpr double HANDLE_TOLERANCE = 1e-6;
} // namespace

CResizeDrawableCommand::CResizeDrawableCommand(CGeometryModel* pModel,
                                               std::shared_ptr<CDrawableObject> pObject,
                                               const QPointF& ptFrom, const QPointF& ptTo)
    : m_pModel(pModel), m_pObject(std::move(pObject)), m_ptFrom(ptFrom), m_ptTo(ptTo)
{
}

void CResizeDrawableCommand::MoveHandle(const QPointF& ptFrom, const QPointF& ptTo)
{
    if (!m_pModel || !m_pObject)
        return;
    // Already done (the gesture moved the handle live before the command
    // was pushed): a shape may have another handle at the start point.
    QPointF ptHandle;
    if (!m_pObject->FindResizePoint(HANDLE_TOLERANCE, ptTo, ptHandle))
        m_pModel->ResizeObject(m_pObject, HANDLE_TOLERANCE, ptFrom, ptTo);
    // Also when the gesture did the work: the resize is complete only now.
    m_pModel->CommitGeometry({m_pObject});
}

void CResizeDrawableCommand::exec()
{
    MoveHandle(m_ptFrom, m_ptTo);
}

void CResizeDrawableCommand::undo()
{
    MoveHandle(m_ptTo, m_ptFrom);
}
