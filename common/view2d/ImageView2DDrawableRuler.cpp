#include "common/view2d/ImageView2DDrawableRuler.h"

#include "optra/geometry/Line.h"

CDrawableRuler::CDrawableRuler(std::shared_ptr<Optra::Geometry::CLine> pLine)
    : CDrawableGeometry(EImageView2DDrawbleObjectType_Ruler, std::move(pLine))
{
}

CDrawableRuler::~CDrawableRuler() = default;

const Optra::Geometry::CLine* CDrawableRuler::GetLine() const
{
    return dynamic_cast<const Optra::Geometry::CLine*>(GetData().get());
}

QPointF CDrawableRuler::GetPointText() const
{
    const Optra::Geometry::CLine* pLine = GetLine();
    return pLine ? QPointF(pLine->end().x(), pLine->end().y()) : QPointF(0, 0);
}
