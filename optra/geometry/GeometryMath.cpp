#include "optra/geometry/GeometryMath.h"

#include "optra/geometry/Line.h"
#include "optra/geometry/Point.h"

#include <algorithm>
#include <cmath>

namespace Optra::Geometry::Math
{

namespace
{
double Cross(const CPoint& origin, const CPoint& a, const CPoint& b)
{
    return (a.x() - origin.x()) * (b.y() - origin.y()) - (a.y() - origin.y()) * (b.x() - origin.x());
}

int Orientation(const CPoint& origin, const CPoint& a, const CPoint& b)
{
    const double dCross = Cross(origin, a, b);
    // The tolerance grows with the lengths involved, so long segments that
    // are collinear up to rounding still count as collinear.
    const double dScale = std::max({1.0, std::fabs(a.x() - origin.x()), std::fabs(a.y() - origin.y()),
                                    std::fabs(b.x() - origin.x()), std::fabs(b.y() - origin.y())});
    if (std::fabs(dCross) <= EPSILON * dScale)
        return 0;
    return dCross > 0 ? 1 : -1;
}
} // namespace

double SegmentDistance(const CPoint& point, const CPoint& start, const CPoint& end)
{
    const double dDx = end.x() - start.x();
    const double dDy = end.y() - start.y();
    const double dLengthSquared = dDx * dDx + dDy * dDy;
    if (dLengthSquared <= 0)
        return point.GetDistance(start);
    double dT = ((point.x() - start.x()) * dDx + (point.y() - start.y()) * dDy) / dLengthSquared;
    dT = std::clamp(dT, 0.0, 1.0);
    return std::hypot(point.x() - (start.x() + dT * dDx), point.y() - (start.y() + dT * dDy));
}

bool SegmentsIntersect(const CPoint& a, const CPoint& b, const CPoint& c, const CPoint& d)
{
    const int nO1 = Orientation(a, b, c);
    const int nO2 = Orientation(a, b, d);
    const int nO3 = Orientation(c, d, a);
    const int nO4 = Orientation(c, d, b);
    if (nO1 != nO2 && nO3 != nO4)
        return true;
    // Collinear or touching cases: an end point lying on the other segment.
    return SegmentDistance(c, a, b) <= EPSILON || SegmentDistance(d, a, b) <= EPSILON ||
           SegmentDistance(a, c, d) <= EPSILON || SegmentDistance(b, c, d) <= EPSILON;
}

const CPoint* AsPoint(const CShape* pShape)
{
    return pShape && pShape->GetType() == EShapeType_Point ? static_cast<const CPoint*>(pShape) : nullptr;
}

const CLine* AsLine(const CShape* pShape)
{
    return pShape && pShape->GetType() == EShapeType_Line ? static_cast<const CLine*>(pShape) : nullptr;
}

} // namespace Optra::Geometry::Math
