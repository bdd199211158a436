#include "trainer/TrainingModel.h"

#include <QDir>

void CTrainingModel::Open(const QString& strProjectDir)
{
    m_history.Load(strProjectDir + QDir::separator() + CTrainingHistory::FILE_NAME);
    MarkChanged(0);
    Announce();
}

void CTrainingModel::Close()
{
    m_history.Close();
    MarkChanged(0);
    Announce();
}

void CTrainingModel::AddIteration(const STrainingPoint& point)
{
    MarkChanged(m_history.Add(point));
}

void CTrainingModel::SetMap(double dMap)
{
    MarkChanged(m_history.SetMap(dMap));
}

void CTrainingModel::Commit()
{
    m_history.Store();
    Announce();
}

void CTrainingModel::Finish()
{
    m_history.Finish();
    Announce();
}

void CTrainingModel::MarkChanged(int nIndex)
{
    if (nIndex >= 0 && (m_nFirstChanged < 0 || nIndex < m_nFirstChanged))
        m_nFirstChanged = nIndex;
}

void CTrainingModel::Announce()
{
    if (m_nFirstChanged < 0)
        return;
    const int nFirst = m_nFirstChanged;
    m_nFirstChanged = -1;
    emit signal_ChangeTraining(nFirst);
}

void CTrainingModel::SetRunStatus(const QString& strStatus)
{
    if (strStatus == m_strRunStatus)
        return;
    m_strRunStatus = strStatus;
    emit signal_ChangeRunStatus(strStatus);
}
