#pragma once

#include "trainer/remote/RemoteRun.h"

// Darknet as a detached process on another machine, reached over SSH: in a
// session of its own (setsid), so a lost connection does not end it, with
// its process id in ".optra/pid" and its exit code in ".optra/exit" of the
// project's folder there. Stop ends its whole process group.
// Owned by CTrainingRuns; GUI thread.
class CSshRun : public CRemoteRun
{
    Q_OBJECT
public:
    using CRemoteRun::CRemoteRun;

protected:
    QString JobScript(const QStringList& lstCommand) const override;
    CRemoteHost::SInvocation Launch(const QStringList& lstCommand) const override;
    CRemoteHost::SInvocation StateQuery() const override;
    SState ParseState(const QByteArray& baOutput) const override;
    CRemoteHost::SInvocation StopCommand(int nTimeoutMs) const override;
    QString Subject() const override;
    bool RunsOnceLaunched() const override { return true; }
    QString RunningText() const override;
};
