// How the window shares its room: the image views get most of it, docks
// without content stay closed, the training chart opens with a run, one
// key hides every dock for labelling, and the arrangement of the last
// session comes back at the next start.
#include "trainer/mainwindow.h"

#include "common/log/LogView.h"
#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/mvc/ViewLayout.h"
#include "common/setting/SettingManager.h"
#include "trainer/TrainingChartView.h"

#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QTimer>

namespace
{
const QString WINDOW_GEOMETRY_KEY = QStringLiteral("GENERAL_WINDOW_GEOMETRY");
const QString WINDOW_STATE_KEY = QStringLiteral("GENERAL_WINDOW_STATE");
const QString VIEW_LAYOUT_KEY = QStringLiteral("GENERAL_VIEW_LAYOUT");
// Raises whenever the arrangement of docks changes in a way old states
// would restore wrongly.
constexpr int WINDOW_STATE_VERSION = 1;
constexpr int LEFT_DOCK_WIDTH = 250;
constexpr int TRAINING_DOCK_HEIGHT = 280;
constexpr int LOG_FIRST_HEIGHT = 90;

QByteArray Stored(const QString& strKey)
{
    return QByteArray::fromBase64(CSetting::GetString(strKey, QString()).toLatin1());
}

void Store(const QString& strKey, const QByteArray& data)
{
    // Settings hold text.
    CSetting::Set(strKey, QString::fromLatin1(data.toBase64()));
}
} // namespace

QDockWidget* MainWindow::FindDock(const QString& strTitle) const
{
    for (QDockWidget* pDock : findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly))
    {
        if (pDock->objectName() == strTitle)
            return pDock;
    }
    return nullptr;
}

void MainWindow::ArrangeFirstStart()
{
    // Neither the property page nor the bottom page has anything to show
    // yet, and the chart has nothing before a run: the image gets the room.
    for (const char* szDock : {"Right Dock", "Bottom Dock", "Training"})
    {
        if (QDockWidget* pDock = FindDock(QString::fromLatin1(szDock)))
            pDock->hide();
    }
    QList<QDockWidget*> lstLeft;
    QList<int> lstWidths;
    for (const char* szDock : {"Tool Dock", "Left Dock"})
    {
        if (QDockWidget* pDock = FindDock(QString::fromLatin1(szDock)))
        {
            lstLeft.append(pDock);
            lstWidths.append(LEFT_DOCK_WIDTH);
        }
    }
    resizeDocks(lstLeft, lstWidths, Qt::Horizontal);
    // A few lines of log are enough to see that something happened; the
    // band grows by dragging. The splitter shares out real heights only
    // once the window is laid out.
    if (m_pSplitter)
        m_pSplitter->setSizes({height(), LOG_FIRST_HEIGHT});
}

void MainWindow::showEvent(QShowEvent* pEvent)
{
    QMainWindow::showEvent(pEvent);
    if (!m_bFirstStart)
        return;
    m_bFirstStart = false;
    QTimer::singleShot(0, this, &MainWindow::ArrangeFirstStart);
}

void MainWindow::ShowRestored()
{
    const QByteArray geometry = Stored(WINDOW_GEOMETRY_KEY);
    if (!geometry.isEmpty() && restoreGeometry(geometry))
    {
        // The stored geometry says whether the window was maximised.
        show();
        return;
    }
    showMaximized();
}

void MainWindow::RestoreWindowState()
{
    RestoreViewLayout();
    const QByteArray state = Stored(WINDOW_STATE_KEY);
    if (state.isEmpty() || !restoreState(state, WINDOW_STATE_VERSION))
    {
        ArrangeFirstStart();
        m_bFirstStart = true;
        return;
    }
    CLog::Write(ELogLevel::DEBUG, "MainWindow: docks as in the last session");
}

void MainWindow::RestoreViewLayout()
{
    const QStringList lstParts = CSetting::GetString(VIEW_LAYOUT_KEY, QString()).split(QLatin1Char('x'));
    if (lstParts.size() != 2 || !m_pLayout)
        return;
    const int nColumns = lstParts[0].toInt();
    const int nRows = lstParts[1].toInt();
    // Only the layouts the window offers: a hand-edited setting must not
    // make a grid of a hundred views.
    const bool bOffered =
        (nColumns == 1 && nRows == 1) || (nColumns == 2 && nRows == 1) || (nColumns == 2 && nRows == 2);
    if (bOffered)
        m_pLayout->ChangeSize(nColumns, nRows);
}

void MainWindow::SaveWindowState()
{
    // Docks hidden for labelling come back first, or the next start would
    // open with none.
    if (m_bDocksHidden)
        slot_ToggleDocks();
    Store(WINDOW_GEOMETRY_KEY, saveGeometry());
    Store(WINDOW_STATE_KEY, saveState(WINDOW_STATE_VERSION));
    if (m_pLayout)
        CSetting::Set(VIEW_LAYOUT_KEY, QString("%1x%2").arg(m_pLayout->GetColumn()).arg(m_pLayout->GetRow()));
}

void MainWindow::slot_ToggleDocks()
{
    m_bDocksHidden = !m_bDocksHidden;
    if (m_bDocksHidden)
    {
        m_lstHiddenDocks.clear();
        for (QDockWidget* pDock : findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly))
        {
            if (pDock->isVisible())
            {
                m_lstHiddenDocks.append(pDock);
                pDock->hide();
            }
        }
    }
    else
    {
        for (const QPointer<QDockWidget>& pDock : m_lstHiddenDocks)
        {
            if (pDock)
                pDock->show();
        }
        m_lstHiddenDocks.clear();
    }
    // The log band goes with the docks: labelling needs none of them.
    if (m_pLogView)
        m_pLogView->setVisible(!m_bDocksHidden);
    if (m_pActToggleDocks)
        m_pActToggleDocks->setChecked(m_bDocksHidden);
}

void MainWindow::ShowTrainingDock()
{
    QDockWidget* pDock = FindDock(QStringLiteral("Training"));
    if (!pDock || pDock->isVisible())
        return;
    if (m_bDocksHidden)
    {
        // Labelling without docks: the chart joins those that come back.
        m_lstHiddenDocks.append(pDock);
        return;
    }
    pDock->show();
    resizeDocks({pDock}, {TRAINING_DOCK_HEIGHT}, Qt::Vertical);
}

void MainWindow::CreateViewMenu()
{
    QMenu* pView = menuBar()->addMenu(QStringLiteral("View"));
    m_pActToggleDocks = pView->addAction(QStringLiteral("Hide docks"));
    m_pActToggleDocks->setCheckable(true);
    m_pActToggleDocks->setShortcut(QKeySequence(Qt::Key_F11));
    // Wherever the focus is, also in a text field: F11 types nothing.
    m_pActToggleDocks->setShortcutContext(Qt::WindowShortcut);
    addAction(m_pActToggleDocks);
    connect(m_pActToggleDocks, &QAction::triggered, this, &MainWindow::slot_ToggleDocks);
    pView->addSeparator();
    for (QDockWidget* pDock : findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly))
        pView->addAction(pDock->toggleViewAction());
}

QString MainWindow::KeysText()
{
    return QStringLiteral("In an image view:\n"
                          "W or R\tdraw rectangles\n"
                          "Escape\tselect\n"
                          "Space (held)\tpan\n"
                          "F\tfit the image into the view\n"
                          "+ and -\tzoom in and out about the cursor\n"
                          "H\thide or show the names\n"
                          "L\tguide lines across the image at the cursor\n"
                          "Arrows\tmove the selection a pixel (with Shift ten)\n"
                          "Delete\tdelete the selection\n"
                          "D or Page Down\tnext image\n"
                          "A or Page Up\tprevious image\n"
                          "N\tnext image without ROIs or with proposals\n"
                          "Enter, double-click\taccept the selected proposal\n"
                          "Ctrl+Enter\taccept every proposal of the image\n"
                          "Delete\treject the selected proposal\n"
                          "Ctrl+Shift+V\tcopy the ROIs of the previous image\n"
                          "Ctrl+Z, Ctrl+Y\tundo, redo (also Ctrl+Shift+Z)\n"
                          "\n"
                          "Anywhere:\n"
                          "F11\thide or show every dock and the log");
}

void MainWindow::slot_ShowKeys()
{
    CInteraction::Message(this, QMessageBox::Information, QStringLiteral("Keys"), KeysText());
}
