#pragma once

#include "common/view2d/ImageView2DDrawableGeometry.h"

#include <memory>

namespace Optra::Geometry
{
class CLine;
}

// A measuring line: a geometry drawable whose shape is a CLine; the drawing
// layer writes its length at the line's end. See CDrawableObject for
// ownership and thread.
class CDrawableRuler : public CDrawableGeometry
{
    Q_OBJECT
public:
    explicit CDrawableRuler(std::shared_ptr<Optra::Geometry::CLine> pLine = nullptr);
    ~CDrawableRuler() override;

    // Where the length is written: the line's end, (0, 0) without a line.
    QPointF GetPointText() const;
    // The line, or null when the shape is missing or not a line.
    const Optra::Geometry::CLine* GetLine() const;
};
