#pragma once

#include "common/database/DatabaseHelper.h"

// One free name/value pair of the project's training set-up.
class CParameter : public CDatabaseRecord
{
public:
    static const QString TABLE_NAME;
    static const QString COLUMN_NAME;
    static const QString COLUMN_VALUE;

    ~CParameter() override = default;
    void ParseFromQuery(QSqlQuery* pQuery) override;
    QString ParseToInsertQuery() override;

    void SetName(const QString& strName) { m_strName = strName; }
    QString GetName() const { return m_strName; }
    void SetValue(const QString& strValue) { m_strValue = strValue; }
    QString GetValue() const { return m_strValue; }

private:
    QString m_strName;
    QString m_strValue;
};
