#include "trainer/detect/DarknetJob.h"

#include "common/log/Logger.h"

#include <QEventLoop>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>

namespace
{
// Enough of standard error to say why, not a screen full of layer lines.
constexpr int TAIL_LINES = 5;

QString Tail(const QByteArray& baError)
{
    QStringList lstLines = QString::fromUtf8(baError).split(QRegularExpression("[\r\n]"), Qt::SkipEmptyParts);
    if (lstLines.size() > TAIL_LINES)
        lstLines = lstLines.mid(lstLines.size() - TAIL_LINES);
    return lstLines.join('\n').trimmed();
}
} // namespace

QString SDarknetJobResult::Describe(const QString& strWhat) const
{
    if (!bStarted)
        return QString("Darknet could not be started while %1: %2").arg(strWhat, strError);
    // What it printed before the user stopped it says nothing about why.
    if (bCancelled)
        return QString("Cancelled while %1").arg(strWhat);
    const QString strText =
        bCrashed
            ? QString("Darknet crashed while %1 (it was ended by a signal, such as a segmentation fault)")
                  .arg(strWhat)
            : QString("Darknet ended with exit code %1 while %2").arg(nExitCode).arg(strWhat);
    const QString strTail = Tail(baError);
    return strTail.isEmpty() ? strText : strText + QStringLiteral(":\n") + strTail;
}

CDarknetJob::CDarknetJob(const QString& strTitle, QWidget* pParent) : m_strTitle(strTitle), m_pParent(pParent)
{
}

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
        result.strError = QStringLiteral("%1: %2").arg(strProgram, process.errorString());
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

    QEventLoop loop;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop,
                     [&]
                     {
                         const QByteArray baChunk = process.readAllStandardOutput();
                         result.baOutput += baChunk;
                         const int nValue = m_fnProgress ? m_fnProgress(baChunk) : -1;
                         if (nValue >= 0)
                             dialog.setValue(qMin(nValue, qMax(m_nMaximum, 0)));
                     });
    QObject::connect(&process, &QProcess::readyReadStandardError, &loop,
                     [&] { result.baError += process.readAllStandardError(); });
    QObject::connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
                     &QEventLoop::quit);
    const auto Cancel = [&]
    {
        if (result.bCancelled || process.state() == QProcess::NotRunning)
            return;
        result.bCancelled = true;
        process.terminate();
        if (!process.waitForFinished(STOP_TIMEOUT_MS))
            process.kill();
    };
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, Cancel);
    // Escape closes the dialog without its Cancel button.
    QObject::connect(&dialog, &QDialog::rejected, &loop, Cancel);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    process.waitForFinished(STOP_TIMEOUT_MS);
    // What the process wrote after the last notification.
    result.baOutput += process.readAllStandardOutput();
    result.baError += process.readAllStandardError();
    result.bCrashed = !result.bCancelled && process.exitStatus() == QProcess::CrashExit;
    result.nExitCode = process.exitCode();
    if (!result.Succeeded())
        CLog::Write(ELogLevel::WARNING, "%s",
                    result.Describe(lstArguments.mid(0, 2).join(' ')).toUtf8().constData());
    return result;
}
