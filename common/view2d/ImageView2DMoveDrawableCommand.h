#pragma once

#include "common/mvc/Command.h"

#include <QPointF>
#include <QPointer>

#include <memory>
#include <vector>

class CDrawableObject;
class CGeometryModel;

// Moves drawables of a view's geometry model by one drag from ptStart to
// ptEnd (image pixels), each with its offset (the grab point minus the
// drawable's top-left); undo moves them back. A drawable that is not in
// the model (a newer edit removed it) is left alone, so it comes back where
// it was. Every run ends with one geometry commit for all the drawables
// moved, so a group move is one change for whoever stores them. Holds the
// drawables; the model is borrowed. Owned by the undo stack. GUI thread.
class CMoveDrawableCommand : public CCommand
{
public:
    struct SMoved
    {
        std::shared_ptr<CDrawableObject> pObject;
        QPointF ptOffset;
    };

    CMoveDrawableCommand(CGeometryModel* pModel, std::shared_ptr<CDrawableObject> pObject,
                         const QPointF& ptStart, const QPointF& ptEnd, const QPointF& ptOffset);
    CMoveDrawableCommand(CGeometryModel* pModel, std::vector<SMoved> vctMoved, const QPointF& ptStart,
                         const QPointF& ptEnd);

    void exec() override;
    void undo() override;
    size_t Size() const { return m_vctMoved.size(); }

private:
    void MoveTo(const QPointF& ptGrab);

    QPointer<CGeometryModel> m_pModel;
    std::vector<SMoved> m_vctMoved;
    QPointF m_ptStart;
    QPointF m_ptEnd;
};
