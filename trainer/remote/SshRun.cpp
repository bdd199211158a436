#include "trainer/remote/SshRun.h"

namespace
{
// $1: the project's folder there, then the command. Prints the process id
// once the detached shell has written it.
const QString LAUNCH_SCRIPT = QStringLiteral(
    "cd \"$1\" || exit 1\n"
    "shift\n"
    "command -v \"$1\" >/dev/null 2>&1 || { echo \"darknet not found at $1\" >&2; exit 3; }\n"
    "[ -x \"$(command -v \"$1\")\" ] || { echo \"darknet at $1 cannot be run\" >&2; exit 3; }\n"
    "setsid sh -c 'echo $$ > .optra/pid; \"$@\" > .optra/out 2> .optra/err < /dev/null; "
    "echo $? > .optra/exit' optra-darknet \"$@\" > /dev/null 2>&1 < /dev/null &\n"
    "i=0\n"
    "while [ ! -s .optra/pid ]; do i=$((i+1)); [ $i -gt 200 ] && exit 4; sleep 0.05; done\n"
    "cat .optra/pid\n");

// $1: the folder. "STATE running", "STATE exit <code>" or "STATE gone".
const QString STATE_SCRIPT =
    QStringLiteral("cd \"$1/.optra\" 2>/dev/null || { echo 'STATE gone'; exit 0; }\n"
                   "if [ -s exit ]; then echo \"STATE exit $(cat exit)\"\n"
                   "elif [ -s pid ] && kill -0 \"$(cat pid)\" 2>/dev/null; then echo 'STATE running'\n"
                   "else echo 'STATE gone'; fi\n");

// $1: the folder, $2: tenths of a second to wait before SIGKILL.
const QString STOP_SCRIPT =
    QStringLiteral("p=$(cat \"$1/.optra/pid\" 2>/dev/null)\n"
                   "[ -n \"$p\" ] || exit 0\n"
                   "kill -TERM -\"$p\" 2>/dev/null || exit 0\n"
                   "i=0\n"
                   "while kill -0 -\"$p\" 2>/dev/null; do\n"
                   "  i=$((i+1))\n"
                   "  if [ $i -gt \"$2\" ]; then kill -KILL -\"$p\" 2>/dev/null; sleep 0.2; exit 2; fi\n"
                   "  sleep 0.1\n"
                   "done\n");
} // namespace

QString CSshRun::JobScript(const QStringList&) const
{
    return QString();
}

CRemoteHost::SInvocation CSshRun::Launch(const QStringList& lstCommand) const
{
    return m_host.Script(LAUNCH_SCRIPT, QStringList{m_strRemoteDir} + lstCommand);
}

CRemoteHost::SInvocation CSshRun::StateQuery() const
{
    return m_host.Script(STATE_SCRIPT + SizesScript(), {m_strRemoteDir});
}

CRemoteRun::SState CSshRun::ParseState(const QByteArray& baOutput) const
{
    SState state;
    for (const QByteArray& baLine : baOutput.split('\n'))
    {
        if (!baLine.startsWith("STATE "))
            continue;
        const QList<QByteArray> lstWords = baLine.trimmed().split(' ');
        if (lstWords.value(1) == "running")
        {
            state.strText = RunningText();
            return state;
        }
        state.phase = SState::EPhase::ENDED;
        if (lstWords.value(1) == "exit")
        {
            const int nCode = lstWords.value(2).toInt();
            state.bFailed = nCode != 0;
            state.strText =
                nCode == 0 ? QStringLiteral("finished") : QString("failed (exit code %1)").arg(nCode);
        }
        else
            state.strText = QStringLiteral("ended");
        return state;
    }
    return state;
}

CRemoteHost::SInvocation CSshRun::StopCommand(int nTimeoutMs) const
{
    return m_host.Script(STOP_SCRIPT, {m_strRemoteDir, QString::number(std::max(1, nTimeoutMs / 100))});
}

QString CSshRun::Subject() const
{
    return "Training on " + Target().HostName();
}

QString CSshRun::RunningText() const
{
    return QString("running (process %1)").arg(m_strRunID);
}
