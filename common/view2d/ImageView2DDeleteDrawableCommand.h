#pragma once

#include "common/mvc/Command.h"

#include <QPointer>

#include <memory>

class CDrawableObject;
class CGeometryModel;

// Removes a drawable from a view's geometry model; undo puts it back as the
// only selection. Replayed over newer edits (the drawable already gone, or
// the model gone) it changes nothing. Holds the drawable; the model is
// borrowed. Owned by the undo stack. GUI thread.
class CDeleteDrawableCommand : public CCommand
{
public:
    CDeleteDrawableCommand(CGeometryModel* pModel, std::shared_ptr<CDrawableObject> pObject);

    void exec() override;
    void undo() override;

private:
    QPointer<CGeometryModel> m_pModel;
    std::shared_ptr<CDrawableObject> m_pObject;
};
