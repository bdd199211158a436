#pragma once

#include "common/database/DatabaseHelper.h"

// One image of the project's training or test set. FullPath is relative to
// the project folder ("Images/<name>"); width and height are image pixels.
class CDatasetImage : public CDatabaseRecord
{
public:
    static const QString TABLE_NAME;
    static const QString COLUMN_NAME;
    static const QString COLUMN_FULL_PATH;
    static const QString COLUMN_TYPE;
    static const QString COLUMN_WIDTH;
    static const QString COLUMN_HEIGHT;
    static const QString COLUMN_PROJECT_ID;

    ~CDatasetImage() override = default;
    void ParseFromQuery(QSqlQuery* pQuery) override;
    QString ParseToInsertQuery() override;

    void SetName(const QString& strName) { m_strName = strName; }
    QString GetName() const { return m_strName; }
    void SetFullPath(const QString& strFullPath) { m_strFullPath = strFullPath; }
    QString GetFullPath() const { return m_strFullPath; }
    void SetType(const QString& strType) { m_strType = strType; }
    QString GetType() const { return m_strType; }
    void SetWidth(int nWidth) { m_nWidth = nWidth; }
    int GetWidth() const { return m_nWidth; }
    void SetHeight(int nHeight) { m_nHeight = nHeight; }
    int GetHeight() const { return m_nHeight; }
    void SetProjectID(int nProjectID) { m_nProjectID = nProjectID; }
    int GetProjectID() const { return m_nProjectID; }

private:
    QString m_strName;
    QString m_strFullPath;
    QString m_strType;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nProjectID = -1;
};
