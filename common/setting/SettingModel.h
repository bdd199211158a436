#pragma once

#include "common/mvc/CenterModel.h"

#include <QString>
#include <QVariant>

#include <map>

// The in-memory program settings: one value per string key. Every change is
// announced so that the settings controller can persist it. Process-wide
// singleton, GUI thread only.
class CSettingParameters : public CModel
{
    Q_OBJECT
public:
    static CSettingParameters* GetInstance();

    // The stored value, or an invalid QVariant when the key is absent.
    QVariant Get(const QString& strKey) const;
    // Stores the value and emits signal_UpdateSettingParameter when it differs
    // (QVariant equality, so "144" equals 144.0). A new key given an invalid
    // value is stored silently.
    void Set(const QString& strKey, const QVariant& value);

signals:
    void signal_UpdateSettingParameter(const QString& strKey, const QVariant& value);

private:
    CSettingParameters() = default;

    std::map<QString, QVariant> m_mapValues;
};
