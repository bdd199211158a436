#pragma once

#include "trainer/TableEditorCtrl.h"

class CClassEditorView;

// Stores the edits of the class category editor in the table "category" at
// once and reloads the dialog. After a delete it asks for the ROIs to be
// checked again, since some may now name a category that is gone. Owned by
// the project controller; borrows the view and the database; GUI thread.
class CClassEditorController : public CTableEditorController
{
    Q_OBJECT
public:
    CClassEditorController(CClassEditorView* pView, CDatabaseModel* pDatabase);

    // Reloads the dialog from the database.
    void UpdateClassName();

public slots:
    void slot_Update(int nID, const QString& strName);
    void slot_Insert(const QString& strName);
    void slot_Delete(int nID);

protected:
    void Reload() override;

private:
    CClassEditorView* m_pView = nullptr;
};
