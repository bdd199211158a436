#pragma once

#include "optra/geometry/Point.h"

#include <memory>
#include <vector>

namespace Optra::Geometry
{

// A closed polygon through its vertices in order, in image pixels; the last
// vertex connects back to the first. Its inside follows the even-odd rule,
// as the drawing layer fills it. A value type; see CShape.
class CPolygon : public CShape
{
public:
    CPolygon() = default;

    // Appends the outline points of a shape as vertices: a point itself, a
    // line's start and end, the vertices of a polygon or of another shape's
    // edges. A vertex equal to the previous one is skipped, and a closing
    // vertex equal to the first is dropped, so the edges of a drawn outline
    // chain into one vertex each. Returns 0, or an EOptraResult when the shape
    // is null or has no points.
    int AddGeometry(const CShape& shape);
    int AddGeometry(const std::shared_ptr<CShape>& pShape);
    // Replaces the vertices by the set's elements, which must all be
    // CPoints (a handle set from Segmentize); otherwise nothing changes and
    // EOptraResult_InvalidArgument is returned.
    int SetPoints(const CPointSet& points);
    const std::vector<CPoint>& GetPoints() const { return m_vctVertices; }
    size_t Size() const { return m_vctVertices.size(); }

    EShapeType GetType() const override { return EShapeType_Polygon; }
    bool Contained(const CPoint& point) const override;
    void Translate(double dDx, double dDy) override;
    CRectangle GetBoundary() const override;
    std::shared_ptr<CShape> CopyDeep() const override;
    std::shared_ptr<CShape> CopyShallow() const override;
    double GetOrthogonalDistance(const CPoint& point) const override;
    int Segmentize(CPointSet& edges, CPointSet& handles) const override;

private:
    void AppendVertex(const CPoint& point);

    std::vector<CPoint> m_vctVertices;
};

} // namespace Optra::Geometry
