#include "tests/support/TestSupport.h"
#include "trainer/TrainingHistory.h"

#include <QTemporaryDir>

#include <cmath>

namespace
{
const QByteArray ROW_1 = "1,2.5,3.5,0.001,1.25,64,0.5,\n";

STrainingPoint Point(int nIteration, double dLoss = 2.5)
{
    return STrainingPoint{nIteration, dLoss,           dLoss + 1, 0.001,
                          1.25,       nIteration * 64, 0.5,       STrainingPoint::NONE};
}

QList<int> Iterations(const CTrainingHistory& history)
{
    QList<int> lstIterations;
    for (const STrainingPoint& point : history.Points())
        lstIterations << point.nIteration;
    return lstIterations;
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

    // Rows read back exactly; the newest one waits for its mAP, and a mAP for
    // a row already written replaces the file.
    void rowsAreWrittenAsTheyCompleteAndReadBack()
    {
        const STrainingPoint odd{2, 0.1 + 0.2, STrainingPoint::NONE, 0.001, 1.25, 5000000000LL, -1, 0.25};
        CTrainingHistory history;
        QVERIFY(history.Load(File()));
        history.Add(Point(1));
        history.Add(odd);
        QVERIFY(history.Store());
        QCOMPARE(OnDisk(), CTrainingHistory::HEADER + ROW_1);
        QVERIFY(history.Finish());
        history.SetMap(0.612345);
        history.Finish();
        QCOMPARE(OnDisk(), CTrainingHistory::HEADER + ROW_1 +
                               "2,0.30000000000000004,,0.001,1.25,5000000000,-1,0.612345\n");

        CTrainingHistory reread;
        QVERIFY(reread.Load(File()));
        QCOMPARE(Iterations(reread), QList<int>({1, 2}));
        const STrainingPoint& point = reread.Points().back();
        QVERIFY(point.dLoss == 0.1 + 0.2 && std::isnan(point.dAverageLoss) && point.nImages == 5000000000LL);
        QVERIFY(point.dHoursLeft == -1 && point.dMap == 0.612345);
    }

    void startingOverDropsLaterIterations_data()
    {
        QTest::addColumn<int>("restart");
        QTest::addColumn<int>("firstChanged");
        QTest::addColumn<int>("kept");
        QTest::newRow("resumed from older weights") << 7 << 6 << 7;
        QTest::newRow("started from scratch") << 1 << 0 << 1;
        QTest::newRow("next iteration") << 11 << 10 << 11;
    }

    void startingOverDropsLaterIterations()
    {
        QFETCH(int, restart);
        QFETCH(int, firstChanged);
        QFETCH(int, kept);
        CTrainingHistory history;
        history.Load(File());
        for (int i = 1; i <= 10; ++i)
            history.Add(Point(i));
        history.Finish();
        QCOMPARE(history.Add(Point(restart, 9.0)), firstChanged);
        history.Finish();

        CTrainingHistory reread;
        reread.Load(File());
        QCOMPARE(Iterations(reread).size(), kept);
        QCOMPARE(Iterations(reread).last(), restart);
        QCOMPARE(reread.Points().back().dLoss, 9.0);
    }

    // A row cut off by a crash, or a line someone added, is skipped; the next
    // write puts a clean file in place instead of appending to the damage.
    void damagedFileIsReadAndRepaired()
    {
        QFile file(File());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(CTrainingHistory::HEADER + ROW_1 + "not a row\n3,2.5,3.");
        file.close();
        CTrainingHistory history;
        QVERIFY(history.Load(File()));
        QCOMPARE(Iterations(history), QList<int>({1}));
        history.Add(Point(2));
        QVERIFY(history.Finish());
        QCOMPARE(OnDisk(), CTrainingHistory::HEADER + ROW_1 + "2,2.5,3.5,0.001,1.25,128,0.5,\n");
    }

    void unwritableFileIsReportedOnce()
    {
        CTrainingHistory history;
        QVERIFY(history.Load(m_pDir->path() + "/gone/training.csv"));
        OptraTest::CLogCapture capture;
        for (int i = 1; i <= 3; ++i)
            history.Add(Point(i));
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
