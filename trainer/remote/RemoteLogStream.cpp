#include "trainer/remote/RemoteLogStream.h"

#include <algorithm>

CRemoteLogStream::CRemoteLogStream(const CRemoteHost& host, const QString& strFile, bool bError,
                                   QObject* pParent)
    : QObject(pParent), m_host(host), m_strFile(strFile), m_bError(bError)
{
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &CRemoteLogStream::Launch);
}

CRemoteLogStream::~CRemoteLogStream()
{
    Stop();
}

void CRemoteLogStream::Start(qint64 nOffset)
{
    Stop();
    m_nOffset = nOffset;
    m_baRest.clear();
    m_bFollowing = true;
    m_nRetryMs = m_nFirstRetryMs;
    Launch();
}

void CRemoteLogStream::Stop()
{
    m_bFollowing = false;
    m_retryTimer.stop();
    if (!m_pProcess)
        return;
    QProcess* pProcess = m_pProcess;
    m_pProcess = nullptr;
    pProcess->disconnect(this);
    pProcess->kill();
    pProcess->waitForFinished(5000);
    delete pProcess;
}

qint64 CRemoteLogStream::ProcessId() const
{
    return m_pProcess ? m_pProcess->processId() : 0;
}

void CRemoteLogStream::Launch()
{
    if (!m_bFollowing)
        return;
    // What was not handed out as a whole line comes again from the offset.
    m_baRest.clear();
    const CRemoteHost::SInvocation invocation = m_host.Follow(m_strFile, m_nOffset);
    auto* pProcess = new QProcess(this);
    m_pProcess = pProcess;
    connect(pProcess, &QProcess::readyReadStandardOutput, this, &CRemoteLogStream::Read);
    CRemoteHost::WhenEnded(pProcess, this, [this](int) { Ended(); });
    pProcess->start(invocation.strProgram, invocation.lstArguments);
}

void CRemoteLogStream::Read()
{
    if (!m_pProcess)
        return;
    const QByteArray baChunk = m_pProcess->readAllStandardOutput();
    if (baChunk.isEmpty())
        return;
    // Data came through: the connection is good again.
    m_nRetryMs = m_nFirstRetryMs;
    Deliver(baChunk);
}

void CRemoteLogStream::Deliver(const QByteArray& baChunk)
{
    m_baRest += baChunk;
    const int nLastFeed = m_baRest.lastIndexOf('\n');
    int nWhole = nLastFeed + 1;
    if (nWhole == 0 && m_baRest.size() >= MAX_REST_BYTES)
        nWhole = m_baRest.size();
    if (nWhole == 0)
        return;
    const QByteArray baLines = m_baRest.left(nWhole);
    m_baRest.remove(0, nWhole);
    m_nOffset += baLines.size();
    emit signal_Data(baLines, m_bError);
}

void CRemoteLogStream::Ended()
{
    QProcess* pProcess = m_pProcess;
    if (!pProcess || !m_bFollowing)
        return;
    Read();
    const QString strReason =
        m_host.Explain(pProcess->exitCode() ? pProcess->exitCode() : CRemoteHost::SSH_FAILURE,
                       pProcess->readAllStandardError());
    m_pProcess = nullptr;
    pProcess->deleteLater();
    const int nDelay = m_nRetryMs;
    m_nRetryMs = std::min(m_nRetryMs * 2, MAX_RETRY_MS);
    emit signal_Lost(nDelay, strReason);
    m_retryTimer.start(nDelay);
}
