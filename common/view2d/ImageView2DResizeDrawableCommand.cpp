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
    : CResizeDrawableCommand(pModel, {SResized{std::move(pObject), ptFrom, ptTo}})
{
}

CResizeDrawableCommand::CResizeDrawableCommand(CGeometryModel* pModel, std::vector<SResized> vctResized)
    : m_pModel(pModel), m_vctResized(std::move(vctResized))
{
}

void CResizeDrawableCommand::MoveHandles(bool bForward)
{
    if (!m_pModel)
        return;
    std::vector<std::shared_ptr<CDrawableObject>> vctObjects;
    for (const SResized& resized : m_vctResized)
    {
        if (!resized.pObject)
            continue;
        const QPointF& ptFrom = bForward ? resized.ptFrom : resized.ptTo;
        const QPointF& ptTo = bForward ? resized.ptTo : resized.ptFrom;
        // Already done (the gesture moved the handle live before the
        // command was pushed): a shape may have another handle at the start.
        QPointF ptHandle;
        if (!resized.pObject->FindResizePoint(HANDLE_TOLERANCE, ptTo, ptHandle))
            m_pModel->ResizeObject(resized.pObject, HANDLE_TOLERANCE, ptFrom, ptTo);
        vctObjects.push_back(resized.pObject);
    }
    // Also when the gesture did the work: the resize is complete only now.
    m_pModel->CommitGeometry(vctObjects);
}

void CResizeDrawableCommand::exec()
{
    MoveHandles(true);
}

void CResizeDrawableCommand::undo()
{
    MoveHandles(false);
}
