#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "trainer/ProjectModel.h"

namespace
{
constexpr int STOP_WAIT_MS = 30000;
} // namespace

void CProjectController::Stop()
{
    if (!m_pProcess)
        return;
    m_pProcess->terminate();
    const bool bFinished = m_pProcess->waitForFinished(STOP_WAIT_MS);
    CLog::Write(bFinished ? ELogLevel::NORMAL : ELogLevel::ERROR,
                bFinished ? "Stop Command OK" : "Stop Command Failed");
    m_pProcess->kill();
    // Reap the killed process so its state (and the model's) says it is gone.
    if (m_pProcess->state() != QProcess::NotRunning)
        m_pProcess->waitForFinished(STOP_WAIT_MS);
}

void CProjectController::slot_CommandStateChange(QProcess::ProcessState newState)
{
    if (!m_pModel)
        return;
    int nState = 0;
    switch (newState)
    {
    case QProcess::NotRunning:
        nState = 0;
        break;
    case QProcess::Running:
        nState = 1;
        break;
    case QProcess::Starting:
        nState = 2;
        break;
    default:
        return;
    }
    if (nState == m_pModel->GetCommandState())
        return;
    m_pModel->SetCommandState(nState);
    emit m_pModel->signal_ChangeCommandState();
}

bool CProjectController::IsCommandNotRunning()
{
    if (m_pModel && m_pModel->GetCommandState() == 0)
        return true;
    CInteraction::Critical(nullptr, QStringLiteral("Project is still running"));
    return false;
}
