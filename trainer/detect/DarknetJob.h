#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

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
    // For the user: "Darknet crashed while <what> ...", "Darknet ended with
    // exit code N while <what>", "Cancelled while <what>" or why it could not
    // be started; after a failure with the last lines of its standard error.
    QString Describe(const QString& strWhat) const;
};

// Runs one Darknet command (detect, map, calc_anchors) as a child process
// in a working folder, with the given bytes on its standard input, while a
// progress dialog with Cancel shows how far it is; returns when it has
// ended. Cancel (or Escape) ends it: terminate, then kill. The progress
// function gets the standard output as it arrives and returns the progress
// (0..nMaximum), or -1 to leave it as it is. The GUI stays responsive:
// events are processed while waiting.
// One per command; GUI thread.
class CDarknetJob
{
public:
    using ProgressFn = std::function<int(const QByteArray& baChunk)>;

    CDarknetJob(const QString& strTitle, QWidget* pParent);

    // nMaximum 0 shows a busy indicator.
    void SetProgress(int nMaximum, ProgressFn fnProgress);
    SDarknetJobResult Run(const QString& strProgram, const QStringList& lstArguments,
                          const QString& strWorkingDir, const QByteArray& baInput = QByteArray());

private:
    // How long Cancel waits for the process to end before killing it.
    static constexpr int STOP_TIMEOUT_MS = 5000;

    QString m_strTitle;
    QWidget* m_pParent = nullptr;
    int m_nMaximum = 0;
    ProgressFn m_fnProgress;
};
