#pragma once

#include "trainer/remote/TrainingTarget.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace OptraTest
{

// A single-node Slurm cluster of the test's own: a munged with a throwaway
// key and socket, slurmctld and slurmd in the foreground with a minimal
// slurm.conf at free ports, all in a temporary folder; SLURM_CONF points
// this process (and what it starts) at it. Needs root. The "remote" Darknet
// is the stand-in behind a wrapper that reads the environment the test set.
class CSlurmCluster
{
public:
    CSlurmCluster();
    ~CSlurmCluster();

    bool Start(QString& strReason);
    void Stop();

    QString Root() const { return m_dir.path(); }
    QString NodeName() const { return m_strHost; }
    QString RemoteFolder() const;
    STrainingTarget Target() const;
    void SetEnvironment(const QStringList& lstAssignments);
    // Submits a job that holds both CPUs of the node until cancelled; its id.
    QString SubmitBlocker();
    void Cancel(const QString& strJobID);
    // Jobs the cluster still knows as pending or running.
    QStringList QueuedJobs();

private:
    bool WriteConfig(QString& strReason);
    bool StartDaemon(std::unique_ptr<QProcess>& pProcess, const QString& strProgram,
                     const QStringList& lstArguments, QString& strReason);
    bool WaitForNode(QString& strReason);

    QTemporaryDir m_dir;
    QString m_strHost;
    std::unique_ptr<QProcess> m_pMunge;
    std::unique_ptr<QProcess> m_pController;
    std::unique_ptr<QProcess> m_pNode;
};

} // namespace OptraTest
