#pragma once

#include "common/mvc/Command.h"

#include <QPointer>

#include <memory>

class CDrawableObject;
class CGeometryModel;

// Adds a drawable to a view's geometry model as the only selection; undo
// removes it. Replayed over newer edits (the drawable already there, or the
// model gone) it changes nothing. Holds the drawable; the model is borrowed.
// Owned by the undo stack. GUI thread.
class CAddDrawableCommand : public CCommand
{
public:
    CAddDrawableCommand(CGeometryModel* pModel, std::shared_ptr<CDrawableObject> pObject);

    void exec() override;
    void undo() override;

    const std::shared_ptr<CDrawableObject>& GetObject() const { return m_pObject; }

private:
    QPointer<CGeometryModel> m_pModel;
    std::shared_ptr<CDrawableObject> m_pObject;
};
