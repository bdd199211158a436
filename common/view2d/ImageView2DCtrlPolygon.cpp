// The polygon tool of the 2D view controller: each click adds an edge from
// the last vertex (the first click a zero-length one at its point), a drag
// leaves a chain of edges, and a release near the first vertex once three
// edges exist closes the polygon and commits it as one undo step.
#include "common/view2d/ImageView2DCtrl.h"

#include "common/view2d/ImageView2DAddDrawableCommand.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DToolModel.h"

#include "optra/geometry/Line.h"
#include "optra/geometry/Polygon.h"

#include <QLineF>

using namespace Optra::Geometry;

namespace
{
constexpr size_t MIN_EDGES_BEFORE_CLOSING = 3;

std::shared_ptr<CDrawableGeometry> Edge(const QPointF& ptFrom, const QPointF& ptTo)
{
    auto pEdge = std::make_shared<CDrawableGeometry>(
        std::make_shared<CLine>(ptFrom.x(), ptFrom.y(), ptTo.x(), ptTo.y()));
    pEdge->SetDisplayName(false);
    return pEdge;
}

// The start of the polygon's first edge.
QPointF FirstVertex(const std::vector<std::shared_ptr<CDrawableObject>>& vctEdges)
{
    const auto* pEdge =
        vctEdges.empty() ? nullptr : dynamic_cast<const CDrawableGeometry*>(vctEdges.front().get());
    const auto* pLine = pEdge ? dynamic_cast<const CLine*>(pEdge->GetData().get()) : nullptr;
    return pLine ? QPointF(pLine->start().x(), pLine->start().y()) : QPointF();
}
} // namespace

void CImageView2DController::slot_DrawPolygonStart(const QPointF& point)
{
    if (!m_pGeometryModel || m_bPolygonActive)
        return;
    m_pGeometryModel->ClearObjectDrawing();
    m_pGeometryModel->ClearObjectDrawingWaiting();
    m_bPolygonActive = true;
    m_ptGesture = Confine(point);
}

void CImageView2DController::slot_DrawPolygonWaiting(const QPointF& point)
{
    // Before the first click there is no vertex to follow from.
    if (!m_pGeometryModel || !m_bPolygonActive)
        return;
    m_pGeometryModel->AddObjectDrawingWaiting(Edge(m_ptGesture, Confine(point)));
}

void CImageView2DController::slot_DrawPolygonDoing(const QPointF&, const QPointF& ptDragged)
{
    if (!m_pGeometryModel || !m_bPolygonActive)
        return;
    const QPointF pointEnd = Confine(ptDragged);
    m_pGeometryModel->AddObjectDrawing(Edge(m_ptGesture, pointEnd));
    m_ptGesture = pointEnd;
}

void CImageView2DController::slot_DrawPolygonEnd(const QPointF&, const QPointF& ptReleased)
{
    if (!m_pGeometryModel || !m_bPolygonActive)
        return;
    const QPointF pointEnd = Confine(ptReleased);
    const std::vector<ObjectPtr> vctEdges = m_pGeometryModel->GetObjectDrawing();
    const QPointF ptFirst = vctEdges.empty() ? pointEnd : FirstVertex(vctEdges);
    const bool bCloses = vctEdges.size() >= MIN_EDGES_BEFORE_CLOSING &&
                         QLineF(pointEnd, ptFirst).length() <= ScreenToImage(HANDLE_SCREEN_PIXELS);
    if (!bCloses)
    {
        m_pGeometryModel->AddObjectDrawing(Edge(m_ptGesture, pointEnd));
        m_ptGesture = pointEnd;
        return;
    }
    // The closing edge ends exactly on the first vertex, so the polygon
    // gets no sliver vertex beside it.
    m_pGeometryModel->AddObjectDrawing(Edge(m_ptGesture, ptFirst));
    ClosePolygon();
}

void CImageView2DController::ClosePolygon()
{
    auto pPolygon = std::make_shared<CPolygon>();
    for (const ObjectPtr& pObject : m_pGeometryModel->GetObjectDrawing())
    {
        if (const auto* pEdge = dynamic_cast<const CDrawableGeometry*>(pObject.get()))
            pPolygon->AddGeometry(pEdge->GetData()->CopyDeep());
    }
    const auto pDrawable = std::make_shared<CDrawableGeometry>(pPolygon);
    CancelPolygon();
    // A polygon of clicks on one spot is no shape; the tool stays.
    if (!IsLargeEnough(pDrawable))
        return;
    Push(new CAddDrawableCommand(m_pGeometryModel, pDrawable));
    ToolDone();
}

void CImageView2DController::CancelPolygon()
{
    if (!m_bPolygonActive)
        return;
    m_bPolygonActive = false;
    if (!m_pGeometryModel)
        return;
    m_pGeometryModel->ClearObjectDrawing();
    m_pGeometryModel->ClearObjectDrawingWaiting();
}
