// Painting of the drawables. Everything is drawn in device pixels after
// mapping the shapes there, so outlines stay one pixel wide at any zoom and
// the pens need no rescaling per drawable.
#include "common/view2d/ImageView2DDrawableWidget.h"

#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DDrawableRuler.h"

#include "optra/OptraResult.h"
#include "optra/geometry/Ellipse.h"
#include "optra/geometry/Line.h"
#include "optra/geometry/PointSet.h"
#include "optra/geometry/Rectangle.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

using namespace Optra::Geometry;

namespace
{
constexpr int MAX_CACHED_LABELS = 8192;

struct SColours
{
    QPen pen;
    QBrush brush;
    // A handle circle drawn once with this pen and brush, centred on the
    // sprite's middle pixel: stamping it is far cheaper than rasterising
    // thousands of tiny ellipses.
    QImage handle;
    // The same without the fill, for measuring lines.
    QImage handleOutline;
};

// One device pixel wide; cosmetic, so the raster engine takes its fast path
// for thin outlines.
QPen OutlinePen(const QColor& colour, Qt::PenStyle style)
{
    QPen pen(colour, 1, style, Qt::SquareCap, Qt::BevelJoin);
    pen.setCosmetic(true);
    return pen;
}

QImage HandleSprite(const QPen& pen, const QBrush& brush)
{
    const int nSide = 2 * CGeometryLayer::HANDLE_RADIUS + 3;
    QImage sprite(nSide, nSide, QImage::Format_ARGB32_Premultiplied);
    sprite.fill(Qt::transparent);
    QPainter painter(&sprite);
    painter.setPen(pen);
    painter.setBrush(brush);
    const int nCentre = nSide / 2;
    painter.drawEllipse(QPointF(nCentre, nCentre), CGeometryLayer::HANDLE_RADIUS,
                        CGeometryLayer::HANDLE_RADIUS);
    return sprite;
}

SColours MakeColours(const QColor& colour)
{
    const QPen pen = OutlinePen(colour, Qt::SolidLine);
    const QBrush brush(QColor(colour.red(), colour.green(), colour.blue(), 50));
    return SColours{pen, brush, HandleSprite(pen, brush), HandleSprite(pen, Qt::NoBrush)};
}

const SColours& Colours(bool bSelected)
{
    static const SColours selected = MakeColours(QColor(255, 0, 0, 255));
    static const SColours other = MakeColours(QColor(0, 255, 0, 255));
    return bSelected ? selected : other;
}

const QPen& BoundaryPen()
{
    static const QPen pen = OutlinePen(QColor(100, 100, 100, 255), Qt::DashLine);
    return pen;
}

QFont LabelFont()
{
    // Where Arial is missing the font matching of the platform picks its
    // sans-serif stand-in.
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(16);
    return font;
}

QPointF ToQPoint(const CPoint& point)
{
    return QPointF(point.x(), point.y());
}

// The drawable's shape when the layer paints this kind of drawable.
const CShape* PaintedShape(const CDrawableObject& object)
{
    if (object.GetType() != EImageView2DDrawbleObjectType_Geometry &&
        object.GetType() != EImageView2DDrawbleObjectType_Ruler)
        return nullptr;
    const auto* pGeometry = dynamic_cast<const CDrawableGeometry*>(&object);
    return pGeometry ? pGeometry->GetData().get() : nullptr;
}

// Rectangles: their box is their outline, so a dashed box over it would
// only hide the selection colour. Lines and arrays have no box worth showing.
bool HasBoundaryBox(int nType)
{
    return nType != EShapeType_Line && nType != EShapeType_GeometryArray && nType != EShapeType_Rectangle;
}

void DrawElement(QPainter& painter, const CShape& shape, const QTransform& transform, double dRadius)
{
    switch (shape.GetType())
    {
    case EShapeType_Point:
        painter.drawEllipse(transform.map(ToQPoint(static_cast<const CPoint&>(shape))), dRadius, dRadius);
        break;
    case EShapeType_Line:
    {
        const auto& line = static_cast<const CLine&>(shape);
        painter.drawLine(transform.map(ToQPoint(line.start())), transform.map(ToQPoint(line.end())));
        break;
    }
    case EShapeType_Rectangle:
    {
        const auto& box = static_cast<const CRectangle&>(shape);
        painter.drawRect(transform.mapRect(QRectF(box.left(), box.top(), box.width(), box.height())));
        break;
    }
    case EShapeType_Ellipse:
    {
        const auto& ellipse = static_cast<const CEllipse&>(shape);
        painter.drawEllipse(transform.mapRect(QRectF(ellipse.centerX() - ellipse.radiusA(),
                                                     ellipse.centerY() - ellipse.radiusB(),
                                                     2 * ellipse.radiusA(), 2 * ellipse.radiusB())));
        break;
    }
    default:
        break;
    }
}

void DrawPolygon(QPainter& painter, const CPointSet& handles, const QTransform& transform)
{
    QPolygonF polygon;
    polygon.reserve(int(handles.Size()));
    for (size_t i = 0; i < handles.Size(); ++i)
    {
        const CShape* pHandle = handles.At(i);
        if (pHandle && pHandle->GetType() == EShapeType_Point)
            polygon << transform.map(ToQPoint(*static_cast<const CPoint*>(pHandle)));
    }
    painter.drawPolygon(polygon, Qt::OddEvenFill);
}

void DrawHandles(QPainter& painter, const CPointSet& handles, const QTransform& transform,
                 const QImage& sprite)
{
    const int nHalf = sprite.width() / 2;
    for (size_t i = 0; i < handles.Size(); ++i)
    {
        const CShape* pHandle = handles.At(i);
        if (!pHandle)
            continue;
        if (pHandle->GetType() != EShapeType_Point)
        {
            DrawElement(painter, *pHandle, transform, CGeometryLayer::HANDLE_RADIUS);
            continue;
        }
        const QPointF ptCentre = transform.map(ToQPoint(*static_cast<const CPoint*>(pHandle)));
        painter.drawImage(QPoint(qRound(ptCentre.x()) - nHalf, qRound(ptCentre.y()) - nHalf), sprite);
    }
}

void DrawShape(QPainter& painter, const CShape& shape, const CPointSet& handles, const QTransform& transform,
               const QImage& handleSprite)
{
    if (shape.GetType() == EShapeType_Polygon)
        DrawPolygon(painter, handles, transform);
    else
        DrawElement(painter, shape, transform, 1);
    DrawHandles(painter, handles, transform, handleSprite);
    if (!HasBoundaryBox(shape.GetType()))
        return;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(BoundaryPen());
    const CRectangle box = shape.GetBoundary();
    painter.drawRect(transform.mapRect(QRectF(box.x(), box.y(), box.width(), box.height())));
}
} // namespace

struct CGeometryLayer::SPaintContext
{
    QTransform transform;
    QRectF rcExposed;
    QFont font;
    int nDpi = 0;
    const QFontMetricsF* pMetrics = nullptr;
    double dAscent = 0;
    double dDescent = 0;
};

const CGeometryLayer::SLabelText& CGeometryLayer::LabelText(const QString& strText,
                                                            const SPaintContext& context)
{
    if (context.nDpi != m_nLabelDpi || m_hashLabels.size() > MAX_CACHED_LABELS)
    {
        m_hashLabels.clear();
        m_nLabelDpi = context.nDpi;
    }
    auto it = m_hashLabels.find(strText);
    if (it == m_hashLabels.end())
    {
        SLabelText label{QStaticText(strText), 0};
        label.text.setTextFormat(Qt::PlainText);
        label.text.prepare(QTransform(), context.font);
        // With some fonts the laid-out size falls short of the glyphs as
        // the painter's device draws them; the box must hold all of them.
        label.dWidth = std::max(label.text.size().width(),
                                context.pMetrics ? context.pMetrics->horizontalAdvance(strText) : 0.0);
        it = m_hashLabels.insert(strText, label);
    }
    return *it;
}

CGeometryLayer::SLabel CGeometryLayer::MakeLabel(const CDrawableObject& object, const QPointF& ptAnchor,
                                                 const SPaintContext& context)
{
    QString strText;
    if (object.GetType() != EImageView2DDrawbleObjectType_Ruler)
        strText = object.GetName();
    else if (const CLine* pLine = static_cast<const CDrawableRuler&>(object).GetLine())
        strText = QString::asprintf("%.03f pixel", pLine->GetLength());
    if (strText.isEmpty())
        return SLabel();
    const SLabelText& label = LabelText(strText, context);
    // The anchor is on the text's baseline, as for QPainter::drawText.
    return SLabel{&label.text, QRectF(ptAnchor.x(), ptAnchor.y() - context.dAscent, label.dWidth,
                                      label.text.size().height())};
}

void CGeometryLayer::PaintDrawable(QPainter& painter, const CDrawableObject& object,
                                   const SPaintContext& context)
{
    const CShape* pShape = PaintedShape(object);
    if (!pShape)
        return;
    const bool bRuler = object.GetType() == EImageView2DDrawbleObjectType_Ruler;
    const QRectF rcBox = context.transform.mapRect(object.GetBoundary().normalized());
    const double dMargin = HANDLE_RADIUS + 2;
    const bool bShapeShows =
        rcBox.adjusted(-dMargin, -dMargin, dMargin, dMargin).intersects(context.rcExposed);
    const QPointF ptAnchor =
        bRuler ? context.transform.map(static_cast<const CDrawableRuler&>(object).GetPointText())
               : rcBox.topLeft();
    // A label runs right from its anchor as far as its text: only labels in
    // the exposed rows and not right of it need their text measured.
    SLabel label;
    if ((bRuler || (m_bShowNames && object.GetDisplayName())) && ptAnchor.x() <= context.rcExposed.right() &&
        ptAnchor.y() - context.dAscent <= context.rcExposed.bottom() &&
        ptAnchor.y() + context.dDescent >= context.rcExposed.top())
        label = MakeLabel(object, ptAnchor, context);
    const bool bLabelShows = label.pText && label.rect.intersects(context.rcExposed);
    if (!bShapeShows && !bLabelShows)
        return;

    CPointSet edges;
    CPointSet handles;
    if (pShape->Segmentize(edges, handles) != Optra::EOptraResult_Ok)
        return;
    if (bShapeShows)
    {
        const SColours& colours = Colours(object.GetSelected());
        painter.setPen(colours.pen);
        painter.setBrush(bRuler ? QBrush(Qt::NoBrush) : colours.brush);
        DrawShape(painter, *pShape, handles, context.transform,
                  bRuler ? colours.handleOutline : colours.handle);
    }
    if (!bLabelShows)
        return;
    painter.fillRect(label.rect, QColor(10, 10, 10, 255));
    painter.setPen(QColor(255, 255, 255, 255));
    painter.drawStaticText(label.rect.topLeft(), *label.pText);
}

void CGeometryLayer::PaintDrawables(QPainter& painter, const QTransform& imageToWidget,
                                    const QRect& rcExposed)
{
    if (m_vctDrawables.empty() || !imageToWidget.isInvertible())
        return;
    painter.save();
    painter.setViewTransformEnabled(false);
    painter.setWorldTransform(QTransform());
    painter.setRenderHint(QPainter::Antialiasing, false);

    SPaintContext context;
    context.transform = imageToWidget;
    context.rcExposed = QRectF(rcExposed);
    context.font = LabelFont();
    painter.setFont(context.font);
    const QFontMetricsF metrics(painter.font(), painter.device());
    context.nDpi = painter.device()->logicalDpiY();
    context.pMetrics = &metrics;
    context.dAscent = metrics.ascent();
    context.dDescent = metrics.descent();
    for (const ObjectPtr& pObject : m_vctDrawables)
        PaintDrawable(painter, *pObject, context);
    painter.restore();
}
