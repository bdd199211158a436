#include "trainer/remote/TargetCheck.h"

#include "common/log/Logger.h"
#include "trainer/remote/HostKeys.h"

namespace
{
// $1: the folder, $2: the Darknet executable, $3: "slurm" to ask sinfo.
// Writes only a probe file into the folder, and takes it away again.
const QString CHECK_SCRIPT =
    QStringLiteral("echo LOGIN ok\n"
                   "if mkdir -p \"$1\" 2>/dev/null && : > \"$1/.optra-probe-$$\" 2>/dev/null; then\n"
                   "  rm -f \"$1/.optra-probe-$$\"; echo FOLDER ok\n"
                   "else echo FOLDER fail; fi\n"
                   "x=$(command -v \"$2\" 2>/dev/null)\n"
                   "if [ -z \"$x\" ]; then echo DARKNET missing\n"
                   "elif [ -f \"$x\" ] && [ -x \"$x\" ]; then echo DARKNET ok\n"
                   "else echo DARKNET noexec; fi\n"
                   "if [ \"$3\" = slurm ]; then\n"
                   "  if s=$(sinfo -h -o '%P %a' 2>&1); then echo \"SINFO ok $(echo $s | head -c 200)\"\n"
                   "  else echo \"SINFO fail $(echo $s | head -c 200)\"; fi\n"
                   "fi\n");
} // namespace

CTargetCheck::~CTargetCheck()
{
    if (m_pProcess)
    {
        m_pProcess->disconnect(this);
        m_pProcess->kill();
        m_pProcess->waitForFinished(5000);
    }
}

void CTargetCheck::Check(const STrainingTarget& target)
{
    if (m_pProcess)
    {
        m_pProcess->disconnect(this);
        m_pProcess->kill();
        m_pProcess->waitForFinished(5000);
        m_pProcess->deleteLater();
    }
    m_target = target;
    const QString strIncomplete = target.IsRemote() ? target.Incomplete() : QString();
    if (!target.IsRemote())
        return Done(true, {QStringLiteral("Training runs on this computer: nothing to connect to")});
    if (!strIncomplete.isEmpty())
        return Done(false, {strIncomplete});
    Run();
}

void CTargetCheck::Run()
{
    const CRemoteHost host(m_target);
    const CRemoteHost::SInvocation invocation =
        host.Script(CHECK_SCRIPT, {m_target.strFolder, m_target.strDarknet,
                                   m_target.kind == STrainingTarget::EKind::SLURM ? "slurm" : ""});
    m_pProcess = new QProcess(this);
    CRemoteHost::WhenEnded(m_pProcess, this, [this](int nExitCode) { Finished(nExitCode); });
    m_pProcess->start(invocation.strProgram, invocation.lstArguments);
}

void CTargetCheck::Finished(int nExitCode)
{
    QProcess* pProcess = m_pProcess;
    if (!pProcess)
        return;
    m_pProcess = nullptr;
    pProcess->deleteLater();
    const QByteArray baOutput = pProcess->readAllStandardOutput();
    const QByteArray baError = pProcess->readAllStandardError();
    const CRemoteHost host(m_target);
    if (nExitCode != 0)
    {
        QString strError = host.Explain(nExitCode < 0 ? CRemoteHost::SSH_FAILURE : nExitCode, baError);
        if (nExitCode == CRemoteHost::SSH_FAILURE && CRemoteHost::IsUnknownHostKey(baError) &&
            CHostKeys(m_target).AskToTrust(strError))
            return Run();
        return Done(false, {strError});
    }
    bool bOk = false;
    const QStringList lstLines = Report(m_target, baOutput, bOk);
    Done(bOk, lstLines);
}

QStringList CTargetCheck::Report(const STrainingTarget& target, const QByteArray& baOutput, bool& bOk)
{
    QStringList lstLines;
    bOk = true;
    const auto Fail = [&](const QString& strLine)
    {
        lstLines << strLine;
        bOk = false;
    };
    const QString strOutput = QString::fromUtf8(baOutput);
    const auto Answer = [&strOutput](const QString& strKey)
    {
        for (const QString& strLine : strOutput.split('\n'))
        {
            if (strLine.startsWith(strKey + ' '))
                return strLine.mid(strKey.size() + 1).trimmed();
        }
        return QString();
    };
    if (target.UsesSsh())
        lstLines << QString("SSH login to %1 works").arg(target.strHost);
    if (Answer("FOLDER") == QLatin1String("ok"))
        lstLines << QString("The remote folder %1 is writable").arg(target.strFolder);
    else
        Fail(QString("The remote folder %1 cannot be created or written").arg(target.strFolder));
    const QString strDarknet = Answer("DARKNET");
    if (strDarknet == QLatin1String("ok"))
        lstLines << QString("darknet found at %1").arg(target.strDarknet);
    else if (strDarknet == QLatin1String("noexec"))
        Fail(QString("darknet at %1 cannot be run (no execute permission)").arg(target.strDarknet));
    else
        Fail(QString("darknet not found at %1").arg(target.strDarknet));
    if (target.kind == STrainingTarget::EKind::SLURM)
    {
        const QString strSinfo = Answer("SINFO");
        if (strSinfo.startsWith(QLatin1String("ok")))
            lstLines << QString("sinfo answers: partitions %1").arg(strSinfo.mid(3));
        else
            Fail(QString("sinfo does not answer on %1: %2").arg(target.HostName(), strSinfo.mid(5)));
    }
    return lstLines;
}

void CTargetCheck::Done(bool bOk, const QStringList& lstLines)
{
    CLog::Write(bOk ? ELogLevel::NORMAL : ELogLevel::ERROR, "Test connection: %s",
                lstLines.join("; ").toUtf8().constData());
    emit signal_Checked(bOk, lstLines);
}
