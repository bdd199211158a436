#include "common/process/Image2DProcessSobelModel.h"

#include "common/process/Image2DProcessBase.h"

CImage2DProcessSobelModel::CImage2DProcessSobelModel(QObject* pParent) : CModel(pParent) {}

CImage2DProcessSobelModel::~CImage2DProcessSobelModel() = default;

bool CImage2DProcessSobelModel::SetType(int nType)
{
    if (CImage2DProcessBase::EnumKey<EImage2DProcessSobel>(nType).isEmpty())
        return false;
    m_eType = EImage2DProcessSobel(nType);
    return true;
}
