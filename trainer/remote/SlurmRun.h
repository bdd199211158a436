#pragma once

#include "trainer/remote/RemoteRun.h"

// Darknet as a job of a Slurm cluster: a job script in ".optra/job.sh" of the
// project's folder, submitted with "sbatch --parsable" (the job id) with its
// output files in that folder, its state from scontrol (squeue when the
// controller forgot the job), and Stop as scancel. The commands run over SSH
// on a login node, or here when this machine can submit.
// Owned by CTrainingRuns; GUI thread.
class CSlurmRun : public CRemoteRun
{
    Q_OBJECT
public:
    using CRemoteRun::CRemoteRun;

    // The words of the status line for a Slurm job state ("PENDING" is queued).
    static SState StateOf(const QString& strJobState, const QString& strNodes, int nExitCode);

protected:
    QString JobScript(const QStringList& lstCommand) const override;
    CRemoteHost::SInvocation Launch(const QStringList& lstCommand) const override;
    CRemoteHost::SInvocation StateQuery() const override;
    SState ParseState(const QByteArray& baOutput) const override;
    CRemoteHost::SInvocation StopCommand(int nTimeoutMs) const override;
    QString Subject() const override;
    QString StoppedText() const override { return QStringLiteral("cancelled"); }
};
