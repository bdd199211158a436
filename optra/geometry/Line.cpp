#include "optra/geometry/Line.h"

#include "optra/OptraResult.h"
#include "optra/geometry/GeometryMath.h"
#include "optra/geometry/PointSet.h"
#include "optra/geometry/Rectangle.h"

#include <algorithm>
#include <cmath>

namespace Optra::Geometry
{

bool CLine::Contained(const CPoint& point) const
{
    return GetOrthogonalDistance(point) <= Math::EPSILON;
}

void CLine::Translate(double dDx, double dDy)
{
    m_start.Translate(dDx, dDy);
    m_end.Translate(dDx, dDy);
}

CRectangle CLine::GetBoundary() const
{
    return CRectangle(std::min(m_start.x(), m_end.x()), std::min(m_start.y(), m_end.y()),
                      std::fabs(m_end.x() - m_start.x()), std::fabs(m_end.y() - m_start.y()));
}

std::shared_ptr<CShape> CLine::CopyDeep() const
{
    return std::make_shared<CLine>(*this);
}

std::shared_ptr<CShape> CLine::CopyShallow() const
{
    return CopyDeep();
}

double CLine::GetOrthogonalDistance(const CPoint& point) const
{
    return Math::SegmentDistance(point, m_start, m_end);
}

int CLine::Segmentize(CPointSet& edges, CPointSet& handles) const
{
    edges.Clear();
    handles.Clear();
    edges.Add(std::make_shared<CLine>(*this));
    handles.Add(std::make_shared<CPoint>(m_start));
    handles.Add(std::make_shared<CPoint>(m_end));
    return EOptraResult_Ok;
}

} // namespace Optra::Geometry
