#pragma once

#include "common/view2d/ImageView2DToolModel.h"

#include <QFont>
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QStaticText>
#include <QTransform>
#include <QWidget>

#include <memory>
#include <vector>

class CDrawableObject;
class QPainter;

// A widget that paints a list of drawables, given in image pixels, over a
// viewport: `window` (image pixels) is shown in `viewport` (widget pixels).
// The 2D view derives from it and paints its image in Paint(); the overlay
// of a drawing in progress is one too. Selected drawables are red, others
// green, outlines one screen pixel wide at any zoom, names on a dark label.
// Holds its drawables through shared pointers; the mode model is borrowed.
// Qt-parented. GUI thread.
class CGeometryLayer : public QWidget
{
    Q_OBJECT
public:
    using ObjectPtr = std::shared_ptr<CDrawableObject>;

    static constexpr int HANDLE_RADIUS = 3;

    explicit CGeometryLayer(QWidget* pParent = nullptr);
    ~CGeometryLayer() override;

    // Follows the model's tool with the matching cursor.
    void SetViewModeModel(CImageView2DModeModel* pModel);
    CImageView2DModeModel* GetViewModeModel() const { return m_pViewModeModel; }

    // Appends a drawable (an empty pointer is ignored) and repaints.
    virtual void DrawObject(ObjectPtr pObject);
    virtual void Clear();
    virtual void SetViewPort(const QRect& rcViewport);
    virtual void SetWindow(const QRect& rcWindow);
    virtual std::vector<ObjectPtr> GetDrawableObjects() const;
    // Whether the drawables' names are painted (a measuring line's length
    // always is); hidden, crowded boxes are easier to see.
    bool GetShowNames() const { return m_bShowNames; }
    void SetShowNames(bool bShowNames);
    // Paints what lies under the drawables (the view's image); the painter
    // works in widget pixels. Nothing here.
    virtual void Paint(QPainter& painter);

    QRect GetViewPort() const { return m_rcViewport; }
    QRect GetWindow() const { return m_rcWindow; }
    // Image pixels to widget pixels: the scale and shift that map window
    // onto viewport (sizes counted inclusively, as QRect does); only the
    // shift while either rectangle is empty.
    QTransform GetImageToWidget() const;
    QPointF MapToImage(const QPointF& ptWidget) const;
    QRectF MapToImage(const QRectF& rcWidget) const;
    QPointF MapToWidget(const QPointF& ptImage) const;
    QRectF MapToWidget(const QRectF& rcImage) const;

    // Paints the drawables in list order. imageToWidget maps image pixels
    // to the painter's device pixels (scale and shift); rcExposed is the
    // device area being repainted: drawables that cannot touch it are
    // skipped before any outline is built.
    void PaintDrawables(QPainter& painter, const QTransform& imageToWidget, const QRect& rcExposed);

public slots:
    void slot_ChangeViewMode();

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    struct SPaintContext;
    // A drawable's name (a measuring line's length) laid out at its place.
    struct SLabel
    {
        const QStaticText* pText = nullptr;
        QRectF rect;
    };
    void PaintDrawable(QPainter& painter, const CDrawableObject& object, const SPaintContext& context);
    SLabel MakeLabel(const CDrawableObject& object, const QPointF& ptAnchor, const SPaintContext& context);
    // A label's text laid out once, and the width its box needs.
    struct SLabelText
    {
        QStaticText text;
        double dWidth = 0;
    };
    const SLabelText& LabelText(const QString& strText, const SPaintContext& context);

    QRect m_rcViewport;
    QRect m_rcWindow;
    QPointer<CImageView2DModeModel> m_pViewModeModel;
    std::vector<ObjectPtr> m_vctDrawables;
    // Laid-out label texts, so a repaint of many named boxes does not lay
    // out every name again.
    QHash<QString, SLabelText> m_hashLabels;
    int m_nLabelDpi = 0;
    bool m_bShowNames = true;
};
