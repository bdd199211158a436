#pragma once

#include "trainer/TableEditorDlg.h"

#include <tuple>
#include <vector>

// The parameter editor: one row per parameter (ID, name, value) and an entry
// row in which the first edit adds a parameter. Edits leave at once as
// signals, so "Save" and "Cancel" only close the dialog. A Qt child of the
// project explorer; GUI thread.
class CParameterEditorView : public CTableEditorView
{
    Q_OBJECT
public:
    explicit CParameterEditorView(QWidget* pParent);

    // Refills the table with (ID, name, value) triples in the given order.
    void Update(const std::vector<std::tuple<int, QString, QString>>& vctParameters);

signals:
    void signal_Update(int nID, const QString& strName, const QString& strValue);
    void signal_Insert(const QString& strName, const QString& strValue);
    void signal_Save();
    void signal_Cancel();

protected:
    QList<QStandardItem*> CreateEntryRow() const override;
    void EmitEdit(int nRow, int nColumn, bool bEntryRow) override;

private:
    QPushButton* AddButton(const QString& strText);
};
