#pragma once

#include "optra/geometry/Point.h"

namespace Optra::Geometry
{

// A straight segment from start to end in image pixels. A value type; see CShape.
class CLine : public CShape
{
public:
    CLine() = default;
    CLine(double dX1, double dY1, double dX2, double dY2) : m_start(dX1, dY1), m_end(dX2, dY2) {}
    CLine(const CPoint& start, const CPoint& end) : m_start(start), m_end(end) {}

    const CPoint& start() const { return m_start; }
    const CPoint& end() const { return m_end; }
    void SetStart(const CPoint& start) { m_start = start; }
    void SetEnd(const CPoint& end) { m_end = end; }
    double GetLength() const { return m_start.GetDistance(m_end); }

    EShapeType GetType() const override { return EShapeType_Line; }
    bool Contained(const CPoint& point) const override;
    void Translate(double dDx, double dDy) override;
    CRectangle GetBoundary() const override;
    std::shared_ptr<CShape> CopyDeep() const override;
    std::shared_ptr<CShape> CopyShallow() const override;
    double GetOrthogonalDistance(const CPoint& point) const override;
    int Segmentize(CPointSet& edges, CPointSet& handles) const override;

private:
    CPoint m_start;
    CPoint m_end;
};

} // namespace Optra::Geometry
