#pragma once

#include "trainer/TableEditorDlg.h"

#include <utility>
#include <vector>

// The class category editor: one row per category (the ID column hidden, the
// name editable) and the entry row in which typing a name adds a category.
// Every edit leaves at once as a signal; the dialog stores nothing itself.
// A Qt child of the project explorer; GUI thread.
class CClassEditorView : public CTableEditorView
{
    Q_OBJECT
public:
    explicit CClassEditorView(QWidget* pParent);

    // Refills the table with (ID, name) pairs in the given order.
    void Update(const std::vector<std::pair<int, QString>>& vctCategories);

signals:
    void signal_Update(int nID, const QString& strName);
    void signal_Insert(const QString& strName);
    // After a category was deleted: the ROIs that used it must be checked again.
    void signal_CheckValidateROI();

protected:
    QList<QStandardItem*> CreateEntryRow() const override;
    void EmitEdit(int nRow, int nColumn, bool bEntryRow) override;
};
