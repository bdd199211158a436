#include "trainer/mainwindow.h"

#include "common/log/LogView.h"
#include "common/log/Logger.h"
#include "common/mvc/BottomPanel.h"
#include "common/mvc/CenterView.h"
#include "common/mvc/MVCManager.h"
#include "common/mvc/MVCRegistry.h"
#include "common/mvc/PropertyPanel.h"
#include "common/mvc/ToolPanel.h"
#include "common/mvc/ViewLayout.h"
#include "common/setting/SettingCtrl.h"
#include "common/setting/SettingManager.h"
#include "common/setting/SettingModel.h"
#include "common/view2d/ImageView2DToolModel.h"
#include "common/view3d/ImageView3D.h"
#include "trainer/AnnotationKeys.h"
#include "trainer/FileExplorer.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectView.h"
#include "trainer/TrainingChartView.h"
#include "trainer/TrainingModel.h"

#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QIcon>
#include <QOpenGLContext>
#include <QPalette>
#include <QPointer>
#include <QScrollArea>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTabWidget>

#include <tuple>

namespace
{
const char* const STYLE_SHEET =
    "QToolTip { color: #ffffff; background-color: #2a82da; border: 1px solid white; } "
    "QPushButton:checked{background-color: #2d80ed;}";

QPalette DarkPalette()
{
    const QColor dark(45, 45, 45);
    const QColor grey(127, 127, 127);
    const QColor blue(42, 130, 218);
    QPalette palette;
    palette.setColor(QPalette::Window, dark);
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Base, QColor(18, 18, 18));
    palette.setColor(QPalette::AlternateBase, dark);
    palette.setColor(QPalette::ToolTipBase, Qt::white);
    palette.setColor(QPalette::ToolTipText, Qt::white);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Button, dark);
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::BrightText, Qt::red);
    palette.setColor(QPalette::Link, blue);
    palette.setColor(QPalette::Highlight, blue);
    palette.setColor(QPalette::HighlightedText, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::Text, grey);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, grey);
    palette.setColor(QPalette::Disabled, QPalette::HighlightedText, grey);
    return palette;
}

QDockWidget* MakeDock(const QString& strTitle, QWidget* pContent, Qt::DockWidgetAreas areas,
                      QMainWindow* pWindow)
{
    auto* pDock = new QDockWidget(strTitle, pWindow);
    pDock->setObjectName(strTitle);
    pDock->setAllowedAreas(areas);
    pDock->setWidget(pContent);
    return pDock;
}
constexpr int TRAINING_MIN_HEIGHT = 160;
} // namespace

MainWindow::MainWindow(QWidget* pParent) : QMainWindow(pParent)
{
    // A plain relative path: the program is started from the folder that holds its icon.
    setWindowIcon(QIcon(QStringLiteral("optratrainer.png")));

    Initialize();
    SetupLayout();
    createActions();
    RestoreWindowState();

    CMVCRegistry::PushMVC(nullptr, this, nullptr);
    CLog::Write(ELogLevel::NORMAL, "MainWindow: Create()");
}

MainWindow::~MainWindow()
{
    CLog::Write(ELogLevel::NORMAL, "MainWindow: Destroy()");
    CMVCRegistry::RemoveMVC(this);
    // Each object goes before the objects it refers to: stopping a running
    // training updates the model, so the controller goes first.
    delete m_pProjectController;
    m_pProjectController = nullptr;
    delete m_pProjectModel;
    m_pProjectModel = nullptr;
    delete m_pMVCManager;
    m_pMVCManager = nullptr;
    delete m_pViewArea;
    m_pViewArea = nullptr;
    delete m_pLayout;
    m_pLayout = nullptr;
    for (const SMVCItem& item : m_vctToolWindows)
    {
        // The windows go with this window's children, after it: their
        // records are freed here.
        if (item.view)
            disconnect(item.view, nullptr, this, nullptr);
        delete item.controller;
        delete item.model;
    }
    m_vctToolWindows.clear();
    delete m_pSettingController;
    m_pSettingController = nullptr;
}

void MainWindow::Initialize()
{
    QApplication::setApplicationName(QStringLiteral("OptraTrainer"));
    const QString strDocuments = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString strConfigDir = strDocuments + QDir::separator() + "OptraTrainer";
    const QString strLogDir = strConfigDir + QDir::separator() + "Log";

    // Fresh installs often have no Documents folder yet, so its parents are
    // created too; only a folder that really cannot be made stops here.
    if (!QDir(strConfigDir).exists() && !QDir().mkpath(strConfigDir))
        return;

    CSetting::Set("GENERAL_PROGRAME_NAME", QStringLiteral("OptraTrainer"));
    CSetting::Set("GENERAL_PROGRAME_VERSION", QStringLiteral("1.0.0"));
    CSetting::Set("GENERAL_PROGRAM_CONFIG_DIR", strConfigDir);
    CSetting::Set("GENERAL_LOG_DIR", strLogDir);
    CSetting::Set("GENERAL_PDF_RESOLUTION_X", 144.0);
    CSetting::Set("GENERAL_PDF_RESOLUTION_Y", 144.0);
    CSetting::Set("GENERAL_PROJECT_DIR", strDocuments);

    ApplyLook();
}

void MainWindow::ApplyLook()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(DarkPalette());
    qApp->setStyleSheet(QString::fromLatin1(STYLE_SHEET));

    if (QOpenGLContext::openGLModuleType() == QOpenGLContext::LibGL)
    {
        CImageView3D::SetDefaultSurfaceFormat();
        CLog::Write(ELogLevel::DEBUG, "OpenGL Moodule Type is LibGL");
    }
    else
    {
        CLog::Write(ELogLevel::ERROR, "OpenGL Moodule Type isnot LibGL");
    }
}

void MainWindow::SetupLayout()
{
    m_pToolPanel = new CToolPanel(this);
    m_pToolPanel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    m_pPropertyPanel = new CPropertyPanel(this);
    m_pBottomPanel = new CBottomPanel(this);
    m_pBottomPanel->setMaximumHeight(0);

    addDockWidget(Qt::LeftDockWidgetArea, MakeDock("Tool Dock", m_pToolPanel, Qt::LeftDockWidgetArea, this));
    m_pFileExplorer = new CFileExplorer(this);
    addDockWidget(Qt::LeftDockWidgetArea,
                  MakeDock("Left Dock", CreateLeftDock(), Qt::AllDockWidgetAreas, this));
    addDockWidget(Qt::RightDockWidgetArea,
                  MakeDock("Right Dock", CreateRightDock(), Qt::AllDockWidgetAreas, this));
    addDockWidget(Qt::BottomDockWidgetArea,
                  MakeDock("Bottom Dock", m_pBottomPanel, Qt::BottomDockWidgetArea, this));
    CreateTrainingDock();
    CreateImageViews();

    m_pLogView = new CLogView(this);
    m_pSplitter = new QSplitter(Qt::Vertical, this);
    m_pSplitter->addWidget(m_pViewArea);
    m_pSplitter->addWidget(m_pLogView);
    m_pSplitter->setStretchFactor(0, 20);
    m_pSplitter->setStretchFactor(1, 1);
    setCentralWidget(m_pSplitter);

    ConnectImageViews();
    connect(m_pProjectModel, &CProjectModel::signal_ChangeCommandState, this,
            &MainWindow::slot_ChangeCommandState);
    connect(CSettingParameters::GetInstance(), &CSettingParameters::signal_UpdateSettingParameter, this,
            &MainWindow::slot_UpdateSettingParameters);
}

void MainWindow::CreateImageViews()
{
    m_pLayout = new CViewLayout();
    m_pViewArea = new CViewLayoutWidget(m_pLayout, this);
    m_pMVCManager = new CMVCManager(m_pLayout, m_pViewArea, m_pToolPanel, m_pPropertyPanel, m_pBottomPanel);
}

void MainWindow::ConnectImageViews()
{
    connect(m_pFileExplorer, &CFileExplorer::signal_SelectFiles, m_pMVCManager,
            &CMVCManager::slot_SelectFiles);
    ConnectImageViews(m_pViewArea, m_pMVCManager, m_pProjectController);
}

void MainWindow::ConnectImageViews(CViewLayoutWidget* pViewArea, CMVCManager* pManager,
                                   CProjectController* pController)
{
    const QPointer<CProjectController> pGuard(pController);
    pManager->RegisterGeometryAction(QStringLiteral("Update"), QIcon(QStringLiteral(":/Image/configure.png")),
                                     [pGuard](int nViewId, unsigned int nObjectId)
                                     {
                                         if (pGuard)
                                             pGuard->UpdateClassName(nViewId, nObjectId);
                                     });
    RegisterAnnotationKeys(pManager, pController);
    pManager->SetSuggestionHandler(
        [pGuard](int nViewId, EImageView2DSuggestionAction eAction, int nIndex)
        {
            if (pGuard)
                pGuard->HandleProposal(nViewId, eAction, nIndex);
        });
    using W = CViewLayoutWidget;
    using C = CProjectController;
    connect(pManager->GetModeModel(), &CImageView2DModeModel::signal_ChangeKeepClass, pController,
            &C::slot_ChangeKeepClass);
    connect(pViewArea, &W::signal_AddDrawableObjectWithViewID, pController,
            &C::slot_AddDrawableObjectWithViewID);
    connect(pViewArea, &W::signal_BeforeDeleteDrawableObjectWithViewID, pController,
            &C::slot_BeforeDeleteDrawableObjectWithViewID);
    connect(pViewArea, &W::signal_ChangeDrawableObjectPropertyWithViewID, pController,
            &C::slot_ChangeDrawableObjectPropertyWithViewID);
    // Where geometry is stored, where a refused deletion is undone, and
    // when a view stops showing a project image.
    connect(pViewArea, &W::signal_CommitDrawableObjectGeometryWithViewID, pController,
            &C::slot_CommitDrawableObjectGeometryWithViewID);
    connect(pViewArea, &W::signal_DeleteDrawableObjectWithViewID, pController,
            &C::slot_DeleteDrawableObjectWithViewID);
    connect(pViewArea, &W::signal_ChangeCurrentImageWithViewID, pController,
            &C::slot_ChangeViewImageWithViewID);
}

void MainWindow::RegisterAnnotationKeys(CMVCManager* pManager, CProjectController* pController)
{
    const QPointer<CProjectController> pGuard(pController);
    using Act = void (*)(CProjectController&, int);
    const std::tuple<QString, QList<QKeySequence>, Act> arrEntries[] = {
        {AnnotationKeys::NextImageText(), AnnotationKeys::NextImage(),
         [](CProjectController& controller, int nViewId)
         {
             controller.StepImageInView(nViewId, 1);
         }},
        {AnnotationKeys::PreviousImageText(), AnnotationKeys::PreviousImage(),
         [](CProjectController& controller, int nViewId)
         {
             controller.StepImageInView(nViewId, -1);
         }},
        {AnnotationKeys::NextWithoutRoisText(), AnnotationKeys::NextWithoutRois(),
         [](CProjectController& controller, int nViewId)
         {
             controller.NextImageWithoutRoisInView(nViewId);
         }},
        {AnnotationKeys::CopyRoisText(), AnnotationKeys::CopyRois(),
         [](CProjectController& controller, int nViewId)
         {
             controller.CopyRoisFromPreviousImage(nViewId);
         }}};
    for (const auto& [strText, lstKeys, fnAct] : arrEntries)
    {
        pManager->RegisterViewAction(strText, lstKeys,
                                     [pGuard, fnAct = fnAct](int nViewId)
                                     {
                                         if (pGuard)
                                             fnAct(*pGuard, nViewId);
                                     });
    }
}

QWidget* MainWindow::CreateLeftDock()
{
    m_pLeftTabs = new QTabWidget(this);
    m_pLeftTabs->setTabPosition(QTabWidget::West);
    m_pProjectModel = new CProjectModel();
    m_pProjectExplorer = new CProjectExplorerView(m_pProjectModel, this);
    m_pProjectController = new CProjectController(m_pProjectModel, m_pProjectExplorer);

    auto* pScroll = new QScrollArea(this);
    pScroll->setWidgetResizable(true);
    pScroll->setWidget(m_pProjectExplorer);
    m_pLeftTabs->addTab(pScroll, QStringLiteral("Project"));
    m_pLeftTabs->addTab(m_pFileExplorer, QStringLiteral("File Explorer"));
    return m_pLeftTabs;
}

void MainWindow::CreateTrainingDock()
{
    // Below the log, which shows the same run as text, across the whole width.
    m_pTrainingChart = new CTrainingChartView(m_pProjectController->GetTrainingModel(), this);
    // A dock squeezed to its title bar shows no chart at all.
    m_pTrainingChart->setMinimumHeight(TRAINING_MIN_HEIGHT);
    QDockWidget* pDock = MakeDock("Training", m_pTrainingChart, Qt::AllDockWidgetAreas, this);
    addDockWidget(Qt::BottomDockWidgetArea, pDock, Qt::Vertical);
    // Where a run goes on and in which state (a Slurm job waiting in its queue).
    connect(m_pProjectController->GetTrainingModel(), &CTrainingModel::signal_ChangeRunStatus, statusBar(),
            [this](const QString& strStatus) { statusBar()->showMessage(strStatus); });
}

QWidget* MainWindow::CreateRightDock()
{
    auto* pTabs = new QTabWidget(this);
    pTabs->setTabPosition(QTabWidget::East);
    pTabs->addTab(m_pPropertyPanel, QStringLiteral("Property"));
    return pTabs;
}
