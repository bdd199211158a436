#pragma once

#include "trainer/remote/TrainingTarget.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

// How a program reaches the machine of a training target: the command lines
// of ssh, rsync and the scripts run there, and what a failure of them means
// in words a user can act on. Through SSH everything is key based and host
// keys are checked against the known_hosts of the user's home: no password
// is asked for, and an unknown host is refused until the user trusted it
// (see CHostKeys). For a Slurm cluster reached from here the same scripts run
// in a local "sh". Only builds argument lists; the caller runs them with
// QProcess. A value type; any thread.
class CRemoteHost
{
public:
    // The exit code of ssh itself when it could not connect or log in.
    static constexpr int SSH_FAILURE = 255;

    struct SInvocation
    {
        QString strProgram;
        QStringList lstArguments;
    };

    explicit CRemoteHost(const STrainingTarget& target) : m_target(target) {}

    const STrainingTarget& Target() const { return m_target; }
    // Runs the fixed script with its arguments as "$1", "$2", ... on the target.
    SInvocation Script(const QString& strScript, const QStringList& lstArguments) const;
    // Prints the file from byte nOffset (0 = its start) on and keeps
    // printing what is added to it, also across a rename or a late creation,
    // until the caller ends it; the remote part ends with the connection.
    SInvocation Follow(const QString& strFile, qint64 nOffset) const;
    // Prints the file from byte nOffset on and ends.
    SInvocation ReadFrom(const QString& strFile, qint64 nOffset) const;
    // Copies local sources (paths below strLocalRoot, kept relative to it)
    // into the folder on the target; only files whose size or time differ,
    // or with bChecksum, whose content differs. lstFilter: rsync filter rules.
    SInvocation Upload(const QString& strLocalRoot, const QStringList& lstSources,
                       const QString& strRemoteDir, const QStringList& lstFilter, bool bChecksum) const;
    // Copies the new and changed files of a folder on the target into a local one.
    SInvocation Download(const QString& strRemoteDir, const QString& strLocalDir) const;
    // The ssh options every connection uses (for ssh-keyscan's port too).
    QStringList SshOptions() const;
    QString KnownHostsFile() const;

    // What went wrong, in words; empty when the exit code is a success.
    QString Explain(int nExitCode, const QByteArray& baError) const;
    static bool IsUnknownHostKey(const QByteArray& baError);
    // Calls fnEnded once the process ended (its exit code) or could not be
    // started or crashed (-1), while pContext lives.
    static void WhenEnded(QProcess* pProcess, QObject* pContext, std::function<void(int nExitCode)> fnEnded);

private:
    // "[user@]host:" for rsync.
    QString RsyncHost() const;
    // ssh expands "%" in file options; a path keeps its own.
    static QString SshPath(const QString& strPath);

    STrainingTarget m_target;
};
