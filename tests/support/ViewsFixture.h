#pragma once

#include "common/mvc/BottomPanel.h"
#include "common/mvc/CenterView.h"
#include "common/mvc/MVCManager.h"
#include "common/mvc/PropertyPanel.h"
#include "common/mvc/ToolPanel.h"
#include "common/mvc/ViewLayout.h"

#include <QPoint>
#include <QWidget>

#include <memory>

class CImageView2D;
class CImageViewFrame;
class CImageViewUnit;

namespace OptraTest
{

// A drag as a user makes it: the mouse arrives, presses, moves twice and
// releases (widget pixels). Needs QTEST_QPA_MOUSE_HANDLING, so the moves
// carry the held button.
void DragOn(QWidget* pWidget, const QPoint& ptFrom, const QPoint& ptTo,
            Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void ClickOn(QWidget* pWidget, const QPoint& pt, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// The four image views as the main window places them: the tool panel and
// the view area side by side in a shown window, the layout at 1x1, the
// manager made last and deleted first.
struct SImageViews
{
    CViewLayout layout;
    QWidget window;
    CToolPanel* pTools = new CToolPanel(&window);
    CPropertyPanel* pProperties = new CPropertyPanel(&window);
    CBottomPanel* pBottom = new CBottomPanel(&window);
    CViewLayoutWidget* pArea = new CViewLayoutWidget(&layout, &window);
    std::unique_ptr<CMVCManager> pManager;

    SImageViews();
    ~SImageViews();

    CImageViewUnit* Unit(int nView) const;
    CImageViewFrame* Frame(int nView) const;
    CImageView2D* View(int nView) const;
    // The widget pixel of an image point in a view, as the view maps it.
    QPoint At(int nView, const QPointF& ptImage) const;
    // Draws with the current tool between two image points.
    void Drag(int nView, const QPointF& ptFrom, const QPointF& ptTo,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;
    void Click(int nView, const QPointF& ptImage, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;
};

} // namespace OptraTest
