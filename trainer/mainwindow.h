#pragma once

#include "common/mvc/MVCRegistry.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <vector>

class QAction;
class QDialog;
class QDockWidget;
class QMenu;
class QSplitter;
class QTabWidget;
class CBottomPanel;
class CController;
class CFileExplorer;
class CLogView;
class CMVCManager;
class CModel;
class CProjectController;
class CProjectExplorerView;
class CProjectModel;
class CPropertyPanel;
class CSettingController;
class CSettingViewImpl;
class CToolPanel;
class CTrainingChartView;
class CViewLayout;
class CViewLayoutWidget;

// The program's main window: registers the default settings, sets the dark
// look, builds the frame (four docks and the "Training" chart dock, the
// image views above the log view) as the last session left it, owns the
// long-lived objects of the program, its actions and menus, and ties the
// project, the explorer, the image views and the settings together.
// GUI thread.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* pParent = nullptr);
    ~MainWindow() override;

    // Splits a project file path into its folder and its name (the last
    // component up to its last dot).
    static void SplitProjectFile(const QString& strFile, QChar chSeparator, QString& strFolder,
                                 QString& strName);

    // The image views' drawable events to the project's ROIs, and the
    // drawable menu's "Update".
    static void ConnectImageViews(CViewLayoutWidget* pViewArea, CMVCManager* pManager,
                                  CProjectController* pController);
    // The views' entries and keys for walking the image lists and copying
    // the previous image's ROIs.
    static void RegisterAnnotationKeys(CMVCManager* pManager, CProjectController* pController);

    CLogView* GetLogView() const { return m_pLogView; }
    QSplitter* GetCentralSplitter() const { return m_pSplitter; }
    CSettingViewImpl* GetSettingView() const { return m_pSettingView; }
    CProjectModel* GetProjectModel() const { return m_pProjectModel; }
    CProjectController* GetProjectController() const { return m_pProjectController; }
    CProjectExplorerView* GetProjectExplorer() const { return m_pProjectExplorer; }
    CFileExplorer* GetFileExplorer() const { return m_pFileExplorer; }
    CTrainingChartView* GetTrainingChart() const { return m_pTrainingChart; }
    CViewLayoutWidget* GetViewArea() const { return m_pViewArea; }
    CViewLayout* GetViewLayout() const { return m_pLayout; }
    CMVCManager* GetMVCManager() const { return m_pMVCManager; }
    CToolPanel* GetToolPanel() const { return m_pToolPanel; }
    CPropertyPanel* GetPropertyPanel() const { return m_pPropertyPanel; }
    QMenu* GetRecentMenu() const { return m_pRecentMenu; }
    const std::vector<SMVCItem>& GetToolWindows() const { return m_vctToolWindows; }
    QAction* GetToggleDocksAction() const { return m_pActToggleDocks; }
    // A dock by its title ("Training", "Right Dock" …); null for none.
    QDockWidget* FindDock(const QString& strTitle) const;

    // Shows the window where and as large as it was at the end of the last
    // session; maximised at the first start.
    void ShowRestored();
    // The keys of the image views and the window, one per line, key and
    // meaning apart by a tab.
    static QString KeysText();

public slots:
    void slot_Undo();
    void slot_Redo();
    // Open a tool window on the image views (several may be open at once).
    void slot_Sobel();
    void slot_Median();
    void slot_OCR();
    void slot_Settings();
    void slot_DeleteObject(QObject* pObject);
    void slot_OpenNewProjectDlg();
    void slot_OpenProject(const QString& strFolder, const QString& strName);
    void slot_OpenProjectFile();
    void slot_Start();
    void slot_Stop();
    void slot_Build();
    void slot_ChangeCommandState();
    void slot_About();
    void slot_Exit();
    void slot_UpdateSettingParameters(const QString& strKey, const QVariant& value);
    void slot_OpenRecentProject();
    // Hides every open dock and the log for labelling, or brings back
    // those it hid.
    void slot_ToggleDocks();
    void slot_ShowKeys();

protected:
    void mousePressEvent(QMouseEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;

private:
    void Initialize();
    void SetupLayout();
    void createActions();

    void ApplyLook();
    QWidget* CreateLeftDock();
    QWidget* CreateRightDock();
    void CreateTrainingDock();
    void CreateImageViews();
    void ConnectImageViews();
    QAction* AddAction(const QString& strText, const QString& strIcon, void (MainWindow::*pfnSlot)());
    void CreateToolBar();
    void CreateMenus();
    void CreateModelActions(QMenu* pRun);
    void CreateToolsMenu();
    // Keeps the tool's triple in the tool-window list until its window is
    // closed, and shows the window (not modal).
    void ShowToolWindow(CModel* pModel, CController* pController, QDialog* pDialog);
    void SetEditingEnabled(bool bEnabled);
    void CreateViewMenu();
    // The docks, the view layout and the geometry: as stored, or as at a
    // first start when nothing (usable) is stored.
    void RestoreWindowState();
    void RestoreViewLayout();
    void ArrangeFirstStart();
    void SaveWindowState();
    // Accepts the close, or asks first while a run goes on.
    void ConfirmClose(QCloseEvent* pEvent);
    // The chart opens by itself when a run starts.
    void ShowTrainingDock();

    // The image-view grid and its manager; every use checks for them, as
    // the window is built step by step.
    CViewLayout* m_pLayout = nullptr;
    CViewLayoutWidget* m_pViewArea = nullptr;
    CMVCManager* m_pMVCManager = nullptr;
    CProjectModel* m_pProjectModel = nullptr;
    CProjectExplorerView* m_pProjectExplorer = nullptr;
    CProjectController* m_pProjectController = nullptr;
    CSettingViewImpl* m_pSettingView = nullptr;
    CSettingController* m_pSettingController = nullptr;
    std::vector<SMVCItem> m_vctToolWindows;
    QAction* m_pActOpenProject = nullptr;
    QAction* m_pActNewProject = nullptr;
    QAction* m_pActSave = nullptr;
    QAction* m_pActUndo = nullptr;
    QAction* m_pActRedo = nullptr;
    QAction* m_pActSetting = nullptr;
    QAction* m_pActLayout1x1 = nullptr;
    QAction* m_pActLayout2x1 = nullptr;
    QAction* m_pActLayout2x2 = nullptr;
    QAction* m_pActStart = nullptr;
    QAction* m_pActStop = nullptr;
    QAction* m_pActBuild = nullptr;
    QAction* m_pActExit = nullptr;
    QAction* m_pActAbout = nullptr;
    QAction* m_pActToggleDocks = nullptr;
    QAction* m_pActImport = nullptr;
    QAction* m_pActExport = nullptr;
    // Darknet's other commands on the trained weights; not during a run.
    QAction* m_pActPropose = nullptr;
    QAction* m_pActEvaluate = nullptr;
    QAction* m_pActAnchors = nullptr;
    bool m_bDocksHidden = false;
    // Nothing usable was stored: the sizes of a first start are set again
    // once the window is shown and laid out.
    bool m_bFirstStart = false;
    QList<QPointer<QDockWidget>> m_lstHiddenDocks;
    QMenu* m_pRecentMenu = nullptr;
    int m_nCommandState = 0;

    CToolPanel* m_pToolPanel = nullptr;
    CPropertyPanel* m_pPropertyPanel = nullptr;
    CBottomPanel* m_pBottomPanel = nullptr;
    CFileExplorer* m_pFileExplorer = nullptr;
    QTabWidget* m_pLeftTabs = nullptr;
    QSplitter* m_pSplitter = nullptr;
    CLogView* m_pLogView = nullptr;
    CTrainingChartView* m_pTrainingChart = nullptr;
};
