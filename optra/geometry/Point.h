#pragma once

#include "optra/geometry/Shape.h"

namespace Optra::Geometry
{

// A point in image pixels. A value type; see CShape.
class CPoint : public CShape
{
public:
    CPoint() = default;
    CPoint(double dX, double dY) : m_dX(dX), m_dY(dY) {}

    double x() const { return m_dX; }
    double y() const { return m_dY; }
    void SetX(double dX) { m_dX = dX; }
    void SetY(double dY) { m_dY = dY; }

    double GetDistance(const CPoint& other) const;
    // Equal within COptraObject::CompareEqual per coordinate.
    bool operator==(const CPoint& other) const;
    bool operator!=(const CPoint& other) const { return !(*this == other); }

    EShapeType GetType() const override { return EShapeType_Point; }
    bool Contained(const CPoint& point) const override;
    void Translate(double dDx, double dDy) override;
    CRectangle GetBoundary() const override;
    std::shared_ptr<CShape> CopyDeep() const override;
    std::shared_ptr<CShape> CopyShallow() const override;
    double GetOrthogonalDistance(const CPoint& point) const override;
    int Segmentize(CPointSet& edges, CPointSet& handles) const override;

private:
    double m_dX = 0;
    double m_dY = 0;
};

} // namespace Optra::Geometry
