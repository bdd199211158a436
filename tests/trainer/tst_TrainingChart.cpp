#include "tests/support/TestSupport.h"
#include "trainer/TrainingChartView.h"
#include "trainer/TrainingModel.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>

QT_CHARTS_USE_NAMESPACE

using PointList = QVector<QPointF>;

namespace
{
double Highest(const QLineSeries* pSeries)
{
    const PointList vctPoints = pSeries->pointsVector();
    return std::max_element(vctPoints.begin(), vctPoints.end(),
                            [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); })
        ->y();
}

STrainingPoint Point(int nIteration, double dLoss)
{
    return STrainingPoint{nIteration, dLoss, dLoss, 0.001, 1, 0, 1.5, STrainingPoint::NONE};
}
} // namespace

class TestTrainingChart : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_pDir;
    std::unique_ptr<CTrainingModel> m_pModel;
    std::unique_ptr<CTrainingChartView> m_pChart;

private slots:
    void init()
    {
        m_pDir = std::make_unique<QTemporaryDir>();
        m_pModel = std::make_unique<CTrainingModel>();
        m_pModel->Open(m_pDir->path());
        m_pChart = std::make_unique<CTrainingChartView>(m_pModel.get(), nullptr);
        m_pChart->resize(800, 400);
        m_pChart->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pChart.get()));
    }

    void cleanup()
    {
        m_pChart.reset();
        m_pModel.reset();
    }

    // The iteration axis labels whole iterations: its ticks are a whole
    // number apart and cover every point, from the empty chart on.
    void iterationTicksAreWhole()
    {
        const auto expectTicks = [this](double dFirst, double dLast)
        {
            const QValueAxis* pAxis = m_pChart->GetIterationAxis();
            QVERIFY(pAxis->tickCount() >= 2 && pAxis->tickCount() <= 7);
            const double dStep = (pAxis->max() - pAxis->min()) / (pAxis->tickCount() - 1);
            QVERIFY2(dStep >= 1 && dStep == std::round(dStep), qPrintable(QString::number(dStep)));
            QVERIFY(pAxis->min() <= dFirst && pAxis->max() >= dLast);
        };
        expectTicks(0, 1);
        QCOMPARE(m_pChart->GetIterationAxis()->tickCount(), 2);
        m_pModel->AddIteration(Point(3, 2.0));
        m_pModel->Commit();
        QTRY_COMPARE(m_pChart->GetLossSeries()->count(), 1);
        expectTicks(3, 3);
        for (int i = 4; i <= 1234; ++i)
            m_pModel->AddIteration(Point(i, 2.0));
        m_pModel->Commit();
        QTRY_COMPARE(m_pChart->GetLossSeries()->at(m_pChart->GetLossSeries()->count() - 1).x(), 1234.0);
        expectTicks(3, 1234);
    }

    // A long run is drawn thinned, but its ends and every spike stay visible:
    // each run of points keeps its first, lowest, highest and last point.
    void longRunIsThinnedForDrawing()
    {
        QCOMPARE(m_pChart->GetStatusLabel()->text(), QString("No training run yet"));
        constexpr int ITERATIONS = 100000;
        for (int i = 1; i <= ITERATIONS; ++i)
        {
            m_pModel->AddIteration(Point(i, i == 54321 ? 900.0 : 2.0 + (i % 10) / 10.0));
            if (i % 40000 == 20000)
                m_pModel->SetMap(i / 100000.0);
        }
        m_pModel->Commit();
        QTRY_COMPARE(m_pChart->GetMapSeries()->count(), 3);

        for (const QLineSeries* pSeries : {m_pChart->GetLossSeries(), m_pChart->GetAverageLossSeries()})
        {
            QVERIFY(pSeries->count() <= CTrainingChartView::MAX_SHOWN_POINTS);
            QCOMPARE(pSeries->at(0).x(), 1.0);
            QCOMPARE(pSeries->at(pSeries->count() - 1), QPointF(100000, 2.0));
            QCOMPARE(Highest(pSeries), 900.0);
        }
        QCOMPARE(m_pChart->GetMapSeries()->pointsVector(),
                 PointList({{20000, 20.0}, {60000, 60.0}, {100000, 100.0}}));
        QCOMPARE(m_pChart->GetIterationAxis()->max(), 100000.0);
        QCOMPARE(m_pChart->GetStatusLabel()->text(),
                 QString("iteration 100000  |  loss 2  |  avg loss 2  |  rate 0.001  |  1.50 hours left  |  "
                         "mAP 100.00 % (best 100.00 % at 100000)"));
        QCOMPARE(int(m_pModel->GetPoints().size()), ITERATIONS);
    }

    // Reopening shows the run as stored; values that cannot be drawn on a
    // logarithmic axis are left out, not drawn at zero.
    void reopenedRunIsShown()
    {
        for (const double dLoss : {3.0, STrainingPoint::NONE, 0.0, 0.5})
            m_pModel->AddIteration(Point(static_cast<int>(m_pModel->GetPoints().size()) + 1, dLoss));
        m_pModel->SetMap(0.25);
        m_pModel->Close();
        QTRY_COMPARE(m_pChart->GetLossSeries()->count(), 0);

        m_pModel->Open(m_pDir->path());
        QTRY_COMPARE(m_pChart->GetLossSeries()->pointsVector(), PointList({{1, 3.0}, {4, 0.5}}));
        QCOMPARE(m_pChart->GetMapSeries()->pointsVector(), PointList({{4, 25.0}}));
    }
};

OPTRA_TEST_MAIN(TestTrainingChart)
#include "tst_TrainingChart.moc"
