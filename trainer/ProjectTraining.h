#pragma once

#include "common/database/DatabaseHelper.h"

#include <QDateTime>

// The one row describing the project itself, written when it is created.
class CProjectTraining : public CDatabaseRecord
{
public:
    static const QString TABLE_NAME;
    static const QString COLUMN_NAME;
    static const QString COLUMN_TYPE;
    static const QString COLUMN_VERSION;
    static const QString COLUMN_DATETIME;

    ~CProjectTraining() override = default;
    void ParseFromQuery(QSqlQuery* pQuery) override;
    QString ParseToInsertQuery() override;

    void SetName(const QString& strName) { m_strName = strName; }
    QString GetName() const { return m_strName; }
    void SetType(const QString& strType) { m_strType = strType; }
    QString GetType() const { return m_strType; }
    void SetVersion(const QString& strVersion) { m_strVersion = strVersion; }
    QString GetVersion() const { return m_strVersion; }
    void SetCreatedDateTime(const QDateTime& dateTime) { m_dateTimeCreated = dateTime; }
    QDateTime GetCreatedDateTime() const { return m_dateTimeCreated; }

private:
    QString m_strName;
    QString m_strType;
    QString m_strVersion;
    QDateTime m_dateTimeCreated;
};
