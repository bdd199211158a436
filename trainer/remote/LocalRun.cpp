#include "trainer/remote/LocalRun.h"

#include "common/log/Logger.h"

CLocalRun::CLocalRun(QProcess* pProcess, QObject* pParent) : CTrainingRun(pParent), m_pProcess(pProcess)
{
    connect(m_pProcess, &QProcess::readyReadStandardOutput, this, [this] { Read(false); });
    connect(m_pProcess, &QProcess::readyReadStandardError, this, [this] { Read(true); });
    connect(m_pProcess, &QProcess::stateChanged, this, &CTrainingRun::signal_StateChanged);
    connect(m_pProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this]
            {
                // The last words of the process reach the log before its end.
                Read(false);
                Read(true);
                emit signal_Finished();
            });
}

bool CLocalRun::Start(const SRunRequest& request)
{
    m_pProcess->setWorkingDirectory(request.strProjectDir);
    m_pProcess->start(request.strExecutable, request.lstArguments, QIODevice::ReadOnly | QIODevice::Text);
    return true;
}

void CLocalRun::Stop(int nTimeoutMs)
{
    m_pProcess->terminate();
    const bool bFinished = m_pProcess->waitForFinished(nTimeoutMs);
    CLog::Write(bFinished ? ELogLevel::NORMAL : ELogLevel::ERROR,
                bFinished ? "Stop Command OK" : "Stop Command Failed");
    m_pProcess->kill();
    // Reap the killed process so its state (and the model's) says it is gone.
    if (m_pProcess->state() != QProcess::NotRunning)
        m_pProcess->waitForFinished(nTimeoutMs);
}

void CLocalRun::Read(bool bError)
{
    const QByteArray baChunk =
        bError ? m_pProcess->readAllStandardError() : m_pProcess->readAllStandardOutput();
    if (!baChunk.isEmpty())
        emit signal_Output(baChunk, bError);
}
