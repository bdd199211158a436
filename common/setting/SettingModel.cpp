#include "common/setting/SettingModel.h"

CSettingParameters* CSettingParameters::GetInstance()
{
    static CSettingParameters settingParameters;
    return &settingParameters;
}

QVariant CSettingParameters::Get(const QString& strKey) const
{
    const auto it = m_mapValues.find(strKey);
    return it == m_mapValues.end() ? QVariant() : it->second;
}

void CSettingParameters::Set(const QString& strKey, const QVariant& value)
{
    auto it = m_mapValues.find(strKey);
    if (it == m_mapValues.end())
        it = m_mapValues.emplace(strKey, QVariant()).first;
    if (it->second == value)
        return;
    it->second = value;
    emit signal_UpdateSettingParameter(strKey, value);
}
