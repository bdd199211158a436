#pragma once

#include "common/mvc/Command.h"

#include <memory>
#include <vector>

// Several commands applied and taken back as one undo step: a drag that
// moves three boxes, a delete of every selected box. Owns its commands.
// GUI thread.
class CMacroCommand : public CCommand
{
public:
    CMacroCommand() = default;
    ~CMacroCommand() override;

    // Applies the commands first to last.
    void exec() override;
    // Takes them back last to first, so the state before exec() returns.
    void undo() override;
    // Takes ownership; a null command is kept in its place and skipped.
    virtual void addCommand(CCommand* command);

    size_t Size() const { return m_vctCommands.size(); }

private:
    std::vector<std::unique_ptr<CCommand>> m_vctCommands;
};
