#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QProcess;
class QProgressDialog;
class QWidget;

// How a Darknet command other than training ended.
struct SDarknetJobResult
{
    // False when the program could not be started at all (strError says why).
    bool bStarted = false;
    bool bCancelled = false;
    // Ended by a signal (a segmentation fault is exit 139 in a shell).
    bool bCrashed = false;
    int nExitCode = -1;
    QByteArray baOutput;
    QByteArray baError;
    QString strError;

    bool Succeeded() const { return bStarted && !bCancelled && !bCrashed && nExitCode == 0; }
    // "cancelled", "crashed (signal)", "ended with exit code N" or the start
    // failure, for messages.
    QString Describe() const;
};

// Runs one Darknet command (detect, map, calc_anchors) as a child process
// in a working folder, with the given bytes on its standard input, while a
// progress dialog with Cancel shows how far it is; returns when it has
// ended. Cancel ends it (terminate, then kill). fnProgress gets the standard
// output as it arrives and returns the progress (0..nMaximum), or -1 to
// leave it as it is. The GUI stays responsive: events are processed while
// waiting.
// One per command; GUI thread.
class CDarknetJob : public QObject
{
    Q_OBJECT
public:
    using ProgressFn = std::function<int(const QByteArray& baChunk)>;

    CDarknetJob(const QString& strTitle, QWidget* pParent);
    ~CDarknetJob() override;

    // nMaximum 0 shows a busy indicator.
    void SetProgress(int nMaximum, ProgressFn fnProgress);
    // How long Cancel waits for the process to end before killing it.
    void SetStopTimeout(int nMilliseconds) { m_nStopTimeoutMs = nMilliseconds; }
    SDarknetJobResult Run(const QString& strProgram, const QStringList& lstArguments,
                          const QString& strWorkingDir, const QByteArray& baInput = QByteArray());
    // The dialog, for tests (null outside Run).
    QProgressDialog* GetDialog() const { return m_pDialog; }

signals:
    // Run has started the process and shows its dialog.
    void signal_Started();

private:
    QString m_strTitle;
    QWidget* m_pParent = nullptr;
    int m_nMaximum = 0;
    ProgressFn m_fnProgress;
    int m_nStopTimeoutMs = 5000;
    QProgressDialog* m_pDialog = nullptr;
};
