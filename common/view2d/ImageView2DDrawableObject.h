#pragma once

#include "optra/OptraObject.h"

#include <QBrush>
#include <QObject>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVariant>

#include <cstdint>

// Kind of a drawable; the drawing layer paints geometry drawables and
// measuring lines and skips anything else.
enum EImageView2DDrawbleObjectType : int32_t
{
    EImageView2DDrawbleObjectType_Geometry = 1,
    EImageView2DDrawbleObjectType_Ruler = 3,
};

// One shape shown over the image of a 2D view: a region the user drew, a
// stored ROI the project put on the view, or a measuring line. Carries a
// process-wide unique id (GetUID), a name, a selection flag and free extra
// data the project side attaches. Always held by std::shared_ptr, shared by
// the geometry model, undo commands and the project side; no Qt parent.
// Coordinates are image pixels. GUI thread.
class CDrawableObject : public QObject, public Optra::COptraObject
{
    Q_OBJECT
public:
    ~CDrawableObject() override;

    EImageView2DDrawbleObjectType GetType() const { return m_eType; }
    bool GetSelected() const { return m_bSelected; }
    void SetSelected(bool bSelected);
    // Whether the drawing layer writes the name next to the shape.
    bool GetDisplayName() const { return m_bDisplayName; }
    void SetDisplayName(bool bDisplayName);
    // Grab point to object vector, kept while the object is dragged.
    QPointF GetMouseOffset() const { return m_ptMouseOffset; }
    void SetMouseOffset(const QPointF& ptOffset);
    const QPen& GetPen() const { return m_pen; }
    void SetPen(const QPen& pen);
    const QBrush& GetBrushFilled() const { return m_brushFilled; }
    void SetBrushFilled(const QBrush& brush);
    // Free data of the project side; setting it notifies nobody.
    const QVariant& GetExtraInfo() const { return m_varExtraInfo; }
    void SetExtraInfo(const QVariant& varInfo) { m_varExtraInfo = varInfo; }
    void SetName(const QString& strName);

    // The name once one was set, else a default made from the id.
    virtual QString GetName() const;
    // Extent in image pixels (x, y, width, height); sizes may be negative
    // for a box drawn up or to the left. All zero without a shape.
    virtual QRectF GetBoundary() const = 0;
    // Moves the shape so that its boundary's (x, y) lands on the point.
    virtual void MoveTopLeftTo(const QPointF& ptTopLeft) = 0;
    // Finds the first resize handle not farther than dTolerance (image
    // pixels) from the point and copies it into ptHandle; false when none is.
    virtual bool FindResizePoint(double dTolerance, const QPointF& ptPoint, QPointF& ptHandle) = 0;
    // Moves the handle equal to ptHandle to ptTarget; nothing when no handle matches.
    virtual void MoveResizePoint(const QPointF& ptHandle, const QPointF& ptTarget) = 0;

    // Tolerant equality per coordinate (a = b and c = d for the doubles).
    static bool CompareEqual(const QPointF& a, const QPointF& b);
    static bool CompareEqual(double a, double b, double c, double d);

signals:
    void signal_ChangeDrawableObjectProperty(unsigned int uid);

protected:
    explicit CDrawableObject(EImageView2DDrawbleObjectType eType);

    bool IsNameSet() const { return m_bNameSet; }
    void EmitPropertyChanged();

private:
    EImageView2DDrawbleObjectType m_eType;
    QString m_strName;
    bool m_bNameSet = false;
    bool m_bSelected = false;
    bool m_bDisplayName = true;
    QVariant m_varExtraInfo;
    QPointF m_ptMouseOffset;
    QPen m_pen{Qt::NoPen};
    QBrush m_brushFilled{Qt::NoBrush};
};
