#include "trainer/ProjectCtrl.h"

#include "trainer/ProjectModel.h"
#include "trainer/ProjectStatistics.h"
#include "trainer/ProjectView.h"
#include "trainer/StatisticsDlg.h"

#include <QTimer>

void CProjectController::ConnectStatistics()
{
    m_pStatisticsTimer = new QTimer(this);
    m_pStatisticsTimer->setSingleShot(true);
    m_pStatisticsTimer->setInterval(0);
    connect(m_pStatisticsTimer, &QTimer::timeout, this, &CProjectController::RefreshStatistics);
    // An image opened from the statistics takes the explorer's way into the views.
    connect(m_pStatisticsView, &CStatisticsView::signal_OpenImageFile, this,
            &CProjectController::slot_OpenImage);
    if (m_pExplorer)
        connect(m_pExplorer, &CProjectExplorerView::signal_ShowStatistics, this,
                &CProjectController::slot_ShowStatistics);
    // Images come and go through the model; ROI and category edits end in a
    // validation, which schedules a refresh itself.
    if (m_pModel)
    {
        connect(m_pModel, &CProjectModel::signal_ChangeTrainImageList, this,
                &CProjectController::ScheduleStatistics);
        connect(m_pModel, &CProjectModel::signal_ChangeTestImageList, this,
                &CProjectController::ScheduleStatistics);
    }
}

void CProjectController::slot_ShowStatistics()
{
    if (!m_pStatisticsView || m_nProjectID < 0)
        return;
    RefreshStatistics();
    m_pStatisticsView->show();
    m_pStatisticsView->raise();
    m_pStatisticsView->activateWindow();
}

void CProjectController::ScheduleStatistics()
{
    // A hidden window is brought up to date when it is shown.
    if (m_pStatisticsView && m_pStatisticsView->isVisible() && !m_pStatisticsTimer->isActive())
        m_pStatisticsTimer->start();
}

void CProjectController::RefreshStatistics()
{
    if (m_pStatisticsView)
        m_pStatisticsView->Update(m_nProjectID < 0 ? SProjectStatistics()
                                                   : CProjectStatistics::Collect(m_pDatabase));
}
