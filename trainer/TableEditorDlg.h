#pragma once

#include <QDialog>
#include <QModelIndex>
#include <QStringList>
#include <QVector>

class QHBoxLayout;
class QPushButton;
class QStandardItem;
class QStandardItemModel;
class QTableView;

// Common ground of the dialogs that edit one project table in place: a table
// with one row per database row (ID in column 0, never editable) and a last,
// empty entry row in which typing adds a row, above a button row that starts
// with "Delete". Subclasses say how a row edit and the entry row look and
// which signal an edit sends. Owned by its Qt parent; GUI thread.
class CTableEditorView : public QDialog
{
    Q_OBJECT
public:
    QSize sizeHint() const override;
    QTableView* GetTableView() const { return m_pTableView; }
    QStandardItemModel* GetItemModel() const { return m_pItemModel; }

signals:
    // Only for existing rows: neither an empty table nor the entry row sends it.
    void signal_Delete(int nID);

public slots:
    void slot_Delete();
    void slot_DataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                          const QVector<int>& vctRoles);

protected:
    CTableEditorView(const QStringList& lstHeaders, QWidget* pParent);

    // Clears the table and appends one row per entry: the ID, then the texts.
    void FillRows(const std::vector<std::pair<int, QStringList>>& vctRows);
    // The row of a new entry, appended after FillRows.
    virtual QList<QStandardItem*> CreateEntryRow() const = 0;
    // An edit of the cell (nRow, nColumn); bEntryRow for the last row.
    virtual void EmitEdit(int nRow, int nColumn, bool bEntryRow) = 0;

    QString CellText(int nRow, int nColumn) const;
    // The ID shown in column 0 of the row; 0 for the entry row.
    int RowID(int nRow) const;
    QHBoxLayout* GetButtonLayout() const { return m_pButtonLayout; }

private:
    QTableView* m_pTableView = nullptr;
    QStandardItemModel* m_pItemModel = nullptr;
    QHBoxLayout* m_pButtonLayout = nullptr;
    QStringList m_lstHeaders;
};
