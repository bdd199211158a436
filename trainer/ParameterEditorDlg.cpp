#include "trainer/ParameterEditorDlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardItem>

CParameterEditorView::CParameterEditorView(QWidget* pParent)
    : CTableEditorView({QStringLiteral("ID"), QStringLiteral("Name"), QStringLiteral("Value")}, pParent)
{
    setWindowTitle(QStringLiteral("Parameters"));
    // Every edit is stored as it is made; both buttons only end the dialog.
    QPushButton* pSave = AddButton(QStringLiteral("Save"));
    connect(pSave, &QPushButton::pressed, this, &CParameterEditorView::signal_Save);
    connect(pSave, &QPushButton::pressed, this, &QDialog::accept);
    QPushButton* pCancel = AddButton(QStringLiteral("Cancel"));
    connect(pCancel, &QPushButton::pressed, this, &CParameterEditorView::signal_Cancel);
    connect(pCancel, &QPushButton::pressed, this, &QDialog::reject);
}

QPushButton* CParameterEditorView::AddButton(const QString& strText)
{
    auto* pButton = new QPushButton(strText, GetButtonLayout()->parentWidget());
    pButton->setAutoDefault(false);
    GetButtonLayout()->addWidget(pButton);
    return pButton;
}

void CParameterEditorView::Update(const std::vector<std::tuple<int, QString, QString>>& vctParameters)
{
    std::vector<std::pair<int, QStringList>> vctRows;
    vctRows.reserve(vctParameters.size());
    for (const auto& [nID, strName, strValue] : vctParameters)
        vctRows.emplace_back(nID, QStringList{strName, strValue});
    FillRows(vctRows);
}

QList<QStandardItem*> CParameterEditorView::CreateEntryRow() const
{
    return {new QStandardItem(), new QStandardItem(), new QStandardItem()};
}

void CParameterEditorView::EmitEdit(int nRow, int /*nColumn*/, bool bEntryRow)
{
    // Name and value travel together, whichever of them was edited.
    const QString strName = CellText(nRow, 1);
    const QString strValue = CellText(nRow, 2);
    if (bEntryRow)
        emit signal_Insert(strName, strValue);
    else
        emit signal_Update(RowID(nRow), strName, strValue);
}
