#pragma once

#include "common/mvc/BottomPanel.h"
#include "common/mvc/ImageView2DModel.h"
#include "common/mvc/PropertyPanel.h"
#include "common/mvc/ToolPanel.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DCtrl.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DToolModel.h"
#include "tests/support/TestSupport.h"

#include "optra/Image.h"

#include <memory>

namespace OptraTest
{

using ImagePtr = std::shared_ptr<Optra::Algorithms::CImage>;

// An image of the size whose samples all hold nValue.
ImagePtr MakeImage(int nWidth, int nHeight, int nChannels = 3, uint8_t nValue = 10);

// One 2D view unit as the view manager builds it: models, the view shown
// as a window of 400x300 and its controller with the three panels. With
// the default 200x150 image the image is fitted at 2 screen pixels per
// image pixel, so image point (x, y) lies at widget point (2x, 2y).
// Mouse gestures go through the window system (QTEST_QPA_MOUSE_HANDLING),
// so drags carry their held button as a user's do.
struct SView2D
{
    CImageListModel imageList;
    CGeometryModel geometry;
    CImageView2DModeModel mode;
    CToolPanel toolPanel;
    CPropertyPanel propertyPanel;
    CBottomPanel bottomPanel;
    CImageView2D view;
    CImageView2DController controller;

    explicit SView2D(ImagePtr pImage = MakeImage(200, 150));

    // The widget pixel of an image point (rounded).
    QPoint At(const QPointF& ptImage) const;
    // The mouse first moves to the press point (without a button), as a
    // user's does: a press elsewhere makes the window system send that move.
    void Click(const QPointF& ptImage, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Hover, press, two moves, release: image points.
    void Drag(const QPointF& ptFrom, const QPointF& ptTo, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Hover(const QPointF& ptImage);
    // Draws a rectangle with the rectangle tool (one undo step).
    std::shared_ptr<CDrawableObject> DrawBox(const QPointF& ptFrom, const QPointF& ptTo);
    QImage Render();
};

} // namespace OptraTest
