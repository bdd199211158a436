#include "optra/geometry/Rectangle.h"

#include "optra/OptraResult.h"
#include "optra/geometry/GeometryMath.h"
#include "optra/geometry/Line.h"
#include "optra/geometry/PointSet.h"

#include <algorithm>
#include <cmath>

namespace Optra::Geometry
{

CRectangle CRectangle::GetNormalized() const
{
    return CRectangle(std::min(left(), right()), std::min(top(), bottom()), std::fabs(width()),
                      std::fabs(height()));
}

bool CRectangle::Contained(const CPoint& point) const
{
    const CRectangle box = GetNormalized();
    return point.x() >= box.left() - Math::EPSILON && point.x() <= box.right() + Math::EPSILON &&
           point.y() >= box.top() - Math::EPSILON && point.y() <= box.bottom() + Math::EPSILON;
}

std::shared_ptr<CShape> CRectangle::CopyDeep() const
{
    return std::make_shared<CRectangle>(*this);
}

std::shared_ptr<CShape> CRectangle::CopyShallow() const
{
    return CopyDeep();
}

double CRectangle::GetOrthogonalDistance(const CPoint& point) const
{
    const CRectangle box = GetNormalized();
    const double dOutsideX = std::max({box.left() - point.x(), 0.0, point.x() - box.right()});
    const double dOutsideY = std::max({box.top() - point.y(), 0.0, point.y() - box.bottom()});
    if (dOutsideX > 0 || dOutsideY > 0)
        return std::hypot(dOutsideX, dOutsideY);
    return std::min(
        {point.x() - box.left(), box.right() - point.x(), point.y() - box.top(), box.bottom() - point.y()});
}

int CRectangle::Segmentize(CPointSet& edges, CPointSet& handles) const
{
    edges.Clear();
    handles.Clear();
    const CPoint corners[] = {topLeft(), topRight(), bottomRight(), bottomLeft()};
    for (size_t i = 0; i < 4; ++i)
        edges.Add(std::make_shared<CLine>(corners[i], corners[(i + 1) % 4]));
    AddCornerHandles(handles);
    return EOptraResult_Ok;
}

} // namespace Optra::Geometry
