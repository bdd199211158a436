#include "trainer/ClassEditorDlg.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

CClassEditorView::CClassEditorView(QWidget* pParent)
    : CTableEditorView({QStringLiteral("ID"), QStringLiteral("Name")}, pParent)
{
    setWindowTitle(QStringLiteral("Class Categories"));
}

void CClassEditorView::Update(const std::vector<std::pair<int, QString>>& vctCategories)
{
    if (!GetTableView() || !GetItemModel())
        return;
    std::vector<std::pair<int, QStringList>> vctRows;
    vctRows.reserve(vctCategories.size());
    for (const auto& [nID, strName] : vctCategories)
        vctRows.emplace_back(nID, QStringList{strName});
    FillRows(vctRows);
    GetTableView()->horizontalHeader()->setStretchLastSection(true);
    GetTableView()->hideColumn(0);
}

QList<QStandardItem*> CClassEditorView::CreateEntryRow() const
{
    auto* pID = new QStandardItem();
    pID->setEnabled(false);
    auto* pName = new QStandardItem();
    pName->setToolTip(QStringLiteral("Class name"));
    return {pID, pName};
}

void CClassEditorView::EmitEdit(int nRow, int nColumn, bool bEntryRow)
{
    const QString strName = CellText(nRow, nColumn);
    if (bEntryRow)
        emit signal_Insert(strName);
    else
        emit signal_Update(RowID(nRow), strName);
}
