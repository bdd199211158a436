#include "optra/geometry/BoxShape.h"

#include "optra/geometry/PointSet.h"
#include "optra/geometry/Rectangle.h"

namespace Optra::Geometry
{

void CBoxShape::SetEdges(double dLeft, double dTop, double dRight, double dBottom)
{
    m_dX = dLeft;
    m_dY = dTop;
    m_dWidth = dRight - dLeft;
    m_dHeight = dBottom - dTop;
}

void CBoxShape::SetTopLeft(const CPoint& point)
{
    SetEdges(point.x(), point.y(), right(), bottom());
}

void CBoxShape::SetTopRight(const CPoint& point)
{
    SetEdges(left(), point.y(), point.x(), bottom());
}

void CBoxShape::SetBottomRight(const CPoint& point)
{
    SetEdges(left(), top(), point.x(), point.y());
}

void CBoxShape::SetBottomLeft(const CPoint& point)
{
    SetEdges(point.x(), top(), right(), point.y());
}

void CBoxShape::Translate(double dDx, double dDy)
{
    m_dX += dDx;
    m_dY += dDy;
}

CRectangle CBoxShape::GetBoundary() const
{
    return CRectangle(m_dX, m_dY, m_dWidth, m_dHeight);
}

void CBoxShape::AddCornerHandles(CPointSet& handles) const
{
    handles.Add(std::make_shared<CPoint>(topLeft()));
    handles.Add(std::make_shared<CPoint>(topRight()));
    handles.Add(std::make_shared<CPoint>(bottomRight()));
    handles.Add(std::make_shared<CPoint>(bottomLeft()));
}

} // namespace Optra::Geometry
