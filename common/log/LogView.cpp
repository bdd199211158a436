#include "common/log/LogView.h"

#include <QBrush>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

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

// The stored level values are not in order of severity (NORMAL is 0,
// DEBUG 1); the filter compares ranks.
int Rank(ELogLevel level)
{
    switch (level)
    {
    case ELogLevel::DEBUG:
        return 0;
    case ELogLevel::NORMAL:
        return 1;
    case ELogLevel::WARNING:
        return 2;
    case ELogLevel::ERROR:
        return 3;
    }
    // Unknown levels come from newer or damaged files: never hide them.
    return 3;
}

constexpr int RANK_ROLE = Qt::UserRole + 1;
constexpr int MIN_TABLE_HEIGHT = 48;

QList<QStandardItem*> MakeRow(const SLogMessage& message)
{
    const QBrush brush = LevelBrush(message.level);
    QList<QStandardItem*> lstRow{
        new QStandardItem(message.time.toString(QStringLiteral("yyyy-MM-dd hh::mm::ss"))),
        new QStandardItem(CLogger::ToString(message.level)), new QStandardItem(message.text)};
    for (QStandardItem* pItem : lstRow)
        pItem->setForeground(brush);
    lstRow[1]->setData(Rank(message.level), RANK_ROLE);
    return lstRow;
}
} // namespace

CLogView::CLogView(QWidget* pParent) : QWidget(pParent)
{
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setSpacing(0);
    pLayout->setContentsMargins(0, 0, 0, 0);

    m_pFilterBar = MakeFilterBar();
    pLayout->addWidget(m_pFilterBar);
    m_pTableView = new QTableView(this);
    m_pModel = new QStandardItemModel(m_pTableView);
    m_pTableView->setModel(m_pModel);
    m_pTableView->setTextElideMode(Qt::ElideNone);
    // The band may be dragged down to a couple of lines: the image above
    // needs the room more while labelling.
    m_pTableView->setMinimumHeight(MIN_TABLE_HEIGHT);
    ResetModel();
    pLayout->addWidget(m_pTableView);

    connect(CLogger::GetInstance(), &CLogger::signal_NewMessages, this, &CLogView::slot_NewMessages);
}

QWidget* CLogView::MakeFilterBar()
{
    auto* pBar = new QWidget(this);
    auto* pLayout = new QHBoxLayout(pBar);
    pLayout->setContentsMargins(2, 2, 2, 2);
    pLayout->addWidget(new QLabel(QStringLiteral("Show:"), pBar));
    m_pLevelBox = new QComboBox(pBar);
    m_pLevelBox->addItem(QStringLiteral("Everything (DEBUG too)"), Rank(ELogLevel::DEBUG));
    m_pLevelBox->addItem(QStringLiteral("NORMAL and above"), Rank(ELogLevel::NORMAL));
    m_pLevelBox->addItem(QStringLiteral("WARNING and ERROR"), Rank(ELogLevel::WARNING));
    m_pLevelBox->addItem(QStringLiteral("ERROR only"), Rank(ELogLevel::ERROR));
    m_pLevelBox->setCurrentIndex(1);
    pLayout->addWidget(m_pLevelBox);
    m_pTextFilter = new QLineEdit(pBar);
    m_pTextFilter->setPlaceholderText(QStringLiteral("Filter messages"));
    pLayout->addWidget(m_pTextFilter, 1);
    connect(m_pLevelBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this] { ApplyFilter(0); });
    connect(m_pTextFilter, &QLineEdit::textChanged, this, [this] { ApplyFilter(0); });
    return pBar;
}

QSize CLogView::sizeHint() const
{
    const QSize size = QWidget::sizeHint();
    return QSize(size.width(), std::max(size.height() - m_pFilterBar->sizeHint().height(), 0));
}

void CLogView::SetMinimumLevel(ELogLevel eLevel)
{
    const int nIndex = m_pLevelBox->findData(Rank(eLevel));
    if (nIndex >= 0)
        m_pLevelBox->setCurrentIndex(nIndex);
}

void CLogView::SetTextFilter(const QString& strText)
{
    m_pTextFilter->setText(strText);
}

bool CLogView::IsRowShown(int nRow) const
{
    return nRow >= 0 && nRow < m_pModel->rowCount() && !m_pTableView->isRowHidden(nRow);
}

bool CLogView::Passes(int nRow, int nMinimumRank, const QString& strText) const
{
    if (m_pModel->item(nRow, 1)->data(RANK_ROLE).toInt() < nMinimumRank)
        return false;
    return strText.isEmpty() || m_pModel->item(nRow, 2)->text().contains(strText, Qt::CaseInsensitive);
}

void CLogView::ApplyFilter(int nFirstRow)
{
    const int nMinimumRank = m_pLevelBox->currentData().toInt();
    const QString strText = m_pTextFilter->text();
    for (int nRow = nFirstRow; nRow < m_pModel->rowCount(); ++nRow)
        m_pTableView->setRowHidden(nRow, !Passes(nRow, nMinimumRank, strText));
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
    const int nFirstNewRow = m_pModel->rowCount();
    for (int i = nFirst; i < vctMessages.size(); ++i)
        m_pModel->appendRow(MakeRow(vctMessages.at(i)));
    ApplyFilter(nFirstNewRow);
}
