#pragma once

#include "trainer/remote/RemoteHost.h"

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QStringList>

// "Test connection": checks in one go what a run on the target needs (the
// SSH login, the remote folder writable, the Darknet executable there and
// runnable, for Slurm sinfo answering) and words each failure so the user
// knows what to change. An unknown host key is shown and, once trusted, the
// check goes on. Asynchronous; the result comes as signal_Checked.
// Owned by the settings view; GUI thread.
class CTargetCheck : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~CTargetCheck() override;

    // Starts a check of the target; a check under way is abandoned.
    void Check(const STrainingTarget& target);
    bool IsChecking() const { return m_pProcess != nullptr; }

    // The report of a check from what the remote script printed.
    static QStringList Report(const STrainingTarget& target, const QByteArray& baOutput, bool& bOk);

signals:
    // bOk: everything a run needs is there; lstLines: one line per check.
    void signal_Checked(bool bOk, const QStringList& lstLines);

private:
    void Run();
    void Finished(int nExitCode);
    void Done(bool bOk, const QStringList& lstLines);

    STrainingTarget m_target;
    QPointer<QProcess> m_pProcess;
};
