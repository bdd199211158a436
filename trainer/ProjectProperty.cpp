#include "trainer/ProjectProperty.h"

#include <QSqlQuery>
#include <QSqlRecord>

const QString CProjectProperty::TABLE_NAME = QStringLiteral("project_property");
const QString CProjectProperty::COLUMN_NAME = QStringLiteral("NAME");
const QString CProjectProperty::COLUMN_VALUE = QStringLiteral("VALUE");
const QString CProjectProperty::COLUMN_TYPE = QStringLiteral("TYPE");
const QString CProjectProperty::COLUMN_PROJECT_ID = QStringLiteral("PROJECT_ID");

void CProjectProperty::ParseFromQuery(QSqlQuery* pQuery)
{
    if (!pQuery)
        return;
    const QSqlRecord record = pQuery->record();
    ReadColumn(pQuery, record, COLUMN_ID, ID);
    ReadColumn(pQuery, record, COLUMN_NAME, m_strName);
    ReadColumn(pQuery, record, COLUMN_VALUE, m_strValue);
    ReadColumn(pQuery, record, COLUMN_TYPE, m_strType);
    ReadColumn(pQuery, record, COLUMN_PROJECT_ID, m_nProjectID);
}

QString CProjectProperty::ParseToInsertQuery()
{
    return QString::asprintf(
        "INSERT INTO %s (%s, %s, %s, %s) VALUES('%s', '%s', '%s', %d)", TABLE_NAME.toUtf8().constData(),
        COLUMN_NAME.toUtf8().constData(), COLUMN_VALUE.toUtf8().constData(), COLUMN_TYPE.toUtf8().constData(),
        COLUMN_PROJECT_ID.toUtf8().constData(), EscapeUtf8(m_strName).constData(),
        EscapeUtf8(m_strValue).constData(), EscapeUtf8(m_strType).constData(), m_nProjectID);
}
