#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/setting/SettingManager.h"
#include "trainer/ProcessOutputBuffer.h"
#include "trainer/ProjectModel.h"
#include "trainer/TrainingModel.h"

#include <QFile>

void CProjectController::Stop()
{
    if (!m_pProcess)
        return;
    m_pProcess->terminate();
    const bool bFinished = m_pProcess->waitForFinished(m_nStopTimeoutMs);
    CLog::Write(bFinished ? ELogLevel::NORMAL : ELogLevel::ERROR,
                bFinished ? "Stop Command OK" : "Stop Command Failed");
    m_pProcess->kill();
    // Reap the killed process so its state (and the model's) says it is gone.
    if (m_pProcess->state() != QProcess::NotRunning)
        m_pProcess->waitForFinished(m_nStopTimeoutMs);
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

void CProjectController::Start()
{
    // Before the build, so an adapted configuration is what it writes.
    if (!OfferAdaptation())
        return;
    if (!Build())
        return;
    if (!m_pModel || !m_pDatabase || !m_pProcess)
        return;
    CLog::Write(ELogLevel::NORMAL, "Start Command");

    const QString strExe =
        CSetting::GetString(QStringLiteral("QUILLON_COMMAND_EXE_YOLO3"), QStringLiteral("no_command"));
    if (!QFile::exists(strExe))
    {
        CLog::Write(ELogLevel::ERROR, "Execution file %s does not exist", strExe.toUtf8().constData());
        return;
    }
    const QString strArguments = CSetting::GetString(QStringLiteral("QUILLON_COMMAND_ARG_YOLO3"), QString());
    m_pProcess->setWorkingDirectory(m_pModel->GetProjectDir());

    // Split like a shell line: quotes group, and no empty argument is ever
    // made up from an empty setting or doubled spaces.
    QStringList lstArguments = QProcess::splitCommand(strArguments);
    lstArguments << QStringLiteral("detector.txt") << QStringLiteral("config.txt");
    QString strWeights;
    if (!ChooseWeights(strWeights))
    {
        CLog::Write(ELogLevel::NORMAL, "Start cancelled");
        return;
    }
    if (!strWeights.isEmpty())
        lstArguments << strWeights;

    CLog::Write(ELogLevel::NORMAL, "Command %s", strExe.toUtf8().constData());
    CLog::Write(ELogLevel::NORMAL, "Arguments");
    for (const QString& strArgument : lstArguments)
        CLog::Write(ELogLevel::NORMAL, "Arguments %s", strArgument.toUtf8().constData());

    m_pOutputBuffer->Finish();
    m_pErrorBuffer->Finish();
    m_pProcess->start(strExe, lstArguments, QIODevice::ReadOnly | QIODevice::Text);
}

void CProjectController::slot_ReadLogFromCommand()
{
    ReadProcessOutput(false);
}

void CProjectController::slot_ReadErrFromCommand()
{
    ReadProcessOutput(true);
}

void CProjectController::ReadProcessOutput(bool bError)
{
    if (!m_pProcess)
        return;
    const QByteArray baChunk =
        bError ? m_pProcess->readAllStandardError() : m_pProcess->readAllStandardOutput();
    const QStringList lstLines = (bError ? m_pErrorBuffer : m_pOutputBuffer)->Append(baChunk);
    WriteProcessLines(lstLines, bError);
    if (!bError)
        TrackTraining(lstLines);
}

void CProjectController::WriteProcessLines(const QStringList& lstLines, bool bError)
{
    for (const QString& strLine : lstLines)
    {
        if (bError)
            CLog::Write(ELogLevel::ERROR, "%s", strLine.toUtf8().constData());
        else
            CLog::Write(ELogLevel::NORMAL, "%s", strLine.trimmed().toUtf8().constData());
    }
}

void CProjectController::FinishProcessOutput()
{
    // What is still unread when the process ends, then the unterminated rests.
    ReadProcessOutput(false);
    ReadProcessOutput(true);
    const QStringList lstRest = m_pOutputBuffer->Finish();
    WriteProcessLines(lstRest, false);
    TrackTraining(lstRest);
    WriteProcessLines(m_pErrorBuffer->Finish(), true);
    m_pTrainingModel->Finish();
}
