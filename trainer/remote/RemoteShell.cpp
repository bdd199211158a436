#include "trainer/remote/RemoteShell.h"

QString CRemoteShell::Quote(const QString& strText)
{
    QString strQuoted = strText;
    strQuoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + strQuoted + QLatin1Char('\'');
}

QString CRemoteShell::Command(const QString& strScript, const QStringList& lstArguments)
{
    // "optra" becomes "$0", so the script's own arguments start at "$1".
    QStringList lstWords{QStringLiteral("sh"), QStringLiteral("-c"), Quote(strScript),
                         QStringLiteral("optra")};
    for (const QString& strArgument : lstArguments)
        lstWords << Quote(strArgument);
    return lstWords.join(QLatin1Char(' '));
}

QString CRemoteShell::RsyncQuote(const QString& strText)
{
    QString strQuoted = strText;
    strQuoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + strQuoted + QLatin1Char('\'');
}
