#pragma once

#include "trainer/remote/TrainingRun.h"

// Darknet as a child process in the project folder, as the program always
// ran it. Borrows the project controller's process object, so whoever holds
// that object sees the same process.
// Owned by CTrainingRuns; GUI thread.
class CLocalRun : public CTrainingRun
{
    Q_OBJECT
public:
    CLocalRun(QProcess* pProcess, QObject* pParent);

    bool Start(const SRunRequest& request) override;
    void Stop(int nTimeoutMs) override;
    bool IsRemote() const override { return false; }

private:
    void Read(bool bError);

    QProcess* m_pProcess = nullptr;
};
