#include "trainer/DatasetRoi.h"

#include <QSqlQuery>
#include <QSqlRecord>

const QString CDatasetRoi::TABLE_NAME = QStringLiteral("dataset_roi");
const QString CDatasetRoi::COLUMN_X = QStringLiteral("X");
const QString CDatasetRoi::COLUMN_Y = QStringLiteral("Y");
const QString CDatasetRoi::COLUMN_WIDTH = QStringLiteral("WIDTH");
const QString CDatasetRoi::COLUMN_HEIGHT = QStringLiteral("HEIGHT");
const QString CDatasetRoi::COLUMN_IMAGE_ID = QStringLiteral("IMAGE_ID");
const QString CDatasetRoi::COLUMN_CATEGORY_ID = QStringLiteral("CATEGORY_ID");

void CDatasetRoi::ParseFromQuery(QSqlQuery* pQuery)
{
    if (!pQuery)
        return;
    const QSqlRecord record = pQuery->record();
    ReadColumn(pQuery, record, COLUMN_ID, ID);
    ReadColumn(pQuery, record, COLUMN_X, m_dX);
    ReadColumn(pQuery, record, COLUMN_Y, m_dY);
    ReadColumn(pQuery, record, COLUMN_WIDTH, m_dWidth);
    ReadColumn(pQuery, record, COLUMN_HEIGHT, m_dHeight);
    ReadColumn(pQuery, record, COLUMN_IMAGE_ID, m_nImageID);
    ReadColumn(pQuery, record, COLUMN_CATEGORY_ID, m_nCategoryID);
}

QString CDatasetRoi::ParseToInsertQuery()
{
    // Qt's asprintf ignores the user's locale, so coordinates always carry a decimal point.
    return QString::asprintf("INSERT INTO %s (%s, %s, %s, %s, %s, %s) VALUES(%f, %f, %f, %f, %d, %d)",
                             TABLE_NAME.toUtf8().constData(), COLUMN_X.toUtf8().constData(),
                             COLUMN_Y.toUtf8().constData(), COLUMN_WIDTH.toUtf8().constData(),
                             COLUMN_HEIGHT.toUtf8().constData(), COLUMN_IMAGE_ID.toUtf8().constData(),
                             COLUMN_CATEGORY_ID.toUtf8().constData(), m_dX, m_dY, m_dWidth, m_dHeight,
                             m_nImageID, m_nCategoryID);
}

QString CDatasetRoi::ParseToInsertQueryWithID() const
{
    return QString::asprintf("INSERT INTO %s (%s, %s, %s, %s, %s, %s, %s) VALUES(%d, %f, %f, %f, %f, %d, %d)",
                             TABLE_NAME.toUtf8().constData(), COLUMN_ID.toUtf8().constData(),
                             COLUMN_X.toUtf8().constData(), COLUMN_Y.toUtf8().constData(),
                             COLUMN_WIDTH.toUtf8().constData(), COLUMN_HEIGHT.toUtf8().constData(),
                             COLUMN_IMAGE_ID.toUtf8().constData(), COLUMN_CATEGORY_ID.toUtf8().constData(),
                             ID, m_dX, m_dY, m_dWidth, m_dHeight, m_nImageID, m_nCategoryID);
}

std::shared_ptr<CDatasetRoi> CDatasetRoi::Make(const QRectF& rcBox, int nImageID, int nCategoryID)
{
    auto pRoi = std::make_shared<CDatasetRoi>();
    pRoi->SetX(rcBox.x());
    pRoi->SetY(rcBox.y());
    pRoi->SetWidth(rcBox.width());
    pRoi->SetHeight(rcBox.height());
    pRoi->SetImageID(nImageID);
    pRoi->SetCategoryID(nCategoryID);
    return pRoi;
}
