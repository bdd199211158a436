#include "common/setting/SettingManager.h"
#include "tests/support/TestSupport.h"
#include "tests/trainer/ProjectFixture.h"
#include "trainer/detect/RunClasses.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>

#include <memory>

using OptraTest::BuildableProject;
using OptraTest::CProjectOnDisk;
using OptraTest::ReadJson;
using OptraTest::StandIn;

namespace
{
// Records the command state each time the model announces a change.
struct SStateRecorder
{
    explicit SStateRecorder(CProjectModel* pModel)
    {
        QObject::connect(pModel, &CProjectModel::signal_ChangeCommandState,
                         [this, pModel] { vctStates.push_back(pModel->GetCommandState()); });
    }
    std::vector<int> vctStates;
};
} // namespace

class TestProjectRun : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dirTemp;

    QString ReportPath() const { return m_dirTemp.path() + "/report.json"; }

private slots:
    // Runs first: nothing has set the executable yet.
    void unsetExecutable()
    {
        auto pProject = BuildableProject("run");
        OptraTest::CLogCapture capture;
        pProject->Controller()->Start();
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::NORMAL, "Build Completed"));
        QVERIFY(capture.Contains(ELogLevel::NORMAL, "Start Command"));
        QVERIFY(capture.Contains(ELogLevel::ERROR, "Execution file no_command does not exist"));
        QCOMPARE(pProject->Model()->GetCommandState(), 0);
    }

    void init()
    {
        qputenv("DARKNET_STANDIN_REPORT", ReportPath().toLocal8Bit());
        for (const char* szName :
             {"DARKNET_STANDIN_ITERATIONS", "DARKNET_STANDIN_DELAY_MS", "DARKNET_STANDIN_RUN_SECONDS",
              "DARKNET_STANDIN_FLOOD", "DARKNET_STANDIN_CRASH", "DARKNET_STANDIN_IGNORE_SIGTERM"})
            qunsetenv(szName);
        QFile::remove(ReportPath());
        CLogger::GetInstance()->Flush();
        if (QByteArray(QTest::currentTestFunction()) == "unsetExecutable")
            return;
        CSetting::Set("QUILLON_COMMAND_EXE_YOLO3", StandIn());
        CSetting::Set("QUILLON_COMMAND_ARG_YOLO3", "detector train");
    }

    void trainsOnWhatBuildWrote()
    {
        auto pProject = BuildableProject("run");
        const QString strWeights = m_dirTemp.path() + "/initial weights/darknet 53.conv";
        QDir().mkpath(QFileInfo(strWeights).path());
        QFile weights(strWeights);
        QVERIFY(weights.open(QIODevice::WriteOnly));
        weights.close();
        pProject->Controller()->slot_UpdateProjectProperty("PROJECT_INITIALIZED_MODEL",
                                                           "  " + strWeights + " ");
        CSetting::Set("QUILLON_COMMAND_ARG_YOLO3", "  detector   train ");

        SStateRecorder states(pProject->Model());
        OptraTest::CLogCapture capture;
        pProject->Controller()->Start();
        QTRY_VERIFY_WITH_TIMEOUT(!states.vctStates.empty() && states.vctStates.back() == 0, 30000);
        capture.Flush();
        QCOMPARE(states.vctStates, std::vector<int>({2, 1, 0}));

        const QJsonObject report = ReadJson(ReportPath());
        QCOMPARE(report.value("error").toString(), QString());
        QCOMPARE(report.value("cwd").toString(), pProject->Folder());
        QCOMPARE(report.value("arguments").toArray().toVariantList(),
                 QVariantList({"detector", "train", "detector.txt", "config.txt", strWeights}));
        QCOMPARE(report.value("boxes_accepted").toInt(), 4);
        QVERIFY(report.value("boxes_rejected").toArray().isEmpty());
        QCOMPARE(report.value("train_images").toInt(), 2);
        QCOMPARE(report.value("valid_images").toInt(), 1);
        QVERIFY(report.value("valid_from_key").toBool());
        QVERIFY(report.value("backup_exists").toBool());
        QCOMPARE(report.value("classes").toInt(), 2);

        const QStringList lstExpected{
            "Start Command",        "Command " + StandIn(),   "Arguments",
            "Arguments detector",   "Arguments train",        "Arguments detector.txt",
            "Arguments config.txt", "Arguments " + strWeights};
        const QStringList lstTexts = capture.Texts();
        const int nFirst = lstTexts.indexOf("Start Command");
        QVERIFY(nFirst >= 0);
        QCOMPARE(lstTexts.mid(nFirst, lstExpected.size()), lstExpected);

        // Output lines arrive whole, clean, at the right level.
        const QRegularExpression rxProgress(
            R"(^1: [0-9.]+, [0-9.]+ avg loss, 0\.000000 rate, .* hours left$)");
        int nProgress = 0;
        bool bStandardError = false;
        for (const SLogMessage& message : capture.Messages())
        {
            QVERIFY2(!message.text.contains(QChar(27)) && !message.text.contains('\a') &&
                         !message.text.contains('\r'),
                     qPrintable(message.text));
            if (message.level == ELogLevel::NORMAL && rxProgress.match(message.text).hasMatch())
                ++nProgress;
            bStandardError =
                bStandardError || (message.level == ELogLevel::ERROR && message.text.contains("total_bbox"));
        }
        QCOMPARE(nProgress, 1);
        QVERIFY(bStandardError);
        QVERIFY(capture.Contains(ELogLevel::NORMAL, "Saving weights to Backup/config_final.weights"));

        // The run left the classes it trained with beside its weights.
        const QDir runs(pProject->Folder() + "/Backup/Runs");
        const QStringList lstNames = runs.entryList({"*.names"}, QDir::Files);
        QCOMPARE(lstNames.size(), 1);
        QCOMPARE(OptraTest::ReadBytes(runs.filePath(lstNames.front())), QByteArray("car\nperson\n"));
        QCOMPARE(OptraTest::ReadBytes(runs.filePath(QString(lstNames.front()).replace(".names", ".cfg"))),
                 OptraTest::ReadBytes(pProject->Folder() + "/config.txt"));
        SRunClasses classes;
        QString strError;
        QVERIFY(CRunClasses(pProject->Folder()).ForWeights("Backup/config_final.weights", classes, strError));
        QVERIFY(classes.bRecorded);
        QCOMPARE(classes.lstNames, QStringList({"car", "person"}));
    }

    void failedBuildStartsNothing()
    {
        CProjectOnDisk project("nobuild");
        project.AddImages({project.MakeImage("lonely.jpg", 8, 8)});
        SStateRecorder states(project.Model());
        OptraTest::CLogCapture capture;
        project.Controller()->Start();
        QTest::qWait(200);
        capture.Flush();
        QVERIFY(states.vctStates.empty());
        QVERIFY(!capture.Contains(ELogLevel::NORMAL, "Start Command"));
        QVERIFY(!QFile::exists(ReportPath()));
    }

    void stopEndsTraining()
    {
        auto pProject = BuildableProject("run");
        qputenv("DARKNET_STANDIN_RUN_SECONDS", "60");
        pProject->Controller()->Start();
        QTRY_COMPARE_WITH_TIMEOUT(pProject->Model()->GetCommandState(), 1, 10000);
        OptraTest::CLogCapture capture;
        pProject->Controller()->Stop();
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::NORMAL, "Stop Command OK"));
        QCOMPARE(pProject->Model()->GetCommandState(), 0);
    }

    void stopKillsWhatIgnoresTerminate()
    {
        auto pProject = BuildableProject("run");
        qputenv("DARKNET_STANDIN_RUN_SECONDS", "60");
        qputenv("DARKNET_STANDIN_IGNORE_SIGTERM", "1");
        pProject->Controller()->Start();
        QTRY_COMPARE_WITH_TIMEOUT(pProject->Model()->GetCommandState(), 1, 10000);
        pProject->Controller()->SetStopTimeout(500);
        OptraTest::CLogCapture capture;
        QElapsedTimer elapsed;
        elapsed.start();
        pProject->Controller()->Stop();
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::ERROR, "Stop Command Failed"));
        QCOMPARE(pProject->Controller()->GetProcess()->state(), QProcess::NotRunning);
        QCOMPARE(pProject->Model()->GetCommandState(), 0);
    }

    void stopWithoutProcess()
    {
        auto pProject = BuildableProject("run");
        pProject->Controller()->SetStopTimeout(100);
        OptraTest::CLogCapture capture;
        pProject->Controller()->Stop();
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::ERROR, "Stop Command Failed"));
    }

    void runningRefusesEdits()
    {
        auto pProject = BuildableProject("run");
        qputenv("DARKNET_STANDIN_RUN_SECONDS", "60");
        pProject->Controller()->Start();
        QTRY_COMPARE_WITH_TIMEOUT(pProject->Model()->GetCommandState(), 1, 10000);
        OptraTest::CMessageRecorder messages;
        QVERIFY(!pProject->Controller()->IsCommandNotRunning());
        QCOMPARE(messages.Texts(), QStringList({"Project is still running"}));
        pProject->Controller()->SetStopTimeout(5000);
        pProject->Controller()->Stop();
        QVERIFY(pProject->Controller()->IsCommandNotRunning());
    }

    void crashEndsCleanly()
    {
        auto pProject = BuildableProject("run");
        qputenv("DARKNET_STANDIN_CRASH", "1");
        SStateRecorder states(pProject->Model());
        pProject->Controller()->Start();
        QTRY_VERIFY_WITH_TIMEOUT(!states.vctStates.empty() && states.vctStates.back() == 0, 30000);
        QCOMPARE(pProject->Controller()->GetProcess()->exitStatus(), QProcess::CrashExit);
    }

    void floodLosesNoLineAndStaysResponsive()
    {
        constexpr int FLOOD = 100000;
        auto pProject = BuildableProject("run");
        qputenv("DARKNET_STANDIN_FLOOD", QByteArray::number(FLOOD));
        qputenv("DARKNET_STANDIN_ITERATIONS", "1");
        OptraTest::CLogCapture capture;

        // A heartbeat shows how long the event loop was kept from running.
        QElapsedTimer beat;
        beat.start();
        qint64 nLongestGap = 0;
        QTimer heartbeat;
        QObject::connect(&heartbeat, &QTimer::timeout,
                         [&] { nLongestGap = std::max(nLongestGap, beat.restart()); });
        heartbeat.start(5);
        pProject->Controller()->Start();
        QTRY_VERIFY_WITH_TIMEOUT(
            pProject->Model()->GetCommandState() == 0 && CLogger::GetInstance()->IsEmpty(), 60000);
        heartbeat.stop();
        capture.Flush();

        const QRegularExpression rxFlood(R"(^(\d+): [0-9.]+, [0-9.]+ avg loss, .* hours left$)");
        int nFlood = 0;
        int nLast = 0;
        bool bInOrder = true;
        for (const SLogMessage& message : capture.Messages())
        {
            const QRegularExpressionMatch match = rxFlood.match(message.text);
            if (message.level != ELogLevel::NORMAL || !match.hasMatch())
                continue;
            const int nNumber = match.captured(1).toInt();
            if (nFlood < FLOOD)
                bInOrder = bInOrder && nNumber == nLast + 1;
            nLast = nNumber;
            ++nFlood;
        }
        QCOMPARE(nFlood, FLOOD + 1);
        QVERIFY(bInOrder);
        QVERIFY2(nLongestGap < 1000, qPrintable(QString("event loop blocked for %1 ms").arg(nLongestGap)));
    }

    void destructionKillsTheProcess()
    {
        auto pProject = BuildableProject("run");
        qputenv("DARKNET_STANDIN_RUN_SECONDS", "60");
        qputenv("DARKNET_STANDIN_IGNORE_SIGTERM", "1");
        pProject->Controller()->Start();
        QTRY_COMPARE_WITH_TIMEOUT(pProject->Model()->GetCommandState(), 1, 10000);
        const qint64 nPid = pProject->Controller()->GetProcess()->processId();
        pProject.reset();
        QVERIFY(!QFile::exists(QString("/proc/%1/cmdline").arg(nPid)) ||
                OptraTest::ReadBytes(QString("/proc/%1/stat").arg(nPid)).contains(") Z "));
    }
};

OPTRA_TEST_MAIN(TestProjectRun)
#include "tst_ProjectRun.moc"
