#pragma once

#include "optra/geometry/BoxShape.h"

namespace Optra::Geometry
{

// An axis-aligned rectangle (x, y, width, height): top-left corner and size
// in image pixels, negative sizes kept as given (see CBoxShape). A value
// type; see CShape.
class CRectangle : public CBoxShape
{
public:
    CRectangle() = default;
    CRectangle(double dX, double dY, double dWidth, double dHeight) : CBoxShape(dX, dY, dWidth, dHeight) {}

    // The same area with x, y the minimum corner and non-negative sizes.
    CRectangle GetNormalized() const;

    EShapeType GetType() const override { return EShapeType_Rectangle; }
    bool Contained(const CPoint& point) const override;
    std::shared_ptr<CShape> CopyDeep() const override;
    std::shared_ptr<CShape> CopyShallow() const override;
    double GetOrthogonalDistance(const CPoint& point) const override;
    int Segmentize(CPointSet& edges, CPointSet& handles) const override;
};

} // namespace Optra::Geometry
