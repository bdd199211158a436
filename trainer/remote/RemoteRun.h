#pragma once

#include "trainer/remote/RemoteHost.h"
#include "trainer/remote/RunRecord.h"
#include "trainer/remote/TrainingRun.h"

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <memory>

class CRemoteLogStream;

// A run on another machine, the common part of a detached process over SSH
// (CSshRun) and a Slurm job (CSlurmRun). Start copies what Darknet needs
// into the project's folder there ("<remote folder>/<project>") with rsync,
// only what changed, and has the subclass launch Darknet with its standard
// output and error going into ".optra/out" and ".optra/err" of that folder;
// from then on both files are followed into signal_Output, the run's state
// is polled, "Backup" is copied back every few minutes and at the end, and
// the run is recorded in the project folder (SRunRecord) for a reattach. A
// lost connection is retried with growing pauses and shown, never taken as
// the end: only the state the machine reports ends a run.
// Owned by CTrainingRuns; GUI thread.
class CRemoteRun : public CTrainingRun
{
    Q_OBJECT
public:
    static constexpr int MAX_POLL_INTERVAL_MS = 60000;
    static constexpr int RECORD_INTERVAL_MS = 2000;

    // How often the state is asked and "Backup" copied back, and the first
    // pause after a lost connection; the same for every run.
    struct STimings
    {
        int nPollMs = 3000;
        int nBackupMs = 3 * 60 * 1000;
        int nRetryMs = 1000;
    };
    static void SetTimings(const STimings& timings);
    static STimings Timings();

    CRemoteRun(const STrainingTarget& target, QObject* pParent);
    ~CRemoteRun() override;

    bool Start(const SRunRequest& request) override;
    void Stop(int nTimeoutMs) override;
    void Detach() override;
    void FetchFiles() override;
    bool Reattach(const QString& strProjectDir) override;
    bool IsRemote() const override { return true; }

    const STrainingTarget& Target() const { return m_host.Target(); }
    QString RemoteDir() const { return m_strRemoteDir; }
    // The remote process id or Slurm job id, empty before the launch.
    QString RunID() const { return m_strRunID; }
    // The local helpers following the output files (for tests of a lost connection).
    QList<qint64> StreamProcessIds() const;
    // The copies Start makes of the project into strRemoteDir, in order:
    // images and weights by size and time, the small text files Build
    // rewrites every time by their content.
    static std::vector<CRemoteHost::SInvocation>
    UploadSteps(const CRemoteHost& host, const SRunRequest& request, const QString& strRemoteDir);
    // Seconds spent copying the project at the last Start.
    double UploadSeconds() const { return m_dUploadSeconds; }

protected:
    // What the state poll found.
    struct SState
    {
        enum class EPhase
        {
            QUEUED,
            RUNNING,
            ENDED,
        };
        EPhase phase = EPhase::RUNNING;
        // "running on node gpu3", "failed (exit code 1)".
        QString strText;
        bool bFailed = false;
    };

    // Written into ".optra/job.sh" before the upload; empty for none.
    virtual QString JobScript(const QStringList& lstCommand) const = 0;
    // Prints the run id (and nothing else) on success; $1 is the folder.
    virtual CRemoteHost::SInvocation Launch(const QStringList& lstCommand) const = 0;
    // Prints the kind's state lines; "OUT n" and "ERR n" follow from here.
    virtual CRemoteHost::SInvocation StateQuery() const = 0;
    virtual SState ParseState(const QByteArray& baOutput) const = 0;
    // Ends the run and waits for it; exit 0 when it ended in time.
    virtual CRemoteHost::SInvocation StopCommand(int nTimeoutMs) const = 0;
    // "Training on gpu1 (process 123)", "Slurm job 45".
    virtual QString Subject() const = 0;
    // Darknet runs as soon as the launch succeeded (no queue to wait in).
    virtual bool RunsOnceLaunched() const { return false; }
    // What the status line says while Darknet runs (after the subject).
    virtual QString RunningText() const { return QStringLiteral("running"); }
    // How the state line words a run ended by Stop.
    virtual QString StoppedText() const { return QStringLiteral("stopped"); }

    QString RemoteFile(const QString& strName) const;
    // Appends "OUT <bytes>" and "ERR <bytes>" of the output files to a script.
    static QString SizesScript();
    CRemoteHost m_host;
    QString m_strRemoteDir;
    QString m_strRunID;

private:
    using StepDone =
        std::function<void(int nExitCode, const QByteArray& baOutput, const QByteArray& baError)>;

    // Runs one command; fnDone gets its exit code (-1 when it did not run).
    void RunStep(const CRemoteHost::SInvocation& invocation, StepDone fnDone);
    static int RunNow(const CRemoteHost::SInvocation& invocation, int nTimeoutMs, QByteArray& baOutput,
                      QByteArray& baError);
    void KillSteps();

    // Start, in this order (RemoteRunStart.cpp).
    bool CheckRequest(const SRunRequest& request, QString& strError) const;
    QStringList RemoteCommand() const;
    void Prepare();
    void Upload();
    void UploadNext(std::shared_ptr<std::vector<CRemoteHost::SInvocation>> pSteps);
    void LaunchRun();
    void FailStart(const QString& strError);

    // Following the run (RemoteRunFollow.cpp).
    void Attach(qint64 nOutputOffset, qint64 nErrorOffset);
    void Poll();
    void ApplyState(const QByteArray& baOutput);
    void ConnectionLost(const QString& strReason);
    void SaveRecord(bool bClean);
    void StopFollowing();
    // The run ended: the rest of its output, then "Backup", then the end.
    void EndRun(const SState& state);
    void ReadRest(bool bError, std::function<void()> fnNext);
    void Complete();
    bool ReadRestNow(bool bError);
    void Download(std::function<void()> fnNext);
    bool DownloadNow();
    // Runs fnRetry after the current pause unless the run was stopped or let go meanwhile.
    void Retry(std::function<void()> fnRetry);
    void SetStatus(const QString& strText);

    SRunRequest m_request;
    std::unique_ptr<CRemoteLogStream> m_pOutput;
    std::unique_ptr<CRemoteLogStream> m_pError;
    QTimer m_pollTimer;
    QTimer m_backupTimer;
    QTimer m_recordTimer;
    QList<QProcess*> m_lstSteps;
    bool m_bPolling = false;
    bool m_bDownloading = false;
    bool m_bEnding = false;
    bool m_bRunning = false;
    bool m_bLost = false;
    // Counts the starts, stops and detaches: a retry of an older one is void.
    int m_nGeneration = 0;
    std::function<void()> m_fnAfterDownload;
    int m_nPollMs = 0;
    int m_nPollDelayMs = 0;
    int m_nRetryMs = 0;
    SState m_endState;
    QElapsedTimer m_uploadTimer;
    double m_dUploadSeconds = 0;
};
