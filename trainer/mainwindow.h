#pragma once

#include <QMainWindow>

class QSplitter;
class QTabWidget;
class CLogView;
class CSettingController;
class CSettingView;

// The program's main window: registers the default settings, sets the dark
// look and builds the frame (four docks, the view area above the log view).
// It owns the long-lived objects of the program. GUI thread.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* pParent = nullptr);
    ~MainWindow() override;

    CLogView* GetLogView() const { return m_pLogView; }
    QSplitter* GetCentralSplitter() const { return m_pSplitter; }
    CSettingView* GetSettingView() const { return m_pSettingView; }

private:
    void Initialize();
    void SetupLayout();
    void createActions();

    void ApplyLook();
    QWidget* CreateLeftDock();
    QWidget* CreateRightDock();

    QWidget* m_pToolPanel = nullptr;
    QWidget* m_pPropertyPanel = nullptr;
    QWidget* m_pBottomPanel = nullptr;
    QWidget* m_pProjectExplorer = nullptr;
    QWidget* m_pFileExplorer = nullptr;
    QWidget* m_pViewArea = nullptr;
    QTabWidget* m_pLeftTabs = nullptr;
    QSplitter* m_pSplitter = nullptr;
    CLogView* m_pLogView = nullptr;
    CSettingView* m_pSettingView = nullptr;
    CSettingController* m_pSettingController = nullptr;
};
