#pragma once

#include "trainer/remote/TrainingRun.h"
#include "trainer/remote/TrainingTarget.h"

#include <memory>

class CLocalRun;
class CRemoteRun;

// The project's training runs behind one face: the local run on the
// controller's process object, and at most one remote run (SSH or Slurm),
// made when a run starts on a remote target or is found again in a project
// folder. Whatever the active run reports comes out of the same signals.
// Owned by the project controller; GUI thread.
class CTrainingRuns : public QObject
{
    Q_OBJECT
public:
    explicit CTrainingRuns(QProcess* pProcess, QObject* pParent = nullptr);
    ~CTrainingRuns() override;

    // Starts on the target; a local target runs the request's executable here.
    bool Start(const STrainingTarget& target, const SRunRequest& request);
    void Stop(int nTimeoutMs);
    // Lets a remote run go on without the program.
    void Detach();
    // Follows a remote run recorded in the project folder; false when there is none.
    bool Reattach(const QString& strProjectDir);
    // The remote run going on (or being started), null when none.
    CRemoteRun* Remote() const { return m_pRemote.get(); }
    bool IsRemote() const { return m_pRemote != nullptr; }

signals:
    void signal_Output(const QByteArray& baChunk, bool bError);
    void signal_StateChanged(QProcess::ProcessState state);
    void signal_Finished();
    void signal_Status(const QString& strStatus);

private:
    void Connect(CTrainingRun* pRun);
    bool MakeRemote(const STrainingTarget& target);
    void DropRemote();

    std::unique_ptr<CLocalRun> m_pLocal;
    std::unique_ptr<CRemoteRun> m_pRemote;
};
