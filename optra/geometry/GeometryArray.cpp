#include "optra/geometry/GeometryArray.h"

#include "optra/OptraResult.h"
#include "optra/geometry/Point.h"
#include "optra/geometry/Rectangle.h"

#include <algorithm>
#include <limits>

namespace Optra::Geometry
{

bool CGeometryArray::Contained(const CPoint& point) const
{
    for (size_t i = 0; i < m_setMembers.Size(); ++i)
    {
        if (m_setMembers.At(i)->Contained(point))
            return true;
    }
    return false;
}

void CGeometryArray::Translate(double dDx, double dDy)
{
    for (size_t i = 0; i < m_setMembers.Size(); ++i)
        m_setMembers.At(i)->Translate(dDx, dDy);
}

CRectangle CGeometryArray::GetBoundary() const
{
    if (m_setMembers.Size() == 0)
        return CRectangle();
    const CRectangle first = m_setMembers.At(0)->GetBoundary().GetNormalized();
    double dLeft = first.left();
    double dTop = first.top();
    double dRight = first.right();
    double dBottom = first.bottom();
    for (size_t i = 1; i < m_setMembers.Size(); ++i)
    {
        const CRectangle box = m_setMembers.At(i)->GetBoundary().GetNormalized();
        dLeft = std::min(dLeft, box.left());
        dTop = std::min(dTop, box.top());
        dRight = std::max(dRight, box.right());
        dBottom = std::max(dBottom, box.bottom());
    }
    return CRectangle(dLeft, dTop, dRight - dLeft, dBottom - dTop);
}

std::shared_ptr<CShape> CGeometryArray::CopyDeep() const
{
    auto pCopy = std::make_shared<CGeometryArray>();
    pCopy->m_setMembers = m_setMembers.CopyDeep();
    return pCopy;
}

std::shared_ptr<CShape> CGeometryArray::CopyShallow() const
{
    return std::make_shared<CGeometryArray>(*this);
}

double CGeometryArray::GetOrthogonalDistance(const CPoint& point) const
{
    double dDistance = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < m_setMembers.Size(); ++i)
        dDistance = std::min(dDistance, m_setMembers.At(i)->GetOrthogonalDistance(point));
    return dDistance;
}

int CGeometryArray::Segmentize(CPointSet& edges, CPointSet& handles) const
{
    edges.Clear();
    handles.Clear();
    bool bAny = false;
    for (size_t i = 0; i < m_setMembers.Size(); ++i)
    {
        CPointSet memberEdges;
        CPointSet memberHandles;
        if (m_setMembers.At(i)->Segmentize(memberEdges, memberHandles) != EOptraResult_Ok)
            continue;
        bAny = true;
        for (size_t j = 0; j < memberEdges.Size(); ++j)
            edges.Add(memberEdges.GetShared(j));
        for (size_t j = 0; j < memberHandles.Size(); ++j)
            handles.Add(memberHandles.GetShared(j));
    }
    return bAny ? EOptraResult_Ok : EOptraResult_EmptyRegion;
}

} // namespace Optra::Geometry
