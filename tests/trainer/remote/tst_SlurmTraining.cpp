// Training as a job of a Slurm cluster that the test starts on this machine
// (munged, slurmctld, slurmd): the job waits in the queue, runs, streams its
// output into the chart, is cancelled by Stop, fails visibly, and is found
// again by its job id when the project is opened again.
#include "common/setting/SettingManager.h"
#include "tests/support/TestSupport.h"
#include "tests/trainer/ProjectFixture.h"
#include "tests/trainer/remote/SlurmCluster.h"
#include "tests/trainer/remote/SshServer.h"
#include "trainer/TrainingModel.h"
#include "trainer/remote/RemoteRun.h"
#include "trainer/remote/RunRecord.h"
#include "trainer/remote/TrainingRuns.h"

#include <QJsonArray>

using OptraTest::BuildableProject;
using OptraTest::CProjectOnDisk;
using OptraTest::Iterations;
using OptraTest::Range;

namespace
{
constexpr int RUN_TIMEOUT_MS = 120000;

struct SStatusWatch
{
    explicit SStatusWatch(CProjectOnDisk& project)
    {
        QObject::connect(project.Controller()->GetTrainingModel(), &CTrainingModel::signal_ChangeRunStatus,
                         [this](const QString& strStatus) { lstStatus << strStatus; });
    }
    // The index of the first status ending with strEnd, -1 when none did.
    int Find(const QString& strEnd) const
    {
        for (int i = 0; i < lstStatus.size(); ++i)
        {
            if (lstStatus[i].endsWith(strEnd))
                return i;
        }
        return -1;
    }
    QStringList lstStatus;
};
} // namespace

class TestSlurmTraining : public QObject
{
    Q_OBJECT

private:
    OptraTest::CSlurmCluster m_cluster;

    QString ReportPath() const { return m_cluster.Root() + "/report.json"; }

    void Environment(const QStringList& lstAssignments)
    {
        m_cluster.SetEnvironment(QStringList{"DARKNET_STANDIN_REPORT=" + ReportPath()} + lstAssignments);
    }

    static void WaitForEnd(CProjectOnDisk& project)
    {
        QTRY_VERIFY_WITH_TIMEOUT(OptraTest::RunEnded(project), RUN_TIMEOUT_MS);
    }

    static QString JobID(CProjectOnDisk& project)
    {
        CRemoteRun* pRun = project.Controller()->GetTrainingRuns()->Remote();
        return pRun ? pRun->RunID() : QString();
    }

private slots:
    void initTestCase() { OPTRA_START_SERVER(m_cluster, "Slurm cluster"); }

    void cleanupTestCase() { m_cluster.Stop(); }

    void init()
    {
        OptraTest::CSshServer::StoreTarget(m_cluster.Target());
        Environment({});
        QFile::remove(ReportPath());
    }

    // The job waits behind another one, then runs on the node and fills the chart.
    void queuedThenRunningThenFinished()
    {
        const QString strBlocker = m_cluster.SubmitBlocker();
        QVERIFY(!strBlocker.isEmpty());
        auto pProject = BuildableProject("slurm run");
        Environment({"DARKNET_STANDIN_ITERATIONS=6", "DARKNET_STANDIN_DELAY_MS=50"});
        SStatusWatch watch(*pProject);
        pProject->Controller()->Start();
        QTRY_VERIFY_WITH_TIMEOUT(watch.Find(": queued") >= 0, RUN_TIMEOUT_MS);
        const QString strJob = JobID(*pProject);
        QCOMPARE(watch.lstStatus[watch.Find(": queued")], "Slurm job " + strJob + ": queued");
        QCOMPARE(pProject->Model()->GetCommandState(), 2);
        m_cluster.Cancel(strBlocker);
        WaitForEnd(*pProject);

        const int nRunning = watch.Find(": running on node " + m_cluster.NodeName());
        QVERIFY2(nRunning > watch.Find(": queued"), qPrintable(watch.lstStatus.join('\n')));
        QCOMPARE(watch.lstStatus.last(), "Slurm job " + strJob + ": finished");
        const QJsonObject report = OptraTest::ReadJson(ReportPath());
        QCOMPARE(report.value("cwd").toString(), m_cluster.RemoteFolder() + "/slurm run");
        QCOMPARE(report.value("arguments").toArray().toVariantList(),
                 QVariantList({"detector", "train", "detector.txt", "config.txt"}));
        QCOMPARE(Iterations(pProject->Controller()->GetTrainingModel()), Range(1, 6));
        QCOMPARE(OptraTest::ReadBytes(pProject->Folder() + "/Backup/config_final.weights"),
                 QByteArray("stand-in weights iteration=6\n"));
        // The extra lines reached the job script, a line without "#SBATCH" with one.
        const QByteArray baScript =
            OptraTest::ReadBytes(m_cluster.RemoteFolder() + "/slurm run/.optra/job.sh");
        QVERIFY(baScript.startsWith("#!/bin/sh\n#SBATCH --cpus-per-task=1\n#SBATCH --comment=optra\nexec '"));
    }

    void stopCancelsTheJob()
    {
        auto pProject = BuildableProject("cancelled");
        Environment({"DARKNET_STANDIN_RUN_SECONDS=120"});
        SStatusWatch watch(*pProject);
        pProject->Controller()->Start();
        QTRY_VERIFY_WITH_TIMEOUT(pProject->Controller()->GetTrainingModel()->GetPoints().size() >= 2,
                                 RUN_TIMEOUT_MS);
        const QString strJob = JobID(*pProject);
        OptraTest::CLogCapture capture;
        pProject->Controller()->Stop();
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::NORMAL, "Stop Command OK"));
        QCOMPARE(pProject->Model()->GetCommandState(), 0);
        QCOMPARE(watch.lstStatus.last(), "Slurm job " + strJob + ": cancelled");
        QVERIFY(!m_cluster.QueuedJobs().contains(strJob));
        QTRY_COMPARE_WITH_TIMEOUT(OptraTest::ProcessesUsing(m_cluster.RemoteFolder() + "/cancelled"),
                                  QList<qint64>(), 20000);
    }

    void failingJobIsReportedAsFailed()
    {
        auto pProject = BuildableProject("crash");
        Environment({"DARKNET_STANDIN_CRASH=1"});
        SStatusWatch watch(*pProject);
        OptraTest::CLogCapture capture;
        pProject->Controller()->Start();
        WaitForEnd(*pProject);
        capture.Flush();
        QVERIFY2(watch.lstStatus.last().contains(": failed (failed, exit code "),
                 qPrintable(watch.lstStatus.last()));
        QVERIFY(capture.Contains(ELogLevel::ERROR, watch.lstStatus.last()));
        // What it printed before it died still reached the chart.
        QCOMPARE(Iterations(pProject->Controller()->GetTrainingModel()), Range(1, 1));
    }

    void reattachesByJobID()
    {
        auto pProject = BuildableProject("again");
        Environment({"DARKNET_STANDIN_ITERATIONS=25", "DARKNET_STANDIN_DELAY_MS=100"});
        pProject->Controller()->Start();
        CTrainingModel* pTraining = pProject->Controller()->GetTrainingModel();
        QTRY_VERIFY_WITH_TIMEOUT(pTraining->GetPoints().size() >= 3, RUN_TIMEOUT_MS);
        const QString strJob = JobID(*pProject);
        {
            OptraTest::CMessageRecorder messages(QMessageBox::Yes);
            QVERIFY(pProject->Controller()->CloseCurrentProject());
        }
        SRunRecord record;
        QVERIFY(SRunRecord::Load(pProject->Folder(), record));
        QCOMPARE(record.strRunID, strJob);
        QVERIFY(m_cluster.QueuedJobs().contains(strJob));

        SStatusWatch watch(*pProject);
        pProject->Controller()->LoadProject(pProject->Folder(), pProject->Name());
        WaitForEnd(*pProject);
        QCOMPARE(watch.lstStatus.first(), "Reattaching to Slurm job " + strJob);
        QCOMPARE(watch.lstStatus.last(), "Slurm job " + strJob + ": finished");
        QCOMPARE(Iterations(pTraining), Range(1, 25));
        QCOMPARE(OptraTest::ReadBytes(pProject->Folder() + "/training.csv").count('\n'), 1 + 25);
    }
};

OPTRA_TEST_MAIN(TestSlurmTraining)
#include "tst_SlurmTraining.moc"
