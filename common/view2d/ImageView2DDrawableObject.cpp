#include "common/view2d/ImageView2DDrawableObject.h"

CDrawableObject::CDrawableObject(EImageView2DDrawbleObjectType eType) : m_eType(eType) {}

CDrawableObject::~CDrawableObject() = default;

void CDrawableObject::EmitPropertyChanged()
{
    emit signal_ChangeDrawableObjectProperty(GetUID());
}

void CDrawableObject::SetSelected(bool bSelected)
{
    if (bSelected == m_bSelected)
        return;
    m_bSelected = bSelected;
    EmitPropertyChanged();
}

void CDrawableObject::SetDisplayName(bool bDisplayName)
{
    if (bDisplayName == m_bDisplayName)
        return;
    m_bDisplayName = bDisplayName;
    EmitPropertyChanged();
}

void CDrawableObject::SetMouseOffset(const QPointF& ptOffset)
{
    if (ptOffset == m_ptMouseOffset)
        return;
    m_ptMouseOffset = ptOffset;
    EmitPropertyChanged();
}

void CDrawableObject::SetPen(const QPen& pen)
{
    m_pen = pen;
    EmitPropertyChanged();
}

void CDrawableObject::SetBrushFilled(const QBrush& brush)
{
    m_brushFilled = brush;
    EmitPropertyChanged();
}

void CDrawableObject::SetName(const QString& strName)
{
    if (strName == m_strName)
        return;
    m_strName = strName;
    m_bNameSet = true;
    EmitPropertyChanged();
}

QString CDrawableObject::GetName() const
{
    return m_bNameSet ? m_strName : QString::asprintf("Object_%u", GetUID());
}

bool CDrawableObject::CompareEqual(const QPointF& a, const QPointF& b)
{
    return CompareEqual(a.x(), b.x(), a.y(), b.y());
}

bool CDrawableObject::CompareEqual(double a, double b, double c, double d)
{
    return COptraObject::CompareEqual(a, b) && COptraObject::CompareEqual(c, d);
}
