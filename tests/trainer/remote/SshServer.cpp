#include "tests/trainer/remote/SshServer.h"

#include "common/setting/SettingManager.h"
#include "tests/support/TestSupport.h"
#include "tests/trainer/ProjectFixture.h"
#include "trainer/remote/RemoteRun.h"
#include "trainer/remote/RemoteShell.h"
#include "trainer/remote/TrainingRuns.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace OptraTest
{

int FreePort()
{
    const int nSocket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLength = sizeof(address);
    int nPort = 0;
    if (::bind(nSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        ::getsockname(nSocket, reinterpret_cast<sockaddr*>(&address), &nLength) == 0)
        nPort = ntohs(address.sin_port);
    ::close(nSocket);
    return nPort;
}

int RunTool(const QString& strProgram, const QStringList& lstArguments, QByteArray* pOutput)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(strProgram, lstArguments);
    if (!process.waitForStarted(30000) || !process.waitForFinished(120000))
        return -1;
    if (pOutput)
        *pOutput = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QList<qint64> ProcessesUsing(const QString& strFolder)
{
    QList<qint64> lstIDs;
    const QString strCanonical = QFileInfo(strFolder).canonicalFilePath();
    for (const QString& strEntry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    {
        bool bNumber = false;
        const qint64 nID = strEntry.toLongLong(&bNumber);
        if (!bNumber || nID == QCoreApplication::applicationPid())
            continue;
        const QString strCwd = QFileInfo("/proc/" + strEntry + "/cwd").symLinkTarget();
        const QByteArray baCommand = ReadBytes("/proc/" + strEntry + "/cmdline");
        if ((!strCanonical.isEmpty() && strCwd.startsWith(strCanonical)) ||
            baCommand.contains(strFolder.toUtf8()))
            lstIDs << nID;
    }
    return lstIDs;
}

bool MustRun()
{
    return ::geteuid() == 0;
}

void ReportSkip(const QString& strReason)
{
    std::printf("OPTRA-SKIP-SERVER: %s\n", strReason.toUtf8().constData());
    std::fflush(stdout);
}

bool RunEnded(CProjectOnDisk& project)
{
    return project.Model()->GetCommandState() == 0 && !project.Controller()->GetTrainingRuns()->IsRemote();
}

void UseTestTimings()
{
    CRemoteRun::SetTimings({200, 500, 200});
    CSetting::Set("QUILLON_COMMAND_ARG_YOLO3", "detector train");
}

void WriteDarknetWrapper(const QString& strPath, const QString& strEnvironmentFile)
{
    QFile wrapper(strPath);
    wrapper.open(QIODevice::WriteOnly);
    wrapper.write(("#!/bin/sh\n. " + CRemoteShell::Quote(strEnvironmentFile) + "\nexec " +
                   CRemoteShell::Quote(StandIn()) + " \"$@\"\n")
                      .toUtf8());
    wrapper.close();
    wrapper.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    WriteEnvironment(strEnvironmentFile, {});
}

void WriteEnvironment(const QString& strEnvironmentFile, const QStringList& lstAssignments)
{
    QStringList lstLines;
    // The sanitizers of the test build read their options from the environment too.
    for (const char* szName : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
    {
        if (qEnvironmentVariableIsSet(szName))
            lstLines
                << QString("export %1=%2").arg(szName, CRemoteShell::Quote(qEnvironmentVariable(szName)));
    }
    for (const QString& strAssignment : lstAssignments)
        lstLines << "export " + strAssignment.section('=', 0, 0) + '=' +
                        CRemoteShell::Quote(strAssignment.section('=', 1));
    QFile file(strEnvironmentFile);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(lstLines.join('\n').toUtf8() + '\n');
}

CSshServer::CSshServer() = default;

CSshServer::~CSshServer()
{
    Stop();
}

QString CSshServer::IdentityFile() const
{
    return Root() + "/user keys/it's key";
}

QString CSshServer::OtherIdentityFile() const
{
    return Root() + "/user keys/other key";
}

QString CSshServer::RemoteFolder() const
{
    return Root() + "/remote folder/it's $HOME";
}

QString CSshServer::Darknet() const
{
    return Root() + "/remote bin/dark'net";
}

bool CSshServer::WriteConfig(QString& strReason)
{
    const QString strServer = Root() + "/sshd";
    for (const QString& strFolder :
         {strServer, Root() + "/user keys", Root() + "/remote bin", RemoteFolder()})
        QDir().mkpath(strFolder);
    for (const QString& strKey : {strServer + "/host_key", IdentityFile(), OtherIdentityFile()})
    {
        if (RunTool("ssh-keygen", {"-q", "-t", "ed25519", "-N", "", "-C", "optra-test", "-f", strKey}) != 0)
        {
            strReason = "ssh-keygen cannot make " + strKey;
            return false;
        }
    }
    QFile::copy(IdentityFile() + ".pub", strServer + "/authorized_keys");
    m_nPort = FreePort();
    QFile config(strServer + "/sshd_config");
    if (!config.open(QIODevice::WriteOnly))
    {
        strReason = "cannot write " + config.fileName();
        return false;
    }
    config.write(
        QString("Port %1\nListenAddress 127.0.0.1\nHostKey %2/host_key\nPidFile %2/sshd.pid\n"
                "AuthorizedKeysFile %2/authorized_keys\nStrictModes no\nUsePAM no\n"
                "PasswordAuthentication no\nKbdInteractiveAuthentication no\nPubkeyAuthentication yes\n"
                "PermitRootLogin prohibit-password\nMaxStartups 100\nMaxSessions 100\nLogLevel INFO\n")
            .arg(m_nPort)
            .arg(strServer)
            .toUtf8());
    WriteDarknetWrapper(Darknet(), Root() + "/env.sh");
    return true;
}

bool CSshServer::Start(QString& strReason)
{
    if (!m_dir.isValid() || !WriteConfig(strReason))
        return false;
    QDir().mkpath("/run/sshd");
    m_pServer = std::make_unique<QProcess>();
    m_pServer->setProcessChannelMode(QProcess::MergedChannels);
    // The server ends with the test, also when the test dies.
    m_pServer->start(
        "setpriv", {"--pdeathsig", "TERM", "/usr/sbin/sshd", "-D", "-e", "-f", Root() + "/sshd/sshd_config"});
    if (!m_pServer->waitForStarted(10000))
    {
        strReason = "/usr/sbin/sshd cannot be started (is openssh-server installed?)";
        return false;
    }
    QByteArray baLog;
    while (!baLog.contains("Server listening") && m_pServer->state() == QProcess::Running &&
           m_pServer->waitForReadyRead(30000))
        baLog += m_pServer->readAll();
    if (!baLog.contains("Server listening"))
    {
        strReason = "sshd did not start: " + QString::fromLocal8Bit(baLog + m_pServer->readAll()).trimmed();
        Stop();
        return false;
    }
    return true;
}

void CSshServer::Stop()
{
    if (!m_pServer)
        return;
    m_pServer->terminate();
    if (!m_pServer->waitForFinished(10000))
    {
        m_pServer->kill();
        m_pServer->waitForFinished(10000);
    }
    m_pServer.reset();
}

QString CSshServer::KnownHostsLine() const
{
    return QString("[127.0.0.1]:%1 ").arg(m_nPort) +
           QString::fromLatin1(ReadBytes(Root() + "/sshd/host_key.pub")).section(' ', 0, 1);
}

STrainingTarget CSshServer::Target() const
{
    STrainingTarget target;
    target.kind = STrainingTarget::EKind::SSH;
    target.strHost = "127.0.0.1";
    target.nPort = m_nPort;
    const passwd* pUser = ::getpwuid(::geteuid());
    target.strUser = pUser ? QString::fromLocal8Bit(pUser->pw_name) : QString();
    target.strIdentity = IdentityFile();
    target.strFolder = RemoteFolder();
    target.strDarknet = Darknet();
    return target;
}

void CSshServer::StoreTarget(const STrainingTarget& target)
{
    CSetting::Set(STrainingTarget::KEY_KIND, STrainingTarget::KindText(target.kind));
    CSetting::Set(STrainingTarget::KEY_HOST, target.strHost);
    CSetting::Set(STrainingTarget::KEY_PORT, QString::number(target.nPort));
    CSetting::Set(STrainingTarget::KEY_USER, target.strUser);
    CSetting::Set(STrainingTarget::KEY_IDENTITY, target.strIdentity);
    CSetting::Set(STrainingTarget::KEY_FOLDER, target.strFolder);
    CSetting::Set(STrainingTarget::KEY_DARKNET, target.strDarknet);
    CSetting::Set(STrainingTarget::KEY_ARGUMENTS, target.strArguments);
    CSetting::Set(STrainingTarget::KEY_SLURM_SUBMIT, target.bSubmitHere ? "here" : "ssh");
    CSetting::Set(STrainingTarget::KEY_PARTITION, target.strPartition);
    CSetting::Set(STrainingTarget::KEY_GPUS, QString::number(target.nGpus));
    CSetting::Set(STrainingTarget::KEY_TIME, target.strTimeLimit);
    CSetting::Set(STrainingTarget::KEY_SBATCH_LINES, target.strSbatchLines);
}

void CSshServer::SetEnvironment(const QStringList& lstAssignments)
{
    WriteEnvironment(Root() + "/env.sh", lstAssignments);
}

} // namespace OptraTest
