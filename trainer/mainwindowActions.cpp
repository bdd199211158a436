#include "trainer/mainwindow.h"

#include "common/mvc/CenterView.h"
#include "common/mvc/Interaction.h"
#include "common/mvc/MVCManager.h"
#include "common/setting/SettingCtrl.h"
#include "common/setting/SettingManager.h"
#include "trainer/AboutDlg.h"
#include "trainer/AddProjectCtrl.h"
#include "trainer/AddProjectDlg.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/ProjectModel.h"
#include "trainer/SettingDlgImpl.h"
#include "trainer/remote/TrainingRuns.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

QAction* MainWindow::AddAction(const QString& strText, const QString& strIcon, void (MainWindow::*pfnSlot)())
{
    auto* pAction = new QAction(QIcon(strIcon), strText, this);
    if (pfnSlot)
        connect(pAction, &QAction::triggered, this, pfnSlot);
    return pAction;
}

void MainWindow::createActions()
{
    m_pActOpenProject =
        AddAction("Open Project", ":/Image/open-folder.png", &MainWindow::slot_OpenProjectFile);
    m_pActNewProject = AddAction("New Project", ":/Image/plus.png", &MainWindow::slot_OpenNewProjectDlg);
    m_pActSave = AddAction("Save", ":/Image/save_file.png", nullptr);
    m_pActUndo = AddAction("Undo", ":/Image/undo.png", &MainWindow::slot_Undo);
    m_pActRedo = AddAction("Redo", ":/Image/redo.png", &MainWindow::slot_Redo);
    m_pActLayout1x1 = AddAction("[1x1]", ":/Image/layout1x1.png", nullptr);
    m_pActLayout2x1 = AddAction("[2x1]", ":/Image/layout2x1.png", nullptr);
    m_pActLayout2x2 = AddAction("[2x2]", ":/Image/layout2x2.png", nullptr);
    m_pActStart = AddAction("Start", ":/Image/play.png", &MainWindow::slot_Start);
    m_pActStop = AddAction("Stop", ":/Image/stop.png", &MainWindow::slot_Stop);
    m_pActSetting = AddAction("Setting", ":/Image/settings.png", &MainWindow::slot_Settings);
    m_pActBuild = AddAction("Build", ":/Image/configure.png", &MainWindow::slot_Build);
    if (m_pMVCManager)
    {
        connect(m_pActSave, &QAction::triggered, m_pMVCManager, &CMVCManager::slot_SaveFile);
        connect(m_pActLayout1x1, &QAction::triggered, m_pMVCManager, &CMVCManager::slot_ChangeLayout1x1);
        connect(m_pActLayout2x1, &QAction::triggered, m_pMVCManager, &CMVCManager::slot_ChangeLayout2x1);
        connect(m_pActLayout2x2, &QAction::triggered, m_pMVCManager, &CMVCManager::slot_ChangeLayout2x2);
    }
    m_pActExit = AddAction("Exit", ":/Image/exit.png", &MainWindow::slot_Exit);
    m_pActAbout = AddAction("About", ":/Image/about.png", &MainWindow::slot_About);

    CreateToolBar();
    CreateMenus();

    m_pSettingView = new CSettingViewImpl(this);
    m_pSettingController = new CSettingController(m_pSettingView);
}

void MainWindow::CreateToolBar()
{
    QToolBar* pToolBar = addToolBar(QStringLiteral("File"));
    pToolBar->setObjectName(QStringLiteral("File"));
    pToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    pToolBar->addActions({m_pActOpenProject, m_pActNewProject, m_pActSave});
    pToolBar->addSeparator();
    pToolBar->addActions({m_pActUndo, m_pActRedo});
    pToolBar->addSeparator();
    pToolBar->addActions({m_pActLayout1x1, m_pActLayout2x1, m_pActLayout2x2});
    pToolBar->addSeparator();
    pToolBar->addActions({m_pActStart, m_pActStop});
    pToolBar->addSeparator();
    auto* pSpacer = new QWidget(pToolBar);
    pSpacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    pToolBar->addWidget(pSpacer);
    pToolBar->addAction(m_pActSetting);
}

void MainWindow::CreateMenus()
{
    QMenu* pFile = menuBar()->addMenu(QStringLiteral("File"));
    pFile->addActions({m_pActOpenProject, m_pActNewProject, m_pActSave});
    pFile->addSeparator();
    m_pActImport = pFile->addAction(QStringLiteral("Import labelled images..."));
    m_pActExport = pFile->addAction(QStringLiteral("Export labelled images..."));
    if (m_pProjectController)
    {
        connect(m_pActImport, &QAction::triggered, m_pProjectController,
                &CProjectController::slot_ImportLabelledImages);
        connect(m_pActExport, &QAction::triggered, m_pProjectController,
                &CProjectController::slot_ExportLabelledImages);
    }
    pFile->addSeparator();
    m_pRecentMenu = pFile->addMenu(QStringLiteral("Recent"));
    pFile->addSeparator();
    pFile->addAction(m_pActExit);

    QMenu* pEdit = menuBar()->addMenu(QStringLiteral("Edit"));
    pEdit->addActions({m_pActUndo, m_pActRedo});
    pEdit->addSeparator();
    pEdit->addActions({m_pActLayout1x1, m_pActLayout2x1, m_pActLayout2x2});

    QMenu* pRun = menuBar()->addMenu(QStringLiteral("Run"));
    pRun->addActions({m_pActBuild, m_pActStart, m_pActStop});
    pRun->addSeparator();
    CreateModelActions(pRun);
    pRun->addSeparator();
    pRun->addAction(m_pActSetting);

    CreateToolsMenu();
    CreateViewMenu();

    QMenu* pHelp = menuBar()->addMenu(QStringLiteral("Help"));
    pHelp->addAction(QStringLiteral("Keys"), this, &MainWindow::slot_ShowKeys);
    pHelp->addAction(m_pActAbout);
}

void MainWindow::SplitProjectFile(const QString& strFile, QChar chSeparator, QString& strFolder,
                                  QString& strName)
{
    const int nSeparator = strFile.lastIndexOf(chSeparator);
    const int nDot = strFile.lastIndexOf(QLatin1Char('.'));
    strFolder = nSeparator < 0 ? QString() : strFile.left(nSeparator);
    strName = nDot < nSeparator + 1 ? strFile.mid(nSeparator + 1)
                                    : strFile.mid(nSeparator + 1, nDot - nSeparator - 1);
}

void MainWindow::slot_OpenProjectFile()
{
    const QString strChosen = CInteraction::GetOpenFileName(
        this, QStringLiteral("Open File"), QString(), QStringLiteral("Files (*.data);;All files (*.*)"));
    if (strChosen.isEmpty())
        return;
    QString strFolder;
    QString strName;
    SplitProjectFile(QDir::toNativeSeparators(strChosen), QDir::separator(), strFolder, strName);
    if (m_pProjectController)
        m_pProjectController->LoadProject(strFolder, strName);
}

void MainWindow::slot_OpenRecentProject()
{
    auto* pAction = qobject_cast<QAction*>(sender());
    if (!pAction || !m_pProjectController)
        return;
    QString strFolder;
    QString strName;
    SplitProjectFile(pAction->text(), QDir::separator(), strFolder, strName);
    m_pProjectController->LoadProject(strFolder, strName);
}

void MainWindow::slot_UpdateSettingParameters(const QString&, const QVariant&)
{
    if (!m_pRecentMenu)
        return;
    const QStringList lstEntries =
        CSetting::GetString(QStringLiteral("GENERAL_PROGRAME_HISTORIES"), QString())
            .split(QLatin1Char(';'), Qt::KeepEmptyParts);
    m_pRecentMenu->clear();
    for (const QString& strEntry : lstEntries)
    {
        if (strEntry.isEmpty())
            continue;
        QAction* pAction = m_pRecentMenu->addAction(strEntry);
        connect(pAction, &QAction::triggered, this, &MainWindow::slot_OpenRecentProject);
    }
}

void MainWindow::slot_OpenProject(const QString& strFolder, const QString& strName)
{
    if (m_pProjectController)
        m_pProjectController->LoadProject(strFolder, strName);
}

void MainWindow::slot_Start()
{
    if (m_pProjectController)
        m_pProjectController->Start();
}

void MainWindow::slot_Stop()
{
    if (m_pProjectController)
        m_pProjectController->Stop();
}

void MainWindow::slot_Build()
{
    if (m_pProjectController)
        m_pProjectController->Build();
}

void MainWindow::slot_Undo()
{
    if (m_pMVCManager)
        m_pMVCManager->Undo();
}

void MainWindow::slot_Redo()
{
    if (m_pMVCManager)
        m_pMVCManager->Redo();
}

void MainWindow::CreateModelActions(QMenu* pRun)
{
    m_pActPropose = pRun->addAction(QStringLiteral("Propose boxes..."));
    m_pActEvaluate = pRun->addAction(QStringLiteral("Evaluate weights..."));
    m_pActAnchors = pRun->addAction(QStringLiteral("Calculate anchors..."));
    if (!m_pProjectController)
        return;
    connect(m_pActPropose, &QAction::triggered, m_pProjectController, &CProjectController::slot_ProposeBoxes);
    connect(m_pActEvaluate, &QAction::triggered, m_pProjectController,
            &CProjectController::slot_EvaluateWeights);
    connect(m_pActAnchors, &QAction::triggered, m_pProjectController,
            &CProjectController::slot_CalculateAnchors);
}

void MainWindow::SetEditingEnabled(bool bEnabled)
{
    // Images added during a run would change the lists it trains on.
    for (QAction* pAction :
         {m_pActOpenProject, m_pActNewProject, m_pActSave, m_pActUndo, m_pActRedo, m_pActSetting, m_pActStart,
          m_pActImport, m_pActPropose, m_pActEvaluate, m_pActAnchors})
        if (pAction)
            pAction->setEnabled(bEnabled);
    m_pActStop->setEnabled(!bEnabled);
    m_pViewArea->setEnabled(bEnabled);
}

void MainWindow::slot_ChangeCommandState()
{
    if (!m_pProjectModel || !m_pActStart || !m_pActStop || !m_pViewArea)
        return;
    const int nBefore = m_nCommandState;
    m_nCommandState = m_pProjectModel->GetCommandState();
    if (nBefore == 0 && m_nCommandState != 0)
        ShowTrainingDock();
    if (m_nCommandState == 0)
        SetEditingEnabled(true);
    else if (m_nCommandState == 1 || m_nCommandState == 2)
        SetEditingEnabled(false);
}

void MainWindow::closeEvent(QCloseEvent* pEvent)
{
    ConfirmClose(pEvent);
    if (pEvent->isAccepted())
        SaveWindowState();
}

void MainWindow::ConfirmClose(QCloseEvent* pEvent)
{
    if (m_nCommandState == 0)
        return QMainWindow::closeEvent(pEvent);
    // A run on another machine may also go on without the program.
    if (m_pProjectController && m_pProjectController->GetTrainingRuns()->IsRemote())
    {
        if (m_pProjectController->ConfirmEndOfRun())
            pEvent->accept();
        else
            pEvent->ignore();
        return;
    }
    if (CInteraction::AskYesNo(nullptr, QStringLiteral("Program is running, do you want to close it?")))
        pEvent->accept();
    else
        pEvent->ignore();
}

void MainWindow::slot_OpenNewProjectDlg()
{
    auto* pView = new CAddProjectView(this);
    auto* pController = new CAddProjectController(pView);
    connect(pController, &CAddProjectController::signal_OpenProject, this, &MainWindow::slot_OpenProject);
    m_vctToolWindows.push_back(SMVCItem{nullptr, pController, pView});
    pView->setAttribute(Qt::WA_DeleteOnClose);
    connect(pView, &QObject::destroyed, this, &MainWindow::slot_DeleteObject);
    pView->setModal(true);
    CInteraction::Exec(pView);
}

void MainWindow::slot_DeleteObject(QObject* pObject)
{
    if (!pObject)
        return;
    const auto it = std::find_if(m_vctToolWindows.begin(), m_vctToolWindows.end(),
                                 [pObject](const SMVCItem& item) { return item.view == pObject; });
    if (it == m_vctToolWindows.end())
        return;
    delete it->controller;
    delete it->model;
    m_vctToolWindows.erase(it);
}

void MainWindow::mousePressEvent(QMouseEvent* pEvent)
{
    QMainWindow::mousePressEvent(pEvent);
    for (const SMVCItem& item : m_vctToolWindows)
    {
        if (item.view && item.view->isWindow())
            item.view->raise();
    }
}

void MainWindow::slot_Settings()
{
    if (!m_pSettingView)
        m_pSettingView = new CSettingViewImpl(this);
    if (!m_pSettingController)
        m_pSettingController = new CSettingController(m_pSettingView);
    CInteraction::Exec(m_pSettingView);
}

void MainWindow::slot_About()
{
    CAboutView about(nullptr);
    CInteraction::Exec(&about);
}

void MainWindow::slot_Exit()
{
    close();
}
