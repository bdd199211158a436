#include "trainer/remote/TrainingRuns.h"

#include "trainer/remote/LocalRun.h"
#include "trainer/remote/RunRecord.h"
#include "trainer/remote/SlurmRun.h"
#include "trainer/remote/SshRun.h"

CTrainingRuns::CTrainingRuns(QProcess* pProcess, QObject* pParent) : QObject(pParent)
{
    m_pLocal = std::make_unique<CLocalRun>(pProcess, nullptr);
    Connect(m_pLocal.get());
}

CTrainingRuns::~CTrainingRuns() = default;

void CTrainingRuns::Connect(CTrainingRun* pRun)
{
    connect(pRun, &CTrainingRun::signal_Output, this, &CTrainingRuns::signal_Output);
    connect(pRun, &CTrainingRun::signal_Status, this, &CTrainingRuns::signal_Status);
    connect(pRun, &CTrainingRun::signal_Finished, this, &CTrainingRuns::signal_Finished);
    connect(pRun, &CTrainingRun::signal_StateChanged, this,
            [this, pRun](QProcess::ProcessState state)
            {
                emit signal_StateChanged(state);
                // A remote run that is over (or let go) is no longer anyone's to follow.
                if (state == QProcess::NotRunning && pRun == m_pRemote.get())
                    DropRemote();
            });
}

bool CTrainingRuns::MakeRemote(const STrainingTarget& target)
{
    if (!target.IsRemote())
        return false;
    if (target.kind == STrainingTarget::EKind::SLURM)
        m_pRemote = std::make_unique<CSlurmRun>(target, nullptr);
    else
        m_pRemote = std::make_unique<CSshRun>(target, nullptr);
    Connect(m_pRemote.get());
    return true;
}

void CTrainingRuns::DropRemote()
{
    // Signals of the run are still being delivered: it goes on the next turn.
    if (CRemoteRun* pRun = m_pRemote.release())
        pRun->deleteLater();
}

bool CTrainingRuns::Start(const STrainingTarget& target, const SRunRequest& request)
{
    if (!MakeRemote(target))
        return m_pLocal->Start(request);
    return m_pRemote->Start(request);
}

void CTrainingRuns::Stop(int nTimeoutMs)
{
    if (m_pRemote)
        return m_pRemote->Stop(nTimeoutMs);
    m_pLocal->Stop(nTimeoutMs);
}

void CTrainingRuns::Detach()
{
    if (m_pRemote)
        m_pRemote->Detach();
}

bool CTrainingRuns::Reattach(const QString& strProjectDir)
{
    SRunRecord record;
    if (m_pRemote || !SRunRecord::Load(strProjectDir, record) || !MakeRemote(record.target))
        return false;
    return m_pRemote->Reattach(strProjectDir);
}
