#include "trainer/TableEditorCtrl.h"

#include "common/database/DatabaseHelper.h"
#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"

#include <QWidget>

CTableEditorController::CTableEditorController(QWidget* pView, CDatabaseModel* pDatabase,
                                               const QString& strTable, const QString& strNameColumn,
                                               const QString& strNameLabel)
    : m_pView(pView), m_pDatabase(pDatabase), m_strTable(strTable), m_strNameColumn(strNameColumn),
      m_strNameLabel(strNameLabel)
{
}

CDatabaseModel::RecordList CTableEditorController::SelectAll() const
{
    CDatabaseModel::RecordList vctRecords;
    if (m_pDatabase)
        m_pDatabase->SelectFromTable(m_strTable, vctRecords, {});
    return vctRecords;
}

void CTableEditorController::Refuse(const QString& strMessage)
{
    CLog::Write(ELogLevel::WARNING, "%s", strMessage.toUtf8().constData());
    CInteraction::Message(m_pView, QMessageBox::Warning, m_pView ? m_pView->windowTitle() : QString(),
                          strMessage);
    Reload();
}

bool CTableEditorController::AcceptName(const QString& strName, int nID)
{
    if (strName.trimmed().isEmpty())
    {
        Refuse(QString::asprintf("%s must not be empty", m_strNameLabel.toUtf8().constData()));
        return false;
    }
    // Asked before writing, so the user learns why instead of reading an SQL error in the log.
    CDatabaseModel::RecordList vctSameName;
    m_pDatabase->SelectFromTable(m_strTable, vctSameName, {{m_strNameColumn, strName}});
    for (const std::shared_ptr<CDatabaseRecord>& pRecord : vctSameName)
    {
        if (pRecord && pRecord->ID != nID)
        {
            Refuse(QString::asprintf("%s %s already exists", m_strNameLabel.toUtf8().constData(),
                                     strName.toUtf8().constData()));
            return false;
        }
    }
    return true;
}

bool CTableEditorController::InsertRow(const std::shared_ptr<CDatabaseRecord>& pRecord,
                                       const QString& strName)
{
    if (!m_pView || !m_pDatabase || !pRecord)
        return false;
    // An entry row left empty (or holding only a value so far) adds nothing yet.
    if (strName.trimmed().isEmpty())
        return false;
    if (!AcceptName(strName, -1))
        return false;
    if (!m_pDatabase->InsertToTable({pRecord}, true))
    {
        CLog::Write(ELogLevel::ERROR, "Insert Table %s Failed", m_strTable.toUtf8().constData());
        Refuse(QString::asprintf("%s %s cannot be stored", m_strNameLabel.toUtf8().constData(),
                                 strName.toUtf8().constData()));
        return false;
    }
    Reload();
    return true;
}

bool CTableEditorController::UpdateRow(int nID, const QString& strName,
                                       const CDatabaseModel::ColumnMap& mapSet)
{
    if (!m_pView || !m_pDatabase || nID <= 0)
        return false;
    if (!AcceptName(strName, nID))
        return false;
    if (!m_pDatabase->UpdateTable(m_strTable, mapSet, {{CDatabaseRecord::COLUMN_ID, nID}}, true))
    {
        CLog::Write(ELogLevel::ERROR, "Update Table %s Failed", m_strTable.toUtf8().constData());
        Refuse(QString::asprintf("%s %s cannot be stored", m_strNameLabel.toUtf8().constData(),
                                 strName.toUtf8().constData()));
        return false;
    }
    return true;
}

bool CTableEditorController::DeleteRow(int nID)
{
    // IDs start at 1; anything else names no row and must change nothing.
    if (!m_pView || !m_pDatabase || nID <= 0)
        return false;
    if (!m_pDatabase->DeleteFromTable(m_strTable, {{CDatabaseRecord::COLUMN_ID, nID}}, true))
    {
        CLog::Write(ELogLevel::ERROR, "Delete Table %s Failed", m_strTable.toUtf8().constData());
        return false;
    }
    Reload();
    return true;
}
