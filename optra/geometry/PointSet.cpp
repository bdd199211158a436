#include "optra/geometry/PointSet.h"

namespace Optra::Geometry
{

CShape* CPointSet::At(size_t nIndex)
{
    return nIndex < m_vctShapes.size() ? m_vctShapes[nIndex].get() : nullptr;
}

const CShape* CPointSet::At(size_t nIndex) const
{
    return nIndex < m_vctShapes.size() ? m_vctShapes[nIndex].get() : nullptr;
}

std::shared_ptr<CShape> CPointSet::GetShared(size_t nIndex) const
{
    return nIndex < m_vctShapes.size() ? m_vctShapes[nIndex] : nullptr;
}

void CPointSet::Add(std::shared_ptr<CShape> pShape)
{
    if (pShape)
        m_vctShapes.push_back(std::move(pShape));
}

CPointSet CPointSet::CopyDeep() const
{
    CPointSet copy;
    copy.m_vctShapes.reserve(m_vctShapes.size());
    for (const std::shared_ptr<CShape>& pShape : m_vctShapes)
        copy.m_vctShapes.push_back(pShape->CopyDeep());
    return copy;
}

} // namespace Optra::Geometry
