#include "trainer/PropertyModel.h"

QVariant CPropertyModel::GetProperty(const QString& strKey) const
{
    const auto it = m_mapProperties.find(strKey);
    return it == m_mapProperties.end() ? QVariant() : it->second;
}

void CPropertyModel::SetProperty(const QString& strKey, const QVariant& value)
{
    const auto it = m_mapProperties.find(strKey);
    if (it != m_mapProperties.end() && it->second == value)
        return;
    m_mapProperties[strKey] = value;
    emit signal_ChangeProperty(strKey);
}
