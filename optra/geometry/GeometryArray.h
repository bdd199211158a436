#pragma once

#include "optra/geometry/PointSet.h"
#include "optra/geometry/Shape.h"

namespace Optra::Geometry
{

// Several shapes treated as one: moved together, hit when any member is.
// Members are shared through std::shared_ptr; CopyShallow shares them with
// the copy, CopyDeep duplicates them. A value type; see CShape.
class CGeometryArray : public CShape
{
public:
    CGeometryArray() = default;

    // Appends a member; a null pointer is ignored.
    void Add(std::shared_ptr<CShape> pShape) { m_setMembers.Add(std::move(pShape)); }
    size_t Size() const { return m_setMembers.Size(); }
    CShape* At(size_t nIndex) { return m_setMembers.At(nIndex); }
    const CShape* At(size_t nIndex) const { return m_setMembers.At(nIndex); }

    EShapeType GetType() const override { return EShapeType_GeometryArray; }
    bool Contained(const CPoint& point) const override;
    void Translate(double dDx, double dDy) override;
    // The union of the members' extents (normalised).
    CRectangle GetBoundary() const override;
    std::shared_ptr<CShape> CopyDeep() const override;
    std::shared_ptr<CShape> CopyShallow() const override;
    double GetOrthogonalDistance(const CPoint& point) const override;
    // The members' edges and handles, member after member.
    int Segmentize(CPointSet& edges, CPointSet& handles) const override;

private:
    CPointSet m_setMembers;
};

} // namespace Optra::Geometry
