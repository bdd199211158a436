#include "tests/trainer/remote/SlurmCluster.h"

#include "tests/trainer/ProjectFixture.h"
#include "tests/trainer/remote/SshServer.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

namespace OptraTest
{

CSlurmCluster::CSlurmCluster() = default;

CSlurmCluster::~CSlurmCluster()
{
    Stop();
}

QString CSlurmCluster::RemoteFolder() const
{
    return Root() + "/cluster folder/it's $HOME";
}

bool CSlurmCluster::WriteConfig(QString& strReason)
{
    char szHost[256] = {};
    ::gethostname(szHost, sizeof(szHost) - 1);
    m_strHost = QString::fromLocal8Bit(szHost).section('.', 0, 0);
    for (const QString& strFolder : {Root() + "/state", Root() + "/spool", Root() + "/bin", RemoteFolder()})
        QDir().mkpath(strFolder);
    QFile key(Root() + "/munge.key");
    if (!key.open(QIODevice::WriteOnly))
    {
        strReason = "cannot write the munge key";
        return false;
    }
    QFile random("/dev/urandom");
    random.open(QIODevice::ReadOnly);
    key.write(random.read(1024));
    key.close();
    key.setPermissions(QFileDevice::ReadOwner);
    QFile::setPermissions(Root(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ExeGroup | QFileDevice::ExeOther);
    QFile config(Root() + "/slurm.conf");
    config.open(QIODevice::WriteOnly);
    config.write(
        QString("ClusterName=optratest\nSlurmctldHost=%1\nSlurmctldPort=%2\nSlurmdPort=%3\n"
                "SlurmUser=root\nSlurmdUser=root\nAuthType=auth/munge\nAuthInfo=socket=%4/munge.sock\n"
                "StateSaveLocation=%4/state\nSlurmdSpoolDir=%4/spool\n"
                "SlurmctldPidFile=%4/slurmctld.pid\nSlurmdPidFile=%4/slurmd.pid\n"
                "SlurmctldLogFile=%4/slurmctld.log\nSlurmdLogFile=%4/slurmd.log\n"
                "ProctrackType=proctrack/linuxproc\nTaskPlugin=task/none\nSelectType=select/cons_tres\n"
                "AccountingStorageType=accounting_storage/none\nJobAcctGatherType=jobacct_gather/none\n"
                "MpiDefault=none\nReturnToService=2\nSchedulerParameters=sched_interval=1\n"
                "NodeName=%1 CPUs=2 State=UNKNOWN\n"
                "PartitionName=optra Nodes=%1 Default=YES MaxTime=INFINITE State=UP\n")
            .arg(m_strHost)
            .arg(FreePort())
            .arg(FreePort())
            .arg(Root())
            .toUtf8());
    config.close();
    qputenv("SLURM_CONF", (Root() + "/slurm.conf").toLocal8Bit());
    WriteDarknetWrapper(Root() + "/bin/darknet", Root() + "/env.sh");
    return true;
}

bool CSlurmCluster::StartDaemon(std::unique_ptr<QProcess>& pProcess, const QString& strProgram,
                                const QStringList& lstArguments, QString& strReason)
{
    pProcess = std::make_unique<QProcess>();
    pProcess->setProcessChannelMode(QProcess::MergedChannels);
    // The daemons end with the test, also when the test dies.
    pProcess->start("setpriv", QStringList{"--pdeathsig", "TERM", strProgram} + lstArguments);
    if (pProcess->waitForStarted(10000))
        return true;
    strReason = strProgram + " cannot be started (are slurm-wlm and munge installed?)";
    return false;
}

bool CSlurmCluster::WaitForNode(QString& strReason)
{
    QByteArray baOutput;
    for (int i = 0; i < 120; ++i)
    {
        if (RunTool("sinfo", {"-h", "-o", "%t"}, &baOutput) == 0 && baOutput.trimmed() == "idle")
            return true;
        QTest::qWait(500);
    }
    strReason = "the Slurm node did not become idle: " + QString::fromLocal8Bit(baOutput).trimmed() + "\n" +
                QString::fromLocal8Bit(m_pController->readAll() + m_pNode->readAll());
    return false;
}

bool CSlurmCluster::Start(QString& strReason)
{
    if (::geteuid() != 0)
    {
        strReason = "a Slurm cluster of the test's own needs root";
        return false;
    }
    if (!m_dir.isValid() || !WriteConfig(strReason))
        return false;
    const QString strRoot = Root();
    if (!StartDaemon(m_pMunge, "munged",
                     {"-F", "--force", "-S", strRoot + "/munge.sock", "--key-file=" + strRoot + "/munge.key",
                      "--log-file=" + strRoot + "/munged.log", "--pid-file=" + strRoot + "/munged.pid",
                      "--seed-file=" + strRoot + "/munged.seed"},
                     strReason))
        return false;
    for (int i = 0; i < 100 && !QFile::exists(strRoot + "/munge.sock"); ++i)
        QTest::qWait(100);
    const QString strConfig = strRoot + "/slurm.conf";
    return StartDaemon(m_pController, "slurmctld", {"-D", "-f", strConfig}, strReason) &&
           StartDaemon(m_pNode, "slurmd", {"-D", "-f", strConfig}, strReason) && WaitForNode(strReason);
}

void CSlurmCluster::Stop()
{
    for (auto* pProcess : {&m_pNode, &m_pController, &m_pMunge})
    {
        if (!*pProcess)
            continue;
        (*pProcess)->terminate();
        if (!(*pProcess)->waitForFinished(15000))
        {
            (*pProcess)->kill();
            (*pProcess)->waitForFinished(10000);
        }
        pProcess->reset();
    }
}

STrainingTarget CSlurmCluster::Target() const
{
    STrainingTarget target;
    target.kind = STrainingTarget::EKind::SLURM;
    target.bSubmitHere = true;
    target.strFolder = RemoteFolder();
    target.strDarknet = Root() + "/bin/darknet";
    target.strPartition = "optra";
    target.strTimeLimit = "10:00";
    target.strSbatchLines = "--cpus-per-task=1\n#SBATCH --comment=optra";
    return target;
}

void CSlurmCluster::SetEnvironment(const QStringList& lstAssignments)
{
    WriteEnvironment(Root() + "/env.sh", lstAssignments);
}

QString CSlurmCluster::SubmitBlocker()
{
    QByteArray baOutput;
    RunTool("sbatch", {"--parsable", "--exclusive", "-c", "2", "--output=/dev/null", "--wrap", "sleep 600"},
            &baOutput);
    return QString::fromLatin1(baOutput).trimmed().section(';', 0, 0);
}

void CSlurmCluster::Cancel(const QString& strJobID)
{
    RunTool("scancel", {strJobID});
}

QStringList CSlurmCluster::QueuedJobs()
{
    QByteArray baOutput;
    RunTool("squeue", {"-h", "-o", "%i"}, &baOutput);
    return QString::fromLatin1(baOutput).split('\n', Qt::SkipEmptyParts);
}

} // namespace OptraTest
