#include "common/mvc/CenterView.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/mvc/MVCManager.h"
#include "common/setting/SettingManager.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DToolModel.h"
#include "tests/support/TestSupport.h"
#include "tests/trainer/DialogInput.h"
#include "tests/trainer/ProjectFixture.h"
#include "trainer/AboutDlg.h"
#include "trainer/AddProjectDlg.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/ProjectItem.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectView.h"
#include "trainer/SettingDlgImpl.h"
#include "trainer/mainwindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>

#include <memory>

namespace
{
QStringList Texts(const QList<QAction*>& lstActions)
{
    QStringList lstTexts;
    for (QAction* pAction : lstActions)
        lstTexts << (pAction->isSeparator() ? "|"
                     : pAction->menu()      ? "+" + pAction->text()
                                            : pAction->text());
    return lstTexts;
}

QAction* FindAction(QWidget* pWindow, const QString& strText)
{
    for (QAction* pAction : pWindow->findChildren<QAction*>())
    {
        if (pAction->text() == strText)
            return pAction;
    }
    return nullptr;
}

void SetCommandState(CProjectModel* pModel, int nState)
{
    pModel->SetCommandState(nState);
    emit pModel->signal_ChangeCommandState();
}
} // namespace

class TestMainWindowActions : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_pWindow;

    bool Enabled(const QString& strText) { return FindAction(m_pWindow.get(), strText)->isEnabled(); }

private slots:
    void initTestCase()
    {
        m_pWindow = std::make_unique<MainWindow>(nullptr);
        m_pWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pWindow.get()));
    }

    void cleanupTestCase() { m_pWindow.reset(); }

    void init()
    {
        if (m_pWindow->GetProjectModel()->GetCommandState() != 0)
            SetCommandState(m_pWindow->GetProjectModel(), 0);
    }

    void allActionsEnabledAtStart()
    {
        for (const char* szText : {"Open Project", "New Project", "Save", "Undo", "Redo", "[1x1]", "[2x1]",
                                   "[2x2]", "Start", "Stop", "Setting", "Build", "Exit", "About"})
        {
            QAction* pAction = FindAction(m_pWindow.get(), szText);
            QVERIFY2(pAction, szText);
            QVERIFY2(pAction->isEnabled(), szText);
            QVERIFY2(!pAction->icon().isNull(), szText);
            QVERIFY2(!pAction->isCheckable() && pAction->shortcut().isEmpty(), szText);
        }
    }

    void toolBarOrder()
    {
        QToolBar* pToolBar = m_pWindow->findChild<QToolBar*>();
        QVERIFY(pToolBar);
        QCOMPARE(pToolBar->windowTitle(), QString("File"));
        QCOMPARE(pToolBar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QStringList lstTexts = Texts(pToolBar->actions());
        QCOMPARE(lstTexts.takeLast(), QString("Setting"));
        QVERIFY(lstTexts.takeLast().isEmpty()); // the spacer
        QCOMPARE(lstTexts, QStringList({"Open Project", "New Project", "Save", "|", "Undo", "Redo", "|",
                                        "[1x1]", "[2x1]", "[2x2]", "|", "Start", "Stop", "|"}));
        // The spacer pushes "Setting" to the right end.
        QWidget* pSpacer = pToolBar->widgetForAction(pToolBar->actions().at(pToolBar->actions().size() - 2));
        QVERIFY(pSpacer);
        QCOMPARE(pSpacer->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        QWidget* pSetting = pToolBar->widgetForAction(pToolBar->actions().last());
        QVERIFY(pSetting->geometry().right() > pToolBar->width() - 100);
    }

    void menuBarOrder()
    {
        const QList<QAction*> lstMenus = m_pWindow->menuBar()->actions();
        QCOMPARE(Texts(lstMenus), QStringList({"+File", "+Edit", "+Run", "+Tools", "+View", "+Help"}));
        QCOMPARE(Texts(lstMenus[0]->menu()->actions()),
                 QStringList({"Open Project", "New Project", "Save", "|", "Import labelled images...",
                              "Export labelled images...", "|", "+Recent", "|", "Exit"}));
        QCOMPARE(Texts(lstMenus[1]->menu()->actions()),
                 QStringList({"Undo", "Redo", "|", "[1x1]", "[2x1]", "[2x2]"}));
        QCOMPARE(Texts(lstMenus[2]->menu()->actions()),
                 QStringList({"Build", "Start", "Stop", "|", "Propose boxes...", "Evaluate weights...",
                              "Calculate anchors...", "|", "Setting"}));
        QCOMPARE(Texts(lstMenus[3]->menu()->actions()), QStringList({"Sobel", "Median", "OCR"}));
        QCOMPARE(Texts(lstMenus[4]->menu()->actions()),
                 QStringList(
                     {"Hide docks", "|", "Tool Dock", "Left Dock", "Right Dock", "Bottom Dock", "Training"}));
        QCOMPARE(Texts(lstMenus[5]->menu()->actions()), QStringList({"Keys", "About"}));
    }

    void recentMenuFollowsTheList()
    {
        CSetting::Set("GENERAL_PROGRAME_HISTORIES", "/a/x.data;;/b/y.data");
        QCOMPARE(Texts(m_pWindow->GetRecentMenu()->actions()), QStringList({"/a/x.data", "/b/y.data"}));
        CSetting::Set("GENERAL_PROGRAME_HISTORIES", "");
        QVERIFY(m_pWindow->GetRecentMenu()->actions().isEmpty());
    }

    void recentEntryOpensTheProject()
    {
        OptraTest::CProjectOnDisk project("recent");
        CSetting::Set("GENERAL_PROGRAME_HISTORIES", project.Folder() + "/recent.data");
        QList<QAction*> lstEntries = m_pWindow->GetRecentMenu()->actions();
        QCOMPARE(lstEntries.size(), 1);
        lstEntries[0]->trigger();
        QCOMPARE(m_pWindow->GetProjectModel()->GetProjectName(), QString("recent"));
        QCOMPARE(m_pWindow->GetProjectModel()->GetProjectDir(), project.Folder());
        // A trigger that does not come from an action does nothing.
        m_pWindow->slot_OpenRecentProject();
        QVERIFY(m_pWindow->GetProjectController()->CloseCurrentProject());
    }

    void projectFileSplit_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::newRow("project file") << "/home/u/proj/demo.data"
                                      << "/home/u/proj"
                                      << "demo";
        QTest::newRow("no dot in the name") << "/home/u/proj/demo"
                                            << "/home/u/proj"
                                            << "demo";
        QTest::newRow("dot only in a folder") << "/home/u.v/proj/demo"
                                              << "/home/u.v/proj"
                                              << "demo";
        QTest::newRow("several dots") << "/p/v1.2.data"
                                      << "/p"
                                      << "v1.2";
        QTest::newRow("no folder") << "demo.data"
                                   << ""
                                   << "demo";
    }

    void projectFileSplit()
    {
        QFETCH(QString, file);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QString strFolder;
        QString strName;
        MainWindow::SplitProjectFile(file, '/', strFolder, strName);
        QCOMPARE(strFolder, folder);
        QCOMPARE(strName, name);
    }

    void openProjectFileAction()
    {
        OptraTest::CProjectOnDisk project("opened");
        QString strCaption;
        QString strFilter;
        CInteraction::SetOpenFileHandler(
            [&](QWidget*, const QString& strC, const QString&, const QString& strF)
            {
                strCaption = strC;
                strFilter = strF;
                return project.Folder() + "/opened.data";
            });
        FindAction(m_pWindow.get(), "Open Project")->trigger();
        QCOMPARE(strCaption, QString("Open File"));
        QCOMPARE(strFilter, QString("Files (*.data);;All files (*.*)"));
        QCOMPARE(m_pWindow->GetProjectModel()->GetProjectName(), QString("opened"));

        // A cancelled choice changes nothing.
        CInteraction::SetOpenFileHandler([](auto...) { return QString(); });
        FindAction(m_pWindow.get(), "Open Project")->trigger();
        QCOMPARE(m_pWindow->GetProjectModel()->GetProjectName(), QString("opened"));
        OptraTest::InstallNonBlockingDialogs();
        QVERIFY(m_pWindow->GetProjectController()->CloseCurrentProject());
    }

    void commandStateRules_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("editing");
        QTest::newRow("starting") << 2 << false;
        QTest::newRow("running") << 1 << false;
        QTest::newRow("stopped") << 0 << true;
    }

    void commandStateRules()
    {
        QFETCH(int, state);
        QFETCH(bool, editing);
        SetCommandState(m_pWindow->GetProjectModel(), state);
        for (const char* szText : {"Open Project", "New Project", "Save", "Undo", "Redo", "Setting", "Start",
                                   "Import labelled images...", "Propose boxes...", "Evaluate weights...",
                                   "Calculate anchors..."})
            QCOMPARE(Enabled(szText), editing);
        QCOMPARE(Enabled("Stop"), !editing);
        QCOMPARE(m_pWindow->GetViewArea()->isEnabled(), editing);
        for (const char* szText : {"Build", "Exit", "About", "[1x1]", "[2x1]", "[2x2]"})
            QVERIFY2(Enabled(szText), szText);
        // The explorer's menus follow the same state.
        QMenu* pProjectMenu = m_pWindow->GetProjectExplorer()->GetMenu(CProjectItem::TYPE_PROJECT);
        QCOMPARE(pProjectMenu->actions().first()->isEnabled(), editing);
    }

    void unknownStateChangesNothing()
    {
        SetCommandState(m_pWindow->GetProjectModel(), 1);
        SetCommandState(m_pWindow->GetProjectModel(), 7);
        QVERIFY(!Enabled("Start"));
        QVERIFY(Enabled("Stop"));
        // ... but it still counts when the window is closed.
        OptraTest::CMessageRecorder messages(QMessageBox::No);
        m_pWindow->close();
        QCOMPARE(messages.Texts(), QStringList({"Program is running, do you want to close it?"}));
        QVERIFY(m_pWindow->isVisible());
    }

    void closeRefusedOnNo()
    {
        SetCommandState(m_pWindow->GetProjectModel(), 1);
        OptraTest::CMessageRecorder messages(QMessageBox::No);
        QVERIFY(!m_pWindow->close());
        QVERIFY(m_pWindow->isVisible());
        QCOMPARE(messages.Messages().size(), size_t(1));
        QCOMPARE(messages.Messages()[0].icon, QMessageBox::Question);
        SetCommandState(m_pWindow->GetProjectModel(), 0);
    }

    void addProjectDialogComesAndGoes()
    {
        const QString strParent = OptraTest::HomeDir() + "/projects";
        QDir().mkpath(strParent);
        OptraTest::CDialogScript script;
        script.Then(
            [&](QDialog* pDialog)
            {
                auto* pView = qobject_cast<CAddProjectView*>(pDialog);
                pView->GetFolderEdit()->setText(strParent);
                QTest::keyClicks(pView->GetNameEdit(), "fromDialog");
                QTest::mouseClick(OptraTest::Button(pDialog, "Add"), Qt::LeftButton);
                return int(QDialog::Accepted);
            });
        FindAction(m_pWindow.get(), "New Project")->trigger();
        QCOMPARE(m_pWindow->GetProjectModel()->GetProjectName(), QString("fromDialog"));
        QTRY_VERIFY(m_pWindow->GetToolWindows().empty());

        // A second dialog, closed without adding, frees its record as well.
        script.Then(
            [](QDialog* pDialog)
            {
                pDialog->close();
                return int(QDialog::Rejected);
            });
        FindAction(m_pWindow.get(), "New Project")->trigger();
        QTRY_VERIFY(m_pWindow->GetToolWindows().empty());
        QCOMPARE(script.Unexpected(), 0);
        QVERIFY(m_pWindow->GetProjectController()->CloseCurrentProject());
    }

    void settingsAndAboutDialogs()
    {
        OptraTest::CDialogScript script;
        QStringList lstTabs;
        script.Then(
            [&](QDialog* pDialog)
            {
                auto* pTabs = pDialog->findChild<QTabWidget*>();
                for (int i = 0; pTabs && i < pTabs->count(); ++i)
                    lstTabs << pTabs->tabText(i);
                return int(QDialog::Accepted);
            });
        QStringList lstLabels;
        script.Then(
            [&](QDialog* pDialog)
            {
                for (QLabel* pLabel : pDialog->findChildren<QLabel*>())
                    lstLabels << pLabel->text();
                return int(QDialog::Accepted);
            });
        FindAction(m_pWindow.get(), "Setting")->trigger();
        FindAction(m_pWindow.get(), "About")->trigger();
        QCOMPARE(lstTabs, QStringList({"General", "OptraTrainer", "Training"}));
        QVERIFY(lstLabels.contains("OptraTrainer v1.0.0"));
        QVERIFY(script.Done());
    }

    // Each tool opens a window of its own on the views; closing one frees
    // its record. The last stays open for the window's destruction.
    void toolWindowsComeAndGo()
    {
        for (const char* szTool : {"Sobel", "Median", "OCR"})
            FindAction(m_pWindow.get(), szTool)->trigger();
        const std::vector<SMVCItem> vctTools = m_pWindow->GetToolWindows();
        QCOMPARE(vctTools.size(), size_t(3));
        QStringList lstTitles;
        for (const SMVCItem& item : vctTools)
        {
            QVERIFY(item.model && item.controller && item.view->isVisible());
            QCOMPARE(item.view->findChild<QComboBox*>()->currentText(), QString("Image View [0]"));
            lstTitles << item.view->windowTitle();
        }
        QCOMPARE(lstTitles, QStringList({"Sobel", "Median", "OCR"}));
        vctTools[0].view->close();
        vctTools[1].view->close();
        QTRY_COMPARE(m_pWindow->GetToolWindows().size(), size_t(1));
        QCOMPARE(m_pWindow->GetToolWindows().front().view, vctTools[2].view);
    }

    void viewActionsReachTheActiveView()
    {
        CMVCManager* pManager = m_pWindow->GetMVCManager();
        FindAction(m_pWindow.get(), "[2x2]")->trigger();
        QCOMPARE(m_pWindow->GetViewLayout()->GetViewCount(), 4);
        FindAction(m_pWindow.get(), "[1x1]")->trigger();
        QCOMPARE(m_pWindow->GetViewLayout()->GetViewCount(), 1);

        QTemporaryDir dir;
        QImage image(80, 60, QImage::Format_RGB888);
        image.fill(Qt::red);
        QVERIFY(image.save(dir.path() + "/in.png"));
        pManager->OpenFile(dir.path() + "/in.png");
        CInteraction::SetSaveFileHandler([&dir](auto...) { return dir.path() + "/out.bmp"; });
        FindAction(m_pWindow.get(), "Save")->trigger();
        OptraTest::InstallNonBlockingDialogs();
        QCOMPARE(QImage(dir.path() + "/out.bmp").size(), QSize(80, 60));

        // The menu has the keyboard now; Undo still reaches the view.
        CImageViewUnit* pUnit = pManager->GetUnit(0);
        pManager->GetModeModel()->SetViewMode(EImageView2DMode_Drawing_Rectanlge);
        const QRect rcView = pUnit->Get2DView()->rect();
        QTest::mousePress(pUnit->Get2DView(), Qt::LeftButton, Qt::NoModifier, rcView.center());
        QTest::mouseMove(pUnit->Get2DView(), rcView.center() + QPoint(20, 20));
        QTest::mouseRelease(pUnit->Get2DView(), Qt::LeftButton, Qt::NoModifier,
                            rcView.center() + QPoint(40, 30));
        QCOMPARE(pUnit->Get2DDrawableObjects().size(), size_t(1));
        m_pWindow->menuBar()->setFocus();
        FindAction(m_pWindow.get(), "Undo")->trigger();
        QCOMPARE(pUnit->Get2DDrawableObjects().size(), size_t(0));
        FindAction(m_pWindow.get(), "Redo")->trigger();
        QCOMPARE(pUnit->Get2DDrawableObjects().size(), size_t(1));
    }
};

OPTRA_TEST_MAIN(TestMainWindowActions)
#include "tst_MainWindowActions.moc"
