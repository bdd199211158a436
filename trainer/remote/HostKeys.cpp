#include "trainer/remote/HostKeys.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace
{
constexpr int SCAN_TIMEOUT_MS = 30000;

// Runs a short helper to its end; false when it could not or failed.
bool RunHelper(const QString& strProgram, const QStringList& lstArguments, const QByteArray& baInput,
               QByteArray& baOutput)
{
    QProcess process;
    process.start(strProgram, lstArguments);
    if (!process.waitForStarted(SCAN_TIMEOUT_MS))
        return false;
    process.write(baInput);
    process.closeWriteChannel();
    if (!process.waitForFinished(SCAN_TIMEOUT_MS))
    {
        process.kill();
        process.waitForFinished(SCAN_TIMEOUT_MS);
        return false;
    }
    baOutput = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
} // namespace

bool CHostKeys::Scan(QStringList& lstLines, QStringList& lstFingerprints, QString& strError) const
{
    const STrainingTarget& target = m_host.Target();
    QByteArray baKeys;
    if (!RunHelper(QStringLiteral("ssh-keyscan"),
                   {QStringLiteral("-T"), QStringLiteral("15"), QStringLiteral("-p"),
                    QString::number(target.nPort), QStringLiteral("--"), target.strHost},
                   QByteArray(), baKeys) ||
        baKeys.trimmed().isEmpty())
    {
        strError = QString("The host key of %1 cannot be read: is its SSH server running on port %2?")
                       .arg(target.strHost)
                       .arg(target.nPort);
        return false;
    }
    for (const QByteArray& baLine : baKeys.split('\n'))
    {
        if (!baLine.trimmed().isEmpty() && !baLine.startsWith('#'))
            lstLines << QString::fromLatin1(baLine.trimmed());
    }
    QByteArray baPrints;
    if (!RunHelper(QStringLiteral("ssh-keygen"),
                   {QStringLiteral("-l"), QStringLiteral("-f"), QStringLiteral("-")}, baKeys, baPrints))
    {
        strError = QString("The host keys of %1 cannot be read").arg(target.strHost);
        return false;
    }
    // "256 SHA256:abc... [host]:port (ED25519)" becomes "ED25519 SHA256:abc...".
    for (const QByteArray& baLine : baPrints.split('\n'))
    {
        const QList<QByteArray> lstFields = baLine.simplified().split(' ');
        if (lstFields.size() >= 3)
            lstFingerprints << QString::fromLatin1(lstFields.last()).remove('(').remove(')') + ' ' +
                                   QString::fromLatin1(lstFields[1]);
    }
    return !lstLines.isEmpty();
}

bool CHostKeys::Trust(const QStringList& lstLines, QString& strError) const
{
    const QString strFile = m_host.KnownHostsFile();
    QDir().mkpath(QFileInfo(strFile).path());
    QFile file(strFile);
    // Appended, never rewritten: the keys the user trusted before stay as they were.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
    {
        strError = QString("Cannot write %1").arg(strFile);
        return false;
    }
    const QByteArray baLines = lstLines.join('\n').toLatin1() + '\n';
    if (file.write(baLines) != baLines.size() || !file.flush())
    {
        strError = QString("Cannot write %1").arg(strFile);
        return false;
    }
    return true;
}

bool CHostKeys::AskToTrust(QString& strError)
{
    QStringList lstLines;
    QStringList lstFingerprints;
    if (!Scan(lstLines, lstFingerprints, strError))
        return false;
    const QString strHost = m_host.Target().strHost;
    const QString strText =
        QString("Host key of %1 is not known:\n%2\n\nCompare it with the key the machine's "
                "administrator gives you. Trust it and connect?")
            .arg(strHost, lstFingerprints.join('\n'));
    if (CInteraction::Message(nullptr, QMessageBox::Question, QStringLiteral("Unknown host"), strText,
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
    {
        strError = QString("Host key of %1 is not known: %2 was not trusted")
                       .arg(strHost, lstFingerprints.join(", "));
        return false;
    }
    if (!Trust(lstLines, strError))
        return false;
    CLog::Write(ELogLevel::NORMAL, "Trusted the host key of %s: %s", strHost.toUtf8().constData(),
                lstFingerprints.join(", ").toUtf8().constData());
    return true;
}
