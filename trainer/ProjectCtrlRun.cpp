#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/setting/SettingManager.h"
#include "trainer/ProcessOutputBuffer.h"
#include "trainer/ProjectModel.h"
#include "trainer/TrainingModel.h"
#include "trainer/detect/RunClasses.h"
#include "trainer/remote/TrainingRuns.h"

#include <QDateTime>
#include <QFile>

void CProjectController::ConnectRuns()
{
    m_pRuns = std::make_unique<CTrainingRuns>(m_pProcess);
    connect(m_pRuns.get(), &CTrainingRuns::signal_Output, this, &CProjectController::HandleRunOutput);
    connect(m_pRuns.get(), &CTrainingRuns::signal_StateChanged, this,
            &CProjectController::slot_CommandStateChange);
    // The last words of a run and its unterminated last line reach the log.
    connect(m_pRuns.get(), &CTrainingRuns::signal_Finished, this, [this] { FinishProcessOutput(); });
    connect(m_pRuns.get(), &CTrainingRuns::signal_Status, m_pTrainingModel.get(),
            &CTrainingModel::SetRunStatus);
}

void CProjectController::Stop()
{
    if (!m_pProcess)
        return;
    m_pRuns->Stop(m_nStopTimeoutMs);
}

bool CProjectController::ConfirmEndOfRun()
{
    if (!m_pRuns->IsRemote())
    {
        if (!CInteraction::AskYesNo(nullptr, QStringLiteral("Program is running, do you want to close it?")))
            return false;
        // Training must not go on against a project that is no longer open.
        Stop();
        return m_pModel && m_pModel->GetCommandState() == 0;
    }
    const QMessageBox::StandardButton answer = CInteraction::Message(
        nullptr, QMessageBox::Question, QStringLiteral("Training is running"),
        QStringLiteral("The training goes on on another machine. Keep it running there?\n\nYes keeps it "
                       "running: open the project again to follow it. No stops it."),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Yes)
    {
        m_pRuns->Detach();
        FinishProcessOutput();
    }
    else
        Stop();
    return m_pModel && m_pModel->GetCommandState() == 0;
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

    const STrainingTarget target =
        STrainingTarget::ForProject(FindProjectProperty(STrainingTarget::PROJECT_KEY));
    const QString strExe =
        target.IsRemote()
            ? target.strDarknet
            : CSetting::GetString(QStringLiteral("QUILLON_COMMAND_EXE_YOLO3"), QStringLiteral("no_command"));
    if (!target.IsRemote() && !QFile::exists(strExe))
    {
        CLog::Write(ELogLevel::ERROR, "Execution file %s does not exist", strExe.toUtf8().constData());
        return;
    }
    const QString strArguments = CSetting::GetString(QStringLiteral("QUILLON_COMMAND_ARG_YOLO3"), QString());

    // Split like a shell line: quotes group, and no empty argument is ever
    // made up from an empty setting or doubled spaces.
    QStringList lstArguments = target.Arguments(strArguments);
    lstArguments << QStringLiteral("detector.txt") << QStringLiteral("config.txt");
    QString strWeights;
    if (!ChooseWeights(strWeights))
    {
        CLog::Write(ELogLevel::NORMAL, "Start cancelled");
        return;
    }
    if (!strWeights.isEmpty())
        lstArguments << strWeights;

    if (target.IsRemote())
        CLog::Write(ELogLevel::NORMAL, "Training on %s in %s", target.HostName().toUtf8().constData(),
                    target.ProjectFolder(m_pModel->GetProjectName()).toUtf8().constData());
    CLog::Write(ELogLevel::NORMAL, "Command %s", strExe.toUtf8().constData());
    CLog::Write(ELogLevel::NORMAL, "Arguments");
    for (const QString& strArgument : lstArguments)
        CLog::Write(ELogLevel::NORMAL, "Arguments %s", strArgument.toUtf8().constData());

    // Weights know their classes only by index: the names they are trained
    // with stay beside them. A run without the record still trains.
    CRunClasses(m_pModel->GetProjectDir()).RecordBuild(QDateTime::currentDateTime());
    m_pOutputBuffer->Finish();
    m_pErrorBuffer->Finish();
    m_pRuns->Start(target, SRunRequest{m_pModel->GetProjectDir(), m_pModel->GetProjectName(), strExe,
                                       lstArguments, strWeights});
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
    HandleRunOutput(bError ? m_pProcess->readAllStandardError() : m_pProcess->readAllStandardOutput(),
                    bError);
}

void CProjectController::HandleRunOutput(const QByteArray& baChunk, bool bError)
{
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
    // The run handed out all it read before it ended: the unterminated rests.
    const QStringList lstRest = m_pOutputBuffer->Finish();
    WriteProcessLines(lstRest, false);
    TrackTraining(lstRest);
    WriteProcessLines(m_pErrorBuffer->Finish(), true);
    m_pTrainingModel->Finish();
}
