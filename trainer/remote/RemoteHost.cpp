#include "trainer/remote/RemoteHost.h"

#include "trainer/remote/RemoteShell.h"

#include <QDir>
#include <QFileInfo>

namespace
{
// Seconds: how long a connection may take, and how long a silent one lives.
constexpr int CONNECT_TIMEOUT_S = 20;
constexpr int ALIVE_INTERVAL_S = 10;
constexpr int ALIVE_COUNT = 3;

QString LastLine(const QByteArray& baError)
{
    const QStringList lstLines = QString::fromLocal8Bit(baError).split('\n', Qt::SkipEmptyParts);
    return lstLines.isEmpty() ? QString() : lstLines.last().trimmed();
}
} // namespace

QString CRemoteHost::SshPath(const QString& strPath)
{
    return QString(strPath).replace(QLatin1Char('%'), QStringLiteral("%%"));
}

QString CRemoteHost::KnownHostsFile() const
{
    // The home Qt sees ($HOME), which is also where the program keeps its own files.
    return QDir::homePath() + QStringLiteral("/.ssh/known_hosts");
}

QStringList CRemoteHost::SshOptions() const
{
    const QString strConfig = QDir::homePath() + QStringLiteral("/.ssh/config");
    QStringList lstOptions{QStringLiteral("-F"),
                           QFileInfo::exists(strConfig) ? strConfig : QStringLiteral("/dev/null"),
                           QStringLiteral("-p"), QString::number(m_target.nPort)};
    if (!m_target.strUser.isEmpty())
        lstOptions << QStringLiteral("-l") << m_target.strUser;
    if (!m_target.strIdentity.isEmpty())
        lstOptions << QStringLiteral("-i") << SshPath(m_target.strIdentity) << QStringLiteral("-o")
                   << QStringLiteral("IdentitiesOnly=yes");
    // Keys only, never a prompt; host keys only from known_hosts.
    for (const QString& strOption :
         {QStringLiteral("BatchMode=yes"), QStringLiteral("StrictHostKeyChecking=yes"),
          "UserKnownHostsFile=\"" + SshPath(KnownHostsFile()) + "\"",
          QStringLiteral("PasswordAuthentication=no"), QStringLiteral("KbdInteractiveAuthentication=no"),
          QStringLiteral("PreferredAuthentications=publickey"),
          QString("ConnectTimeout=%1").arg(CONNECT_TIMEOUT_S),
          QString("ServerAliveInterval=%1").arg(ALIVE_INTERVAL_S),
          QString("ServerAliveCountMax=%1").arg(ALIVE_COUNT), QStringLiteral("LogLevel=ERROR")})
        lstOptions << QStringLiteral("-o") << strOption;
    return lstOptions;
}

CRemoteHost::SInvocation CRemoteHost::Script(const QString& strScript, const QStringList& lstArguments) const
{
    if (!m_target.UsesSsh())
        return {QStringLiteral("sh"),
                QStringList{QStringLiteral("-c"), strScript, QStringLiteral("optra")} + lstArguments};
    return {QStringLiteral("ssh"), SshOptions()
                                       << QStringLiteral("-T") << QStringLiteral("--") << m_target.strHost
                                       << CRemoteShell::Command(strScript, lstArguments)};
}

CRemoteHost::SInvocation CRemoteHost::Follow(const QString& strFile, qint64 nOffset) const
{
    const QString strStart = '+' + QString::number(nOffset + 1);
    if (!m_target.UsesSsh())
        return {QStringLiteral("tail"),
                {QStringLiteral("-c"), strStart, QStringLiteral("-F"), QStringLiteral("--"), strFile}};
    // A remote tail must not outlive its reader: it ends when the connection
    // (the standard input of this script) does.
    return Script(QStringLiteral("tail -c \"$2\" -F -- \"$1\" 2>/dev/null & t=$!\n"
                                 "cat >/dev/null\n"
                                 "kill $t 2>/dev/null\n"),
                  {strFile, strStart});
}

CRemoteHost::SInvocation CRemoteHost::ReadFrom(const QString& strFile, qint64 nOffset) const
{
    return Script(QStringLiteral("[ ! -e \"$1\" ] || exec tail -c \"$2\" -- \"$1\""),
                  {strFile, '+' + QString::number(nOffset + 1)});
}

QString CRemoteHost::RsyncHost() const
{
    return (m_target.strUser.isEmpty() ? QString() : m_target.strUser + '@') + m_target.strHost + ':';
}

CRemoteHost::SInvocation CRemoteHost::Upload(const QString& strLocalRoot, const QStringList& lstSources,
                                             const QString& strRemoteDir, const QStringList& lstFilter,
                                             bool bChecksum) const
{
    // Times are kept, so the next run finds unchanged files by size and time
    // alone; --protect-args hands names to the other side untouched by its shell.
    QStringList lstArguments{QStringLiteral("-rlt"), QStringLiteral("--protect-args"),
                             QStringLiteral("--relative")};
    if (bChecksum)
        lstArguments << QStringLiteral("--checksum");
    for (const QString& strRule : lstFilter)
        lstArguments << QStringLiteral("--filter") << strRule;
    for (const QString& strSource : lstSources)
        lstArguments << strLocalRoot + QStringLiteral("/./") + strSource;
    if (!m_target.UsesSsh())
        return {QStringLiteral("rsync"), lstArguments << strRemoteDir + '/'};
    QStringList lstShell{QStringLiteral("ssh")};
    for (const QString& strOption : SshOptions())
        lstShell << CRemoteShell::RsyncQuote(strOption);
    return {QStringLiteral("rsync"), QStringList{QStringLiteral("-e"), lstShell.join(' ')} + lstArguments
                                         << RsyncHost() + strRemoteDir + '/'};
}

CRemoteHost::SInvocation CRemoteHost::Download(const QString& strRemoteDir, const QString& strLocalDir) const
{
    QStringList lstArguments{QStringLiteral("-rt"), QStringLiteral("--protect-args")};
    if (!m_target.UsesSsh())
        return {QStringLiteral("rsync"), lstArguments << strRemoteDir + '/' << strLocalDir + '/'};
    QStringList lstShell{QStringLiteral("ssh")};
    for (const QString& strOption : SshOptions())
        lstShell << CRemoteShell::RsyncQuote(strOption);
    return {QStringLiteral("rsync"), QStringList{QStringLiteral("-e"), lstShell.join(' ')} + lstArguments
                                         << RsyncHost() + strRemoteDir + '/' << strLocalDir + '/'};
}

void CRemoteHost::WhenEnded(QProcess* pProcess, QObject* pContext, std::function<void(int nExitCode)> fnEnded)
{
    QObject::connect(pProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), pContext,
                     [fnEnded](int nExitCode, QProcess::ExitStatus status)
                     { fnEnded(status == QProcess::NormalExit ? nExitCode : -1); });
    QObject::connect(pProcess, &QProcess::errorOccurred, pContext,
                     [fnEnded](QProcess::ProcessError error)
                     {
                         if (error == QProcess::FailedToStart)
                             fnEnded(-1);
                     });
}

bool CRemoteHost::IsUnknownHostKey(const QByteArray& baError)
{
    return baError.contains("host key is known for") ||
           (baError.contains("Host key verification failed") && !baError.contains("HAS CHANGED"));
}

QString CRemoteHost::Explain(int nExitCode, const QByteArray& baError) const
{
    if (nExitCode == 0)
        return QString();
    const QString strLast = LastLine(baError);
    if (nExitCode != SSH_FAILURE || !m_target.UsesSsh())
        return strLast.isEmpty() ? QString("The command on %1 failed with exit code %2")
                                       .arg(m_target.HostName())
                                       .arg(nExitCode)
                                 : strLast;
    const QString strHost = m_target.strHost;
    if (baError.contains("REMOTE HOST IDENTIFICATION HAS CHANGED"))
        return QString("Host key of %1 has changed since it was trusted; the connection was refused. If the "
                       "machine was reinstalled, remove its old key from %2")
            .arg(strHost, KnownHostsFile());
    if (IsUnknownHostKey(baError))
        return QString("Host key of %1 is not known: connect once with Test connection and trust it")
            .arg(strHost);
    if (baError.contains("Permission denied"))
        return QString("Permission denied (publickey): %1 does not accept the key %2%3")
            .arg(strHost,
                 m_target.strIdentity.isEmpty() ? QStringLiteral("of your SSH agent or ~/.ssh")
                                                : m_target.strIdentity,
                 m_target.strUser.isEmpty() ? QString() : " for user " + m_target.strUser);
    if (baError.contains("Connection refused"))
        return QString("Connection to %1 port %2 refused: is its SSH server running?")
            .arg(strHost)
            .arg(m_target.nPort);
    if (baError.contains("Could not resolve hostname"))
        return QString("Host %1 is not known to the name service").arg(strHost);
    if (baError.contains("timed out") || baError.contains("No route to host") ||
        baError.contains("Network is unreachable"))
        return QString("%1 cannot be reached: %2").arg(strHost, strLast);
    if (baError.contains("no such identity") || baError.contains("Load key"))
        return QString("The identity file %1 cannot be read").arg(m_target.strIdentity);
    return QString("SSH to %1 failed: %2").arg(strHost, strLast.isEmpty() ? "no reason given" : strLast);
}
