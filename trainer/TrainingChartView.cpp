#include "trainer/TrainingChartView.h"

#include "trainer/SeriesDecimator.h"
#include "trainer/TrainingModel.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

QT_CHARTS_USE_NAMESPACE

namespace
{
// The points of one value over the iterations that a chart can draw: finite,
// and above zero for the logarithmic loss axis.
QVector<QPointF> SeriesPoints(const std::vector<STrainingPoint>& vctPoints, double STrainingPoint::*pValue,
                              double dScale, bool bPositive)
{
    QVector<QPointF> vctSeries;
    vctSeries.reserve(static_cast<int>(vctPoints.size()));
    for (const STrainingPoint& point : vctPoints)
    {
        const double dValue = point.*pValue;
        if (std::isfinite(dValue) && (!bPositive || dValue > 0))
            vctSeries.append(QPointF(point.nIteration, dValue * dScale));
    }
    return CSeriesDecimator::Decimate(vctSeries, CTrainingChartView::MAX_SHOWN_POINTS);
}

QLineSeries* MakeSeries(const QString& strName, const QColor& color)
{
    auto* pSeries = new QLineSeries();
    pSeries->setName(strName);
    pSeries->setColor(color);
    return pSeries;
}

QString Number(double dValue)
{
    return QString::number(dValue, 'g', 4);
}

// Ticks of the iteration axis a whole number of iterations apart (1, 2 or 5
// times a power of ten, at most five intervals), so that its "%d" labels
// never show rounded fractions such as "0 0 0 0 1".
struct SIterationTicks
{
    double dStart = 0;
    double dEnd = 1;
    int nCount = 2;
};

SIterationTicks IterationTicks(double dFirst, double dLast)
{
    constexpr double MAX_INTERVALS = 5;
    const double dSpan = std::max(dLast - dFirst, 1.0);
    // The smallest of 1, 2, 5 or 10 times the power of ten below a fifth of
    // the span that fits; never less than one iteration.
    const double dPower = std::pow(10.0, std::floor(std::log10(dSpan / MAX_INTERVALS)));
    double dStep = 10 * dPower;
    for (const double dFactor : {5.0, 2.0, 1.0})
        if (dSpan / (dFactor * dPower) <= MAX_INTERVALS)
            dStep = dFactor * dPower;
    dStep = std::max(dStep, 1.0);
    SIterationTicks ticks;
    ticks.dStart = std::floor(dFirst / dStep) * dStep;
    ticks.dEnd = std::max(std::ceil(dLast / dStep) * dStep, ticks.dStart + dStep);
    ticks.nCount = int(std::lround((ticks.dEnd - ticks.dStart) / dStep)) + 1;
    return ticks;
}
} // namespace

CTrainingChartView::CTrainingChartView(CTrainingModel* pModel, QWidget* pParent)
    : QWidget(pParent), m_pModel(pModel)
{
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(4, 4, 4, 4);
    m_pStatus = new QLabel(this);
    m_pStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pLayout->addWidget(m_pStatus);
    CreateChart();
    pLayout->addWidget(m_pChartView, 1);

    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(REFRESH_INTERVAL_MS);
    connect(&m_refreshTimer, &QTimer::timeout, this, &CTrainingChartView::slot_Refresh);
    if (m_pModel)
        connect(m_pModel, &CTrainingModel::signal_ChangeTraining, this,
                &CTrainingChartView::slot_ChangeTraining);
    slot_Refresh();
}

void CTrainingChartView::CreateChart()
{
    m_pChart = new QChart();
    m_pChart->setTheme(QChart::ChartThemeDark);
    m_pChart->legend()->setAlignment(Qt::AlignBottom);
    m_pChart->setMargins(QMargins(2, 2, 2, 2));

    m_pLoss = MakeSeries(QStringLiteral("loss"), QColor(120, 160, 220));
    m_pAverageLoss = MakeSeries(QStringLiteral("avg loss"), QColor(250, 170, 60));
    m_pMap = MakeSeries(QStringLiteral("mAP %"), QColor(110, 210, 120));
    m_pMap->setPointsVisible(true);
    for (QLineSeries* pSeries : {m_pLoss, m_pAverageLoss, m_pMap})
        m_pChart->addSeries(pSeries);

    m_pAxisIteration = new QValueAxis();
    m_pAxisIteration->setTitleText(QStringLiteral("iteration"));
    m_pAxisIteration->setLabelFormat(QStringLiteral("%d"));
    m_pAxisLoss = new QLogValueAxis();
    m_pAxisLoss->setTitleText(QStringLiteral("loss"));
    m_pAxisLoss->setLabelFormat(QStringLiteral("%g"));
    m_pAxisMap = new QValueAxis();
    m_pAxisMap->setTitleText(QStringLiteral("mAP %"));
    m_pAxisMap->setRange(0, 100);
    m_pAxisMap->setLabelFormat(QStringLiteral("%d"));
    // The loss axis draws the grid; a second one would not line up with it.
    m_pAxisMap->setGridLineVisible(false);
    m_pChart->addAxis(m_pAxisIteration, Qt::AlignBottom);
    m_pChart->addAxis(m_pAxisLoss, Qt::AlignLeft);
    m_pChart->addAxis(m_pAxisMap, Qt::AlignRight);
    for (QLineSeries* pSeries : {m_pLoss, m_pAverageLoss, m_pMap})
        pSeries->attachAxis(m_pAxisIteration);
    m_pLoss->attachAxis(m_pAxisLoss);
    m_pAverageLoss->attachAxis(m_pAxisLoss);
    m_pMap->attachAxis(m_pAxisMap);

    m_pChartView = new QChartView(m_pChart, this);
    m_pChartView->setRenderHint(QPainter::Antialiasing);
    m_pChartView->setMinimumHeight(180);
}

void CTrainingChartView::slot_ChangeTraining(int /*nFirstChanged*/)
{
    // A burst of output becomes one redraw at most every interval.
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start();
}

void CTrainingChartView::showEvent(QShowEvent* pEvent)
{
    QWidget::showEvent(pEvent);
    if (m_bStale)
        slot_Refresh();
}

void CTrainingChartView::slot_Refresh()
{
    m_refreshTimer.stop();
    if (!isVisible())
    {
        m_bStale = true;
        return;
    }
    m_bStale = false;
    static const std::vector<STrainingPoint> vctNone;
    const std::vector<STrainingPoint>& vctPoints = m_pModel ? m_pModel->GetPoints() : vctNone;
    m_pLoss->replace(SeriesPoints(vctPoints, &STrainingPoint::dLoss, 1.0, true));
    m_pAverageLoss->replace(SeriesPoints(vctPoints, &STrainingPoint::dAverageLoss, 1.0, true));
    m_pMap->replace(SeriesPoints(vctPoints, &STrainingPoint::dMap, 100.0, false));
    UpdateAxes();
    UpdateStatus();
}

void CTrainingChartView::UpdateAxes()
{
    bool bAny = false;
    double dFirst = 0;
    double dLast = 1;
    double dLow = 0;
    double dHigh = 0;
    for (const QLineSeries* pSeries : {m_pLoss, m_pAverageLoss, m_pMap})
    {
        const QVector<QPointF> vctPoints = pSeries->pointsVector();
        if (vctPoints.isEmpty())
            continue;
        dFirst = bAny ? std::min(dFirst, vctPoints.first().x()) : vctPoints.first().x();
        dLast = bAny ? std::max(dLast, vctPoints.last().x()) : vctPoints.last().x();
        bAny = true;
        if (pSeries == m_pMap)
            continue;
        for (const QPointF& point : vctPoints)
        {
            dLow = dLow > 0 ? std::min(dLow, point.y()) : point.y();
            dHigh = std::max(dHigh, point.y());
        }
    }
    const SIterationTicks ticks = IterationTicks(dFirst, dLast);
    m_pAxisIteration->setRange(ticks.dStart, ticks.dEnd);
    m_pAxisIteration->setTickCount(ticks.nCount);
    // Whole decades, so the logarithmic axis always has labelled ticks.
    const double dMin = dLow > 0 ? std::pow(10.0, std::floor(std::log10(dLow))) : 0.1;
    const double dMax = dHigh > 0 ? std::pow(10.0, std::ceil(std::log10(dHigh))) : 10.0;
    m_pAxisLoss->setRange(dMin, std::max(dMax, dMin * 10));
}

void CTrainingChartView::UpdateStatus()
{
    static const std::vector<STrainingPoint> vctNone;
    const std::vector<STrainingPoint>& vctPoints = m_pModel ? m_pModel->GetPoints() : vctNone;
    if (vctPoints.empty())
    {
        m_pStatus->setText(QStringLiteral("No training run yet"));
        return;
    }
    const STrainingPoint& last = vctPoints.back();
    QStringList lstParts{
        QString("iteration %1").arg(last.nIteration), QString("loss %1").arg(Number(last.dLoss)),
        QString("avg loss %1").arg(Number(last.dAverageLoss)), QString("rate %1").arg(Number(last.dRate))};
    if (last.dHoursLeft >= 0)
        lstParts << QString("%1 hours left").arg(last.dHoursLeft, 0, 'f', 2);
    // No mAP counts as less than any mAP.
    const auto itBest =
        std::max_element(vctPoints.begin(), vctPoints.end(),
                         [](const STrainingPoint& a, const STrainingPoint& b)
                         { return !std::isnan(b.dMap) && (std::isnan(a.dMap) || a.dMap < b.dMap); });
    if (!std::isnan(itBest->dMap))
    {
        const auto itLastMap =
            std::find_if(vctPoints.rbegin(), vctPoints.rend(),
                         [](const STrainingPoint& point) { return !std::isnan(point.dMap); });
        lstParts << QString("mAP %1 % (best %2 % at %3)")
                        .arg(itLastMap->dMap * 100, 0, 'f', 2)
                        .arg(itBest->dMap * 100, 0, 'f', 2)
                        .arg(itBest->nIteration);
    }
    m_pStatus->setText(lstParts.join(QStringLiteral("  |  ")));
}
