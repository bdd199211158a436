// The one place that quotes for a remote shell, checked against real shells
// and a real rsync; the words a failed ssh gets; what Slurm's job states read as.
#include "tests/support/TestSupport.h"
#include "tests/trainer/remote/SshServer.h"
#include "trainer/remote/RemoteHost.h"
#include "trainer/remote/RemoteShell.h"
#include "trainer/remote/SlurmRun.h"

#include <QTemporaryDir>

namespace
{
QString ShellOutput(const QString& strShell, const QString& strLine)
{
    QByteArray baOutput;
    OptraTest::RunTool(strShell, {"-c", strLine}, &baOutput);
    return QString::fromUtf8(baOutput);
}

// Is public because Slurm's states are the subclass's own business.
class CSlurmStates : public CSlurmRun
{
public:
    using CSlurmRun::SState;
    using CSlurmRun::StateOf;
};
} // namespace

class TestRemoteShell : public QObject
{
    Q_OBJECT

private slots:
    void quotedWordsReachTheScriptUntouched_data()
    {
        QTest::addColumn<QString>("word");
        QTest::newRow("plain") << "darknet";
        QTest::newRow("space") << "/data/my projects/run 1";
        QTest::newRow("single quote") << "it's";
        QTest::newRow("quotes only") << "''";
        QTest::newRow("double quote") << "say \"hi\"";
        QTest::newRow("dollar") << "$HOME and ${PATH} and $(id)";
        QTest::newRow("backtick") << "`id`";
        QTest::newRow("backslash") << "a\\b\\'c";
        QTest::newRow("newline") << "two\nlines";
        QTest::newRow("glob") << "*.weights ?";
        QTest::newRow("separators") << "a; rm -rf x && b | c & d";
        QTest::newRow("leading dash") << "-rf";
        QTest::newRow("empty") << "";
        QTest::newRow("non-ASCII") << QString::fromUtf8("Büro/训练");
    }

    void quotedWordsReachTheScriptUntouched()
    {
        QFETCH(QString, word);
        // As a login shell gets it over ssh: one line, the word among others.
        const QString strLine = CRemoteShell::Command("printf '<%s>' \"$@\"", {"first", word, "last"});
        for (const char* szShell : {"sh", "bash"})
            QCOMPARE(ShellOutput(szShell, strLine), "<first><" + word + "><last>");
        QCOMPARE(ShellOutput("sh", "printf %s " + CRemoteShell::Quote(word)), word);
    }

    void scriptIsOneWord()
    {
        // The script itself may hold quotes and "$" of its own.
        const QString strLine = CRemoteShell::Command("x='a b'; echo \"$x:$1:$#\"", {"it's"});
        QCOMPARE(ShellOutput("sh", strLine), QString("a b:it's:1\n"));
    }

    // rsync splits its -e option itself: each word must come out as it went in.
    void rsyncSplitsTheShellBackIntoTheWords()
    {
        QTemporaryDir dir;
        const QString strFake = dir.path() + "/fake ssh";
        const QString strArguments = dir.path() + "/arguments";
        QFile fake(strFake);
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write(("#!/bin/sh\nfor a in \"$@\"; do printf '<%s>\\n' \"$a\"; done > '" + strArguments +
                    "'\nexit 1\n")
                       .toUtf8());
        fake.close();
        fake.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const QStringList lstWords{"-i", dir.path() + "/it's my key", "-o", "UserKnownHostsFile=\"/a b/k\""};
        QStringList lstShell{CRemoteShell::RsyncQuote(strFake)};
        for (const QString& strWord : lstWords)
            lstShell << CRemoteShell::RsyncQuote(strWord);
        OptraTest::RunTool("rsync", {"-e", lstShell.join(' '), dir.path() + "/arguments", "host:/x/"});
        const QString strSeen = QString::fromUtf8(OptraTest::ReadBytes(strArguments));
        QVERIFY2(strSeen.startsWith("<-i>\n<" + dir.path() +
                                    "/it's my key>\n<-o>\n<UserKnownHostsFile=\"/a b/k\">\n<host>\n"),
                 qPrintable(strSeen));
    }

    void failuresSayWhatToDo_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("error");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unknown host")
            << 255
            << QByteArray("No ED25519 host key is known for [gpu1]:22 and you have "
                          "requested strict checking.\nHost key verification failed.\n")
            << "Host key of gpu1 is not known: connect once with Test connection and trust it";
        QTest::newRow("changed host key") << 255
                                          << QByteArray("@@@ WARNING: REMOTE HOST IDENTIFICATION HAS "
                                                        "CHANGED! @@@\nHost key verification failed.\n")
                                          << "Host key of gpu1 has changed since it was trusted; the "
                                             "connection was refused. If the machine was "
                                             "reinstalled, remove its old key from " +
                                                 QDir::homePath() + "/.ssh/known_hosts";
        QTest::newRow("wrong key")
            << 255 << QByteArray("alice@gpu1: Permission denied (publickey).\n")
            << "Permission denied (publickey): gpu1 does not accept the key /k/id for user alice";
        QTest::newRow("refused") << 255
                                 << QByteArray("ssh: connect to host gpu1 port 2222: Connection refused\n")
                                 << "Connection to gpu1 port 2222 refused: is its SSH server running?";
        QTest::newRow("unknown name")
            << 255 << QByteArray("ssh: Could not resolve hostname gpu1: Name or service not known\n")
            << "Host gpu1 is not known to the name service";
        // A script's own failure is not an SSH problem, whatever it says.
        QTest::newRow("script") << 1 << QByteArray("mkdir: cannot create directory '/x': Permission denied\n")
                                << "mkdir: cannot create directory '/x': Permission denied";
        QTest::newRow("silent") << 3 << QByteArray() << "The command on gpu1 failed with exit code 3";
    }

    void failuresSayWhatToDo()
    {
        QFETCH(int, exitCode);
        QFETCH(QByteArray, error);
        QFETCH(QString, expected);
        STrainingTarget target;
        target.kind = STrainingTarget::EKind::SSH;
        target.strHost = "gpu1";
        target.nPort = 2222;
        target.strUser = "alice";
        target.strIdentity = "/k/id";
        QCOMPARE(CRemoteHost(target).Explain(exitCode, error), expected);
    }

    void sshNeverAsksAndChecksHostKeys()
    {
        STrainingTarget target;
        target.kind = STrainingTarget::EKind::SSH;
        target.strHost = "gpu1";
        target.strIdentity = "/keys/100%";
        const QStringList lstOptions = CRemoteHost(target).SshOptions();
        for (const char* szOption : {"BatchMode=yes", "StrictHostKeyChecking=yes",
                                     "PasswordAuthentication=no", "IdentitiesOnly=yes"})
            QVERIFY2(lstOptions.contains(szOption), szOption);
        QVERIFY(lstOptions.contains("/keys/100%%"));
        QVERIFY(lstOptions.contains("UserKnownHostsFile=\"" + QDir::homePath() + "/.ssh/known_hosts\""));
    }

    void slurmStatesInWords_data()
    {
        QTest::addColumn<QString>("jobState");
        QTest::addColumn<int>("phase");
        QTest::addColumn<QString>("text");
        using EPhase = CSlurmStates::SState::EPhase;
        QTest::newRow("pending") << "PENDING" << int(EPhase::QUEUED) << "queued";
        QTest::newRow("running") << "RUNNING" << int(EPhase::RUNNING) << "running on node gpu7";
        QTest::newRow("completing") << "COMPLETING" << int(EPhase::RUNNING) << "running on node gpu7";
        QTest::newRow("completed") << "COMPLETED" << int(EPhase::ENDED) << "finished";
        QTest::newRow("cancelled") << "CANCELLED" << int(EPhase::ENDED) << "cancelled";
        QTest::newRow("failed") << "FAILED" << int(EPhase::ENDED) << "failed (failed, exit code 2)";
        QTest::newRow("timeout") << "TIMEOUT" << int(EPhase::ENDED) << "failed (timeout, exit code 2)";
        QTest::newRow("forgotten") << "" << int(EPhase::ENDED) << "finished";
    }

    void slurmStatesInWords()
    {
        QFETCH(QString, jobState);
        QFETCH(int, phase);
        QFETCH(QString, text);
        const CSlurmStates::SState state = CSlurmStates::StateOf(jobState, "gpu7", 2);
        QCOMPARE(int(state.phase), phase);
        QCOMPARE(state.strText, text);
        QCOMPARE(state.bFailed, text.startsWith("failed"));
    }
};

OPTRA_TEST_MAIN(TestRemoteShell)
#include "tst_RemoteShell.moc"
