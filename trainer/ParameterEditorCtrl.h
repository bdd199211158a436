#pragma once

#include "trainer/TableEditorCtrl.h"

class CParameterEditorView;

// Stores the edits of the parameter editor in the table "parameter" at once
// and reloads the dialog. Owned by the project controller; borrows the view
// and the database; GUI thread.
class CParameterEditorController : public CTableEditorController
{
    Q_OBJECT
public:
    CParameterEditorController(CParameterEditorView* pView, CDatabaseModel* pDatabase);

    // Reloads the dialog from the database.
    void UpdateParameterName();

public slots:
    void slot_Update(int nID, const QString& strName, const QString& strValue);
    void slot_Insert(const QString& strName, const QString& strValue);
    void slot_Delete(int nID);

protected:
    void Reload() override;

private:
    CParameterEditorView* m_pView = nullptr;
};
