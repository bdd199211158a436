#include "optra/geometry/Polygon.h"

#include "optra/OptraResult.h"
#include "optra/geometry/GeometryMath.h"
#include "optra/geometry/Line.h"
#include "optra/geometry/PointSet.h"
#include "optra/geometry/Rectangle.h"

#include <algorithm>
#include <limits>

namespace Optra::Geometry
{

void CPolygon::AppendVertex(const CPoint& point)
{
    if (m_vctVertices.empty() || m_vctVertices.back() != point)
        m_vctVertices.push_back(point);
}

int CPolygon::AddGeometry(const CShape& shape)
{
    CPointSet edges;
    CPointSet handles;
    if (shape.Segmentize(edges, handles) != EOptraResult_Ok)
        return EOptraResult_EmptyRegion;
    if (edges.Size() == 0)
    {
        for (size_t i = 0; i < handles.Size(); ++i)
        {
            if (const CPoint* pPoint = Math::AsPoint(handles.At(i)))
                AppendVertex(*pPoint);
        }
    }
    for (size_t i = 0; i < edges.Size(); ++i)
    {
        if (const CLine* pEdge = Math::AsLine(edges.At(i)))
        {
            AppendVertex(pEdge->start());
            AppendVertex(pEdge->end());
        }
    }
    if (m_vctVertices.size() > 1 && m_vctVertices.back() == m_vctVertices.front())
        m_vctVertices.pop_back();
    return EOptraResult_Ok;
}

int CPolygon::AddGeometry(const std::shared_ptr<CShape>& pShape)
{
    return pShape ? AddGeometry(*pShape) : EOptraResult_InvalidArgument;
}

int CPolygon::SetPoints(const CPointSet& points)
{
    std::vector<CPoint> vctVertices;
    vctVertices.reserve(points.Size());
    for (size_t i = 0; i < points.Size(); ++i)
    {
        const CPoint* pPoint = Math::AsPoint(points.At(i));
        if (!pPoint)
            return EOptraResult_InvalidArgument;
        vctVertices.push_back(*pPoint);
    }
    m_vctVertices = std::move(vctVertices);
    return EOptraResult_Ok;
}

bool CPolygon::Contained(const CPoint& point) const
{
    if (m_vctVertices.empty())
        return false;
    if (GetOrthogonalDistance(point) <= Math::EPSILON)
        return true;
    // Even-odd rule: count the edges a ray to the right crosses.
    bool bInside = false;
    const size_t nCount = m_vctVertices.size();
    for (size_t i = 0, j = nCount - 1; i < nCount; j = i++)
    {
        const CPoint& a = m_vctVertices[i];
        const CPoint& b = m_vctVertices[j];
        if ((a.y() > point.y()) != (b.y() > point.y()))
        {
            const double dCrossX = a.x() + (point.y() - a.y()) * (b.x() - a.x()) / (b.y() - a.y());
            if (point.x() < dCrossX)
                bInside = !bInside;
        }
    }
    return bInside;
}

void CPolygon::Translate(double dDx, double dDy)
{
    for (CPoint& vertex : m_vctVertices)
        vertex.Translate(dDx, dDy);
}

CRectangle CPolygon::GetBoundary() const
{
    if (m_vctVertices.empty())
        return CRectangle();
    const auto [itMinX, itMaxX] =
        std::minmax_element(m_vctVertices.begin(), m_vctVertices.end(),
                            [](const CPoint& a, const CPoint& b) { return a.x() < b.x(); });
    const auto [itMinY, itMaxY] =
        std::minmax_element(m_vctVertices.begin(), m_vctVertices.end(),
                            [](const CPoint& a, const CPoint& b) { return a.y() < b.y(); });
    return CRectangle(itMinX->x(), itMinY->y(), itMaxX->x() - itMinX->x(), itMaxY->y() - itMinY->y());
}

std::shared_ptr<CShape> CPolygon::CopyDeep() const
{
    return std::make_shared<CPolygon>(*this);
}

std::shared_ptr<CShape> CPolygon::CopyShallow() const
{
    return CopyDeep();
}

double CPolygon::GetOrthogonalDistance(const CPoint& point) const
{
    if (m_vctVertices.empty())
        return std::numeric_limits<double>::infinity();
    double dDistance = point.GetDistance(m_vctVertices.front());
    const size_t nCount = m_vctVertices.size();
    for (size_t i = 0; i < nCount; ++i)
        dDistance = std::min(dDistance,
                             Math::SegmentDistance(point, m_vctVertices[i], m_vctVertices[(i + 1) % nCount]));
    return dDistance;
}

int CPolygon::Segmentize(CPointSet& edges, CPointSet& handles) const
{
    edges.Clear();
    handles.Clear();
    if (m_vctVertices.empty())
        return EOptraResult_EmptyRegion;
    const size_t nCount = m_vctVertices.size();
    // Two vertices make one edge, not the same edge twice.
    const size_t nEdges = nCount < 3 ? nCount - 1 : nCount;
    for (size_t i = 0; i < nEdges; ++i)
        edges.Add(std::make_shared<CLine>(m_vctVertices[i], m_vctVertices[(i + 1) % nCount]));
    for (const CPoint& vertex : m_vctVertices)
        handles.Add(std::make_shared<CPoint>(vertex));
    return EOptraResult_Ok;
}

} // namespace Optra::Geometry
