#include "common/mvc/ProgressModel.h"

void CProgressModel::SetValue(int nValue)
{
    if (nValue == m_nValue)
        return;
    m_nValue = nValue;
    emit signal_ChangeValue(nValue);
}

void CProgressModel::SetMaximum(int nMaximum)
{
    if (nMaximum == m_nMaximum)
        return;
    m_nMaximum = nMaximum;
    emit signal_ChangeMaximum(nMaximum);
}
