#include "trainer/DatasetImage.h"

#include <QSqlQuery>
#include <QSqlRecord>

const QString CDatasetImage::TABLE_NAME = QStringLiteral("dataset_image");
const QString CDatasetImage::COLUMN_NAME = QStringLiteral("NAME");
const QString CDatasetImage::COLUMN_FULL_PATH = QStringLiteral("FULL_PATH");
const QString CDatasetImage::COLUMN_TYPE = QStringLiteral("TYPE");
const QString CDatasetImage::COLUMN_WIDTH = QStringLiteral("WIDTH");
const QString CDatasetImage::COLUMN_HEIGHT = QStringLiteral("HEIGHT");
const QString CDatasetImage::COLUMN_PROJECT_ID = QStringLiteral("PROJECT_ID");

void CDatasetImage::ParseFromQuery(QSqlQuery* pQuery)
{
    if (!pQuery)
        return;
    const QSqlRecord record = pQuery->record();
    ReadColumn(pQuery, record, COLUMN_ID, ID);
    ReadColumn(pQuery, record, COLUMN_NAME, m_strName);
    ReadColumn(pQuery, record, COLUMN_FULL_PATH, m_strFullPath);
    ReadColumn(pQuery, record, COLUMN_TYPE, m_strType);
    ReadUnsignedColumn(pQuery, record, COLUMN_WIDTH, m_nWidth);
    ReadUnsignedColumn(pQuery, record, COLUMN_HEIGHT, m_nHeight);
    ReadColumn(pQuery, record, COLUMN_PROJECT_ID, m_nProjectID);
}

QString CDatasetImage::ParseToInsertQuery()
{
    return QString::asprintf("INSERT INTO %s (%s, %s, %s, %s, %s, %s) VALUES('%s', '%s', '%s', %d, %d, %d)",
                             TABLE_NAME.toUtf8().constData(), COLUMN_NAME.toUtf8().constData(),
                             COLUMN_FULL_PATH.toUtf8().constData(), COLUMN_TYPE.toUtf8().constData(),
                             COLUMN_WIDTH.toUtf8().constData(), COLUMN_HEIGHT.toUtf8().constData(),
                             COLUMN_PROJECT_ID.toUtf8().constData(), EscapeUtf8(m_strName).constData(),
                             EscapeUtf8(m_strFullPath).constData(), EscapeUtf8(m_strType).constData(),
                             m_nWidth, m_nHeight, m_nProjectID);
}
