#include "common/view2d/ImageView2DDrawableWidget.h"

#include "common/view2d/ImageView2DDrawableObject.h"
#include "common/view2d/ImageView2DToolModel.h"

#include <QPaintEvent>
#include <QPainter>

CGeometryLayer::CGeometryLayer(QWidget* pParent) : QWidget(pParent), m_rcViewport(rect()), m_rcWindow(rect())
{
    setMouseTracking(true);
}

CGeometryLayer::~CGeometryLayer() = default;

void CGeometryLayer::SetViewModeModel(CImageView2DModeModel* pModel)
{
    if (m_pViewModeModel)
        disconnect(m_pViewModeModel, nullptr, this, nullptr);
    m_pViewModeModel = pModel;
    if (pModel)
        connect(pModel, &CImageView2DModeModel::signal_ChangeViewMode, this,
                &CGeometryLayer::slot_ChangeViewMode);
}

void CGeometryLayer::DrawObject(ObjectPtr pObject)
{
    if (!pObject)
        return;
    m_vctDrawables.push_back(std::move(pObject));
    update();
}

void CGeometryLayer::SetShowNames(bool bShowNames)
{
    m_bShowNames = bShowNames;
    update();
}

void CGeometryLayer::Clear()
{
    m_vctDrawables.clear();
    update();
}

void CGeometryLayer::SetViewPort(const QRect& rcViewport)
{
    m_rcViewport = rcViewport;
    update();
}

void CGeometryLayer::SetWindow(const QRect& rcWindow)
{
    m_rcWindow = rcWindow;
    update();
}

std::vector<CGeometryLayer::ObjectPtr> CGeometryLayer::GetDrawableObjects() const
{
    return m_vctDrawables;
}

void CGeometryLayer::Paint(QPainter&) {}

QTransform CGeometryLayer::GetImageToWidget() const
{
    if (m_rcViewport.isEmpty() || m_rcWindow.isEmpty())
        return QTransform::fromTranslate(m_rcViewport.left() - m_rcWindow.left(),
                                         m_rcViewport.top() - m_rcWindow.top());
    const double dScaleX = double(m_rcViewport.width()) / m_rcWindow.width();
    const double dScaleY = double(m_rcViewport.height()) / m_rcWindow.height();
    return QTransform(dScaleX, 0, 0, dScaleY, m_rcViewport.left() - m_rcWindow.left() * dScaleX,
                      m_rcViewport.top() - m_rcWindow.top() * dScaleY);
}

QPointF CGeometryLayer::MapToImage(const QPointF& ptWidget) const
{
    return GetImageToWidget().inverted().map(ptWidget);
}

QRectF CGeometryLayer::MapToImage(const QRectF& rcWidget) const
{
    return QRectF(MapToImage(rcWidget.topLeft()), MapToImage(rcWidget.bottomRight()));
}

QPointF CGeometryLayer::MapToWidget(const QPointF& ptImage) const
{
    return GetImageToWidget().map(ptImage);
}

QRectF CGeometryLayer::MapToWidget(const QRectF& rcImage) const
{
    return QRectF(MapToWidget(rcImage.topLeft()), MapToWidget(rcImage.bottomRight()));
}

void CGeometryLayer::slot_ChangeViewMode()
{
    if (!m_pViewModeModel)
        return;
    switch (m_pViewModeModel->GetViewMode())
    {
    case EImageView2DMode_Selecting:
        setCursor(Qt::ArrowCursor);
        break;
    case EImageView2DMode_Panning:
        setCursor(Qt::SizeAllCursor);
        break;
    case EImageView2DMode_Drawing_Rectanlge:
    case EImageView2DMode_Drawing_Ellipse:
    case EImageView2DMode_Drawing_Circle:
    case EImageView2DMode_Drawing_Polygon:
    case EImageView2DMode_Drawing_Line:
        setCursor(Qt::CrossCursor);
        break;
    }
}

void CGeometryLayer::paintEvent(QPaintEvent* pEvent)
{
    QPainter painter(this);
    Paint(painter);
    if (m_rcViewport.isEmpty() || m_rcWindow.isEmpty())
        return;
    PaintDrawables(painter, GetImageToWidget(), pEvent->rect());
}
