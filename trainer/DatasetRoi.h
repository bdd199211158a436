#pragma once

#include "common/database/DatabaseHelper.h"

#include <QRectF>

#include <memory>

// One rectangular region of interest on an image, in image pixels: X/Y the
// top-left corner. Every creator sets all six fields.
class CDatasetRoi : public CDatabaseRecord
{
public:
    static const QString TABLE_NAME;
    static const QString COLUMN_X;
    static const QString COLUMN_Y;
    static const QString COLUMN_WIDTH;
    static const QString COLUMN_HEIGHT;
    static const QString COLUMN_IMAGE_ID;
    static const QString COLUMN_CATEGORY_ID;

    ~CDatasetRoi() override = default;
    // A new row (no ID yet) of the box on the image.
    static std::shared_ptr<CDatasetRoi> Make(const QRectF& rcBox, int nImageID, int nCategoryID);
    void ParseFromQuery(QSqlQuery* pQuery) override;
    QString ParseToInsertQuery() override;
    // The insert with the record's own ID: a box deleted and brought back
    // keeps its identity (IDs are never handed out twice).
    QString ParseToInsertQueryWithID() const;

    void SetX(double dX) { m_dX = dX; }
    double GetX() const { return m_dX; }
    void SetY(double dY) { m_dY = dY; }
    double GetY() const { return m_dY; }
    void SetWidth(double dWidth) { m_dWidth = dWidth; }
    double GetWidth() const { return m_dWidth; }
    void SetHeight(double dHeight) { m_dHeight = dHeight; }
    double GetHeight() const { return m_dHeight; }
    void SetCategoryID(int nCategoryID) { m_nCategoryID = nCategoryID; }
    int GetCategoryID() const { return m_nCategoryID; }
    void SetImageID(int nImageID) { m_nImageID = nImageID; }
    int GetImageID() const { return m_nImageID; }

private:
    double m_dX = 0;
    double m_dY = 0;
    double m_dWidth = 0;
    double m_dHeight = 0;
    int m_nCategoryID = -1;
    int m_nImageID = -1;
};
