#include "trainer/Category.h"

#include <QSqlQuery>
#include <QSqlRecord>

const QString CCategory::TABLE_NAME = QStringLiteral("category");
const QString CCategory::COLUMN_NAME = QStringLiteral("NAME");

void CCategory::ParseFromQuery(QSqlQuery* pQuery)
{
    if (!pQuery)
        return;
    const QSqlRecord record = pQuery->record();
    ReadColumn(pQuery, record, COLUMN_ID, ID);
    ReadColumn(pQuery, record, COLUMN_NAME, m_strName);
}

QString CCategory::ParseToInsertQuery()
{
    return QString::asprintf("INSERT INTO %s (%s) VALUES('%s')", TABLE_NAME.toUtf8().constData(),
                             COLUMN_NAME.toUtf8().constData(), EscapeUtf8(m_strName).constData());
}
