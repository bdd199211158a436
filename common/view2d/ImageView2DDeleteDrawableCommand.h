#pragma once

#include "common/view2d/ImageView2DAddDrawableCommand.h"

// Removes a drawable from a view's geometry model; undo puts it back as the
// only selection: an add run backwards, with the same tolerance of a model
// that changed meanwhile (the drawable already gone, or the model gone).
// Owned by the undo stack. GUI thread.
class CDeleteDrawableCommand : public CAddDrawableCommand
{
public:
    using CAddDrawableCommand::CAddDrawableCommand;

    void exec() override { CAddDrawableCommand::undo(); }
    void undo() override { CAddDrawableCommand::exec(); }
};
