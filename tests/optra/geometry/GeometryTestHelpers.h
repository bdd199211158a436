#pragma once

#include "optra/geometry/Ellipse.h"
#include "optra/geometry/GeometryArray.h"
#include "optra/geometry/Line.h"
#include "optra/geometry/Point.h"
#include "optra/geometry/PointSet.h"
#include "optra/geometry/Polygon.h"
#include "optra/geometry/Rectangle.h"

#include <QMetaType>
#include <QPointF>
#include <QRectF>
#include <QVector>

#include <memory>

using ShapePtr = std::shared_ptr<Optra::Geometry::CShape>;
Q_DECLARE_METATYPE(ShapePtr)

namespace OptraTest
{

inline ShapePtr MakePolygon(const QVector<QPointF>& vctPoints)
{
    Optra::Geometry::CPointSet points;
    for (const QPointF& point : vctPoints)
        points.Add(std::make_shared<Optra::Geometry::CPoint>(point.x(), point.y()));
    auto pPolygon = std::make_shared<Optra::Geometry::CPolygon>();
    pPolygon->SetPoints(points);
    return pPolygon;
}

inline ShapePtr MakeArray(const std::vector<ShapePtr>& vctMembers)
{
    auto pArray = std::make_shared<Optra::Geometry::CGeometryArray>();
    for (const ShapePtr& pMember : vctMembers)
        pArray->Add(pMember);
    return pArray;
}

// The points of a set that are CPoints, in order.
inline QVector<QPointF> PointsOf(const Optra::Geometry::CPointSet& set)
{
    QVector<QPointF> vctPoints;
    for (size_t i = 0; i < set.Size(); ++i)
    {
        if (set.At(i)->GetType() == Optra::Geometry::EShapeType_Point)
        {
            const auto* pPoint = static_cast<const Optra::Geometry::CPoint*>(set.At(i));
            vctPoints << QPointF(pPoint->x(), pPoint->y());
        }
    }
    return vctPoints;
}

inline QRectF BoundaryOf(const Optra::Geometry::CShape& shape)
{
    const Optra::Geometry::CRectangle box = shape.GetBoundary();
    return QRectF(box.x(), box.y(), box.width(), box.height());
}

} // namespace OptraTest
