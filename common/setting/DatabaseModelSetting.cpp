#include "common/setting/DatabaseModelSetting.h"

#include <QSqlQuery>
#include <QSqlRecord>

const QString CDatabaseModelSetting::TABLE_NAME = QStringLiteral("settings");
const QString CDatabaseModelSetting::COLUMN_NAME = QStringLiteral("NAME");
const QString CDatabaseModelSetting::COLUMN_VALUE = QStringLiteral("VALUE");
const QString CDatabaseModelSetting::COLUMN_TYPE = QStringLiteral("TYPE");

void CDatabaseModelSetting::ParseFromQuery(QSqlQuery* pQuery)
{
    if (!pQuery)
        return;
    const QSqlRecord record = pQuery->record();
    ReadColumn(pQuery, record, COLUMN_ID, ID);
    ReadColumn(pQuery, record, COLUMN_NAME, m_strName);
    ReadColumn(pQuery, record, COLUMN_VALUE, m_strValue);
    ReadColumn(pQuery, record, COLUMN_TYPE, m_strType);
}

QString CDatabaseModelSetting::ParseToInsertQuery()
{
    return QString::asprintf("INSERT INTO %s (%s, %s, %s) VALUES('%s', '%s', '%s')",
                             TABLE_NAME.toUtf8().constData(), COLUMN_NAME.toUtf8().constData(),
                             COLUMN_VALUE.toUtf8().constData(), COLUMN_TYPE.toUtf8().constData(),
                             EscapeUtf8(m_strName).constData(), EscapeUtf8(m_strValue).constData(),
                             EscapeUtf8(m_strType).constData());
}
