#include "optra/geometry/Shape.h"

#include "optra/Image.h"
#include "optra/OptraResult.h"
#include "optra/geometry/GeometryMath.h"
#include "optra/geometry/Line.h"
#include "optra/geometry/PointSet.h"
#include "optra/geometry/Rectangle.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Optra::Geometry
{

namespace
{
bool BoxesOverlap(const CRectangle& a, const CRectangle& b)
{
    return a.left() <= b.right() + Math::EPSILON && b.left() <= a.right() + Math::EPSILON &&
           a.top() <= b.bottom() + Math::EPSILON && b.top() <= a.bottom() + Math::EPSILON;
}

bool EdgesCross(const CPointSet& edgesA, const CPointSet& edgesB)
{
    for (size_t i = 0; i < edgesA.Size(); ++i)
    {
        const CLine* pA = Math::AsLine(edgesA.At(i));
        for (size_t j = 0; pA && j < edgesB.Size(); ++j)
        {
            const CLine* pB = Math::AsLine(edgesB.At(j));
            if (pB && Math::SegmentsIntersect(pA->start(), pA->end(), pB->start(), pB->end()))
                return true;
        }
    }
    return false;
}

// Whether some point of the outline described by edges and handles lies in
// the shape. Edge starts lie on the outline; handles stand in for shapes
// without edges (points), since the corner handles of an ellipse do not.
bool OutlineTouches(const CPointSet& edges, const CPointSet& handles, const CShape& shape)
{
    for (size_t i = 0; i < edges.Size(); ++i)
    {
        const CLine* pEdge = Math::AsLine(edges.At(i));
        if (pEdge && shape.Contained(pEdge->start()))
            return true;
    }
    if (edges.Size() > 0)
        return false;
    for (size_t i = 0; i < handles.Size(); ++i)
    {
        const CPoint* pPoint = Math::AsPoint(handles.At(i));
        if (pPoint && shape.Contained(*pPoint))
            return true;
    }
    return false;
}
} // namespace

CShape::~CShape() = default;

void CShape::MoveTopLeftTo(const CPoint& point)
{
    const CRectangle boundary = GetBoundary();
    Translate(point.x() - boundary.x(), point.y() - boundary.y());
}

bool CShape::Intersect(const CShape& other) const
{
    if (!BoxesOverlap(GetBoundary().GetNormalized(), other.GetBoundary().GetNormalized()))
        return false;
    CPointSet edgesA;
    CPointSet handlesA;
    CPointSet edgesB;
    CPointSet handlesB;
    if (Segmentize(edgesA, handlesA) != EOptraResult_Ok ||
        other.Segmentize(edgesB, handlesB) != EOptraResult_Ok)
        return false;
    // Either the outlines cross, or one shape lies wholly inside the other,
    // in which case any point of the inner outline is inside the outer shape.
    return EdgesCross(edgesA, edgesB) || OutlineTouches(edgesB, handlesB, *this) ||
           OutlineTouches(edgesA, handlesA, other);
}

int CShape::Rasterize(Algorithms::CImage& image, uint8_t nValue) const
{
    if (image.IsEmpty())
        return EOptraResult_EmptyImage;
    const CRectangle box = GetBoundary().GetNormalized();
    if (!std::isfinite(box.left()) || !std::isfinite(box.top()) || !std::isfinite(box.right()) ||
        !std::isfinite(box.bottom()))
        return EOptraResult_InvalidArgument;
    // Pixels whose centre is within half a pixel of the box.
    const double dMaxX = image.GetWidth() - 1;
    const double dMaxY = image.GetHeight() - 1;
    const int nLeft = int(std::clamp(std::floor(box.left() - 0.5), 0.0, dMaxX));
    const int nRight = int(std::clamp(std::ceil(box.right() - 0.5), 0.0, dMaxX));
    const int nTop = int(std::clamp(std::floor(box.top() - 0.5), 0.0, dMaxY));
    const int nBottom = int(std::clamp(std::ceil(box.bottom() - 0.5), 0.0, dMaxY));
    const size_t nChannels = size_t(image.GetChannel());
    for (int y = nTop; y <= nBottom; ++y)
    {
        for (int x = nLeft; x <= nRight; ++x)
        {
            const CPoint centre(x + 0.5, y + 0.5);
            if (Contained(centre) || GetOrthogonalDistance(centre) < 0.5)
                std::memset(image.GetPixel(x, y), nValue, nChannels);
        }
    }
    return EOptraResult_Ok;
}

} // namespace Optra::Geometry
