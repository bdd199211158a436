// Construction, menus and the translation of input events into the view's
// signals. Zoom and painting live in their own files.
#include "common/view2d/ImageView2D.h"

#include "common/mvc/ImageView2DModel.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DLayer.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

CImageView2D::CImageView2D(CImageListModel* pImageList, CGeometryModel* pGeometryModel,
                           CImageView2DModeModel* pModeModel, int nViewId, QWidget* pParent)
    : CGeometryLayer(pParent), m_pImageList(pImageList), m_pGeometryModel(pGeometryModel), m_nViewId(nViewId)
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &CImageView2D::slot_ShowContextMenu);
    setFocusPolicy(Qt::WheelFocus);
    setAcceptDrops(true);
    SetViewModeModel(pModeModel);
    BuildMenus();
    m_pLayerDrawing = new CLayerDrawing(0, this);
    m_pLayerDrawing->SetGeometryModel(pGeometryModel);
    if (pImageList)
    {
        connect(pImageList, &CImageListModel::signal_ChangeCurrentImage, this,
                &CImageView2D::slot_ChangeCurrentImage);
        connect(pImageList, &CImageListModel::signal_ChangeCurrentIndex, this,
                &CImageView2D::slot_ChangeCurrentImage);
    }
    if (pGeometryModel)
    {
        connect(pGeometryModel, &CGeometryModel::signal_ChangeDrawableObjectProperty, this,
                &CImageView2D::slot_ChangeDrawableObjectProperty);
        connect(pGeometryModel, &CGeometryModel::signal_AddDrawableObject, this,
                &CImageView2D::slot_ChangeDrawableObjectProperty);
        connect(pGeometryModel, &CGeometryModel::signal_DeleteDrawableObject, this,
                &CImageView2D::slot_ChangeDrawableObjectProperty);
        connect(pGeometryModel, &CGeometryModel::signal_ClearObject, this, &CImageView2D::slot_ClearObject);
    }
    slot_ChangeCurrentImage();
    slot_ChangeDrawableObjectProperty();
}

CImageView2D::~CImageView2D() = default;

QAction* CImageView2D::AddMenuAction(QMenu* pMenu, const QString& strText, const QString& strIcon)
{
    return pMenu->addAction(QIcon(strIcon), strText);
}

void CImageView2D::BuildMenus()
{
    m_pMenu = new QMenu(this);
    connect(AddMenuAction(m_pMenu, QStringLiteral("Load Image"), QStringLiteral(":/Image/photo.png")),
            &QAction::triggered, this, &CImageView2D::signal_LoadImage);
    connect(AddMenuAction(m_pMenu, QStringLiteral("Load PDF"), QStringLiteral(":/Image/pdf.png")),
            &QAction::triggered, this, &CImageView2D::signal_LoadPdf);
    connect(AddMenuAction(m_pMenu, QStringLiteral("Save Image"), QStringLiteral(":/Image/save_file.png")),
            &QAction::triggered, this, &CImageView2D::signal_SaveImage);
    connect(AddMenuAction(m_pMenu, QStringLiteral("Close Image"), QStringLiteral(":/Image/close.png")),
            &QAction::triggered, this, &CImageView2D::signal_CloseImage);
    m_pMenu->addSeparator();
    connect(AddMenuAction(m_pMenu, QStringLiteral("Copy (C)"), QStringLiteral(":/Image/copy.png")),
            &QAction::triggered, this, &CImageView2D::signal_Copy);
    connect(AddMenuAction(m_pMenu, QStringLiteral("Paste (P)"), QStringLiteral(":/Image/paste.png")),
            &QAction::triggered, this, &CImageView2D::signal_Paste);
    m_pMenu->addSeparator();
    connect(AddMenuAction(m_pMenu, QStringLiteral("GoTo"), QStringLiteral(":/Image/search.png")),
            &QAction::triggered, this, &CImageView2D::slot_Goto);
    connect(AddMenuAction(m_pMenu, QStringLiteral("Switch To 3D View"), QStringLiteral(":/Image/3D.png")),
            &QAction::triggered, this, &CImageView2D::signal_Switch2DTo3D);

    m_pMenuDrawable = new QMenu(this);
    connect(AddMenuAction(m_pMenuDrawable, QStringLiteral("Delete"), QStringLiteral(":/Image/clear.png")),
            &QAction::triggered, this, &CImageView2D::signal_DeleteDrawableObject);
}

void CImageView2D::RegisterGeometryAction(const QString& strText, const QIcon& icon,
                                          GeometryCallback fnCallback)
{
    QAction* pAction = m_pMenuDrawable->addAction(icon, strText);
    m_mapGeometryActions[pAction] = std::move(fnCallback);
    connect(pAction, &QAction::triggered, this,
            [this, pAction]
            {
                const auto it = m_mapGeometryActions.find(pAction);
                if (it != m_mapGeometryActions.end() && it->second)
                    it->second(m_nViewId, m_nMenuObjectId);
            });
}

QAction* CImageView2D::RegisterViewAction(const QString& strText, const QList<QKeySequence>& lstKeys,
                                          ViewCallback fnCallback)
{
    // The host's entries after the view's own.
    if (!m_bHostEntries)
        m_pMenu->addSeparator();
    m_bHostEntries = true;
    QAction* pAction = m_pMenu->addAction(strText);
    pAction->setShortcuts(lstKeys);
    // Only this view's keys: text fields and the other views keep theirs.
    pAction->setShortcutContext(Qt::WidgetShortcut);
    addAction(pAction);
    connect(pAction, &QAction::triggered, this,
            [this, fnCallback = std::move(fnCallback)]
            {
                if (fnCallback)
                    fnCallback(m_nViewId);
            });
    return pAction;
}

void CImageView2D::ShowContextMenu(const QPointF& ptImage)
{
    // Not exec(): the menu must not hold a nested event loop open while
    // the models it acts on change underneath.
    m_pMenu->popup(mapToGlobal(MapToWidget(ptImage).toPoint()));
}

void CImageView2D::ShowContextMenuDrawableObject(const QPointF& ptImage, unsigned int nObjectId)
{
    m_nMenuObjectId = nObjectId;
    m_pMenuDrawable->popup(mapToGlobal(MapToWidget(ptImage).toPoint()));
}

void CImageView2D::slot_ShowContextMenu(const QPoint& ptWidget)
{
    emit signal_ShowContextMenu(MapToImage(QPointF(ptWidget)));
}

EImageView2DMode CImageView2D::Mode() const
{
    if (m_bSpacePan)
        return EImageView2DMode_Panning;
    return GetViewModeModel() ? GetViewModeModel()->GetViewMode() : EImageView2DMode_Selecting;
}

void CImageView2D::EmitPress(const QPointF& ptImage)
{
    switch (Mode())
    {
    case EImageView2DMode_Selecting:
        emit signal_SelectMovingStart(ptImage);
        break;
    case EImageView2DMode_Panning:
        break;
    case EImageView2DMode_Drawing_Rectanlge:
        emit signal_DrawRectangleStart(ptImage);
        break;
    case EImageView2DMode_Drawing_Ellipse:
        emit signal_DrawEllipseStart(ptImage);
        break;
    case EImageView2DMode_Drawing_Circle:
        emit signal_DrawCircleStart(ptImage);
        break;
    case EImageView2DMode_Drawing_Polygon:
        emit signal_DrawPolygonStart(ptImage);
        break;
    case EImageView2DMode_Drawing_Line:
        emit signal_DrawLineStart(ptImage);
        break;
    }
}

void CImageView2D::EmitMove(const QPointF& ptStart, const QPointF& ptEnd, bool bLeftHeld)
{
    switch (Mode())
    {
    case EImageView2DMode_Selecting:
        if (bLeftHeld)
            emit signal_SelectMovingDoing(ptStart, ptEnd);
        else
            emit signal_CheckResizeRotate(ptEnd);
        break;
    case EImageView2DMode_Panning:
        // The caller pans.
        break;
    case EImageView2DMode_Drawing_Rectanlge:
        if (bLeftHeld)
            emit signal_DrawRectangleDoing(ptStart, ptEnd);
        break;
    case EImageView2DMode_Drawing_Ellipse:
        if (bLeftHeld)
            emit signal_DrawEllipseDoing(ptStart, ptEnd);
        break;
    case EImageView2DMode_Drawing_Circle:
        if (bLeftHeld)
            emit signal_DrawCircleDoing(ptStart, ptEnd);
        break;
    case EImageView2DMode_Drawing_Polygon:
        if (bLeftHeld)
            emit signal_DrawPolygonDoing(ptStart, ptEnd);
        else
            emit signal_DrawPolygonWaiting(ptEnd);
        break;
    case EImageView2DMode_Drawing_Line:
        if (bLeftHeld)
            emit signal_DrawLineDoing(ptStart, ptEnd);
        break;
    }
}

void CImageView2D::EmitRelease(const QPointF& ptStart, const QPointF& ptEnd)
{
    switch (Mode())
    {
    case EImageView2DMode_Selecting:
        // A click is no move.
        if (!CDrawableObject::CompareEqual(ptStart, ptEnd))
            emit signal_SelectMovingEnd(ptStart, ptEnd);
        break;
    case EImageView2DMode_Panning:
        break;
    case EImageView2DMode_Drawing_Rectanlge:
        emit signal_DrawRectangleEnd(ptStart, ptEnd);
        break;
    case EImageView2DMode_Drawing_Ellipse:
        emit signal_DrawEllipseEnd(ptStart, ptEnd);
        break;
    case EImageView2DMode_Drawing_Circle:
        emit signal_DrawCircleEnd(ptStart, ptEnd);
        break;
    case EImageView2DMode_Drawing_Polygon:
        emit signal_DrawPolygonEnd(ptStart, ptEnd);
        break;
    case EImageView2DMode_Drawing_Line:
        emit signal_DrawLineEnd(ptStart, ptEnd);
        break;
    }
}

void CImageView2D::mousePressEvent(QMouseEvent* pEvent)
{
    emit signal_Active();
    // A click on a proposed box selects it and starts no gesture on the
    // stored boxes beneath.
    if (pEvent->button() == Qt::LeftButton && HandleSuggestionPress(MapToImage(QPointF(pEvent->pos()))))
        return;
    if (pEvent->button() == Qt::LeftButton)
        m_bLeftPressed = true;
    else if (pEvent->button() == Qt::RightButton)
        m_bRightPressed = true;
    const QPoint ptWidget = pEvent->pos();
    if (pEvent->button() == Qt::LeftButton && Mode() != EImageView2DMode_Panning)
    {
        m_bShowCrosshair = true;
        m_dCrosshairX = ptWidget.x();
        m_dCrosshairY = ptWidget.y();
        update();
    }
    m_ptPress = ptWidget;
    if (pEvent->button() == Qt::LeftButton)
        EmitPress(MapToImage(QPointF(ptWidget)));
}

void CImageView2D::mouseMoveEvent(QMouseEvent* pEvent)
{
    const QPoint ptWidget = pEvent->pos();
    TrackMouse(ptWidget);
    if (ptWidget == m_ptPress)
        return;
    const bool bPanning = Mode() == EImageView2DMode_Panning;
    const QPointF ptStart = MapToImage(QPointF(m_ptPress));
    const QPointF ptEnd = MapToImage(QPointF(ptWidget));
    if (m_bLeftPressed && !bPanning)
    {
        m_dCrosshairX = ptWidget.x();
        m_dCrosshairY = ptWidget.y();
        update();
    }
    emit signal_ChangeMousePosition(ptEnd);
    if (!bPanning)
        EmitMove(ptStart, ptEnd, m_bLeftPressed);
    else if (m_bLeftPressed)
        Pan(ptWidget);
}

void CImageView2D::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (m_bShowCrosshair)
    {
        m_bShowCrosshair = false;
        update();
    }
    if (pEvent->button() == Qt::RightButton)
    {
        m_bRightPressed = false;
        return;
    }
    if (pEvent->button() != Qt::LeftButton || !m_bLeftPressed)
        return;
    m_bLeftPressed = false;
    EmitRelease(MapToImage(QPointF(m_ptPress)), MapToImage(QPointF(pEvent->pos())));
    // Space let go in mid-pan: the pan ends with the gesture.
    if (m_bSpacePan && !m_bSpaceHeld)
        EndSpacePan();
}

void CImageView2D::resizeEvent(QResizeEvent* pEvent)
{
    CGeometryLayer::resizeEvent(pEvent);
    m_pLayerDrawing->resize(size());
    Repaint();
}

void CImageView2D::showEvent(QShowEvent* pEvent)
{
    CGeometryLayer::showEvent(pEvent);
    emit signal_Active();
}

void CImageView2D::dragEnterEvent(QDragEnterEvent* pEvent)
{
    if (pEvent->mimeData()->hasUrls())
        pEvent->acceptProposedAction();
}

void CImageView2D::dragMoveEvent(QDragMoveEvent* pEvent)
{
    if (pEvent->mimeData()->hasUrls())
        pEvent->acceptProposedAction();
}

void CImageView2D::dropEvent(QDropEvent* pEvent)
{
    const QList<QUrl> lstUrls = pEvent->mimeData()->urls();
    for (const QUrl& url : lstUrls)
    {
        if (url.isLocalFile())
            emit signal_AddImage(url.toLocalFile());
    }
    pEvent->acceptProposedAction();
}

void CImageView2D::slot_ChangeDrawableObjectProperty()
{
    Clear();
    if (!m_pGeometryModel)
        return;
    for (const ObjectPtr& pObject : m_pGeometryModel->GetObjects())
        DrawObject(pObject);
}

void CImageView2D::slot_ClearObject()
{
    Clear();
}
