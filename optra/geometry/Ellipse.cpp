#include "optra/geometry/Ellipse.h"

#include "optra/OptraResult.h"
#include "optra/geometry/GeometryMath.h"
#include "optra/geometry/Line.h"
#include "optra/geometry/PointSet.h"

#include <cmath>
#include <utility>

namespace Optra::Geometry
{

namespace
{
// Root of the distance equation by bisection (D. Eberly, "Distance from a
// Point to an Ellipse"); converges for every point off the axes.
double DistanceRoot(double dRatio, double dZ0, double dZ1, double dG)
{
    const double dN0 = dRatio * dZ0;
    double dS0 = dZ1 - 1;
    double dS1 = dG < 0 ? 0 : std::hypot(dN0, dZ1) - 1;
    double dS = 0;
    for (int i = 0; i < 200; ++i)
    {
        dS = (dS0 + dS1) / 2;
        if (dS == dS0 || dS == dS1)
            break;
        const double dRatio0 = dN0 / (dS + dRatio);
        const double dRatio1 = dZ1 / (dS + 1);
        const double dValue = dRatio0 * dRatio0 + dRatio1 * dRatio1 - 1;
        if (dValue > 0)
            dS0 = dS;
        else if (dValue < 0)
            dS1 = dS;
        else
            break;
    }
    return dS;
}

// Distance from (dY0, dY1), both >= 0, to the ellipse with semi-axes
// dE0 >= dE1 > 0 centred at the origin.
double DistanceInFirstQuadrant(double dE0, double dE1, double dY0, double dY1)
{
    if (dY1 > 0)
    {
        if (dY0 <= 0)
            return std::fabs(dY1 - dE1);
        const double dZ0 = dY0 / dE0;
        const double dZ1 = dY1 / dE1;
        const double dG = dZ0 * dZ0 + dZ1 * dZ1 - 1;
        if (dG == 0)
            return 0;
        const double dRatio = (dE0 / dE1) * (dE0 / dE1);
        const double dS = DistanceRoot(dRatio, dZ0, dZ1, dG);
        const double dX0 = dRatio * dY0 / (dS + dRatio);
        const double dX1 = dY1 / (dS + 1);
        return std::hypot(dX0 - dY0, dX1 - dY1);
    }
    const double dNumerator = dE0 * dY0;
    const double dDenominator = dE0 * dE0 - dE1 * dE1;
    if (dNumerator < dDenominator)
    {
        const double dXde0 = dNumerator / dDenominator;
        const double dX0 = dE0 * dXde0;
        const double dX1 = dE1 * std::sqrt(1 - dXde0 * dXde0);
        return std::hypot(dX0 - dY0, dX1);
    }
    return std::fabs(dY0 - dE0);
}
} // namespace

double CEllipse::radiusA() const
{
    return std::fabs(width()) / 2;
}

double CEllipse::radiusB() const
{
    return std::fabs(height()) / 2;
}

bool CEllipse::Contained(const CPoint& point) const
{
    const double dA = radiusA();
    const double dB = radiusB();
    if (dA <= 0 || dB <= 0)
        return GetOrthogonalDistance(point) <= Math::EPSILON;
    const double dU = (point.x() - centerX()) / dA;
    const double dV = (point.y() - centerY()) / dB;
    return dU * dU + dV * dV <= 1 || GetOrthogonalDistance(point) <= Math::EPSILON;
}

std::shared_ptr<CShape> CEllipse::CopyDeep() const
{
    return std::make_shared<CEllipse>(*this);
}

std::shared_ptr<CShape> CEllipse::CopyShallow() const
{
    return CopyDeep();
}

double CEllipse::GetOrthogonalDistance(const CPoint& point) const
{
    double dA = radiusA();
    double dB = radiusB();
    double dX = std::fabs(point.x() - centerX());
    double dY = std::fabs(point.y() - centerY());
    // A flat ellipse is the segment along its longer axis.
    if (dA <= 0 || dB <= 0)
        return Math::SegmentDistance(point, CPoint(centerX() - dA, centerY() - dB),
                                     CPoint(centerX() + dA, centerY() + dB));
    if (dA < dB)
    {
        std::swap(dA, dB);
        std::swap(dX, dY);
    }
    return DistanceInFirstQuadrant(dA, dB, dX, dY);
}

int CEllipse::Segmentize(CPointSet& edges, CPointSet& handles) const
{
    edges.Clear();
    handles.Clear();
    const double dStep = 2 * M_PI / EDGE_COUNT;
    const CPoint first(centerX() + radiusA(), centerY());
    CPoint previous = first;
    for (int i = 1; i <= EDGE_COUNT; ++i)
    {
        // The last edge ends exactly where the first starts, so the outline is closed.
        const CPoint next = i == EDGE_COUNT ? first
                                            : CPoint(centerX() + radiusA() * std::cos(i * dStep),
                                                     centerY() + radiusB() * std::sin(i * dStep));
        edges.Add(std::make_shared<CLine>(previous, next));
        previous = next;
    }
    AddCornerHandles(handles);
    return EOptraResult_Ok;
}

} // namespace Optra::Geometry
