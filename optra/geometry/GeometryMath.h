#pragma once

namespace Optra::Geometry
{
class CLine;
class CPoint;
class CShape;
} // namespace Optra::Geometry

// Small planar helpers shared by the shapes; not part of the library's interface.
namespace Optra::Geometry::Math
{

// Coordinates closer than this are the same point.
constexpr double EPSILON = 1e-9;

double SegmentDistance(const CPoint& point, const CPoint& start, const CPoint& end);
// Whether the closed segments ab and cd share a point (touching counts).
bool SegmentsIntersect(const CPoint& a, const CPoint& b, const CPoint& c, const CPoint& d);

// The shape as a point or a line, or null when it is another kind.
const CPoint* AsPoint(const CShape* pShape);
const CLine* AsLine(const CShape* pShape);

} // namespace Optra::Geometry::Math
