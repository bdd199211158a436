#pragma once

#include "common/mvc/Command.h"

#include <QPointF>
#include <QPointer>

#include <memory>

class CDrawableObject;
class CGeometryModel;

// Moves one resize handle of a drawable of a view's geometry model from
// ptFrom to ptTo (image pixels, the handle's own positions); undo moves it
// back. Each direction acts only while the handle sits where that
// direction starts, so running it again, or over newer edits that moved or
// removed the drawable, changes nothing. Every run ends with a geometry
// commit of the drawable. Holds the drawable; the model is borrowed. Owned by the undo stack. GUI thread.
class CResizeDrawableCommand : public CCommand
{
public:
    CResizeDrawableCommand(CGeometryModel* pModel, std::shared_ptr<CDrawableObject> pObject,
                           const QPointF& ptFrom, const QPointF& ptTo);

    void exec() override;
    void undo() override;

private:
    void MoveHandle(const QPointF& ptFrom, const QPointF& ptTo);

    QPointer<CGeometryModel> m_pModel;
    std::shared_ptr<CDrawableObject> m_pObject;
    QPointF m_ptFrom;
    QPointF m_ptTo;
};
