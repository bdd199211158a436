#pragma once

#include "common/mvc/CenterCtrl.h"

#include <QPointer>
#include <QRect>

class CImageView2DController;
class CSnipTool;
class CSnipToolModel;

// Turns a rectangle dragged in the snip window into a new image of a 2D
// view: grabs it from the primary screen, brings the application back,
// appends the picture to the view's image list (it becomes current) and
// copies it to the clipboard. Escape in the snip window only brings the
// application back. Model, snip window and 2D controller are borrowed; the
// 2D controller owns all three capture objects. GUI thread.
class CSnipToolCtrl : public CController
{
    Q_OBJECT
public:
    CSnipToolCtrl(CSnipToolModel* pModel, CSnipTool* pView, CImageView2DController* pController);
    ~CSnipToolCtrl() override;

    // How long the screen is given to repaint what the snip window covered
    // before it is read: until then the window's dimming may still show.
    static constexpr int SCREEN_SETTLE_MS = 150;

    // The screen rectangle a drag between two corners covers, both corners
    // included, whichever way it was dragged.
    static QRect NormalisedArea(const QRect& rect);

public slots:
    void slot_OpenCaptureScreen() {}
    // rect: the press and release points in global screen coordinates.
    // Hides the snip window; the grab follows once the screen settled.
    void slot_CaptureScreen(const QRect& rect);
    void slot_ExitCapture();

private:
    void Grab(const QRect& area);

    QPointer<CSnipToolModel> m_pModel;
    QPointer<CSnipTool> m_pView;
    QPointer<CImageView2DController> m_pController;
};
