#include "trainer/remote/RemoteRun.h"

#include "common/log/Logger.h"
#include "trainer/remote/RemoteLogStream.h"

#include <QDir>

#include <algorithm>

namespace
{
// rsync: some files vanished or could not be copied (a missing "Backup").
constexpr int RSYNC_PARTIAL = 23;
constexpr int RSYNC_VANISHED = 24;
constexpr int STOP_EXTRA_MS = 30000;
constexpr int READ_TIMEOUT_MS = 120000;
constexpr int DOWNLOAD_TIMEOUT_MS = 30 * 60 * 1000;

bool IsConnectionFailure(int nExitCode)
{
    return nExitCode == CRemoteHost::SSH_FAILURE || nExitCode < 0;
}
} // namespace

void CRemoteRun::Attach(qint64 nOutputOffset, qint64 nErrorOffset)
{
    ++m_nGeneration;
    m_bEnding = false;
    m_bLost = false;
    m_pOutput = std::make_unique<CRemoteLogStream>(m_host, RemoteFile(QStringLiteral("out")), false, nullptr);
    m_pError = std::make_unique<CRemoteLogStream>(m_host, RemoteFile(QStringLiteral("err")), true, nullptr);
    for (CRemoteLogStream* pStream : {m_pOutput.get(), m_pError.get()})
    {
        pStream->SetRetryDelay(m_nRetryMs);
        connect(pStream, &CRemoteLogStream::signal_Data, this,
                [this](const QByteArray& baChunk, bool bError)
                {
                    emit signal_Output(baChunk, bError);
                    if (!m_recordTimer.isActive())
                        m_recordTimer.start();
                });
        connect(pStream, &CRemoteLogStream::signal_Lost, this,
                [this](int nRetryMs, const QString& strReason)
                {
                    SetStatus(QString("%1: connection lost (%2); following the output again in %3 s")
                                  .arg(Subject(), strReason)
                                  .arg((nRetryMs + 999) / 1000));
                });
    }
    m_pOutput->Start(nOutputOffset);
    m_pError->Start(nErrorOffset);
    m_nPollDelayMs = m_nPollMs;
    m_backupTimer.start();
    Poll();
}

void CRemoteRun::Poll()
{
    if (m_bPolling || m_bEnding || m_strRunID.isEmpty())
        return;
    m_bPolling = true;
    RunStep(StateQuery(),
            [this](int nExitCode, const QByteArray& baOutput, const QByteArray& baError)
            {
                m_bPolling = false;
                if (nExitCode == 0)
                {
                    m_nPollDelayMs = m_nPollMs;
                    ApplyState(baOutput);
                }
                else
                    ConnectionLost(m_host.Explain(nExitCode, baError));
                if (!m_bEnding && !m_strRunID.isEmpty())
                    m_pollTimer.start(m_nPollDelayMs);
            });
}

void CRemoteRun::ApplyState(const QByteArray& baOutput)
{
    if (m_bLost)
        CLog::Write(ELogLevel::NORMAL, "Connection to %s is back", Target().HostName().toUtf8().constData());
    m_bLost = false;
    const SState state = ParseState(baOutput);
    if (state.phase == SState::EPhase::ENDED)
        return EndRun(state);
    if (state.phase == SState::EPhase::RUNNING && !m_bRunning)
    {
        m_bRunning = true;
        emit signal_StateChanged(QProcess::Running);
    }
    SetStatus(Subject() + ": " + state.strText);
}

void CRemoteRun::ConnectionLost(const QString& strReason)
{
    if (!m_bLost)
        CLog::Write(ELogLevel::WARNING, "Connection to %s lost: %s", Target().HostName().toUtf8().constData(),
                    strReason.toUtf8().constData());
    m_bLost = true;
    SetStatus(QString("%1: connection lost (%2); retrying in %3 s")
                  .arg(Subject(), strReason)
                  .arg((m_nPollDelayMs + 999) / 1000));
    m_nPollDelayMs = std::min(m_nPollDelayMs * 2, std::max(MAX_POLL_INTERVAL_MS, m_nPollMs));
}

void CRemoteRun::Retry(std::function<void()> fnRetry)
{
    const int nGeneration = m_nGeneration;
    const int nDelay = m_nPollDelayMs;
    QTimer::singleShot(nDelay, this,
                       [this, nGeneration, fnRetry]
                       {
                           if (nGeneration == m_nGeneration)
                               fnRetry();
                       });
}

void CRemoteRun::SaveRecord(bool bClean)
{
    SRunRecord record;
    record.target = Target();
    record.strRemoteDir = m_strRemoteDir;
    record.strRunID = m_strRunID;
    record.nOutputOffset = m_pOutput ? m_pOutput->Offset() : 0;
    record.nErrorOffset = m_pError ? m_pError->Offset() : 0;
    record.bClean = bClean;
    record.Save(m_request.strProjectDir);
}

void CRemoteRun::StopFollowing()
{
    m_pollTimer.stop();
    m_backupTimer.stop();
    m_recordTimer.stop();
    for (CRemoteLogStream* pStream : {m_pOutput.get(), m_pError.get()})
    {
        if (pStream)
            pStream->Stop();
    }
}

void CRemoteRun::EndRun(const SState& state)
{
    m_bEnding = true;
    m_endState = state;
    StopFollowing();
    SetStatus(QString("%1: %2; copying what is left").arg(Subject(), state.strText));
    ReadRest(false, [this] { ReadRest(true, [this] { Download([this] { Complete(); }); }); });
}

void CRemoteRun::ReadRest(bool bError, std::function<void()> fnNext)
{
    CRemoteLogStream* pStream = bError ? m_pError.get() : m_pOutput.get();
    const QString strFile = RemoteFile(bError ? QStringLiteral("err") : QStringLiteral("out"));
    RunStep(m_host.ReadFrom(strFile, pStream ? pStream->Offset() : 0),
            [this, bError, fnNext](int nExitCode, const QByteArray& baOutput, const QByteArray& baError)
            {
                if (IsConnectionFailure(nExitCode))
                {
                    ConnectionLost(m_host.Explain(nExitCode, baError));
                    return Retry([this, bError, fnNext] { ReadRest(bError, fnNext); });
                }
                if (!baOutput.isEmpty())
                    emit signal_Output(baOutput, bError);
                fnNext();
            });
}

bool CRemoteRun::ReadRestNow(bool bError)
{
    CRemoteLogStream* pStream = bError ? m_pError.get() : m_pOutput.get();
    QByteArray baOutput;
    QByteArray baError;
    const int nExitCode =
        RunNow(m_host.ReadFrom(RemoteFile(bError ? QStringLiteral("err") : QStringLiteral("out")),
                               pStream ? pStream->Offset() : 0),
               READ_TIMEOUT_MS, baOutput, baError);
    if (!baOutput.isEmpty())
        emit signal_Output(baOutput, bError);
    return nExitCode == 0;
}

void CRemoteRun::Download(std::function<void()> fnNext)
{
    if (m_bDownloading)
    {
        // The copy under way is the one to wait for.
        m_fnAfterDownload = fnNext;
        return;
    }
    const QString strLocal = m_request.strProjectDir + QStringLiteral("/Backup");
    QDir().mkpath(strLocal);
    m_bDownloading = true;
    m_fnAfterDownload = fnNext;
    RunStep(m_host.Download(m_strRemoteDir + QStringLiteral("/Backup"), strLocal),
            [this](int nExitCode, const QByteArray&, const QByteArray& baError)
            {
                m_bDownloading = false;
                std::function<void()> fnAfter = m_fnAfterDownload;
                m_fnAfterDownload = nullptr;
                if (IsConnectionFailure(nExitCode) && fnAfter)
                {
                    // The run is over: its weights must still come home.
                    ConnectionLost(m_host.Explain(nExitCode, baError));
                    return Retry([this, fnAfter] { Download(fnAfter); });
                }
                if (nExitCode != 0 && nExitCode != RSYNC_PARTIAL && nExitCode != RSYNC_VANISHED)
                    CLog::Write(ELogLevel::WARNING, "Copying Backup from %s failed: %s",
                                Target().HostName().toUtf8().constData(),
                                m_host.Explain(nExitCode, baError).toUtf8().constData());
                if (fnAfter)
                    fnAfter();
            });
}

bool CRemoteRun::DownloadNow()
{
    const QString strLocal = m_request.strProjectDir + QStringLiteral("/Backup");
    QDir().mkpath(strLocal);
    QByteArray baOutput;
    QByteArray baError;
    const int nExitCode = RunNow(m_host.Download(m_strRemoteDir + QStringLiteral("/Backup"), strLocal),
                                 DOWNLOAD_TIMEOUT_MS, baOutput, baError);
    if (nExitCode != 0 && nExitCode != RSYNC_PARTIAL && nExitCode != RSYNC_VANISHED)
        CLog::Write(ELogLevel::WARNING, "Copying Backup from %s failed: %s",
                    Target().HostName().toUtf8().constData(),
                    m_host.Explain(nExitCode, baError).toUtf8().constData());
    return nExitCode == 0;
}

void CRemoteRun::Complete()
{
    const QString strEnd = Subject() + ": " + m_endState.strText;
    CLog::Write(m_endState.bFailed ? ELogLevel::ERROR : ELogLevel::NORMAL, "%s", strEnd.toUtf8().constData());
    SRunRecord::Remove(m_request.strProjectDir);
    ++m_nGeneration;
    m_strRunID.clear();
    m_bEnding = false;
    m_bRunning = false;
    SetStatus(strEnd);
    emit signal_Finished();
    emit signal_StateChanged(QProcess::NotRunning);
}

void CRemoteRun::Stop(int nTimeoutMs)
{
    if (m_strRunID.isEmpty())
    {
        // Nothing was launched there yet: ending the copy is ending the run.
        ++m_nGeneration;
        KillSteps();
        CLog::Write(ELogLevel::NORMAL, "Stop Command OK");
        SetStatus(QString());
        emit signal_StateChanged(QProcess::NotRunning);
        return;
    }
    m_pollTimer.stop();
    QByteArray baOutput;
    QByteArray baError;
    const int nExitCode = RunNow(StopCommand(nTimeoutMs), nTimeoutMs + STOP_EXTRA_MS, baOutput, baError);
    if (IsConnectionFailure(nExitCode))
    {
        // The run may well go on: it stays followed, and Stop can be tried again.
        CLog::Write(ELogLevel::ERROR, "Stop Command Failed");
        ConnectionLost(m_host.Explain(nExitCode, baError));
        m_pollTimer.start(m_nPollDelayMs);
        return;
    }
    CLog::Write(nExitCode == 0 ? ELogLevel::NORMAL : ELogLevel::ERROR,
                nExitCode == 0 ? "Stop Command OK" : "Stop Command Failed");
    ++m_nGeneration;
    StopFollowing();
    KillSteps();
    // Its last words and its weights arrive before the end is reported.
    ReadRestNow(false);
    ReadRestNow(true);
    DownloadNow();
    m_endState = SState{SState::EPhase::ENDED, StoppedText(), false};
    Complete();
}

void CRemoteRun::Detach()
{
    ++m_nGeneration;
    StopFollowing();
    KillSteps();
    if (!m_strRunID.isEmpty())
    {
        SaveRecord(true);
        CLog::Write(ELogLevel::NORMAL, "%s goes on without the program; open the project again to follow it",
                    Subject().toUtf8().constData());
    }
    m_bRunning = false;
    m_bEnding = false;
    SetStatus(QString());
    emit signal_StateChanged(QProcess::NotRunning);
}

void CRemoteRun::FetchFiles()
{
    if (m_bDownloading || m_strRunID.isEmpty())
        return;
    Download(nullptr);
}

bool CRemoteRun::Reattach(const QString& strProjectDir)
{
    SRunRecord record;
    if (!SRunRecord::Load(strProjectDir, record))
        return false;
    m_request = SRunRequest();
    m_request.strProjectDir = strProjectDir;
    m_strRemoteDir = record.strRemoteDir;
    m_strRunID = record.strRunID;
    m_bRunning = false;
    emit signal_StateChanged(QProcess::Starting);
    CLog::Write(ELogLevel::NORMAL, "Reattaching to %s in %s on %s", Subject().toUtf8().constData(),
                m_strRemoteDir.toUtf8().constData(), Target().HostName().toUtf8().constData());
    SetStatus("Reattaching to " + Subject());
    Attach(record.nOutputOffset, record.nErrorOffset);
    return true;
}
