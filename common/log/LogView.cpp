#include "common/log/LogView.h"

#include <QBrush>
#include <QHeaderView>
#include <QList>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace
{
QBrush LevelBrush(ELogLevel level)
{
    switch (level)
    {
    case ELogLevel::NORMAL:
        return QBrush(QColor(0, 255, 0));
    case ELogLevel::DEBUG:
        return QBrush(QColor(255, 255, 255));
    case ELogLevel::WARNING:
        return QBrush(QColor(255, 255, 0));
    case ELogLevel::ERROR:
        return QBrush(QColor(255, 0, 0));
    }
    return QBrush();
}

QList<QStandardItem*> MakeRow(const SLogMessage& message)
{
    const QBrush brush = LevelBrush(message.level);
    QList<QStandardItem*> lstRow{
        new QStandardItem(message.time.toString(QStringLiteral("yyyy-MM-dd hh::mm::ss"))),
        new QStandardItem(CLogger::ToString(message.level)), new QStandardItem(message.text)};
    for (QStandardItem* pItem : lstRow)
        pItem->setForeground(brush);
    return lstRow;
}
} // namespace

CLogView::CLogView(QWidget* pParent) : QWidget(pParent)
{
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setSpacing(0);
    pLayout->setContentsMargins(0, 0, 0, 0);

    m_pTableView = new QTableView(this);
    m_pModel = new QStandardItemModel(m_pTableView);
    m_pTableView->setModel(m_pModel);
    m_pTableView->setTextElideMode(Qt::ElideNone);
    ResetModel();
    pLayout->addWidget(m_pTableView);

    connect(CLogger::GetInstance(), &CLogger::signal_NewMessages, this, &CLogView::slot_NewMessages);
}

void CLogView::ResetModel()
{
    m_pModel->clear();
    m_pModel->setHorizontalHeaderLabels(
        {QStringLiteral("DateTime"), QStringLiteral("Type"), QStringLiteral("Message")});
    m_pTableView->horizontalHeader()->setStretchLastSection(true);
    // Time and level are shown whole; only the rows in view are measured.
    m_pTableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    // The level column is sized once for its longest name.
    m_pTableView->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    m_pTableView->setColumnWidth(1, m_pTableView->fontMetrics().horizontalAdvance(QStringLiteral("WARNING")) +
                                        2 * m_pTableView->fontMetrics().horizontalAdvance(QLatin1Char('M')));
}

void CLogView::slot_NewMessage(const SLogMessage& message)
{
    slot_NewMessages({message});
}

void CLogView::slot_NewMessages(const QVector<SLogMessage>& vctMessages)
{
    if (!m_pModel || !m_pTableView || vctMessages.isEmpty())
        return;

    // Appending one by one clears the table whenever it holds MAX_ROWS rows, so
    // after a batch only its tail survives: the last ((rows + n - 1) % MAX_ROWS) + 1.
    const int nTotal = m_pModel->rowCount() + vctMessages.size();
    int nFirst = 0;
    if (nTotal > MAX_ROWS)
    {
        const int nKeep = (nTotal - 1) % MAX_ROWS + 1;
        nFirst = vctMessages.size() - nKeep;
        ResetModel();
    }
    AppendRows(vctMessages, nFirst);
    // scrollToBottom lays pending rows out first; scrollTo alone would clamp
    // to the scroll range of before the batch.
    m_pTableView->scrollToBottom();
}

void CLogView::AppendRows(const QVector<SLogMessage>& vctMessages, int nFirst)
{
    for (int i = nFirst; i < vctMessages.size(); ++i)
        m_pModel->appendRow(MakeRow(vctMessages.at(i)));
}
