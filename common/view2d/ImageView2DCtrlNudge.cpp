// Nudging the selection from the keyboard: an arrow key moves the selected
// drawables by one image pixel, ten with Shift; with Ctrl it moves the right
// edge (left and right arrows) or the bottom edge (up and down arrows) of
// the selected boxes out by one pixel, with Ctrl+Shift in by one. Each key
// press is one undo step and one geometry commit, as one drag is.
#include "common/view2d/ImageView2DCtrl.h"

#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DMoveDrawableCommand.h"
#include "common/view2d/ImageView2DResizeDrawableCommand.h"

namespace
{
constexpr double LARGE_STEP = 10.0;
// The smallest side an edge key leaves a box with (image pixels).
constexpr double MIN_SIDE = 1.0;
// A handle is looked for exactly at the box's corner.
constexpr double CORNER_TOLERANCE = 1e-6;

QPointF Direction(int nKey)
{
    switch (nKey)
    {
    case Qt::Key_Left:
        return QPointF(-1, 0);
    case Qt::Key_Right:
        return QPointF(1, 0);
    case Qt::Key_Up:
        return QPointF(0, -1);
    case Qt::Key_Down:
        return QPointF(0, 1);
    default:
        return QPointF();
    }
}

bool IsBox(const CDrawableObject& object)
{
    const auto* pGeometry = dynamic_cast<const CDrawableGeometry*>(&object);
    const int nType = pGeometry && pGeometry->GetData() ? pGeometry->GetData()->GetType() : -1;
    return nType == Optra::Geometry::EShapeType_Rectangle || nType == Optra::Geometry::EShapeType_Ellipse;
}
} // namespace

bool CImageView2DController::IsNudgeKey(int nKey)
{
    return !Direction(nKey).isNull();
}

std::vector<CImageView2DController::ObjectPtr> CImageView2DController::SelectedObjects() const
{
    std::vector<ObjectPtr> vctSelected;
    if (!m_pGeometryModel)
        return vctSelected;
    for (const ObjectPtr& pObject : m_pGeometryModel->GetObjects())
    {
        if (pObject->GetSelected())
            vctSelected.push_back(pObject);
    }
    return vctSelected;
}

bool CImageView2DController::Nudge(int nKey, Qt::KeyboardModifiers modifiers)
{
    const QPointF ptDirection = Direction(nKey);
    const std::vector<ObjectPtr> vctSelected = SelectedObjects();
    if (ptDirection.isNull() || vctSelected.empty())
        return false;
    const bool bShift = modifiers & Qt::ShiftModifier;
    if (modifiers & Qt::ControlModifier)
        return NudgeEdges(vctSelected, ptDirection, bShift);
    // The offsets make each drawable's top-left the grab point of a drag
    // from the origin to the step.
    std::vector<CMoveDrawableCommand::SMoved> vctMoved;
    std::vector<std::pair<ObjectPtr, QPointF>> vctGrabbed;
    for (const ObjectPtr& pObject : vctSelected)
    {
        vctMoved.push_back({pObject, -pObject->GetBoundary().topLeft()});
        vctGrabbed.emplace_back(pObject, -pObject->GetBoundary().topLeft());
    }
    // At the image's edge the step shrinks to what is left, down to none.
    const QPointF ptStep = ConfineGrab(vctGrabbed, ptDirection * (bShift ? LARGE_STEP : 1.0));
    if (ptStep.isNull())
        return false;
    Push(new CMoveDrawableCommand(m_pGeometryModel, std::move(vctMoved), QPointF(0, 0), ptStep));
    return true;
}

bool CImageView2DController::NudgeEdges(const std::vector<ObjectPtr>& vctSelected, const QPointF& ptDirection,
                                        bool bShrink)
{
    const bool bHorizontal = ptDirection.y() == 0;
    const QPointF ptStep = (bHorizontal ? QPointF(1, 0) : QPointF(0, 1)) * (bShrink ? -1.0 : 1.0);
    std::vector<CResizeDrawableCommand::SResized> vctResized;
    for (const ObjectPtr& pObject : vctSelected)
    {
        // Whichever corner a box was drawn from, the one at the lower right
        // of what is shown moves.
        const QRectF rcBox = pObject->GetBoundary().normalized();
        const double dSide = bHorizontal ? rcBox.width() : rcBox.height();
        QPointF ptHandle;
        if (!IsBox(*pObject) || (bShrink && dSide - 1.0 < MIN_SIDE) ||
            !pObject->FindResizePoint(CORNER_TOLERANCE, rcBox.bottomRight(), ptHandle))
            continue;
        const QPointF ptTo = Confine(ptHandle + ptStep);
        if (ptTo == ptHandle)
            continue;
        vctResized.push_back({pObject, ptHandle, ptTo});
    }
    if (vctResized.empty())
        return false;
    Push(new CResizeDrawableCommand(m_pGeometryModel, std::move(vctResized)));
    return true;
}
