#include "trainer/ProjectTraining.h"

#include <QSqlQuery>
#include <QSqlRecord>

const QString CProjectTraining::TABLE_NAME = QStringLiteral("project_training");
const QString CProjectTraining::COLUMN_NAME = QStringLiteral("NAME");
const QString CProjectTraining::COLUMN_TYPE = QStringLiteral("TYPE");
const QString CProjectTraining::COLUMN_VERSION = QStringLiteral("VERSION");
const QString CProjectTraining::COLUMN_DATETIME = QStringLiteral("CREATED_DATETIME");

void CProjectTraining::ParseFromQuery(QSqlQuery* pQuery)
{
    if (!pQuery)
        return;
    const QSqlRecord record = pQuery->record();
    ReadColumn(pQuery, record, COLUMN_ID, ID);
    ReadColumn(pQuery, record, COLUMN_NAME, m_strName);
    ReadColumn(pQuery, record, COLUMN_TYPE, m_strType);
    ReadColumn(pQuery, record, COLUMN_VERSION, m_strVersion);
    QString strCreated;
    ReadColumn(pQuery, record, COLUMN_DATETIME, strCreated);
    if (strCreated.isNull())
        return;
    // The time is stored in Qt's text form ("Mon Dec 7 09:25:55 2026"), which
    // the variant conversion (ISO only) cannot read back.
    m_dateTimeCreated = QDateTime::fromString(strCreated, Qt::TextDate);
    if (!m_dateTimeCreated.isValid())
        ReadColumn(pQuery, record, COLUMN_DATETIME, m_dateTimeCreated);
}

QString CProjectTraining::ParseToInsertQuery()
{
    return QString::asprintf("INSERT INTO %s (%s, %s, %s, %s) VALUES('%s', '%s', '%s', '%s')",
                             TABLE_NAME.toUtf8().constData(), COLUMN_NAME.toUtf8().constData(),
                             COLUMN_TYPE.toUtf8().constData(), COLUMN_VERSION.toUtf8().constData(),
                             COLUMN_DATETIME.toUtf8().constData(), EscapeUtf8(m_strName).constData(),
                             EscapeUtf8(m_strType).constData(), EscapeUtf8(m_strVersion).constData(),
                             EscapeUtf8(m_dateTimeCreated.toString(Qt::TextDate)).constData());
}
