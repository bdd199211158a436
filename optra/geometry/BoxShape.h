#pragma once

#include "optra/geometry/Point.h"

namespace Optra::Geometry
{

// Common part of the shapes defined by a box (x, y, width, height) in image
// pixels: rectangles and ellipses. The box is kept as given, so a box drawn
// up or to the left keeps its negative width or height; like QRectF, left()
// and top() are x and y, and the corners are named after the stored
// origin: topLeft() is (x, y) and bottomRight() (x + width, y + height)
// whatever the signs. A value type; see CShape.
class CBoxShape : public CShape
{
public:
    double x() const { return m_dX; }
    double y() const { return m_dY; }
    double left() const { return m_dX; }
    double top() const { return m_dY; }
    double right() const { return m_dX + m_dWidth; }
    double bottom() const { return m_dY + m_dHeight; }
    double width() const { return m_dWidth; }
    double height() const { return m_dHeight; }

    CPoint topLeft() const { return CPoint(left(), top()); }
    CPoint topRight() const { return CPoint(right(), top()); }
    CPoint bottomRight() const { return CPoint(right(), bottom()); }
    CPoint bottomLeft() const { return CPoint(left(), bottom()); }
    // Each setter moves one corner and keeps the opposite one in place; a
    // corner dragged across the opposite side makes the size negative.
    void SetTopLeft(const CPoint& point);
    void SetTopRight(const CPoint& point);
    void SetBottomRight(const CPoint& point);
    void SetBottomLeft(const CPoint& point);

    void Translate(double dDx, double dDy) override;
    CRectangle GetBoundary() const override;

protected:
    CBoxShape() = default;
    CBoxShape(double dX, double dY, double dWidth, double dHeight)
        : m_dX(dX), m_dY(dY), m_dWidth(dWidth), m_dHeight(dHeight)
    {
    }

    // The four corners as handles, in the order the drawing tools expect.
    void AddCornerHandles(CPointSet& handles) const;
    void SetEdges(double dLeft, double dTop, double dRight, double dBottom);

private:
    double m_dX = 0;
    double m_dY = 0;
    double m_dWidth = 0;
    double m_dHeight = 0;
};

} // namespace Optra::Geometry
