#include "optra/geometry/Point.h"

#include "optra/OptraResult.h"
#include "optra/geometry/GeometryMath.h"
#include "optra/geometry/PointSet.h"
#include "optra/geometry/Rectangle.h"

#include <cmath>

namespace Optra::Geometry
{

double CPoint::GetDistance(const CPoint& other) const
{
    return std::hypot(m_dX - other.m_dX, m_dY - other.m_dY);
}

bool CPoint::operator==(const CPoint& other) const
{
    return CompareEqual(m_dX, other.m_dX) && CompareEqual(m_dY, other.m_dY);
}

bool CPoint::Contained(const CPoint& point) const
{
    return GetDistance(point) <= Math::EPSILON;
}

void CPoint::Translate(double dDx, double dDy)
{
    m_dX += dDx;
    m_dY += dDy;
}

CRectangle CPoint::GetBoundary() const
{
    return CRectangle(m_dX, m_dY, 0, 0);
}

std::shared_ptr<CShape> CPoint::CopyDeep() const
{
    return std::make_shared<CPoint>(*this);
}

std::shared_ptr<CShape> CPoint::CopyShallow() const
{
    return CopyDeep();
}

double CPoint::GetOrthogonalDistance(const CPoint& point) const
{
    return GetDistance(point);
}

int CPoint::Segmentize(CPointSet& edges, CPointSet& handles) const
{
    edges.Clear();
    handles.Clear();
    handles.Add(std::make_shared<CPoint>(*this));
    return EOptraResult_Ok;
}

} // namespace Optra::Geometry
