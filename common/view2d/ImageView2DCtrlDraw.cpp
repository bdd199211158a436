// The drag tools of the 2D view controller: rectangle, ellipse, circle and
// measuring line. A drag shows a preview in the drawing list and commits
// one drawable as one undo step when the button is released.
#include "common/view2d/ImageView2DCtrl.h"

#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DAddDrawableCommand.h"
#include "common/view2d/ImageView2DDrawableRuler.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DToolModel.h"

#include "optra/geometry/Ellipse.h"
#include "optra/geometry/Line.h"
#include "optra/geometry/Rectangle.h"

#include <QLineF>

using namespace Optra::Geometry;

CImageView2DController::ObjectPtr CImageView2DController::MakeBox(EBoxTool eTool, const QPointF& ptStart,
                                                                  const QPointF& ptEnd)
{
    // Sizes keep their sign: a drag up or to the left gives negative ones.
    const double dWidth = ptEnd.x() - ptStart.x();
    const double dHeight = ptEnd.y() - ptStart.y();
    switch (eTool)
    {
    case EBoxTool::Rectangle:
        return std::make_shared<CDrawableGeometry>(
            std::make_shared<CRectangle>(ptStart.x(), ptStart.y(), dWidth, dHeight));
    case EBoxTool::Ellipse:
        return std::make_shared<CDrawableGeometry>(
            std::make_shared<CEllipse>(ptStart.x(), ptStart.y(), dWidth, dHeight));
    case EBoxTool::Circle:
    {
        // Centred on the press point, the drag's length as radius.
        const double r = QLineF(ptStart, ptEnd).length();
        return std::make_shared<CDrawableGeometry>(
            std::make_shared<CEllipse>(ptStart.x() - r, ptStart.y() - r, 2 * r, 2 * r));
    }
    case EBoxTool::Line:
        return std::make_shared<CDrawableRuler>(
            std::make_shared<CLine>(ptStart.x(), ptStart.y(), ptEnd.x(), ptEnd.y()));
    }
    return nullptr;
}

bool CImageView2DController::IsLargeEnough(const ObjectPtr& pObject) const
{
    // A click (or a slip of a pixel or two) is no shape: committed, it
    // would become a degenerate region on the project side.
    const double dMinimum = ScreenToImage(MIN_SHAPE_SCREEN_PIXELS);
    if (const auto* pRuler = dynamic_cast<const CDrawableRuler*>(pObject.get()))
        return pRuler->GetLine() && pRuler->GetLine()->GetLength() >= dMinimum;
    const QRectF rcBox = pObject->GetBoundary().normalized();
    return rcBox.width() >= dMinimum && rcBox.height() >= dMinimum;
}

void CImageView2DController::BoxStart()
{
    if (m_pGeometryModel)
        m_pGeometryModel->ClearObjectDrawing();
}

void CImageView2DController::BoxDoing(EBoxTool eTool, const QPointF& ptStart, const QPointF& ptEnd)
{
    if (!m_pGeometryModel)
        return;
    const ObjectPtr pPreview = MakeBox(eTool, Confine(ptStart), Confine(ptEnd));
    // The measuring line shows its length while it is drawn.
    pPreview->SetDisplayName(eTool == EBoxTool::Line);
    m_pGeometryModel->ClearObjectDrawing();
    m_pGeometryModel->AddObjectDrawing(pPreview);
}

void CImageView2DController::BoxEnd(EBoxTool eTool, const QPointF& ptStart, const QPointF& ptEnd)
{
    if (!m_pGeometryModel)
        return;
    m_pGeometryModel->ClearObjectDrawing();
    const ObjectPtr pObject = MakeBox(eTool, Confine(ptStart), Confine(ptEnd));
    // Too small: the tool stays, so the user can simply drag again.
    if (!IsLargeEnough(pObject))
        return;
    Push(new CAddDrawableCommand(m_pGeometryModel, pObject));
    ToolDone();
}

void CImageView2DController::ToolDone()
{
    if (!m_pModeModel || !m_pModeModel->KeepsTool())
        SetMode(EImageView2DMode_Selecting, false);
}

void CImageView2DController::slot_DrawRectangleStart(const QPointF&)
{
    BoxStart();
}

void CImageView2DController::slot_DrawRectangleDoing(const QPointF& pointStart, const QPointF& pointEnd)
{
    BoxDoing(EBoxTool::Rectangle, pointStart, pointEnd);
}

void CImageView2DController::slot_DrawRectangleEnd(const QPointF& pointStart, const QPointF& pointEnd)
{
    BoxEnd(EBoxTool::Rectangle, pointStart, pointEnd);
}

void CImageView2DController::slot_DrawEllipseStart(const QPointF&)
{
    BoxStart();
}

void CImageView2DController::slot_DrawEllipseDoing(const QPointF& pointStart, const QPointF& pointEnd)
{
    BoxDoing(EBoxTool::Ellipse, pointStart, pointEnd);
}

void CImageView2DController::slot_DrawEllipseEnd(const QPointF& pointStart, const QPointF& pointEnd)
{
    BoxEnd(EBoxTool::Ellipse, pointStart, pointEnd);
}

void CImageView2DController::slot_DrawCircleStart(const QPointF&)
{
    BoxStart();
}

void CImageView2DController::slot_DrawCircleDoing(const QPointF& pointStart, const QPointF& pointEnd)
{
    BoxDoing(EBoxTool::Circle, pointStart, pointEnd);
}

void CImageView2DController::slot_DrawCircleEnd(const QPointF& pointStart, const QPointF& pointEnd)
{
    BoxEnd(EBoxTool::Circle, pointStart, pointEnd);
}

void CImageView2DController::slot_DrawLineStart(const QPointF&)
{
    BoxStart();
}

void CImageView2DController::slot_DrawLineDoing(const QPointF& pointStart, const QPointF& pointEnd)
{
    BoxDoing(EBoxTool::Line, pointStart, pointEnd);
}

void CImageView2DController::slot_DrawLineEnd(const QPointF& pointStart, const QPointF& pointEnd)
{
    BoxEnd(EBoxTool::Line, pointStart, pointEnd);
}
