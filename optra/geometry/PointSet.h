#pragma once

#include "optra/geometry/Shape.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace Optra::Geometry
{

// An ordered list of shapes: the edge and handle sets that Segmentize
// fills, the vertices given to CPolygon::SetPoints, the members of a
// geometry array. It shares its elements: copying the set copies pointers,
// CopyDeep copies the shapes. Not synchronised.
class CPointSet
{
public:
    size_t Size() const { return m_vctShapes.size(); }
    // The element at nIndex, or null when the index is out of range.
    CShape* At(size_t nIndex);
    const CShape* At(size_t nIndex) const;
    std::shared_ptr<CShape> GetShared(size_t nIndex) const;
    // Appends the shape; a null pointer is ignored.
    void Add(std::shared_ptr<CShape> pShape);
    void Clear() { m_vctShapes.clear(); }
    CPointSet CopyDeep() const;

private:
    std::vector<std::shared_ptr<CShape>> m_vctShapes;
};

} // namespace Optra::Geometry
