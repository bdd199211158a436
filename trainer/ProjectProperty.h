#pragma once

#include "common/database/DatabaseHelper.h"

// One named property of the project, such as its network configuration text.
class CProjectProperty : public CDatabaseRecord
{
public:
    static const QString TABLE_NAME;
    static const QString COLUMN_NAME;
    static const QString COLUMN_VALUE;
    static const QString COLUMN_TYPE;
    static const QString COLUMN_PROJECT_ID;

    ~CProjectProperty() override = default;
    void ParseFromQuery(QSqlQuery* pQuery) override;
    QString ParseToInsertQuery() override;

    void SetName(const QString& strName) { m_strName = strName; }
    QString GetName() const { return m_strName; }
    void SetValue(const QString& strValue) { m_strValue = strValue; }
    QString GetValue() const { return m_strValue; }
    void SetType(const QString& strType) { m_strType = strType; }
    QString GetType() const { return m_strType; }
    void SetProjectID(int nProjectID) { m_nProjectID = nProjectID; }
    int GetProjectID() const { return m_nProjectID; }

private:
    QString m_strName;
    QString m_strValue;
    QString m_strType;
    int m_nProjectID = -1;
};
