#include "trainer/detect/DarknetJob.h"

#include "common/log/Logger.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>

QString SDarknetJobResult::Describe() const
{
    if (!bStarted)
        return strError;
    if (bCancelled)
        return QStringLiteral("cancelled");
    if (bCrashed)
        return QStringLiteral("crashed");
    return QStringLiteral("ended with exit code %1").arg(nExitCode);
}

CDarknetJob::CDarknetJob(const QString& strTitle, QWidget* pParent) : m_strTitle(strTitle), m_pParent(pParent)
{
}

CDarknetJob::~CDarknetJob() = default;

void CDarknetJob::SetProgress(int nMaximum, ProgressFn fnProgress)
{
    m_nMaximum = nMaximum;
    m_fnProgress = std::move(fnProgress);
}

SDarknetJobResult CDarknetJob::Run(const QString& strProgram, const QStringList& lstArguments,
                                   const QString& strWorkingDir, const QByteArray& baInput)
{
    SDarknetJobResult result;
    QProcess process;
    process.setWorkingDirectory(strWorkingDir);
    process.start(strProgram, lstArguments);
    if (!process.waitForStarted(30000))
    {
        result.strError =
            QStringLiteral("%1 could not be started: %2").arg(strProgram, process.errorString());
        CLog::Write(ELogLevel::ERROR, "%s", result.strError.toUtf8().constData());
        return result;
    }
    result.bStarted = true;
    CLog::Write(ELogLevel::NORMAL, "%s %s", strProgram.toUtf8().constData(),
                lstArguments.join(' ').toUtf8().constData());
    // All at once: Darknet reads a line per image and the pipe buffers the rest.
    process.write(baInput);
    process.closeWriteChannel();

    QProgressDialog dialog(m_strTitle, QStringLiteral("Cancel"), 0, m_nMaximum, m_pParent);
    dialog.setWindowTitle(m_strTitle);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setValue(0);
    m_pDialog = &dialog;

    QEventLoop loop;
    connect(&process, &QProcess::readyReadStandardOutput, &loop,
            [&]
            {
                const QByteArray baChunk = process.readAllStandardOutput();
                result.baOutput += baChunk;
                const int nValue = m_fnProgress ? m_fnProgress(baChunk) : -1;
                if (nValue >= 0)
                    dialog.setValue(qMin(nValue, qMax(m_nMaximum, 0)));
            });
    connect(&process, &QProcess::readyReadStandardError, &loop,
            [&] { result.baError += process.readAllStandardError(); });
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
            &QEventLoop::quit);
    const auto Cancel = [&]
    {
        if (result.bCancelled || process.state() == QProcess::NotRunning)
            return;
        result.bCancelled = true;
        process.terminate();
        if (!process.waitForFinished(m_nStopTimeoutMs))
            process.kill();
    };
    connect(&dialog, &QProgressDialog::canceled, &loop, Cancel);
    // Escape closes the dialog without its Cancel button.
    connect(&dialog, &QDialog::rejected, &loop, Cancel);
    emit signal_Started();
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    process.waitForFinished(m_nStopTimeoutMs);
    // What the process wrote after the last notification.
    result.baOutput += process.readAllStandardOutput();
    result.baError += process.readAllStandardError();
    m_pDialog = nullptr;
    result.bCrashed = !result.bCancelled && process.exitStatus() == QProcess::CrashExit;
    result.nExitCode = process.exitCode();
    CLog::Write(result.Succeeded() ? ELogLevel::NORMAL : ELogLevel::WARNING, "%s %s",
                QFileInfo(strProgram).fileName().toUtf8().constData(),
                result.Describe().toUtf8().constData());
    return result;
}
