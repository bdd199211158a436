#pragma once

#include "common/mvc/Command.h"

#include <QPointF>
#include <QPointer>

#include <memory>

class CDrawableObject;
class CGeometryModel;

// Moves a drawable of a view's geometry model by a drag from ptStart to
// ptEnd (image pixels), ptOffset being the grab point minus the drawable's
// top-left; undo moves it back. While the drawable is not in the model (a
// newer edit removed it) both do nothing, so it comes back where it was.
// Holds the drawable; the model is borrowed. Owned by the undo stack. GUI thread.
class CMoveDrawableCommand : public CCommand
{
public:
    CMoveDrawableCommand(CGeometryModel* pModel, std::shared_ptr<CDrawableObject> pObject,
                         const QPointF& ptStart, const QPointF& ptEnd, const QPointF& ptOffset);

    void exec() override;
    void undo() override;

private:
    QPointer<CGeometryModel> m_pModel;
    std::shared_ptr<CDrawableObject> m_pObject;
    QPointF m_ptStart;
    QPointF m_ptEnd;
    QPointF m_ptOffset;
};
