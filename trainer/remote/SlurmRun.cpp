#include "trainer/remote/SlurmRun.h"

#include "trainer/remote/RemoteShell.h"

#include <QRegularExpression>

namespace
{
// $1: the folder, then sbatch's options.
const QString LAUNCH_SCRIPT = QStringLiteral("cd \"$1\" || exit 1\n"
                                             "shift\n"
                                             "exec sbatch --parsable \"$@\" .optra/job.sh\n");

// $1: the folder, $2: the job id.
const QString STATE_SCRIPT =
    QStringLiteral("j=$(scontrol show job -o \"$2\" 2>/dev/null)\n"
                   "if [ -n \"$j\" ]; then echo \"JOB $j\"\n"
                   "else echo \"QUEUE $(squeue -h -j \"$2\" -o '%T %N' 2>/dev/null)\"; fi\n");

// $1: the folder, $2: the job id, $3: fifths of a second to wait for its end.
const QString STOP_SCRIPT = QStringLiteral("scancel \"$2\" || exit 1\n"
                                           "i=0\n"
                                           "while [ -n \"$(squeue -h -j \"$2\" -o %T 2>/dev/null)\" ]; do\n"
                                           "  i=$((i+1)); [ $i -gt \"$3\" ] && exit 2\n"
                                           "  sleep 0.2\n"
                                           "done\n");

// Slurm expands "%" in file names: a folder keeps its own.
QString SlurmPath(const QString& strPath)
{
    return QString(strPath).replace('%', QStringLiteral("%%"));
}
} // namespace

CRemoteRun::SState CSlurmRun::StateOf(const QString& strJobState, const QString& strNodes, int nExitCode)
{
    SState state;
    if (strJobState.isEmpty())
    {
        // Neither the controller nor the queue knows it any more: it ended long ago.
        state.phase = SState::EPhase::ENDED;
        state.strText = QStringLiteral("finished");
    }
    else if (strJobState == QLatin1String("PENDING") || strJobState == QLatin1String("CONFIGURING") ||
             strJobState == QLatin1String("REQUEUED"))
    {
        state.phase = SState::EPhase::QUEUED;
        state.strText = QStringLiteral("queued");
    }
    else if (strJobState == QLatin1String("RUNNING") || strJobState == QLatin1String("COMPLETING") ||
             strJobState == QLatin1String("SUSPENDED"))
        state.strText = "running on node " + strNodes;
    else if (strJobState == QLatin1String("COMPLETED"))
    {
        state.phase = SState::EPhase::ENDED;
        state.strText = QStringLiteral("finished");
    }
    else if (strJobState == QLatin1String("CANCELLED"))
    {
        state.phase = SState::EPhase::ENDED;
        state.strText = QStringLiteral("cancelled");
    }
    else
    {
        state.phase = SState::EPhase::ENDED;
        state.bFailed = true;
        state.strText = QString("failed (%1, exit code %2)").arg(strJobState.toLower()).arg(nExitCode);
    }
    return state;
}

QString CSlurmRun::JobScript(const QStringList& lstCommand) const
{
    QStringList lstLines{QStringLiteral("#!/bin/sh")};
    for (const QString& strLine : Target().strSbatchLines.split('\n'))
    {
        const QString strTrimmed = strLine.trimmed();
        if (!strTrimmed.isEmpty())
            lstLines << (strTrimmed.startsWith(QLatin1String("#SBATCH")) ? strTrimmed
                                                                         : "#SBATCH " + strTrimmed);
    }
    QStringList lstWords{QStringLiteral("exec")};
    for (const QString& strWord : lstCommand)
        lstWords << CRemoteShell::Quote(strWord);
    lstLines << lstWords.join(' ');
    return lstLines.join('\n');
}

CRemoteHost::SInvocation CSlurmRun::Launch(const QStringList&) const
{
    const STrainingTarget& target = Target();
    QStringList lstOptions{m_strRemoteDir, "--job-name=optra-" + m_strRemoteDir.section('/', -1),
                           "--chdir=" + m_strRemoteDir, "--output=" + SlurmPath(RemoteFile("out")),
                           "--error=" + SlurmPath(RemoteFile("err"))};
    if (!target.strPartition.isEmpty())
        lstOptions << "--partition=" + target.strPartition;
    if (target.nGpus > 0)
        lstOptions << QString("--gres=gpu:%1").arg(target.nGpus);
    if (!target.strTimeLimit.isEmpty())
        lstOptions << "--time=" + target.strTimeLimit;
    return m_host.Script(LAUNCH_SCRIPT, lstOptions);
}

CRemoteHost::SInvocation CSlurmRun::StateQuery() const
{
    return m_host.Script(STATE_SCRIPT + SizesScript(), {m_strRemoteDir, m_strRunID});
}

CRemoteRun::SState CSlurmRun::ParseState(const QByteArray& baOutput) const
{
    const QString strOutput = QString::fromUtf8(baOutput);
    const QString strJob = strOutput.section('\n', 0, 0);
    if (strJob.startsWith(QLatin1String("JOB ")))
    {
        const auto Field = [&strJob](const QString& strName)
        {
            const QRegularExpressionMatch match =
                QRegularExpression("(?:^| )" + strName + "=(\\S*)").match(strJob);
            return match.hasMatch() ? match.captured(1) : QString();
        };
        return StateOf(Field("JobState"), Field("NodeList"), Field("ExitCode").section(':', 0, 0).toInt());
    }
    const QStringList lstQueue = strJob.mid(6).split(' ', Qt::SkipEmptyParts);
    return StateOf(lstQueue.value(0), lstQueue.value(1), 0);
}

CRemoteHost::SInvocation CSlurmRun::StopCommand(int nTimeoutMs) const
{
    return m_host.Script(STOP_SCRIPT,
                         {m_strRemoteDir, m_strRunID, QString::number(std::max(1, nTimeoutMs / 200))});
}

QString CSlurmRun::Subject() const
{
    return m_strRunID.isEmpty() ? QStringLiteral("Slurm job") : "Slurm job " + m_strRunID;
}
