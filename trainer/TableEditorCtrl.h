#pragma once

#include "common/database/DatabaseModel.h"
#include "common/mvc/CenterCtrl.h"

#include <QString>

#include <memory>

class CDatabaseRecord;
class QWidget;

// Common ground of the controllers that store the edits of a table editor
// dialog in one project table whose NAME column is unique: names are checked
// before they are written, a refused or failed write is shown to the user and
// the table is reloaded so it never shows what the database does not hold.
// Borrows the view and the database; no Qt parent; GUI thread.
class CTableEditorController : public CController
{
    Q_OBJECT
protected:
    // strTable and strNameColumn name the table; strNameLabel starts the
    // messages ("Class name").
    CTableEditorController(QWidget* pView, CDatabaseModel* pDatabase, const QString& strTable,
                           const QString& strNameColumn, const QString& strNameLabel);

    // Reads the table and shows it.
    virtual void Reload() = 0;

    // Each returns whether the database changed.
    bool InsertRow(const std::shared_ptr<CDatabaseRecord>& pRecord, const QString& strName);
    bool UpdateRow(int nID, const QString& strName, const CDatabaseModel::ColumnMap& mapSet);
    bool DeleteRow(int nID);

    // Every row of the table, empty without a database.
    CDatabaseModel::RecordList SelectAll() const;
    CDatabaseModel* GetDatabase() const { return m_pDatabase; }

private:
    // Whether the name may be stored for row nID (-1 for a new row); shows why not.
    bool AcceptName(const QString& strName, int nID);
    // Shows the message and puts the database's view of the table back.
    void Refuse(const QString& strMessage);

    QWidget* m_pView = nullptr;
    CDatabaseModel* m_pDatabase = nullptr;
    QString m_strTable;
    QString m_strNameColumn;
    QString m_strNameLabel;
};
