#include "trainer/remote/RemoteRun.h"

#include "trainer/remote/RemoteLogStream.h"

CRemoteRun::CRemoteRun(const STrainingTarget& target, QObject* pParent)
    : CTrainingRun(pParent), m_host(target)
{
    m_pollTimer.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, &CRemoteRun::Poll);
    connect(&m_backupTimer, &QTimer::timeout, this, [this] { FetchFiles(); });
    const STimings timings = Timings();
    m_nPollMs = timings.nPollMs;
    m_nPollDelayMs = timings.nPollMs;
    m_nRetryMs = timings.nRetryMs;
    m_backupTimer.setInterval(timings.nBackupMs);
    m_recordTimer.setSingleShot(true);
    m_recordTimer.setInterval(RECORD_INTERVAL_MS);
    connect(&m_recordTimer, &QTimer::timeout, this, [this] { SaveRecord(false); });
}

CRemoteRun::~CRemoteRun()
{
    // Going away is no reason to end a run that lives on another machine.
    StopFollowing();
    KillSteps();
}

QString CRemoteRun::RemoteFile(const QString& strName) const
{
    return m_strRemoteDir + QStringLiteral("/.optra/") + strName;
}

QString CRemoteRun::SizesScript()
{
    return QStringLiteral("cd \"$1/.optra\" 2>/dev/null || exit 0\n"
                          "echo \"OUT $(wc -c < out 2>/dev/null || echo 0)\"\n"
                          "echo \"ERR $(wc -c < err 2>/dev/null || echo 0)\"\n");
}

QList<qint64> CRemoteRun::StreamProcessIds() const
{
    QList<qint64> lstIDs;
    for (const auto* pStream : {m_pOutput.get(), m_pError.get()})
    {
        if (pStream && pStream->ProcessId() > 0)
            lstIDs << pStream->ProcessId();
    }
    return lstIDs;
}

namespace
{
CRemoteRun::STimings& SharedTimings()
{
    static CRemoteRun::STimings timings;
    return timings;
}
} // namespace

void CRemoteRun::SetTimings(const STimings& timings)
{
    SharedTimings() = timings;
}

CRemoteRun::STimings CRemoteRun::Timings()
{
    return SharedTimings();
}

void CRemoteRun::RunStep(const CRemoteHost::SInvocation& invocation, StepDone fnDone)
{
    auto* pProcess = new QProcess(this);
    m_lstSteps << pProcess;
    const auto Finish = [this, pProcess, fnDone](int nExitCode)
    {
        if (!m_lstSteps.removeOne(pProcess))
            return;
        const QByteArray baOutput = pProcess->readAllStandardOutput();
        const QByteArray baError = pProcess->readAllStandardError();
        pProcess->deleteLater();
        fnDone(nExitCode, baOutput, baError);
    };
    CRemoteHost::WhenEnded(pProcess, this, Finish);
    pProcess->start(invocation.strProgram, invocation.lstArguments);
}

int CRemoteRun::RunNow(const CRemoteHost::SInvocation& invocation, int nTimeoutMs, QByteArray& baOutput,
                       QByteArray& baError)
{
    QProcess process;
    process.start(invocation.strProgram, invocation.lstArguments);
    if (!process.waitForStarted(nTimeoutMs))
        return -1;
    process.closeWriteChannel();
    if (!process.waitForFinished(nTimeoutMs))
    {
        process.kill();
        process.waitForFinished(nTimeoutMs);
        return -1;
    }
    baOutput = process.readAllStandardOutput();
    baError = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void CRemoteRun::KillSteps()
{
    const QList<QProcess*> lstSteps = m_lstSteps;
    m_lstSteps.clear();
    for (QProcess* pProcess : lstSteps)
    {
        pProcess->disconnect(this);
        pProcess->kill();
        pProcess->waitForFinished(5000);
        delete pProcess;
    }
    m_bPolling = false;
    m_bDownloading = false;
}

void CRemoteRun::SetStatus(const QString& strText)
{
    emit signal_Status(strText);
}
