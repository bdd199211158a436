// Training on another machine over SSH, against an OpenSSH server the test
// starts on 127.0.0.1: host keys, keys, the copy of the project, the run's
// output in the log, chart and "training.csv", Stop, a lost connection, a
// reattach and the weights coming back.
#include "common/setting/SettingManager.h"
#include "tests/support/TestSupport.h"
#include "tests/trainer/ProjectFixture.h"
#include "tests/trainer/remote/SshServer.h"
#include "trainer/SettingDlgImpl.h"
#include "trainer/TrainingModel.h"
#include "trainer/remote/RemoteRun.h"
#include "trainer/remote/RunRecord.h"
#include "trainer/remote/TargetCheck.h"
#include "trainer/remote/TrainingRuns.h"
#include "trainer/remote/TrainingTargetPage.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>

#include <csignal>
#include <sys/stat.h>

using OptraTest::BuildableProject;
using OptraTest::CProjectOnDisk;
using OptraTest::Iterations;
using OptraTest::Range;

namespace
{
constexpr int RUN_TIMEOUT_MS = 120000;

// How often each iteration's line reached the log.
std::map<int, int> LoggedIterations(const OptraTest::CLogCapture& capture)
{
    static const QRegularExpression rxIteration(R"(^(\d+): [0-9.]+, [0-9.]+ avg loss, )");
    std::map<int, int> mapCounts;
    for (const SLogMessage& message : capture.Messages())
    {
        const QRegularExpressionMatch match = rxIteration.match(message.text);
        if (message.level == ELogLevel::NORMAL && match.hasMatch())
            ++mapCounts[match.captured(1).toInt()];
    }
    return mapCounts;
}

bool EachOnce(const std::map<int, int>& mapCounts, int nLast)
{
    if (static_cast<int>(mapCounts.size()) != nLast)
        return false;
    for (const auto& [nIteration, nCount] : mapCounts)
    {
        if (nIteration < 1 || nIteration > nLast || nCount != 1)
            return false;
    }
    return true;
}

qint64 Inode(const QString& strPath)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(strPath).constData(), &info) == 0 ? qint64(info.st_ino) : -1;
}

// Every file below strRoot but those below strExcept.
QStringList FilesOutside(const QString& strRoot, const QString& strExcept)
{
    QStringList lstFiles;
    QDirIterator it(strRoot, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
    {
        const QString strFile = it.next();
        if (!strFile.startsWith(strExcept + '/'))
            lstFiles << strFile;
    }
    lstFiles.sort();
    return lstFiles;
}

// The states and status lines a run went through.
struct SRunWatch
{
    explicit SRunWatch(CProjectOnDisk& project)
    {
        QObject::connect(project.Model(), &CProjectModel::signal_ChangeCommandState,
                         [this, pModel = project.Model()]
                         { vctStates.push_back(pModel->GetCommandState()); });
        QObject::connect(project.Controller()->GetTrainingModel(), &CTrainingModel::signal_ChangeRunStatus,
                         [this](const QString& strStatus) { lstStatus << strStatus; });
    }
    bool Saw(const QString& strStart) const
    {
        for (const QString& strStatus : lstStatus)
        {
            if (strStatus.startsWith(strStart))
                return true;
        }
        return false;
    }
    std::vector<int> vctStates;
    QStringList lstStatus;
};
} // namespace

class TestRemoteTraining : public QObject
{
    Q_OBJECT

private:
    OptraTest::CSshServer m_server;

    QString ReportPath() const { return m_server.Root() + "/report.json"; }
    QString KnownHosts() const { return QDir::homePath() + "/.ssh/known_hosts"; }
    QString RemoteProject(const QString& strName) const { return m_server.RemoteFolder() + "/" + strName; }

    void Trust()
    {
        QDir().mkpath(QFileInfo(KnownHosts()).path());
        QFile file(KnownHosts());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(m_server.KnownHostsLine().toLatin1() + '\n');
    }

    void Environment(const QStringList& lstAssignments)
    {
        m_server.SetEnvironment(QStringList{"DARKNET_STANDIN_REPORT=" + ReportPath()} + lstAssignments);
    }

    static void WaitForEnd(CProjectOnDisk& project)
    {
        QTRY_VERIFY_WITH_TIMEOUT(OptraTest::RunEnded(project), RUN_TIMEOUT_MS);
    }

    static CRemoteRun* Run(CProjectOnDisk& project)
    {
        return project.Controller()->GetTrainingRuns()->Remote();
    }

    // Runs "Test connection" on the settings page as a user does.
    QStringList TestConnection(bool& bOk)
    {
        CSettingViewImpl view(nullptr);
        view.CreateView();
        view.UpdateParameter();
        QSignalSpy checked(view.GetTargetCheck(), &CTargetCheck::signal_Checked);
        QTest::mouseClick(view.GetTrainingPage()->GetTestButton(), Qt::LeftButton);
        if (!checked.wait(RUN_TIMEOUT_MS))
            return {"no answer"};
        bOk = checked.first().at(0).toBool();
        return checked.first().at(1).toStringList();
    }

private slots:
    void initTestCase() { OPTRA_START_SERVER(m_server, "SSH server"); }

    void init()
    {
        OptraTest::CSshServer::StoreTarget(m_server.Target());
        Environment({});
        QFile::remove(ReportPath());
        CLogger::GetInstance()->Flush();
    }

    // A host nobody trusted yet is refused, its fingerprint shown, until the user trusts it.
    void unknownHostIsRefusedUntilTrusted()
    {
        QFile::remove(KnownHosts());
        auto pProject = BuildableProject("unknown host");
        {
            OptraTest::CMessageRecorder messages(QMessageBox::No);
            pProject->Controller()->Start();
            WaitForEnd(*pProject);
            QVERIFY(!QFileInfo::exists(RemoteProject("unknown host")));
            QVERIFY(!messages.Texts().isEmpty());
        }
        QByteArray baFingerprint;
        OptraTest::RunTool("ssh-keygen", {"-l", "-f", m_server.Root() + "/sshd/host_key.pub"},
                           &baFingerprint);
        const QString strFingerprint = "ED25519 " + QString::fromLatin1(baFingerprint).section(' ', 1, 1);

        OptraTest::CMessageRecorder messages(QMessageBox::No);
        bool bOk = true;
        QStringList lstLines = TestConnection(bOk);
        QVERIFY(!bOk);
        QCOMPARE(lstLines,
                 QStringList({"Host key of 127.0.0.1 is not known: " + strFingerprint + " was not trusted"}));
        QVERIFY(messages.Texts().first().startsWith("Host key of 127.0.0.1 is not known:\n" + strFingerprint +
                                                    "\n"));
        QVERIFY(!OptraTest::ReadBytes(KnownHosts())
                     .contains(m_server.KnownHostsLine().section(' ', 2).toLatin1()));

        messages.SetAnswer(QMessageBox::Yes);
        lstLines = TestConnection(bOk);
        QVERIFY2(bOk, qPrintable(lstLines.join('\n')));
        QCOMPARE(lstLines, QStringList({"SSH login to 127.0.0.1 works",
                                        "The remote folder " + m_server.RemoteFolder() + " is writable",
                                        "darknet found at " + m_server.Darknet()}));
        QVERIFY(OptraTest::ReadBytes(KnownHosts())
                    .contains(m_server.KnownHostsLine().section(' ', 1).toLatin1()));
        // The probe left nothing behind.
        QCOMPARE(
            QDir(m_server.RemoteFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
    }

    void wrongKeyAndMissingDarknetAreReported()
    {
        Trust();
        STrainingTarget target = m_server.Target();
        target.strIdentity = m_server.OtherIdentityFile();
        OptraTest::CSshServer::StoreTarget(target);
        OptraTest::CMessageRecorder messages;
        bool bOk = true;
        QCOMPARE(TestConnection(bOk),
                 QStringList({"Permission denied (publickey): 127.0.0.1 does not accept the key " +
                              m_server.OtherIdentityFile() + " for user " + target.strUser}));
        QVERIFY(!bOk);

        target = m_server.Target();
        target.strDarknet = m_server.Root() + "/nowhere/darknet";
        OptraTest::CSshServer::StoreTarget(target);
        const QStringList lstLines = TestConnection(bOk);
        QVERIFY(!bOk);
        QCOMPARE(lstLines.last(), "darknet not found at " + target.strDarknet);
    }

    // Start copies the project, runs the stand-in there and brings its
    // output and weights back as a local run would; nothing is written
    // outside the remote folder.
    void runStreamsIntoLogChartAndCsv()
    {
        Trust();
        const QStringList lstBefore = FilesOutside(m_server.Root(), m_server.RemoteFolder());
        auto pProject = BuildableProject("remote run");
        Environment({"DARKNET_STANDIN_ITERATIONS=6", "DARKNET_STANDIN_DELAY_MS=200"});
        SRunWatch watch(*pProject);
        OptraTest::CLogCapture capture;
        pProject->Controller()->Start();
        WaitForEnd(*pProject);
        capture.Flush();

        const QJsonObject report = OptraTest::ReadJson(ReportPath());
        QCOMPARE(report.value("error").toString(), QString());
        QCOMPARE(report.value("cwd").toString(), RemoteProject("remote run"));
        QCOMPARE(report.value("arguments").toArray().toVariantList(),
                 QVariantList({"detector", "train", "detector.txt", "config.txt"}));
        QCOMPARE(report.value("boxes_accepted").toInt(), 4);
        QCOMPARE(report.value("train_images").toInt(), 2);
        QCOMPARE(watch.vctStates, std::vector<int>({2, 1, 0}));
        QVERIFY(watch.Saw("Training on 127.0.0.1: running (process "));
        QCOMPARE(watch.lstStatus.last(), QString("Training on 127.0.0.1: finished"));

        QCOMPARE(Iterations(pProject->Controller()->GetTrainingModel()), Range(1, 6));
        QCOMPARE(OptraTest::ReadBytes(pProject->Folder() + "/training.csv").count('\n'), 1 + 6);
        QVERIFY(EachOnce(LoggedIterations(capture), 6));
        bool bStandardError = false;
        for (const SLogMessage& message : capture.Messages())
            bStandardError =
                bStandardError || (message.level == ELogLevel::ERROR && message.text.contains("total_bbox"));
        QVERIFY(bStandardError);
        QCOMPARE(OptraTest::ReadBytes(pProject->Folder() + "/Backup/config_final.weights"),
                 QByteArray("stand-in weights iteration=6\n"));
        QVERIFY(!QFileInfo::exists(SRunRecord::FilePath(pProject->Folder())));
        QStringList lstExpected = lstBefore + QStringList{ReportPath()};
        lstExpected.sort();
        QCOMPARE(FilesOutside(m_server.Root(), m_server.RemoteFolder()), lstExpected);
        QTRY_COMPARE_WITH_TIMEOUT(OptraTest::ProcessesUsing(m_server.RemoteFolder()), QList<qint64>(), 20000);
    }

    void secondStartCopiesOnlyWhatChanged()
    {
        Trust();
        auto pProject = BuildableProject("twice");
        Environment({"DARKNET_STANDIN_ITERATIONS=2"});
        pProject->Controller()->Start();
        WaitForEnd(*pProject);
        const QString strRemote = RemoteProject("twice");
        const QStringList lstFiles{"Images/a.jpg", "Images/b.png", "Images/a.txt", "train.txt", "config.txt"};
        std::map<QString, qint64> mapInodes;
        for (const QString& strFile : lstFiles)
            mapInodes[strFile] = Inode(strRemote + "/" + strFile);
        QVERIFY(mapInodes["Images/a.jpg"] > 0 && mapInodes["Images/a.txt"] > 0);

        // b.png changes its pixels, not its name or size.
        QImage image(32, 32, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(pProject->Folder() + "/Images/b.png"));
        OptraTest::CMessageRecorder messages(QMessageBox::No);
        pProject->Controller()->Start();
        WaitForEnd(*pProject);
        for (const QString& strFile : lstFiles)
            QCOMPARE(Inode(strRemote + "/" + strFile) == mapInodes[strFile], strFile != "Images/b.png");
        QCOMPARE(OptraTest::ReadBytes(strRemote + "/Images/b.png"),
                 OptraTest::ReadBytes(pProject->Folder() + "/Images/b.png"));
        QVERIFY(Run(*pProject) == nullptr);
    }

    void stopLeavesNoProcessBehind()
    {
        Trust();
        auto pProject = BuildableProject("stopped");
        Environment({"DARKNET_STANDIN_RUN_SECONDS=120"});
        SRunWatch watch(*pProject);
        pProject->Controller()->Start();
        QTRY_VERIFY_WITH_TIMEOUT(pProject->Controller()->GetTrainingModel()->GetPoints().size() >= 2,
                                 RUN_TIMEOUT_MS);
        const QList<qint64> lstHelpers = Run(*pProject)->StreamProcessIds();
        QCOMPARE(lstHelpers.size(), 2);
        OptraTest::CLogCapture capture;
        pProject->Controller()->Stop();
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::NORMAL, "Stop Command OK"));
        QCOMPARE(pProject->Model()->GetCommandState(), 0);
        QCOMPARE(watch.lstStatus.last(), QString("Training on 127.0.0.1: stopped"));
        // The remote side of the followers ends with its connection.
        QTRY_COMPARE_WITH_TIMEOUT(OptraTest::ProcessesUsing(m_server.RemoteFolder()), QList<qint64>(), 20000);
        for (const qint64 nHelper : lstHelpers)
            QVERIFY(!QFileInfo::exists(QString("/proc/%1").arg(nHelper)));
        QVERIFY(pProject->Controller()->IsCommandNotRunning());
    }

    // A killed ssh is a lost connection: the output is followed again from
    // where it broke off, the run goes on, and no row is lost or doubled.
    void lostConnectionLosesAndDoublesNothing()
    {
        Trust();
        auto pProject = BuildableProject("lost");
        Environment({"DARKNET_STANDIN_ITERATIONS=40", "DARKNET_STANDIN_DELAY_MS=100"});
        SRunWatch watch(*pProject);
        OptraTest::CLogCapture capture;
        pProject->Controller()->Start();
        CTrainingModel* pTraining = pProject->Controller()->GetTrainingModel();
        QTRY_VERIFY_WITH_TIMEOUT(pTraining->GetPoints().size() >= 5, RUN_TIMEOUT_MS);
        for (const qint64 nHelper : Run(*pProject)->StreamProcessIds())
            ::kill(pid_t(nHelper), SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(watch.Saw("Training on 127.0.0.1: connection lost"), RUN_TIMEOUT_MS);
        QVERIFY(pProject->Model()->GetCommandState() == 1);
        WaitForEnd(*pProject);
        capture.Flush();
        QCOMPARE(Iterations(pTraining), Range(1, 40));
        QVERIFY(EachOnce(LoggedIterations(capture), 40));
        QCOMPARE(OptraTest::ReadBytes(pProject->Folder() + "/training.csv").count('\n'), 1 + 40);
        QCOMPARE(watch.lstStatus.last(), QString("Training on 127.0.0.1: finished"));
    }

    // Closed while training runs there, the project is followed again when
    // it is opened, from where it left off.
    void reopenedProjectReattaches()
    {
        Trust();
        auto pProject = BuildableProject("reattach");
        Environment({"DARKNET_STANDIN_ITERATIONS=30", "DARKNET_STANDIN_DELAY_MS=100"});
        OptraTest::CLogCapture capture;
        pProject->Controller()->Start();
        CTrainingModel* pTraining = pProject->Controller()->GetTrainingModel();
        QTRY_VERIFY_WITH_TIMEOUT(pTraining->GetPoints().size() >= 5, RUN_TIMEOUT_MS);
        {
            OptraTest::CMessageRecorder messages(QMessageBox::Yes);
            QVERIFY(pProject->Controller()->CloseCurrentProject());
            QVERIFY(messages.Texts().first().startsWith(
                "The training goes on on another machine. Keep it running"));
        }
        SRunRecord record;
        QVERIFY(SRunRecord::Load(pProject->Folder(), record));
        QVERIFY(record.bClean);
        QVERIFY(record.nOutputOffset > 0);
        QVERIFY(!OptraTest::ProcessesUsing(RemoteProject("reattach")).isEmpty());

        SRunWatch watch(*pProject);
        pProject->Controller()->LoadProject(pProject->Folder(), pProject->Name());
        QCOMPARE(pProject->Model()->GetCommandState(), 2);
        WaitForEnd(*pProject);
        capture.Flush();
        QVERIFY(watch.Saw("Reattaching to Training on 127.0.0.1"));
        QCOMPARE(Iterations(pTraining), Range(1, 30));
        QVERIFY(EachOnce(LoggedIterations(capture), 30));
        QCOMPARE(OptraTest::ReadBytes(pProject->Folder() + "/training.csv").count('\n'), 1 + 30);
        QVERIFY(!QFileInfo::exists(SRunRecord::FilePath(pProject->Folder())));
    }

    // Closing the project may also stop the run there instead of leaving it.
    void closingCanStopTheRun()
    {
        Trust();
        auto pProject = BuildableProject("closed");
        Environment({"DARKNET_STANDIN_RUN_SECONDS=120"});
        pProject->Controller()->Start();
        QTRY_COMPARE_WITH_TIMEOUT(pProject->Model()->GetCommandState(), 1, RUN_TIMEOUT_MS);
        {
            OptraTest::CMessageRecorder messages(QMessageBox::Cancel);
            QVERIFY(!pProject->Controller()->CloseCurrentProject());
            QVERIFY(pProject->IsOpen());
        }
        OptraTest::CMessageRecorder messages(QMessageBox::No);
        QVERIFY(pProject->Controller()->CloseCurrentProject());
        QVERIFY(!pProject->IsOpen());
        QVERIFY(!QFileInfo::exists(SRunRecord::FilePath(pProject->Folder())));
        QTRY_COMPARE_WITH_TIMEOUT(OptraTest::ProcessesUsing(RemoteProject("closed")), QList<qint64>(), 20000);
    }

    // Weights come back while the run goes on and at its end, and the next
    // Start can continue from them there.
    void weightsComeBackAndResumeThere()
    {
        Trust();
        auto pProject = BuildableProject("resume");
        // The last "last" weights (28) come well before the final ones (29).
        Environment({"DARKNET_STANDIN_ITERATIONS=29", "DARKNET_STANDIN_DELAY_MS=100",
                     "DARKNET_STANDIN_SAVE_EVERY=2"});
        pProject->Controller()->Start();
        const QString strLast = pProject->Folder() + "/Backup/config_last.weights";
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(strLast), RUN_TIMEOUT_MS);
        QVERIFY(pProject->Model()->GetCommandState() != 0);
        WaitForEnd(*pProject);
        QCOMPARE(OptraTest::ReadBytes(pProject->Folder() + "/Backup/config_final.weights"),
                 QByteArray("stand-in weights iteration=29\n"));

        Environment({"DARKNET_STANDIN_ITERATIONS=32"});
        OptraTest::CMessageRecorder messages(QMessageBox::Yes);
        pProject->Controller()->Start();
        WaitForEnd(*pProject);
        const QJsonObject report = OptraTest::ReadJson(ReportPath());
        QCOMPARE(report.value("arguments").toArray().last().toString(),
                 QString("Backup/config_final.weights"));
        QCOMPARE(report.value("first_iteration").toInt(), 30);
        QCOMPARE(Iterations(pProject->Controller()->GetTrainingModel()), Range(1, 32));
    }
};

OPTRA_TEST_MAIN(TestRemoteTraining)
#include "tst_RemoteTraining.moc"
