#pragma once

#include "common/database/DatabaseHelper.h"

#include <QString>

// One row of the settings file: a key, its value as text and the name of the
// value's type when it was last written.
class CDatabaseModelSetting : public CDatabaseRecord
{
public:
    static const QString TABLE_NAME;
    static const QString COLUMN_NAME;
    static const QString COLUMN_VALUE;
    static const QString COLUMN_TYPE;

    ~CDatabaseModelSetting() override = default;

    void ParseFromQuery(QSqlQuery* pQuery) override;
    QString ParseToInsertQuery() override;

    QString GetName() const { return m_strName; }
    void SetName(const QString& strName) { m_strName = strName; }
    QString GetValue() const { return m_strValue; }
    void SetValue(const QString& strValue) { m_strValue = strValue; }
    QString GetType() const { return m_strType; }
    void SetType(const QString& strType) { m_strType = strType; }

private:
    QString m_strName;
    QString m_strValue;
    QString m_strType;
};
