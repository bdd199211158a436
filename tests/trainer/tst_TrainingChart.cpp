#include "tests/support/TestSupport.h"
#include "trainer/SeriesDecimator.h"
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
PointList Line(const QVector<double>& vctValues)
{
    PointList vctPoints;
    for (int i = 0; i < vctValues.size(); ++i)
        vctPoints.append(QPointF(i, vctValues[i]));
    return vctPoints;
}

double Highest(const QLineSeries* pSeries)
{
    const PointList vctPoints = pSeries->pointsVector();
    return std::max_element(vctPoints.begin(), vctPoints.end(),
                            [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); })
        ->y();
}

STrainingPoint Point(int nIteration, double dLoss)
{
    STrainingPoint point;
    point.nIteration = nIteration;
    point.dLoss = dLoss;
    point.dAverageLoss = dLoss;
    point.dRate = 0.001;
    point.dHoursLeft = 1.5;
    return point;
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
    void decimation_data()
    {
        QTest::addColumn<PointList>("points");
        QTest::addColumn<int>("limit");
        QTest::addColumn<PointList>("shown");
        QTest::newRow("short series unchanged") << Line({3, 1, 2}) << 4 << Line({3, 1, 2});
        QTest::newRow("one run keeps ends and extremes")
            << Line({5, 9, 7, 1, 6, 4}) << 4 << PointList{{0, 5}, {1, 9}, {3, 1}, {5, 4}};
        QTest::newRow("extremes at the ends are kept once")
            << Line({1, 5, 5, 5, 9}) << 4 << PointList{{0, 1}, {4, 9}};
        QTest::newRow("two runs") << Line({0, 8, 1, 2, 3, -4, 5, 6, 7}) << 8
                                  << PointList{{0, 0}, {1, 8}, {3, 2}, {4, 3}, {5, -4}, {8, 7}};
    }

    void decimation()
    {
        QFETCH(PointList, points);
        QFETCH(int, limit);
        QFETCH(PointList, shown);
        QCOMPARE(CSeriesDecimator::Decimate(points, limit), shown);
    }

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

    // A long run is drawn thinned, but its ends and every spike stay visible.
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

    void hiddenChartCatchesUpWhenShown()
    {
        m_pChart->hide();
        m_pModel->AddIteration(Point(1, 3.0));
        m_pModel->AddIteration(Point(2, 2.0));
        m_pModel->Commit();
        QTest::qWait(CTrainingChartView::REFRESH_INTERVAL_MS * 2);
        QCOMPARE(m_pChart->GetLossSeries()->count(), 0);
        m_pChart->show();
        QCOMPARE(m_pChart->GetLossSeries()->count(), 2);
    }

    // Reopening shows the run as stored; values that cannot be drawn on a
    // logarithmic axis are left out, not drawn at zero.
    void reopenedRunIsShown()
    {
        m_pModel->AddIteration(Point(1, 3.0));
        m_pModel->AddIteration(Point(2, STrainingPoint::NONE));
        m_pModel->AddIteration(Point(3, 0.0));
        m_pModel->AddIteration(Point(4, 0.5));
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
