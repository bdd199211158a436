#include "trainer/TableEditorDlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

CTableEditorView::CTableEditorView(const QStringList& lstHeaders, QWidget* pParent)
    : QDialog(pParent), m_lstHeaders(lstHeaders)
{
    qRegisterMetaType<QVector<int>>("QVector<int>");
    auto* pLayout = new QVBoxLayout(this);

    m_pTableView = new QTableView(this);
    m_pItemModel = new QStandardItemModel(m_pTableView);
    m_pTableView->setModel(m_pItemModel);
    pLayout->addWidget(m_pTableView);

    auto* pButtonRow = new QWidget(this);
    pButtonRow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    m_pButtonLayout = new QHBoxLayout(pButtonRow);
    auto* pDelete = new QPushButton(QStringLiteral("Delete"), pButtonRow);
    pDelete->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    // Enter in a table cell commits the edit; it must not press a button too.
    pDelete->setAutoDefault(false);
    m_pButtonLayout->addWidget(pDelete);
    pLayout->addWidget(pButtonRow);

    connect(pDelete, &QPushButton::pressed, this, &CTableEditorView::slot_Delete);
    connect(m_pItemModel, &QStandardItemModel::dataChanged, this, &CTableEditorView::slot_DataChanged);
}

QSize CTableEditorView::sizeHint() const
{
    return QSize(500, 200);
}

void CTableEditorView::FillRows(const std::vector<std::pair<int, QStringList>>& vctRows)
{
    if (!m_pTableView || !m_pItemModel)
        return;
    m_pItemModel->clear();
    m_pItemModel->setHorizontalHeaderLabels(m_lstHeaders);
    for (const auto& [nID, lstTexts] : vctRows)
    {
        QList<QStandardItem*> lstRow;
        auto* pID = new QStandardItem(QString::asprintf("%d", nID));
        pID->setEnabled(false);
        lstRow.append(pID);
        for (const QString& strText : lstTexts)
            lstRow.append(new QStandardItem(strText));
        m_pItemModel->appendRow(lstRow);
    }
    m_pItemModel->appendRow(CreateEntryRow());
}

QString CTableEditorView::CellText(int nRow, int nColumn) const
{
    const QStandardItem* pItem = m_pItemModel ? m_pItemModel->item(nRow, nColumn) : nullptr;
    return pItem ? pItem->text() : QString();
}

int CTableEditorView::RowID(int nRow) const
{
    return static_cast<int>(CellText(nRow, 0).toUInt(nullptr, 10));
}

void CTableEditorView::slot_DataChanged(const QModelIndex& topLeft, const QModelIndex& /*bottomRight*/,
                                        const QVector<int>& vctRoles)
{
    if (!topLeft.isValid() || !m_pItemModel)
        return;
    // Flags, tool tips and the like are no edits of the text.
    if (!vctRoles.isEmpty() && !vctRoles.contains(Qt::DisplayRole) && !vctRoles.contains(Qt::EditRole))
        return;
    const int nRow = topLeft.row();
    EmitEdit(nRow, topLeft.column(), nRow == m_pItemModel->rowCount() - 1);
}

void CTableEditorView::slot_Delete()
{
    if (!m_pTableView || !m_pItemModel)
        return;
    const QModelIndex current = m_pTableView->currentIndex();
    if (!current.isValid() || current.row() == m_pItemModel->rowCount() - 1)
        return;
    emit signal_Delete(RowID(current.row()));
}
