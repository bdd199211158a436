#include "trainer/Parameter.h"

#include <QSqlQuery>
#include <QSqlRecord>

const QString CParameter::TABLE_NAME = QStringLiteral("parameter");
const QString CParameter::COLUMN_NAME = QStringLiteral("NAME");
const QString CParameter::COLUMN_VALUE = QStringLiteral("VALUE");

void CParameter::ParseFromQuery(QSqlQuery* pQuery)
{
    if (!pQuery)
        return;
    const QSqlRecord record = pQuery->record();
    ReadColumn(pQuery, record, COLUMN_ID, ID);
    ReadColumn(pQuery, record, COLUMN_NAME, m_strName);
    ReadColumn(pQuery, record, COLUMN_VALUE, m_strValue);
}

QString CParameter::ParseToInsertQuery()
{
    return QString::asprintf("INSERT INTO %s (%s, %s) VALUES('%s', '%s')", TABLE_NAME.toUtf8().constData(),
                             COLUMN_NAME.toUtf8().constData(), COLUMN_VALUE.toUtf8().constData(),
                             EscapeUtf8(m_strName).constData(), EscapeUtf8(m_strValue).constData());
}
