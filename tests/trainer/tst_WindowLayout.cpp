// How the main window shares its room: at the first start on a 1600x1000
// window the image views get at least 65 % of it, empty docks and the
// chart stay closed until they have something to show, F11 hides every
// dock for labelling and brings back exactly those it hid, and the docks,
// the view layout and the window's geometry come back after a restart;
// a stored state that cannot be used gives the first start's arrangement.
#include "common/log/LogView.h"
#include "common/mvc/CenterView.h"
#include "common/mvc/Interaction.h"
#include "common/mvc/ViewLayout.h"
#include "common/setting/SettingManager.h"
#include "tests/support/TestSupport.h"
#include "trainer/ProjectModel.h"
#include "trainer/StatisticsDlg.h"
#include "trainer/TrainingChartView.h"
#include "trainer/mainwindow.h"

#include <QAction>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>

namespace
{
constexpr double MIN_VIEW_SHARE = 0.65;

// The image views' share of the window's area.
double ViewShare(const MainWindow& window)
{
    const QWidget* pViews = window.GetViewArea();
    return double(pViews->width()) * pViews->height() / (double(window.width()) * window.height());
}

QStringList VisibleDocks(const MainWindow& window)
{
    QStringList lstVisible;
    for (QDockWidget* pDock : window.findChildren<QDockWidget*>())
    {
        if (pDock->isVisible())
            lstVisible << pDock->objectName();
    }
    lstVisible.sort();
    return lstVisible;
}

QAction* MenuEntry(const MainWindow& window, const QString& strMenu, const QString& strEntry)
{
    for (QAction* pMenu : window.menuBar()->actions())
    {
        if (pMenu->text() != strMenu || !pMenu->menu())
            continue;
        for (QAction* pAction : pMenu->menu()->actions())
        {
            if (pAction->text() == strEntry)
                return pAction;
        }
    }
    return nullptr;
}
} // namespace

class TestWindowLayout : public QObject
{
    Q_OBJECT

private:
    static std::unique_ptr<MainWindow> Start(bool bRestored)
    {
        auto pWindow = std::make_unique<MainWindow>(nullptr);
        if (bRestored)
            pWindow->ShowRestored();
        else
        {
            pWindow->resize(1600, 1000);
            pWindow->show();
        }
        if (!QTest::qWaitForWindowExposed(pWindow.get()))
            return nullptr;
        QApplication::setActiveWindow(pWindow.get());
        return pWindow;
    }
    // Settings reach the settings file through a window's settings
    // controller; the next window reads them from there.
    static void Store(const QString& strGeometry, const QString& strState, const QString& strLayout)
    {
        MainWindow window(nullptr);
        CSetting::Set("GENERAL_WINDOW_GEOMETRY", strGeometry);
        CSetting::Set("GENERAL_WINDOW_STATE", strState);
        CSetting::Set("GENERAL_VIEW_LAYOUT", strLayout);
    }
    static void StartRun(MainWindow& window, int nState)
    {
        window.GetProjectModel()->SetCommandState(nState);
        window.slot_ChangeCommandState();
    }

private slots:
    void init() { Store(QString(), QString(), QString()); }

    void firstStartGivesTheImageTheRoom()
    {
        auto pWindow = Start(false);
        QVERIFY(pWindow);
        QCOMPARE(VisibleDocks(*pWindow), QStringList({"Left Dock", "Tool Dock"}));
        QTRY_VERIFY2(ViewShare(*pWindow) >= MIN_VIEW_SHARE,
                     qPrintable(QString("views %1x%2 in %3x%4, log %5, left docks %6")
                                    .arg(pWindow->GetViewArea()->width())
                                    .arg(pWindow->GetViewArea()->height())
                                    .arg(pWindow->width())
                                    .arg(pWindow->height())
                                    .arg(pWindow->GetCentralSplitter()->sizes().value(1))
                                    .arg(pWindow->FindDock("Left Dock")->width())));

        // A run opens the chart, high enough to read.
        StartRun(*pWindow, 2);
        QDockWidget* pTraining = pWindow->FindDock("Training");
        QTRY_VERIFY(pTraining->isVisible());
        QTRY_VERIFY2(pTraining->widget()->height() >= 150, qPrintable(QString::number(pTraining->height())));
        // Closed by the user, it stays closed while the run goes on (from
        // starting to running), and opens again with the next run.
        pTraining->close();
        StartRun(*pWindow, 1);
        QVERIFY(!pTraining->isVisible());
        StartRun(*pWindow, 0);
        QVERIFY(!pTraining->isVisible());
        StartRun(*pWindow, 2);
        QTRY_VERIFY(pTraining->isVisible());
        StartRun(*pWindow, 0);
    }

    void arrangementComesBackAfterARestart()
    {
        {
            auto pWindow = Start(false);
            QVERIFY(pWindow);
            pWindow->addDockWidget(Qt::RightDockWidgetArea, pWindow->FindDock("Left Dock"));
            pWindow->FindDock("Right Dock")->show();
            pWindow->FindDock("Training")->show();
            pWindow->GetViewLayout()->ChangeSize(2, 2);
            pWindow->resize(1300, 900);
            QTRY_COMPARE(pWindow->size(), QSize(1300, 900));
            QVERIFY(pWindow->close());
        }
        auto pWindow = Start(true);
        QVERIFY(pWindow);
        QCOMPARE(pWindow->dockWidgetArea(pWindow->FindDock("Left Dock")), Qt::RightDockWidgetArea);
        QCOMPARE(VisibleDocks(*pWindow), QStringList({"Left Dock", "Right Dock", "Tool Dock", "Training"}));
        QCOMPARE(pWindow->GetViewLayout()->GetColumn(), 2);
        QCOMPARE(pWindow->GetViewLayout()->GetRow(), 2);
        QTRY_COMPARE(pWindow->size(), QSize(1300, 900));
    }

    void unusableStateGivesTheFirstStart()
    {
        Store(QStringLiteral("%%%"), QStringLiteral("bm90IGEgc3RhdGU="), QStringLiteral("50x50"));
        auto pWindow = Start(true);
        QVERIFY(pWindow);
        QCOMPARE(VisibleDocks(*pWindow).join(','), QString("Left Dock,Tool Dock"));
        QCOMPARE(pWindow->GetViewLayout()->GetViewCount(), 1);
        QVERIFY(pWindow->isMaximized() || pWindow->isVisible());
    }

    void f11HidesEveryDockAndBringsThemBack()
    {
        auto pWindow = Start(false);
        QVERIFY(pWindow);
        pWindow->FindDock("Right Dock")->show();
        const double dShare = ViewShare(*pWindow);
        // Even from a text field, which types nothing for F11.
        auto* pFilter = pWindow->GetLogView()->findChild<QLineEdit*>();
        QVERIFY(pFilter);
        pFilter->setFocus();
        QTest::keyClick(pFilter, Qt::Key_F11);
        QCOMPARE(VisibleDocks(*pWindow), QStringList());
        QVERIFY(!pWindow->GetLogView()->isVisible());
        QVERIFY(pWindow->GetToggleDocksAction()->isChecked());
        QTRY_VERIFY(ViewShare(*pWindow) > dShare + 0.1);

        // A run starting now does not break into the labelling.
        StartRun(*pWindow, 2);
        QCOMPARE(VisibleDocks(*pWindow), QStringList());
        QTest::keyClick(pWindow.get(), Qt::Key_F11);
        QCOMPARE(VisibleDocks(*pWindow), QStringList({"Left Dock", "Right Dock", "Tool Dock", "Training"}));
        QVERIFY(pWindow->GetLogView()->isVisible());
        QVERIFY(!pWindow->GetToggleDocksAction()->isChecked());
        StartRun(*pWindow, 0);

        // Closed while hidden, the next start has its docks back.
        pWindow->FindDock("Training")->close();
        QTest::keyClick(pWindow.get(), Qt::Key_F11);
        QVERIFY(pWindow->close());
        pWindow = Start(true);
        QVERIFY(pWindow);
        QCOMPARE(VisibleDocks(*pWindow), QStringList({"Left Dock", "Right Dock", "Tool Dock"}));
        QVERIFY(pWindow->GetLogView()->isVisible());
    }

    void keysListedInHelp()
    {
        auto pWindow = Start(false);
        QVERIFY(pWindow);
        QAction* pKeys = MenuEntry(*pWindow, "Help", "Keys");
        QVERIFY(pKeys);
        QString strShown;
        CInteraction::SetMessageHandler(
            [&strShown](QWidget*, QMessageBox::Icon, const QString& strTitle, const QString& strText,
                        QMessageBox::StandardButtons, QMessageBox::StandardButton)
            {
                strShown = strTitle + "\n" + strText;
                return QMessageBox::Ok;
            });
        pKeys->trigger();
        OptraTest::InstallNonBlockingDialogs();
        QVERIFY(strShown.startsWith("Keys\n"));
        for (const char* szKey : {"W or R\t", "Escape\t", "Space (held)\t", "F\t", "+ and -\t", "H\t", "L\t",
                                  "D or Page Down\t", "N\t", "Ctrl+Shift+V\t", "F11\t"})
            QVERIFY2(strShown.contains(QString::fromLatin1(szKey)), szKey);
        QVERIFY(MenuEntry(*pWindow, "View", "Hide docks"));
    }

    void statisticsListsNeverCollapse()
    {
        CStatisticsView view(nullptr);
        view.resize(560, 120);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_VERIFY(view.findChild<QTableWidget*>()->height() >= 100);
        QVERIFY(view.findChild<QTreeWidget*>()->height() >= 100);
        QVERIFY(!view.findChild<QSplitter*>()->childrenCollapsible());
    }
};

OPTRA_TEST_MAIN(TestWindowLayout)
#include "tst_WindowLayout.moc"
