#include "common/process/Image2DProcessMedianModel.h"

#include "common/process/Image2DProcessBase.h"

CImage2DProcessMedianModel::CImage2DProcessMedianModel(QObject* pParent) : CModel(pParent) {}

CImage2DProcessMedianModel::~CImage2DProcessMedianModel() = default;

bool CImage2DProcessMedianModel::SetType(int nType)
{
    if (CImage2DProcessBase::EnumKey<EImage2DProcessMedian>(nType).isEmpty())
        return false;
    m_eType = EImage2DProcessMedian(nType);
    return true;
}

bool CImage2DProcessMedianModel::SetSize(int nSize)
{
    if (nSize < MIN_SIZE || nSize > MAX_SIZE || nSize % 2 == 0)
        return false;
    m_nSize = nSize;
    return true;
}

int CImage2DProcessMedianModel::GetRadius() const
{
    switch (m_eType)
    {
    case EImage2DProcessMedian3x3:
        return 1;
    case EImage2DProcessMedian5x5:
        return 2;
    case EImage2DProcessMedianNxN:
        break;
    }
    return m_nSize / 2;
}
