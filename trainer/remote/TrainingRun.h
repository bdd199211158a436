#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// What a training run is asked to do: the project it trains and the Darknet
// command, relative to the project folder as Darknet reads it there.
struct SRunRequest
{
    QString strProjectDir;
    QString strProjectName;
    QString strExecutable;
    QStringList lstArguments;
    // The weights to start from as given (relative to the project folder or
    // absolute), empty when none; the last argument when set.
    QString strWeights;
};

// One training run, wherever Darknet runs: a child process here, a detached
// process on another machine, or a Slurm job. The project controller sees
// only this: it asks to start, stop, reattach or let go, and receives
// Darknet's output as the bytes it printed, the state of the run (as a
// local process reports it) and its end, so the log, the chart and
// "training.csv" cannot tell one kind from another.
// Owned by CTrainingRuns; GUI thread.
class CTrainingRun : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts the run; the state then goes Starting, Running and, at the end,
    // NotRunning. False when nothing was started (logged).
    virtual bool Start(const SRunRequest& request) = 0;
    // Ends the run and waits up to nTimeoutMs for it to be gone; logs
    // "Stop Command OK" or "Stop Command Failed".
    virtual void Stop(int nTimeoutMs) = 0;
    // Lets go of a run that goes on without the program (a remote one); its
    // record stays for the next reattach. Nothing for a local run.
    virtual void Detach() {}
    // Brings what the run wrote ("Backup") into the project folder now.
    virtual void FetchFiles() {}
    // Follows the run recorded in the project folder again. False when
    // there is none (always, for a local run).
    virtual bool Reattach(const QString& strProjectDir)
    {
        Q_UNUSED(strProjectDir);
        return false;
    }
    virtual bool IsRemote() const = 0;

signals:
    void signal_Output(const QByteArray& baChunk, bool bError);
    void signal_StateChanged(QProcess::ProcessState state);
    // All output has been delivered; the state changes to NotRunning next.
    void signal_Finished();
    // What the status line says about the run ("queued", "running on gpu1").
    void signal_Status(const QString& strStatus);
};
