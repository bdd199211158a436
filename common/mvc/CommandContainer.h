#pragma once

#include "common/mvc/Command.h"

#include <QMutex>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

// The undo history of one 2D view: applied commands on the undo stack,
// taken-back ones on the redo stack, newest at the back of each. A push keeps
// the redo stack, so a later Redo applies an older undone edit on top of
// newer ones; the commands must therefore tolerate a model that changed
// since they last ran. Owned by its view controller; commands live until
// the stack goes or is cleared. Each stack has its own mutex and no lock is
// held while a command runs, so a command may call back into the stack's
// owner, even clear the stack (the running command is then deleted once it
// returns). Pushes may come from any thread; Undo, Redo and Clear run on the
// GUI thread.
class CUndoStack
{
public:
    CUndoStack() = default;
    CUndoStack(const CUndoStack&) = delete;
    CUndoStack& operator=(const CUndoStack&) = delete;
    virtual ~CUndoStack();

    // Takes ownership and appends the command to the undo stack without
    // running it; the caller runs exec() afterwards. A null command is
    // ignored.
    virtual void PushUndo(CCommand* command);
    // PushUndo, then runs the command's exec() as the stack's own Undo and
    // Redo run commands, so that it may discard its own step while it runs.
    void PushAndExec(CCommand* command);
    // Forgets the newest applied command when fnMatch accepts it (an edit
    // that was withdrawn as soon as it was made leaves no step behind);
    // false when there is none or it does not match.
    bool DiscardNewestIf(const std::function<bool(const CCommand&)>& fnMatch);
    // Asks that the step running now (a push, an undo or a redo) be taken
    // back as soon as it returns: the command runs the other way and ends
    // where it was before (a pushed one is forgotten), so an edit the host
    // refused leaves neither its effect nor a step behind. Ignored while
    // nothing runs and while such a reversal runs, so a refusal can never
    // recurse. False when it was ignored.
    bool RejectRunning();
    // True while a rejected step is being taken back.
    bool IsReverting() const { return m_bReverting; }
    // Moves the newest applied command to the redo stack, then takes it back.
    virtual void Undo();
    // Moves the newest undone command to the undo stack, then applies it again.
    virtual void Redo();

    // Deletes every command of both stacks (the history of a view whose image
    // was replaced means nothing for the new one).
    void Clear();
    // What a command costs to keep (for example bytes of image copies); 0
    // for commands that do not count.
    using WeightFn = std::function<size_t(const CCommand&)>;
    // Forgets history until the commands of both stacks weigh at most
    // nBudget together: first the redo stack's commands farthest from the
    // present, then the undo stack's oldest, each time up to and including
    // the next command that weighs something, so what remains still undoes
    // and redoes step by step. The newest applied command always stays.
    void TrimOldest(size_t nBudget, const WeightFn& fnWeight);
    size_t GetUndoCount() const;
    size_t GetRedoCount() const;

private:
    using CommandQueue = std::deque<std::unique_ptr<CCommand>>;

    // Takes the back command off the queue under its mutex; null when empty.
    static std::unique_ptr<CCommand> TakeBack(CommandQueue& queue, QMutex& mutex);
    static void PushBack(CommandQueue& queue, QMutex& mutex, std::unique_ptr<CCommand> pCommand);
    void DeleteAll(CommandQueue& queue, QMutex& mutex);
    // Deletes the command now, or once it returns when it is running.
    void Discard(std::unique_ptr<CCommand> pCommand);
    static size_t Weigh(const CommandQueue& queue, QMutex& mutex, const WeightFn& fnWeight);
    // Removes the front commands up to and including the first that weighs
    // something, never touching the last nKeep; false when there is none.
    bool DropFrontStep(CommandQueue& queue, QMutex& mutex, const WeightFn& fnWeight, size_t nKeep,
                       size_t& nTotal);
    // Moves the command onto target, then runs fnRun on it; a rejected run
    // is reversed and the command goes back to source (forgotten without one).
    void MoveAndRun(std::unique_ptr<CCommand> pCommand, CommandQueue& target, QMutex& targetMutex,
                    void (CCommand::*fnRun)(), CommandQueue* pSource, QMutex* pSourceMutex);
    // Runs fnRun on a command that one of the stacks holds; true when the
    // run was rejected.
    bool RunHeld(CCommand* pCommand, void (CCommand::*fnRun)());
    // Takes the rejected command off target and runs fnReverse on it.
    void Reverse(CCommand* pCommand, CommandQueue& target, QMutex& targetMutex, void (CCommand::*fnReverse)(),
                 CommandQueue* pSource, QMutex* pSourceMutex);

    CommandQueue m_undoStack;
    CommandQueue m_redoStack;
    mutable QMutex m_undoMutex;
    mutable QMutex m_redoMutex;
    // Commands running now (innermost last) and those cleared while running.
    std::vector<CCommand*> m_vctRunning;
    std::vector<std::unique_ptr<CCommand>> m_vctDeferred;
    bool m_bRejected = false;
    bool m_bReverting = false;
};
