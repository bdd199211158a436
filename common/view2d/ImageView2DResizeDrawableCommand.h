#pragma once

#include "common/mvc/Command.h"

#include <QPointF>
#include <QPointer>

#include <memory>
#include <vector>

class CDrawableObject;
class CGeometryModel;

// Moves one resize handle of each of its drawables of a view's geometry
// model from its ptFrom to its ptTo (image pixels, the handle's own
// positions); undo moves them back. Each direction acts only on a handle
// that sits where that direction starts, so running it again, or over newer
// edits that moved or removed a drawable, changes nothing there. Every run
// ends with one geometry commit for all its drawables, so resizing several
// at once is one change for whoever stores them. Holds the drawables; the
// model is borrowed. Owned by the undo stack. GUI thread.
class CResizeDrawableCommand : public CCommand
{
public:
    struct SResized
    {
        std::shared_ptr<CDrawableObject> pObject;
        QPointF ptFrom;
        QPointF ptTo;
    };

    CResizeDrawableCommand(CGeometryModel* pModel, std::shared_ptr<CDrawableObject> pObject,
                           const QPointF& ptFrom, const QPointF& ptTo);
    CResizeDrawableCommand(CGeometryModel* pModel, std::vector<SResized> vctResized);

    void exec() override;
    void undo() override;

private:
    void MoveHandles(bool bForward);

    QPointer<CGeometryModel> m_pModel;
    std::vector<SResized> m_vctResized;
};
