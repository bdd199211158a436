// The 2D view controller's side of the screen-snip tool: hiding and
// bringing back the application, and opening the snip window.
#include "common/view2d/ImageView2DCtrl.h"

#include "common/capture/SnipTool.h"
#include "common/capture/SnipToolCtrl.h"
#include "common/capture/SnipToolModel.h"
#include "common/view2d/ImageView2D.h"

#include <QGuiApplication>
#include <QScreen>

void CImageView2DController::SetApplicationVisible(bool bVisible)
{
    if (!m_pView)
        return;
    QWidget* pWindow = m_pView->window();
    if (!bVisible)
    {
        pWindow->showMinimized();
        return;
    }
    pWindow->showMaximized();
    pWindow->raise();
    pWindow->activateWindow();
}

void CImageView2DController::slot_OpenSnipTool()
{
    if (!m_pView)
        return;
    if (!m_pSnipTool)
    {
        // No parent: a child of the application's window would go when that
        // window is minimised.
        m_pSnipModel = std::make_unique<CSnipToolModel>();
        m_pSnipTool = std::make_unique<CSnipTool>(m_pSnipModel.get());
        m_pSnipCtrl = std::make_unique<CSnipToolCtrl>(m_pSnipModel.get(), m_pSnipTool.get(), this);
    }
    SetApplicationVisible(false);
    // Without a window manager "maximised" changes no geometry; the window
    // must cover the screen either way.
    if (QScreen* pScreen = QGuiApplication::primaryScreen())
        m_pSnipTool->setGeometry(pScreen->geometry());
    m_pSnipTool->showMaximized();
    m_pSnipTool->raise();
    m_pSnipTool->activateWindow();
}
