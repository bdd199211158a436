#pragma once

#include <QString>
#include <QStringList>

// Builds the one line a remote shell (the login shell behind ssh) runs. The
// work itself is always a fixed POSIX script handed to "sh -c"; everything
// that comes from the user or the project (folders, executables, arguments,
// job ids) reaches that script only as positional parameters, each quoted
// here, so no value is ever parsed as shell syntax.
// Stateless; any thread.
class CRemoteShell
{
public:
    // The text as one word of a POSIX shell: inside single quotes, each
    // single quote written as '\''. Works in sh, bash, dash and zsh alike.
    static QString Quote(const QString& strText);
    // "sh -c '<script>' optra '<arg 1>' '<arg 2>' ...": in the script the
    // arguments are "$1", "$2", ...
    static QString Command(const QString& strScript, const QStringList& lstArguments);
    // One argument of rsync's -e option, which rsync splits itself: single
    // quotes, a single quote doubled.
    static QString RsyncQuote(const QString& strText);
};
