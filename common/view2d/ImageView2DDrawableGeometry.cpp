#include "common/view2d/ImageView2DDrawableGeometry.h"

#include "optra/OptraResult.h"
#include "optra/geometry/BoxShape.h"
#include "optra/geometry/Line.h"
#include "optra/geometry/PointSet.h"
#include "optra/geometry/Polygon.h"
#include "optra/geometry/Rectangle.h"

using namespace Optra::Geometry;

namespace
{
const char* NameFormat(int nType)
{
    switch (nType)
    {
    case EShapeType_Point:
        return "Point_%u";
    case EShapeType_Line:
        return "Line_%u";
    case EShapeType_Rectangle:
        return "Rectangle_%u";
    case EShapeType_Circle:
        return "Circle_%u";
    case EShapeType_Ellipse:
        return "Ellipse_%u";
    case EShapeType_Polygon:
        return "Polygon_%u";
    case EShapeType_GeometryArray:
        return "GeometryArray_%u";
    default:
        return "Object_%u";
    }
}

CPoint ToPoint(const QPointF& pt)
{
    return CPoint(pt.x(), pt.y());
}
} // namespace

CDrawableGeometry::CDrawableGeometry(ShapePtr pGeometry)
    : CDrawableGeometry(EImageView2DDrawbleObjectType_Geometry, std::move(pGeometry))
{
}

CDrawableGeometry::CDrawableGeometry(EImageView2DDrawbleObjectType eType, ShapePtr pGeometry)
    : CDrawableObject(eType), m_pGeometry(std::move(pGeometry))
{
}

CDrawableGeometry::~CDrawableGeometry() = default;

QString CDrawableGeometry::GetName() const
{
    if (IsNameSet())
        return CDrawableObject::GetName();
    if (!m_pGeometry)
        return QString();
    return QString::asprintf(NameFormat(m_pGeometry->GetType()), GetUID());
}

QRectF CDrawableGeometry::GetBoundary() const
{
    if (!m_pGeometry)
        return QRectF(0, 0, 0, 0);
    const CRectangle boundary = m_pGeometry->GetBoundary();
    return QRectF(boundary.x(), boundary.y(), boundary.width(), boundary.height());
}

void CDrawableGeometry::MoveTopLeftTo(const QPointF& ptTopLeft)
{
    if (!m_pGeometry)
        return;
    m_pGeometry->MoveTopLeftTo(ToPoint(ptTopLeft));
    EmitPropertyChanged();
}

bool CDrawableGeometry::FindResizePoint(double dTolerance, const QPointF& ptPoint, QPointF& ptHandle)
{
    if (!m_pGeometry)
        return false;
    CPointSet edges;
    CPointSet handles;
    if (m_pGeometry->Segmentize(edges, handles) != Optra::EOptraResult_Ok)
        return false;
    const CPoint point = ToPoint(ptPoint);
    for (size_t i = 0; i < handles.Size(); ++i)
    {
        const CShape* pShape = handles.At(i);
        if (!pShape || pShape->GetType() != EShapeType_Point)
            continue;
        const auto* pHandle = static_cast<const CPoint*>(pShape);
        if (pHandle->GetDistance(point) <= dTolerance)
        {
            ptHandle = QPointF(pHandle->x(), pHandle->y());
            return true;
        }
    }
    return false;
}

void CDrawableGeometry::MoveResizePoint(const QPointF& ptHandle, const QPointF& ptTarget)
{
    if (!m_pGeometry)
        return;
    const CPoint handle = ToPoint(ptHandle);
    const CPoint target = ToPoint(ptTarget);
    bool bMoved = false;
    switch (m_pGeometry->GetType())
    {
    case EShapeType_Line:
        bMoved = MoveLineEnd(handle, target);
        break;
    case EShapeType_Rectangle:
    case EShapeType_Ellipse:
        bMoved = MoveBoxCorner(handle, target);
        break;
    case EShapeType_Polygon:
        bMoved = MovePolygonVertex(handle, target);
        break;
    default:
        break;
    }
    if (bMoved)
        EmitPropertyChanged();
}

bool CDrawableGeometry::MoveLineEnd(const CPoint& handle, const CPoint& target)
{
    auto* pLine = dynamic_cast<CLine*>(m_pGeometry.get());
    if (!pLine)
        return false;
    if (handle == pLine->start())
        pLine->SetStart(target);
    else if (handle == pLine->end())
        pLine->SetEnd(target);
    else
        return false;
    return true;
}

bool CDrawableGeometry::MoveBoxCorner(const CPoint& handle, const CPoint& target)
{
    auto* pBox = dynamic_cast<CBoxShape*>(m_pGeometry.get());
    if (!pBox)
        return false;
    // A corner shared by two others (a zero-width box) moves in this order.
    if (handle == pBox->topLeft())
        pBox->SetTopLeft(target);
    else if (handle == pBox->topRight())
        pBox->SetTopRight(target);
    else if (handle == pBox->bottomRight())
        pBox->SetBottomRight(target);
    else if (handle == pBox->bottomLeft())
        pBox->SetBottomLeft(target);
    else
        return false;
    return true;
}

bool CDrawableGeometry::MovePolygonVertex(const CPoint& handle, const CPoint& target)
{
    auto* pPolygon = dynamic_cast<CPolygon*>(m_pGeometry.get());
    if (!pPolygon)
        return false;
    CPointSet edges;
    CPointSet handles;
    if (pPolygon->Segmentize(edges, handles) != Optra::EOptraResult_Ok)
        return false;
    for (size_t i = 0; i < handles.Size(); ++i)
    {
        CShape* pShape = handles.At(i);
        if (!pShape || pShape->GetType() != EShapeType_Point)
            continue;
        auto* pVertex = static_cast<CPoint*>(pShape);
        if (*pVertex == handle)
        {
            pVertex->SetX(target.x());
            pVertex->SetY(target.y());
            return pPolygon->SetPoints(handles) == Optra::EOptraResult_Ok;
        }
    }
    return false;
}
