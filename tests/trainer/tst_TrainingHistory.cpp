#include "tests/support/TestSupport.h"
#include "trainer/TrainingHistory.h"

#include <QTemporaryDir>

#include <cmath>

namespace
{
STrainingPoint Point(int nIteration, double dLoss = 2.5)
{
    STrainingPoint point;
    point.nIteration = nIteration;
    point.dLoss = dLoss;
    point.dAverageLoss = dLoss + 1;
    point.dRate = 0.001;
    point.dSeconds = 1.25;
    point.nImages = nIteration * 64;
    point.dHoursLeft = 0.5;
    return point;
}

QList<int> Iterations(const CTrainingHistory& history)
{
    QList<int> lstIterations;
    for (const STrainingPoint& point : history.Points())
        lstIterations << point.nIteration;
    return lstIterations;
}

bool WriteFile(const QString& strPath, const QByteArray& baContent)
{
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(baContent) == baContent.size();
}
} // namespace

class TestTrainingHistory : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_pDir;
    QString File() const { return m_pDir->path() + "/training.csv"; }
    QByteArray OnDisk() const { return OptraTest::ReadBytes(File()); }

private slots:
    void init() { m_pDir = std::make_unique<QTemporaryDir>(); }

    void rowsReadBackExactly()
    {
        STrainingPoint odd = Point(2, 0.1 + 0.2);
        odd.dAverageLoss = STrainingPoint::NONE;
        odd.dHoursLeft = -1;
        odd.dMap = 0.612345;
        odd.nImages = 5000000000LL;
        {
            CTrainingHistory history;
            QVERIFY(history.Load(File()));
            history.Add(Point(1));
            history.Add(odd);
            QVERIFY(history.Finish());
        }
        QCOMPARE(OnDisk(), CTrainingHistory::HEADER +
                               "1,2.5,3.5,0.001,1.25,64,0.5,\n"
                               "2,0.30000000000000004,,0.001,1.25,5000000000,-1,0.612345\n");
        CTrainingHistory reread;
        QVERIFY(reread.Load(File()));
        QCOMPARE(Iterations(reread), QList<int>({1, 2}));
        const STrainingPoint& point = reread.Points().back();
        QCOMPARE(point.dLoss, 0.1 + 0.2);
        QVERIFY(std::isnan(point.dAverageLoss));
        QCOMPARE(point.dHoursLeft, -1.0);
        QCOMPARE(point.dMap, 0.612345);
        QCOMPARE(point.nImages, 5000000000LL);
    }

    // The newest iteration waits for its mAP, printed after it.
    void newestRowWaitsForItsMap()
    {
        CTrainingHistory history;
        history.Load(File());
        history.Add(Point(1));
        history.Add(Point(2));
        QVERIFY(history.Store());
        QCOMPARE(OnDisk(), CTrainingHistory::HEADER + "1,2.5,3.5,0.001,1.25,64,0.5,\n");
        QCOMPARE(history.SetMap(0.25), 1);
        history.Add(Point(3));
        history.Store();
        QVERIFY(OnDisk().endsWith("\n2,2.5,3.5,0.001,1.25,128,0.5,0.25\n"));
        // A mAP for a row already written replaces the file.
        history.Finish();
        history.SetMap(0.5);
        history.Finish();
        QVERIFY(OnDisk().endsWith("\n3,2.5,3.5,0.001,1.25,192,0.5,0.5\n"));
        QCOMPARE(OnDisk().count('\n'), 4);
    }

    void startingOverDropsLaterIterations_data()
    {
        QTest::addColumn<int>("restart");
        QTest::addColumn<int>("firstChanged");
        QTest::addColumn<QList<int>>("kept");
        QTest::newRow("resumed from older weights") << 7 << 6 << QList<int>({1, 2, 3, 4, 5, 6, 7});
        QTest::newRow("started from scratch") << 1 << 0 << QList<int>({1});
        QTest::newRow("next iteration") << 11 << 10 << QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    }

    void startingOverDropsLaterIterations()
    {
        QFETCH(int, restart);
        QFETCH(int, firstChanged);
        QFETCH(QList<int>, kept);
        CTrainingHistory history;
        history.Load(File());
        for (int i = 1; i <= 10; ++i)
            history.Add(Point(i));
        history.Finish();
        QCOMPARE(history.Add(Point(restart, 9.0)), firstChanged);
        QCOMPARE(Iterations(history), kept);
        QCOMPARE(history.Points().back().dLoss, 9.0);
        history.Finish();

        CTrainingHistory reread;
        reread.Load(File());
        QCOMPARE(Iterations(reread), kept);
        QCOMPARE(reread.Points().back().dLoss, 9.0);
    }

    // A row cut off by a crash, or lines someone added, are skipped; the next
    // write puts a clean file in place instead of appending to the damage.
    void damagedFileIsReadAndRepaired()
    {
        QVERIFY(WriteFile(File(), CTrainingHistory::HEADER + "1,2.5,3.5,0.001,1.25,64,0.5,\n"
                                                             "not a row\n"
                                                             "2,2.5,3.5,0.001,1.25,128,0.5,\n"
                                                             "3,2.5,3."));
        CTrainingHistory history;
        QVERIFY(history.Load(File()));
        QCOMPARE(Iterations(history), QList<int>({1, 2}));
        history.Add(Point(3));
        QVERIFY(history.Finish());
        QCOMPARE(OnDisk(), CTrainingHistory::HEADER + "1,2.5,3.5,0.001,1.25,64,0.5,\n"
                                                      "2,2.5,3.5,0.001,1.25,128,0.5,\n"
                                                      "3,2.5,3.5,0.001,1.25,192,0.5,\n");
    }

    void unwritableFileIsReportedOnce()
    {
        CTrainingHistory history;
        QVERIFY(history.Load(m_pDir->path() + "/gone/training.csv"));
        OptraTest::CLogCapture capture;
        history.Add(Point(1));
        history.Add(Point(2));
        history.Add(Point(3));
        QVERIFY(!history.Store());
        QVERIFY(!history.Finish());
        capture.Flush();
        QCOMPARE(capture.Count(ELogLevel::ERROR, "Failed to write " + m_pDir->path() + "/gone/training.csv"),
                 1);
        QCOMPARE(Iterations(history), QList<int>({1, 2, 3}));
    }
};

OPTRA_TEST_MAIN(TestTrainingHistory)
#include "tst_TrainingHistory.moc"
