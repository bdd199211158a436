#pragma once

#include "common/database/DatabaseHelper.h"

// One class category of the project (a class the detector learns).
class CCategory : public CDatabaseRecord
{
public:
    static const QString TABLE_NAME;
    static const QString COLUMN_NAME;

    ~CCategory() override = default;
    void ParseFromQuery(QSqlQuery* pQuery) override;
    QString ParseToInsertQuery() override;

    void SetName(const QString& strName) { m_strName = strName; }
    QString GetName() const { return m_strName; }

private:
    QString m_strName;
};
