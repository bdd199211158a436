#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>

class CSnipToolModel;

// The screen-snip window: a frameless, stay-on-top window over the whole
// screen that dims everything except the rectangle being dragged, which it
// frames in green. It grabs nothing itself: a finished drag leaves as
// signal_CaptureScreen with the press and release points in global screen
// coordinates (press top-left, release bottom-right, as dragged: a drag up
// or to the left gives a rectangle whose corners are swapped), Escape as
// signal_ExitCapture. Created hidden, without a parent, by the 2D view
// controller, which owns it; the model is borrowed. GUI thread.
class CSnipTool : public QDialog
{
    Q_OBJECT
public:
    CSnipTool(CSnipToolModel* pModel, QWidget* pParent = nullptr);
    ~CSnipTool() override;

    // The rectangle being dragged (widget coordinates, normalised); empty
    // while nothing is dragged.
    QRect GetSelection() const;

signals:
    void signal_CaptureScreen(const QRect& rect);
    void signal_ExitCapture();

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;

private:
    void UpdateMask();

    CSnipToolModel* m_pModel;
    bool m_bPressed = false;
    QPoint m_ptPress;
    // Corners as dragged; QRect() (right - left = -1) while nothing is dragged.
    QRect m_rcSelection;
};
