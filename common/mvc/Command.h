#pragma once

// One undoable edit. exec() applies it, undo() takes it back and redo()
// applies it again (by default as exec() does). Commands are owned by the
// CUndoStack they were pushed on, or by the CMacroCommand that holds them.
// Not a QObject; used on the GUI thread.
class CCommand
{
public:
    CCommand() = default;
    CCommand(const CCommand&) = delete;
    CCommand& operator=(const CCommand&) = delete;
    virtual ~CCommand() = default;

    virtual void exec() = 0;
    virtual void undo() = 0;
    virtual void redo() { exec(); }
};
