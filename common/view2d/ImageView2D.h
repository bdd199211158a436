#pragma once

#include "common/view2d/ImageView2DDrawableWidget.h"
#include "common/view2d/ImageView2DPyramid.h"
#include "common/view2d/ImageView2DSuggestion.h"

#include "optra/Image.h"

#include <QIcon>
#include <QImage>
#include <QKeySequence>
#include <QList>
#include <QMutex>
#include <QPointF>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class CGeometryModel;
class CImageListModel;
class CLayerDrawing;
class QAction;
class QKeyEvent;
class QMenu;

// The 2D view of one view unit: shows the unit's current image, zoomed
// (wheel, anchored at the mouse) and panned, with the committed drawables
// of its geometry model on top and the drawing in progress on a transparent
// overlay. It changes no model: every gesture leaves as a signal carrying
// image pixels, which the view controller acts on. Zoomed out it paints a
// smooth downscaled copy made once per image; zoomed in, the image's own
// pixels nearest-neighbour, with the grid and sample values from 50 screen
// pixels per image pixel on. Keys of its own: F fits, + and - zoom about
// the cursor, Space held pans, H hides the names, L shows guide lines at
// the cursor across the image. The image list, geometry model and mode model
// are borrowed; the overlay and the menus are Qt children. GUI thread.
class CImageView2D : public CGeometryLayer
{
    Q_OBJECT
public:
    using ImagePtr = std::shared_ptr<Optra::Algorithms::CImage>;
    using GeometryCallback = std::function<void(int nViewId, unsigned int nObjectId)>;
    using ViewCallback = std::function<void(int nViewId)>;

    // Screen pixels per image pixel from which the grid and values show.
    static constexpr double PIXEL_GRID_SIZE = 50.0;
    // The zoom stops where one image pixel covers this many screen pixels.
    static constexpr double MAX_SIZE_PIXEL = 256.0;
    // A wheel step to this zoom factor (of the fitted size) or below is refused.
    static constexpr double MIN_SCALE = 0.1;

    CImageView2D(CImageListModel* pImageList, CGeometryModel* pGeometryModel,
                 CImageView2DModeModel* pModeModel, int nViewId, QWidget* pParent = nullptr);
    ~CImageView2D() override;

    int GetViewID() const { return m_nViewId; }
    // Recomputes the viewport, then repaints.
    void Repaint();
    void ZoomFit();
    // Sets the zoom factor (1 = the image fitted into the view) keeping the
    // image point under ptWidget in place; false, and nothing changes, when
    // the factor is at MIN_SCALE or below. Factors beyond MAX_SIZE_PIXEL
    // screen pixels per image pixel are reduced to it.
    bool ZoomAt(double dScale, const QPointF& ptWidget);
    double GetScale() const { return m_dScale; }
    // Dashed lines across the whole image through the cursor, for lining
    // box edges up.
    bool GetGuideLines() const { return m_bGuideLines; }
    void SetGuideLines(bool bGuideLines);
    // Brings the image point (image pixels) to the middle of the view at
    // the current zoom.
    void CenterOn(const QPointF& ptImage);
    QRect GetViewPort() const { return CGeometryLayer::GetViewPort(); }
    // Screen pixels per image pixel; 0 while the window is empty.
    double GetSizePixel() const;
    CLayerDrawing* GetLayerDrawing() const { return m_pLayerDrawing; }
    // The unique id of the image shown, COptraObject::INVALID_UID without one.
    unsigned int GetImageUID() const;
    ImagePtr GetCurrentImage() const;
    // The smallest smooth copy of the image shown that is at least the size
    // in both directions (the full image when none is smaller); null
    // without an image. For thumbnails; shares pixels, so copy it to keep it.
    QImage GetScaledImage(const QSizeF& sizeAtLeast) const;

    // Open the general menu, or the drawable menu for that drawable, at an
    // image point.
    void ShowContextMenu(const QPointF& ptImage);
    void ShowContextMenuDrawableObject(const QPointF& ptImage, unsigned int nObjectId);
    QMenu* GetMenu() const { return m_pMenu; }
    QMenu* GetMenuDrawable() const { return m_pMenuDrawable; }
    // Adds an entry to the drawable menu; choosing it calls the callback
    // with this view's id and the drawable the menu was opened for.
    void RegisterGeometryAction(const QString& strText, const QIcon& icon, GeometryCallback fnCallback);
    // Adds an entry to the general menu; it and its keys (which act while
    // this view has the keyboard) call the callback with this view's id.
    QAction* RegisterViewAction(const QString& strText, const QList<QKeySequence>& lstKeys,
                                ViewCallback fnCallback);
    // The smooth copies of an image made ahead of time from that very
    // image (on another thread): used instead of making them again when the
    // image becomes the current one next; any other image drops them.
    void UsePreparedPyramid(const ImagePtr& pImage, std::shared_ptr<const CImageView2DPyramid> pPyramid);

    void Paint(QPainter& painter) override;

    // Boxes proposed for the image shown, drawn over its drawables. The
    // selection stays at its index (the next one after an accept or a
    // reject) and is the first one when there was none.
    void SetSuggestions(const std::vector<SImageView2DSuggestion>& vctSuggestions);
    const std::vector<SImageView2DSuggestion>& GetSuggestions() const { return m_vctSuggestions; }
    // -1 when none is selected.
    int GetSelectedSuggestion() const { return m_nSelectedSuggestion; }
    void SelectSuggestion(int nIndex);

public slots:
    void slot_ZoomFit();
    void slot_Goto();
    void slot_ShowContextMenu(const QPoint& ptWidget);
    void slot_ChangeCurrentImage();
    void slot_ChangeDrawableObjectProperty();
    void slot_ClearObject();

signals:
    void signal_Active();
    void signal_ChangeMousePosition(const QPointF& point);
    // With the modifiers held, so a key and its Shift or Ctrl form differ.
    void signal_PressKey(int nKey, Qt::KeyboardModifiers modifiers);
    void signal_Undo();
    void signal_Redo();
    void signal_Copy();
    void signal_Paste();
    void signal_LoadImage();
    void signal_LoadPdf();
    void signal_SaveImage();
    void signal_CloseImage();
    void signal_Switch2DTo3D();
    void signal_DeleteDrawableObject();
    // One per dropped local file.
    void signal_AddImage(const QString& strPath);
    void signal_ShowContextMenu(const QPointF& point);
    void signal_CheckResizeRotate(const QPointF& point);
    void signal_SelectMovingStart(const QPointF& point);
    void signal_SelectMovingDoing(const QPointF& pointStart, const QPointF& pointEnd);
    void signal_SelectMovingEnd(const QPointF& pointStart, const QPointF& pointEnd);
    void signal_DrawRectangleStart(const QPointF& point);
    void signal_DrawRectangleDoing(const QPointF& pointStart, const QPointF& pointEnd);
    void signal_DrawRectangleEnd(const QPointF& pointStart, const QPointF& pointEnd);
    void signal_DrawEllipseStart(const QPointF& point);
    void signal_DrawEllipseDoing(const QPointF& pointStart, const QPointF& pointEnd);
    void signal_DrawEllipseEnd(const QPointF& pointStart, const QPointF& pointEnd);
    void signal_DrawCircleStart(const QPointF& point);
    void signal_DrawCircleDoing(const QPointF& pointStart, const QPointF& pointEnd);
    void signal_DrawCircleEnd(const QPointF& pointStart, const QPointF& pointEnd);
    void signal_DrawPolygonStart(const QPointF& point);
    void signal_DrawPolygonDoing(const QPointF& pointStart, const QPointF& pointEnd);
    void signal_DrawPolygonEnd(const QPointF& pointStart, const QPointF& pointEnd);
    void signal_DrawPolygonWaiting(const QPointF& point);
    void signal_DrawLineStart(const QPointF& point);
    void signal_DrawLineDoing(const QPointF& pointStart, const QPointF& pointEnd);
    void signal_DrawLineEnd(const QPointF& pointStart, const QPointF& pointEnd);
    // Declared for tools that resize and copy by their own gestures; this
    // view does not emit them.
    void signal_SelectResizeStart(const QPointF& point);
    void signal_SelectResizeDoing(const QPointF& pointStart, const QPointF& pointEnd);
    void signal_SelectResizeEnd(const QPointF& pointStart, const QPointF& pointEnd);
    void signal_CopyDrawableObject();
    void signal_PasteDrawableObject();
    // nIndex: the selected suggestion; -1 for AcceptAll.
    void signal_SuggestionAction(EImageView2DSuggestionAction eAction, int nIndex);

protected:
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    bool event(QEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void keyReleaseEvent(QKeyEvent* pEvent) override;
    void focusOutEvent(QFocusEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dragMoveEvent(QDragMoveEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;

private:
    void BuildMenus();
    QAction* AddMenuAction(QMenu* pMenu, const QString& strText, const QString& strIcon);
    // The image fitted into the widget keeping its aspect ratio (widget pixels).
    QSize FittedSize() const;
    // Where the unzoomed fitted image's top-left lies, panned (widget pixels).
    QPointF FittedTopLeft(const QSize& sizeFitted) const;
    void CalculateViewPort();
    void Pan(const QPoint& ptWidget);
    // The tool's Start, Doing or End signal for the current mode.
    void EmitPress(const QPointF& ptImage);
    void EmitMove(const QPointF& ptStart, const QPointF& ptEnd, bool bLeftHeld);
    void EmitRelease(const QPointF& ptStart, const QPointF& ptEnd);
    // Panning while Space is held, whatever the tool.
    EImageView2DMode Mode() const;
    // The keys that change only what the view shows; true when it was one.
    bool HandleViewKey(const QKeyEvent& event);
    void StartSpacePan();
    void EndSpacePan();
    // Where + and - zoom about: the cursor, or the middle without it.
    QPointF ZoomAnchor() const;
    void TrackMouse(const QPoint& ptWidget);

    // Suggestions (ImageView2DSuggestions.cpp): the keys and clicks that
    // take or leave them; true when the event was theirs.
    bool HandleSuggestionKey(const QKeyEvent& event);
    bool IsSuggestionKey(const QKeyEvent& event) const;
    bool HandleSuggestionPress(const QPointF& ptImage);
    // The smallest suggestion under the image point; -1 for none.
    int SuggestionAt(const QPointF& ptImage) const;
    void PaintSuggestions(QPainter& painter);

    void PaintImage(QPainter& painter, const QRect& rcExposed);
    void PaintSmooth(QPainter& painter, const QImage& level, int nLevel, const QRect& rcExposed);
    // Where the level's pixels under the widget rectangle go (widget
    // pixels) and where they come from (level pixels); false for none.
    bool LevelRects(const QRect& rcWidget, int nLevel, QRectF& rcTarget, QRectF& rcSource) const;
    void PaintCrosshair(QPainter& painter);
    void PaintGuideLines(QPainter& painter);
    void PaintPixelValues(QPainter& painter, const QRect& rcExposed);
    // Image pixels whose area meets the widget rectangle, clipped to the image.
    QRect VisiblePixels(const QRect& rcWidget) const;

    QPointer<CImageListModel> m_pImageList;
    QPointer<CGeometryModel> m_pGeometryModel;
    const int m_nViewId;

    // Guards the image, its display view and its copies between an image
    // change and painting.
    mutable QMutex m_imageMutex;
    ImagePtr m_pCurrentImage;
    // The pixels shown, to tell a new image from the same one announced again.
    const uint8_t* m_pShownPixels = nullptr;
    QSize m_sizeImage;
    QImage m_displayImage;
    CImageView2DPyramid m_pyramid;
    // The smooth scale of the view's part of a level, for the zoom and pan
    // it was made at.
    struct SSmoothCache
    {
        QImage image;
        qint64 nLevelKey = 0;
        QRectF rcTarget;
        QRect rcView;
    };
    SSmoothCache m_smoothCache;
    ImagePtr m_pPreparedImage;
    std::shared_ptr<const CImageView2DPyramid> m_pPreparedPyramid;

    // Zoom state: the unzoomed widget point (origin) kept under the widget
    // point of the last wheel step (anchor); pan offsets in unzoomed pixels.
    double m_dOriginX = 0;
    double m_dOriginY = 0;
    double m_dAnchorX = 0;
    double m_dAnchorY = 0;
    double m_dCrosshairX = 0;
    double m_dCrosshairY = 0;
    double m_dScale = 1.0;
    double m_dOffsetX = 0;
    double m_dOffsetY = 0;

    bool m_bLeftPressed = false;
    bool m_bRightPressed = false;
    QPoint m_ptPress;
    bool m_bShowCrosshair = false;
    // Space pans while held; its release during a pan gesture ends the pan
    // with the gesture.
    bool m_bSpacePan = false;
    bool m_bSpaceHeld = false;
    bool m_bGuideLines = false;
    // The cursor's last place in the widget, while it is over it.
    QPoint m_ptMouse;
    bool m_bMouseInside = false;
    // The widget area being repainted, for Paint.
    QRect m_rcExposed;

    std::vector<SImageView2DSuggestion> m_vctSuggestions;
    int m_nSelectedSuggestion = -1;

    QMenu* m_pMenu = nullptr;
    QMenu* m_pMenuDrawable = nullptr;
    unsigned int m_nMenuObjectId = 0;
    CLayerDrawing* m_pLayerDrawing = nullptr;
    std::map<QAction*, GeometryCallback> m_mapGeometryActions;
    bool m_bHostEntries = false;
};
