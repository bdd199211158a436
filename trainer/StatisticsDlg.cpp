#include "trainer/StatisticsDlg.h"

#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace
{
enum EImageRole
{
    ROLE_IMAGE_ID = Qt::UserRole,
    ROLE_FULL_PATH,
};

// "3.1 - 80 %", or "-" when the class has no usable box.
QString Range(double dMin, double dMax)
{
    if (std::isnan(dMin) || std::isnan(dMax))
        return QStringLiteral("-");
    return QString("%1 - %2 %").arg(dMin * 100, 0, 'f', 1).arg(dMax * 100, 0, 'f', 1);
}

QTableWidgetItem* Cell(const QString& strText, bool bNumber)
{
    auto* pItem = new QTableWidgetItem(strText);
    pItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (bNumber)
        pItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return pItem;
}
constexpr int MIN_LIST_HEIGHT = 100;
} // namespace

CStatisticsView::CStatisticsView(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Statistics"));
    auto* pLayout = new QVBoxLayout(this);
    m_pSummary = new QLabel(this);
    pLayout->addWidget(m_pSummary);

    auto* pSplitter = new QSplitter(Qt::Vertical, this);
    m_pClasses = new QTableWidget(0, 5, pSplitter);
    m_pClasses->setHorizontalHeaderLabels({"Class", "ROIs", "Images", "Box width", "Box height"});
    m_pClasses->verticalHeader()->hide();
    m_pClasses->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_pClasses->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_pClasses->setEditTriggers(QAbstractItemView::NoEditTriggers);

    m_pImages = new QTreeWidget(pSplitter);
    m_pImages->setHeaderLabels({"Image", "Problem"});
    m_pImages->setRootIsDecorated(true);
    m_pImages->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_pWithoutRois = new QTreeWidgetItem(m_pImages);
    m_pInvalid = new QTreeWidgetItem(m_pImages);
    // The group titles are longer than any image name.
    m_pWithoutRois->setFirstColumnSpanned(true);
    m_pInvalid->setFirstColumnSpanned(true);
    pSplitter->addWidget(m_pClasses);
    pSplitter->addWidget(m_pImages);
    // Neither list may open, or be dragged, down to nothing.
    pSplitter->setChildrenCollapsible(false);
    m_pClasses->setMinimumHeight(MIN_LIST_HEIGHT);
    m_pImages->setMinimumHeight(MIN_LIST_HEIGHT);
    pLayout->addWidget(pSplitter, 1);

    connect(m_pImages, &QTreeWidget::itemDoubleClicked, this, &CStatisticsView::slot_ItemDoubleClicked);
    Update(SProjectStatistics());
}

QSize CStatisticsView::sizeHint() const
{
    return QSize(560, 520);
}

void CStatisticsView::Update(const SProjectStatistics& statistics)
{
    m_pSummary->setText(QString("%1 images, %2 ROIs, %3 classes")
                            .arg(statistics.nImages)
                            .arg(statistics.nRois)
                            .arg(statistics.vctClasses.size()));
    FillClasses(statistics.vctClasses);
    FillGroup(m_pWithoutRois, QStringLiteral("Images without ROIs"), statistics.vctWithoutRois);
    FillGroup(m_pInvalid, QStringLiteral("Images with invalid ROIs"), statistics.vctInvalid);
}

void CStatisticsView::FillClasses(const std::vector<SClassStatistics>& vctClasses)
{
    m_pClasses->setRowCount(static_cast<int>(vctClasses.size()));
    for (int nRow = 0; nRow < static_cast<int>(vctClasses.size()); ++nRow)
    {
        const SClassStatistics& statistics = vctClasses[nRow];
        m_pClasses->setItem(nRow, 0, Cell(statistics.strName, false));
        m_pClasses->setItem(nRow, 1, Cell(QString::number(statistics.nRois), true));
        m_pClasses->setItem(nRow, 2, Cell(QString::number(statistics.nImages), true));
        m_pClasses->setItem(nRow, 3, Cell(Range(statistics.dMinWidth, statistics.dMaxWidth), true));
        m_pClasses->setItem(nRow, 4, Cell(Range(statistics.dMinHeight, statistics.dMaxHeight), true));
    }
}

void CStatisticsView::FillGroup(QTreeWidgetItem* pGroup, const QString& strTitle,
                                const std::vector<SImageProblem>& vctImages)
{
    qDeleteAll(pGroup->takeChildren());
    pGroup->setText(0, QString("%1 (%2)").arg(strTitle).arg(vctImages.size()));
    for (const SImageProblem& problem : vctImages)
    {
        auto* pItem = new QTreeWidgetItem(pGroup, {problem.strName, problem.strProblem});
        pItem->setData(0, ROLE_IMAGE_ID, problem.nImageID);
        pItem->setData(0, ROLE_FULL_PATH, problem.strFullPath);
    }
    pGroup->setExpanded(true);
}

void CStatisticsView::slot_ItemDoubleClicked(QTreeWidgetItem* pItem, int /*nColumn*/)
{
    if (!pItem || !pItem->parent())
        return;
    emit signal_OpenImageFile(pItem->data(0, ROLE_IMAGE_ID).toInt(),
                              pItem->data(0, ROLE_FULL_PATH).toString());
}
