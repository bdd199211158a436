#pragma once

#include "optra/geometry/BoxShape.h"

namespace Optra::Geometry
{

// An axis-aligned ellipse given by its bounding box (x, y, width, height)
// in image pixels, kept as given like a rectangle's (see CBoxShape); a
// circle is an ellipse with equal radii. A value type; see CShape.
class CEllipse : public CBoxShape
{
public:
    // Outline edges produced by Segmentize.
    static constexpr int EDGE_COUNT = 64;

    CEllipse() = default;
    CEllipse(double dX, double dY, double dWidth, double dHeight) : CBoxShape(dX, dY, dWidth, dHeight) {}

    double centerX() const { return x() + width() / 2; }
    double centerY() const { return y() + height() / 2; }
    // Horizontal and vertical semi-axes, never negative.
    double radiusA() const;
    double radiusB() const;

    EShapeType GetType() const override { return EShapeType_Ellipse; }
    bool Contained(const CPoint& point) const override;
    std::shared_ptr<CShape> CopyDeep() const override;
    std::shared_ptr<CShape> CopyShallow() const override;
    double GetOrthogonalDistance(const CPoint& point) const override;
    // The edges are a polygon of EDGE_COUNT sides through the curve.
    int Segmentize(CPointSet& edges, CPointSet& handles) const override;
};

} // namespace Optra::Geometry
