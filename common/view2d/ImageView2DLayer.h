#pragma once

#include "common/view2d/ImageView2DDrawableWidget.h"

#include <QPointer>

class CGeometryModel;

// The transparent overlay of a 2D view that paints the drawing in progress
// (the finished pieces and the preview that follows the mouse) of the
// geometry model it mirrors. Mouse events pass through to the view below.
// The view sets its window and viewport to its own. Qt child of the view;
// the model is borrowed. GUI thread.
class CLayerDrawing : public CGeometryLayer
{
    Q_OBJECT
public:
    explicit CLayerDrawing(int nId, QWidget* pParent = nullptr);

    int GetID() const { return m_nId; }
    void SetGeometryModel(CGeometryModel* pModel);

public slots:
    // Shows the model's drawing pieces, then its preview piece.
    void slot_ChangeDrawingObject();

private:
    int m_nId;
    QPointer<CGeometryModel> m_pGeometryModel;
};
