#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "trainer/ClassEditorCtrl.h"
#include "trainer/ClassEditorDlg.h"
#include "trainer/ConfigurationEditorDlg.h"
#include "trainer/ParameterEditorCtrl.h"
#include "trainer/ParameterEditorDlg.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectView.h"
#include "trainer/PropertyDlg.h"
#include "trainer/SelectClassNameCtrl.h"
#include "trainer/SelectClassNameDlg.h"
#include "trainer/StatisticsDlg.h"

void CProjectController::CreateEditors()
{
    m_pClassEditorView = new CClassEditorView(m_pExplorer);
    m_pClassEditorController = new CClassEditorController(m_pClassEditorView, m_pDatabase);
    m_pParameterEditorView = new CParameterEditorView(m_pExplorer);
    m_pParameterEditorController = new CParameterEditorController(m_pParameterEditorView, m_pDatabase);
    m_pSelectClassNameView = new CSelectClassNameView(m_pExplorer);
    m_pSelectClassNameController = new CSelectClassNameController(m_pSelectClassNameView, m_pDatabase);
    m_pConfigurationEditorView = new CConfigurationEditorView(m_pExplorer);
    m_pStatisticsView = new CStatisticsView(m_pExplorer);
}

void CProjectController::ConnectEditors()
{
    if (m_pExplorer)
        connect(m_pExplorer, &CProjectExplorerView::signal_ProjectProperty, this,
                &CProjectController::slot_ProjectProperty);
    connect(m_pPropertyView, &CPropertyView::signal_UpdateProjectProperty, this,
            &CProjectController::slot_UpdateProjectProperty);
    connect(m_pConfigurationEditorView, &CConfigurationEditorView::signal_UpdateProjectProperty, this,
            &CProjectController::slot_UpdateProjectProperty);
    connect(m_pConfigurationEditorView, &CConfigurationEditorView::signal_AdaptToClasses, this,
            &CProjectController::slot_AdaptToClasses);
}

void CProjectController::ConnectExplorer()
{
    if (!m_pExplorer)
        return;
    using View = CProjectExplorerView;
    using Ctrl = CProjectController;
    connect(m_pExplorer, &View::signal_CloseProject, this, &Ctrl::slot_CloseProject);
    connect(m_pExplorer, &View::signal_DeleteProject, this, &Ctrl::slot_DeleteProject);
    connect(m_pExplorer, &View::signal_AddTrainImage, this, &Ctrl::slot_AddTrainImage);
    connect(m_pExplorer, &View::signal_ShuffleTrainImage, this, &Ctrl::slot_ShuffleTrainImage);
    connect(m_pExplorer, &View::signal_SortTrainImage, this, &Ctrl::slot_SortTrainImage);
    connect(m_pExplorer, &View::signal_RemoveTrainImage, this, &Ctrl::slot_RemoveTrainImage);
    connect(m_pExplorer, &View::signal_AddTestImage, this, &Ctrl::slot_AddTestImage);
    connect(m_pExplorer, &View::signal_RemoveTestImage, this, &Ctrl::slot_RemoveTestImage);
    connect(m_pExplorer, &View::signal_AcceptImageSize, this, &Ctrl::slot_AcceptImageSize);
    connect(m_pExplorer, &View::signal_EditClasses, this, &Ctrl::slot_EditClasses);
    connect(m_pExplorer, &View::signal_EditParameters, this, &Ctrl::slot_EditParameters);
    connect(m_pExplorer, &View::signal_EditConfiguration, this, &Ctrl::slot_EditConfiguration);
    connect(m_pExplorer, &View::signal_OpenImageFile, this, &Ctrl::slot_OpenImage);
}

void CProjectController::slot_EditClasses()
{
    if (!m_pClassEditorController || !m_pClassEditorView)
        return;
    m_pClassEditorController->UpdateClassName();
    CInteraction::Exec(m_pClassEditorView);
    // Names may have changed or classes been added, which validation does not see.
    ScheduleStatistics();
}

void CProjectController::slot_EditParameters()
{
    if (!m_pParameterEditorController || !m_pParameterEditorView)
        return;
    m_pParameterEditorController->UpdateParameterName();
    CInteraction::Exec(m_pParameterEditorView);
}

void CProjectController::slot_EditConfiguration()
{
    if (!m_pConfigurationEditorView)
        return;
    m_pConfigurationEditorView->Update(FindProjectProperty(QStringLiteral("PROJECT_CONFIGURATION")));
    CInteraction::Exec(m_pConfigurationEditorView);
}

void CProjectController::slot_ProjectProperty()
{
    if (m_pPropertyView)
        CInteraction::Exec(m_pPropertyView);
}
