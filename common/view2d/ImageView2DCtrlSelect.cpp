// Selection gestures of the 2D view controller in select mode: click and
// Ctrl-click selection, moving the selection, dragging a resize handle and
// the rubber band. A gesture is either a resize, a move or a band, and
// each resize or move is one undo step however many drawables it moved.
#include "common/view2d/ImageView2DCtrl.h"

#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DMoveDrawableCommand.h"
#include "common/view2d/ImageView2DResizeDrawableCommand.h"

#include "optra/geometry/Rectangle.h"

#include <QGuiApplication>

#include <algorithm>

namespace
{
// Handles are followed exactly where the gesture put them.
constexpr double HANDLE_TRACKING = 1e-6;

QPointF Offset(const QPointF& ptGrab, const CDrawableObject& object)
{
    return ptGrab - object.GetBoundary().topLeft();
}
} // namespace

bool CImageView2DController::IsCtrlHeld() const
{
    return QGuiApplication::keyboardModifiers() & Qt::ControlModifier;
}

bool CImageView2DController::IsHit(const CDrawableObject& object, const QPointF& ptImage) const
{
    // A screen pixel of slack, so a straight vertical or horizontal line
    // (a box of no width) can be grabbed too.
    const double dSlack = ScreenToImage(1.0);
    return object.GetBoundary().normalized().adjusted(-dSlack, -dSlack, dSlack, dSlack).contains(ptImage);
}

CImageView2DController::ObjectPtr CImageView2DController::FirstHit(const QPointF& ptImage) const
{
    if (!m_pGeometryModel)
        return nullptr;
    for (const ObjectPtr& pObject : m_pGeometryModel->GetObjects())
    {
        if (IsHit(*pObject, ptImage))
            return pObject;
    }
    return nullptr;
}

CImageView2DController::ObjectPtr CImageView2DController::FindHandle(const QPointF& ptImage,
                                                                     QPointF& ptHandle) const
{
    if (!m_pGeometryModel)
        return nullptr;
    const double dTolerance = ScreenToImage(HANDLE_SCREEN_PIXELS);
    for (const ObjectPtr& pObject : m_pGeometryModel->GetObjects())
    {
        if (pObject->FindResizePoint(dTolerance, ptImage, ptHandle))
            return pObject;
    }
    return nullptr;
}

void CImageView2DController::slot_CheckResizeRotate(const QPointF& point)
{
    if (!m_pView)
        return;
    QPointF ptHandle;
    m_bResizeArmed = FindHandle(point, ptHandle) != nullptr;
    m_pView->setCursor(m_bResizeArmed ? Qt::CrossCursor : Qt::ArrowCursor);
}

bool CImageView2DController::StartResize(const QPointF& ptImage)
{
    QPointF ptHandle;
    const ObjectPtr pObject = FindHandle(ptImage, ptHandle);
    if (!pObject)
        return false;
    m_pResizing = pObject;
    m_ptHandle = m_ptHandleStart = ptHandle;
    m_ptResizeOffset = ptImage - ptHandle;
    pObject->SetSelected(true);
    return true;
}

void CImageView2DController::StartCtrlSelection(const QPointF& ptImage)
{
    bool bAnySelected = false;
    for (const ObjectPtr& pObject : m_pGeometryModel->GetObjects())
    {
        if (IsHit(*pObject, ptImage))
            pObject->SetSelected(true);
        if (!pObject->GetSelected())
            continue;
        pObject->SetMouseOffset(Offset(ptImage, *pObject));
        bAnySelected = true;
    }
    m_bMoving = m_bMultiSelection = bAnySelected;
}

bool CImageView2DController::StartGroupMove(const QPointF& ptImage)
{
    const std::vector<ObjectPtr> vctObjects = m_pGeometryModel->GetObjects();
    if (std::none_of(vctObjects.begin(), vctObjects.end(),
                     [&](const ObjectPtr& pObject)
                     { return pObject->GetSelected() && IsHit(*pObject, ptImage); }))
        return false;
    for (const ObjectPtr& pObject : vctObjects)
    {
        if (pObject->GetSelected())
            pObject->SetMouseOffset(Offset(ptImage, *pObject));
    }
    m_bMoving = true;
    return true;
}

void CImageView2DController::slot_SelectMovingStart(const QPointF& point)
{
    if (!m_pGeometryModel)
        return;
    m_pResizing.reset();
    m_bMoving = false;
    // Grabbing a handle resizes; nothing moves in that gesture.
    if (m_bResizeArmed && StartResize(point))
        return;
    if (IsCtrlHeld())
    {
        StartCtrlSelection(point);
        return;
    }
    if (m_bMultiSelection && StartGroupMove(point))
        return;
    m_bMultiSelection = false;
    m_pGeometryModel->UnSelectedAll();
    if (const ObjectPtr pHit = FirstHit(point))
    {
        pHit->SetSelected(true);
        pHit->SetMouseOffset(Offset(point, *pHit));
        m_bMoving = true;
    }
}

QPointF CImageView2DController::ConfineGrab(const std::vector<std::pair<ObjectPtr, QPointF>>& vctGrabbed,
                                            const QPointF& ptGrab) const
{
    const QRectF rcImage = ImageBounds();
    if (rcImage.isEmpty() || vctGrabbed.empty())
        return ptGrab;
    // Per axis the grab points that keep every drawable on the image.
    double dMinX = -1e300, dMaxX = 1e300, dMinY = -1e300, dMaxY = 1e300;
    for (const auto& [pObject, ptOffset] : vctGrabbed)
    {
        const QRectF rcBoundary = pObject->GetBoundary();
        const QRectF rcBox = rcBoundary.normalized();
        // Where the box's left and top lie relative to the point that moves.
        const QPointF ptShift = ptOffset - (rcBox.topLeft() - rcBoundary.topLeft());
        dMinX = std::max(dMinX, rcImage.left() + ptShift.x());
        dMaxX = std::min(dMaxX, rcImage.right() - rcBox.width() + ptShift.x());
        dMinY = std::max(dMinY, rcImage.top() + ptShift.y());
        dMaxY = std::min(dMaxY, rcImage.bottom() - rcBox.height() + ptShift.y());
    }
    QPointF ptConfined = ptGrab;
    if (dMinX <= dMaxX)
        ptConfined.setX(std::clamp(ptGrab.x(), dMinX, dMaxX));
    if (dMinY <= dMaxY)
        ptConfined.setY(std::clamp(ptGrab.y(), dMinY, dMaxY));
    return ptConfined;
}

void CImageView2DController::ResizeDoing(const QPointF& ptEnd)
{
    const QPointF ptTarget = Confine(ptEnd - m_ptResizeOffset);
    if (m_pGeometryModel->ResizeObject(m_pResizing, HANDLE_TRACKING, m_ptHandle, ptTarget))
        m_ptHandle = ptTarget;
}

void CImageView2DController::RubberBandDoing(const QPointF& ptStart, const QPointF& ptEnd)
{
    auto pBand = std::make_shared<CDrawableGeometry>(std::make_shared<Optra::Geometry::CRectangle>(
        ptStart.x(), ptStart.y(), ptEnd.x() - ptStart.x(), ptEnd.y() - ptStart.y()));
    pBand->SetDisplayName(false);
    m_pGeometryModel->ClearObjectDrawing();
    m_pGeometryModel->AddObjectDrawing(pBand);
    const QRectF rcBand = QRectF(ptStart, ptEnd).normalized();
    // Whatever has a corner in the band, as it is now: shrinking the band
    // lets drawables go again.
    for (const ObjectPtr& pObject : m_pGeometryModel->GetObjects())
    {
        const QRectF rcBox = pObject->GetBoundary().normalized();
        const bool bInside = rcBand.contains(rcBox.topLeft()) || rcBand.contains(rcBox.topRight()) ||
                             rcBand.contains(rcBox.bottomLeft()) || rcBand.contains(rcBox.bottomRight());
        pObject->SetSelected(bInside);
        if (bInside)
            pObject->SetMouseOffset(QPointF(0, 0));
    }
}

void CImageView2DController::slot_SelectMovingDoing(const QPointF& pointStart, const QPointF& pointEnd)
{
    if (!m_pGeometryModel)
        return;
    if (m_pResizing)
    {
        ResizeDoing(pointEnd);
        return;
    }
    if (!m_bMoving)
    {
        RubberBandDoing(pointStart, pointEnd);
        return;
    }
    const QPointF ptGrab = ConfineGrab(Grabbed(), pointEnd);
    for (const ObjectPtr& pObject : m_pGeometryModel->GetObjects())
    {
        if (pObject->GetSelected())
            m_pGeometryModel->MoveObject(pObject, ptGrab - pObject->GetMouseOffset());
    }
}

std::vector<std::pair<CImageView2DController::ObjectPtr, QPointF>> CImageView2DController::Grabbed() const
{
    std::vector<std::pair<ObjectPtr, QPointF>> vctGrabbed;
    for (const ObjectPtr& pObject : SelectedObjects())
        vctGrabbed.emplace_back(pObject, pObject->GetMouseOffset());
    return vctGrabbed;
}

void CImageView2DController::PushMoves(const QPointF& ptStart, const QPointF& ptEnd)
{
    // One command for the whole selection: one undo step and one commit.
    std::vector<CMoveDrawableCommand::SMoved> vctMoved;
    for (const ObjectPtr& pObject : m_pGeometryModel->GetObjects())
    {
        if (pObject->GetSelected())
            vctMoved.push_back({pObject, pObject->GetMouseOffset()});
    }
    if (!vctMoved.empty())
        Push(new CMoveDrawableCommand(m_pGeometryModel, std::move(vctMoved), ptStart,
                                      ConfineGrab(Grabbed(), ptEnd)));
}

void CImageView2DController::slot_SelectMovingEnd(const QPointF& pointStart, const QPointF& pointEnd)
{
    if (!m_pGeometryModel)
        return;
    if (m_pResizing)
    {
        if (m_ptHandle != m_ptHandleStart)
            Push(new CResizeDrawableCommand(m_pGeometryModel, m_pResizing, m_ptHandleStart, m_ptHandle));
        m_pResizing.reset();
        return;
    }
    if (m_bMoving)
    {
        PushMoves(pointStart, pointEnd);
        m_bMoving = false;
        return;
    }
    m_pGeometryModel->ClearObjectDrawing();
    const std::vector<ObjectPtr> vctObjects = m_pGeometryModel->GetObjects();
    m_bMultiSelection = std::any_of(vctObjects.begin(), vctObjects.end(),
                                    [](const ObjectPtr& pObject) { return pObject->GetSelected(); });
}
