#include "common/setting/SettingManager.h"

#include "common/setting/SettingModel.h"

bool CSetting::Set(const QString& strKey, const QVariant& value)
{
    CSettingParameters::GetInstance()->Set(strKey, value);
    return true;
}

QString CSetting::GetString(const QString& strKey, const QString& strDefault)
{
    const QVariant value = CSettingParameters::GetInstance()->Get(strKey);
    return value.isNull() ? strDefault : value.toString();
}

int CSetting::GetInt(const QString& strKey, int nDefault)
{
    const QVariant value = CSettingParameters::GetInstance()->Get(strKey);
    if (value.isNull())
        return nDefault;
    bool bOk = false;
    const int nValue = value.toInt(&bOk);
    return bOk ? nValue : nDefault;
}

double CSetting::GetDouble(const QString& strKey, double dDefault)
{
    const QVariant value = CSettingParameters::GetInstance()->Get(strKey);
    if (value.isNull())
        return dDefault;
    bool bOk = false;
    const double dValue = value.toDouble(&bOk);
    return bOk ? dValue : dDefault;
}
