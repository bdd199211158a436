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
};

QPen OutlinePen(const QColor& colour, Qt::PenStyle style)
{
    QPen pen(colour, 1, style, Qt::SquareCap, Qt::BevelJoin);
    return pen;
}

const SColours& Colours(bool bSelected)
{
    static const SColours selected{OutlinePen(QColor(255, 0, 0, 255), Qt::SolidLine),
                                   QBrush(QColor(255, 0, 0, 50))};
    static const SColours other{OutlinePen(QColor(0, 255, 0, 255), Qt::SolidLine),
                                QBrush(QColor(0, 255, 0, 50))};
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

void DrawShape(QPainter& painter, const CShape& shape, const CPointSet& handles, const QTransform& transform)
{
    if (shape.GetType() == EShapeType_Polygon)
        DrawPolygon(painter, handles, transform);
    else
        DrawElement(painter, shape, transform, 1);
    for (size_t i = 0; i < handles.Size(); ++i)
    {
        if (const CShape* pHandle = handles.At(i))
            DrawElement(painter, *pHandle, transform, CGeometryLayer::HANDLE_RADIUS);
    }
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
    double dAscent = 0;
    double dDescent = 0;
};

const QStaticText& CGeometryLayer::LabelText(const QString& strText, const QFont& font, int nDpi)
{
    if (nDpi != m_nLabelDpi || m_hashLabels.size() > MAX_CACHED_LABELS)
    {
        m_hashLabels.clear();
        m_nLabelDpi = nDpi;
    }
    auto it = m_hashLabels.find(strText);
    if (it == m_hashLabels.end())
    {
        it = m_hashLabels.insert(strText, QStaticText(strText));
        it->setTextFormat(Qt::PlainText);
        it->prepare(QTransform(), font);
    }
    return *it;
}

void CGeometryLayer::PaintLabel(QPainter& painter, const QString& strText, const QPointF& ptAnchor,
                                const SPaintContext& context)
{
    if (strText.isEmpty())
        return;
    const QStaticText& text = LabelText(strText, context.font, context.nDpi);
    // The anchor is on the text's baseline, as for QPainter::drawText.
    const QRectF rcLabel(ptAnchor.x(), ptAnchor.y() - context.dAscent, text.size().width(),
                         text.size().height());
    if (!rcLabel.intersects(context.rcExposed))
        return;
    painter.fillRect(rcLabel, QColor(10, 10, 10, 255));
    painter.setPen(QColor(255, 255, 255, 255));
    painter.drawStaticText(rcLabel.topLeft(), text);
}

void CGeometryLayer::PaintDrawable(QPainter& painter, const CDrawableObject& object,
                                   const SPaintContext& context)
{
    const CShape* pShape = PaintedShape(object);
    if (!pShape)
        return;
    const bool bRuler = object.GetType() == EImageView2DDrawbleObjectType_Ruler;
    const bool bLabel = bRuler || object.GetDisplayName();
    const QRectF rcBox = context.transform.mapRect(object.GetBoundary().normalized());
    const QPointF ptAnchor =
        bRuler ? context.transform.map(static_cast<const CDrawableRuler&>(object).GetPointText())
               : rcBox.topLeft();
    const double dMargin = HANDLE_RADIUS + 2;
    const bool bShapeShows =
        rcBox.adjusted(-dMargin, -dMargin, dMargin, dMargin).intersects(context.rcExposed);
    // A label starts at its anchor and runs to the right for as long as its text.
    const bool bLabelMayShow = bLabel && ptAnchor.x() <= context.rcExposed.right() &&
                               ptAnchor.y() - context.dAscent <= context.rcExposed.bottom() &&
                               ptAnchor.y() + context.dDescent >= context.rcExposed.top();
    if (!bShapeShows && !bLabelMayShow)
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
        DrawShape(painter, *pShape, handles, context.transform);
    }
    if (!bLabel)
        return;
    if (!bRuler)
    {
        PaintLabel(painter, object.GetName(), ptAnchor, context);
        return;
    }
    if (const CLine* pLine = static_cast<const CDrawableRuler&>(object).GetLine())
        PaintLabel(painter, QString::asprintf("%.03f pixel", pLine->GetLength()), ptAnchor, context);
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
    context.dAscent = metrics.ascent();
    context.dDescent = metrics.descent();
    for (const ObjectPtr& pObject : m_vctDrawables)
        PaintDrawable(painter, *pObject, context);
    painter.restore();
}
