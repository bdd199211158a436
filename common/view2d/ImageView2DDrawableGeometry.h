#pragma once

#include "common/view2d/ImageView2DDrawableObject.h"

#include "optra/geometry/Shape.h"

#include <memory>

// A drawable holding one shape of the imaging library (rectangle, ellipse,
// polygon, line, point, geometry array) in image pixels. The shape is shared
// with whoever gave it; moves and resizes change it in place. See
// CDrawableObject for ownership and thread.
class CDrawableGeometry : public CDrawableObject
{
    Q_OBJECT
public:
    using ShapePtr = std::shared_ptr<Optra::Geometry::CShape>;

    explicit CDrawableGeometry(ShapePtr pGeometry = nullptr);
    ~CDrawableGeometry() override;

    // Replaces the shape without notifying anybody.
    void SetData(ShapePtr pGeometry) { m_pGeometry = std::move(pGeometry); }
    const ShapePtr& GetData() const { return m_pGeometry; }

    // The name once one was set; else empty without a shape, or the shape's
    // kind with the id ("Rectangle_12").
    QString GetName() const override;
    QRectF GetBoundary() const override;
    void MoveTopLeftTo(const QPointF& ptTopLeft) override;
    bool FindResizePoint(double dTolerance, const QPointF& ptPoint, QPointF& ptHandle) override;
    // Lines move their start or end, rectangles and ellipses the first
    // matching corner (top-left, top-right, bottom-right, bottom-left),
    // polygons the first matching vertex; other shapes do not resize.
    void MoveResizePoint(const QPointF& ptHandle, const QPointF& ptTarget) override;

protected:
    CDrawableGeometry(EImageView2DDrawbleObjectType eType, ShapePtr pGeometry);

private:
    bool MoveBoxCorner(const Optra::Geometry::CPoint& handle, const Optra::Geometry::CPoint& target);
    bool MoveLineEnd(const Optra::Geometry::CPoint& handle, const Optra::Geometry::CPoint& target);
    bool MovePolygonVertex(const Optra::Geometry::CPoint& handle, const Optra::Geometry::CPoint& target);

    ShapePtr m_pGeometry;
};
