#include "common/mvc/CommandContainer.h"

#include <QMutexLocker>

#include <algorithm>

CUndoStack::~CUndoStack()
{
    Clear();
}

std::unique_ptr<CCommand> CUndoStack::TakeBack(CommandQueue& queue, QMutex& mutex)
{
    QMutexLocker locker(&mutex);
    if (queue.empty())
        return nullptr;
    std::unique_ptr<CCommand> pCommand = std::move(queue.back());
    queue.pop_back();
    return pCommand;
}

void CUndoStack::PushBack(CommandQueue& queue, QMutex& mutex, std::unique_ptr<CCommand> pCommand)
{
    QMutexLocker locker(&mutex);
    queue.push_back(std::move(pCommand));
}

void CUndoStack::DeleteAll(CommandQueue& queue, QMutex& mutex)
{
    // One at a time and outside the lock: a command's destructor may release
    // the last reference to an object whose owner calls back into us.
    while (std::unique_ptr<CCommand> pCommand = TakeBack(queue, mutex))
        Discard(std::move(pCommand));
}

void CUndoStack::Discard(std::unique_ptr<CCommand> pCommand)
{
    if (std::find(m_vctRunning.begin(), m_vctRunning.end(), pCommand.get()) != m_vctRunning.end())
        m_vctDeferred.push_back(std::move(pCommand));
}

size_t CUndoStack::Weigh(const CommandQueue& queue, QMutex& mutex, const WeightFn& fnWeight)
{
    QMutexLocker locker(&mutex);
    size_t nTotal = 0;
    for (const std::unique_ptr<CCommand>& pCommand : queue)
        nTotal += fnWeight(*pCommand);
    return nTotal;
}

bool CUndoStack::DropFrontStep(CommandQueue& queue, QMutex& mutex, const WeightFn& fnWeight, size_t nKeep,
                               size_t& nTotal)
{
    std::vector<std::unique_ptr<CCommand>> vctDropped;
    {
        QMutexLocker locker(&mutex);
        size_t nWeight = 0;
        size_t nCount = 0;
        while (nCount + nKeep < queue.size() && nWeight == 0)
            nWeight = fnWeight(*queue[nCount++]);
        if (nWeight == 0)
            return false;
        nTotal -= nWeight;
        for (size_t i = 0; i < nCount; ++i)
        {
            vctDropped.push_back(std::move(queue.front()));
            queue.pop_front();
        }
    }
    // Outside the lock, as in DeleteAll.
    for (std::unique_ptr<CCommand>& pCommand : vctDropped)
        Discard(std::move(pCommand));
    return true;
}

void CUndoStack::TrimOldest(size_t nBudget, const WeightFn& fnWeight)
{
    size_t nTotal = Weigh(m_undoStack, m_undoMutex, fnWeight) + Weigh(m_redoStack, m_redoMutex, fnWeight);
    // Undone steps go first: after newer edits they are the least likely
    // to be wanted again.
    while (nTotal > nBudget && DropFrontStep(m_redoStack, m_redoMutex, fnWeight, 0, nTotal))
    {
    }
    while (nTotal > nBudget && DropFrontStep(m_undoStack, m_undoMutex, fnWeight, 1, nTotal))
    {
    }
}

void CUndoStack::MoveAndRun(std::unique_ptr<CCommand> pCommand, CommandQueue& target, QMutex& targetMutex,
                            void (CCommand::*fnRun)(), CommandQueue* pSource, QMutex* pSourceMutex)
{
    CCommand* pRunning = pCommand.get();
    PushBack(target, targetMutex, std::move(pCommand));
    if (!RunHeld(pRunning, fnRun))
        return;
    const bool bForward = fnRun != &CCommand::undo;
    Reverse(pRunning, target, targetMutex, bForward ? &CCommand::undo : &CCommand::redo, pSource,
            pSourceMutex);
}

bool CUndoStack::RunHeld(CCommand* pCommand, void (CCommand::*fnRun)())
{
    const bool bOutermost = m_vctRunning.empty();
    if (bOutermost)
        m_bRejected = false;
    m_vctRunning.push_back(pCommand);
    (pCommand->*fnRun)();
    m_vctRunning.pop_back();
    if (!bOutermost)
        return false;
    const bool bRejected = m_bRejected;
    m_bRejected = false;
    // A rejected command cleared while it ran is still compared with the
    // stack's back before it may go.
    if (!bRejected)
        m_vctDeferred.clear();
    return bRejected;
}

void CUndoStack::Reverse(CCommand* pCommand, CommandQueue& target, QMutex& targetMutex,
                         void (CCommand::*fnReverse)(), CommandQueue* pSource, QMutex* pSourceMutex)
{
    std::unique_ptr<CCommand> pTaken;
    {
        QMutexLocker locker(&targetMutex);
        // Not there when the run cleared the history (the view moved on):
        // there is nothing left to take back into.
        if (!target.empty() && target.back().get() == pCommand)
        {
            pTaken = std::move(target.back());
            target.pop_back();
        }
    }
    if (pTaken)
    {
        m_bReverting = true;
        m_vctRunning.push_back(pCommand);
        (pCommand->*fnReverse)();
        m_vctRunning.pop_back();
        m_bReverting = false;
        if (pSource && pSourceMutex)
            PushBack(*pSource, *pSourceMutex, std::move(pTaken));
        else
            Discard(std::move(pTaken));
    }
    m_vctDeferred.clear();
}

bool CUndoStack::RejectRunning()
{
    if (m_vctRunning.empty() || m_bReverting)
        return false;
    m_bRejected = true;
    return true;
}

void CUndoStack::PushAndExec(CCommand* command)
{
    if (!command)
        return;
    MoveAndRun(std::unique_ptr<CCommand>(command), m_undoStack, m_undoMutex, &CCommand::exec, nullptr,
               nullptr);
}

bool CUndoStack::DiscardNewestIf(const std::function<bool(const CCommand&)>& fnMatch)
{
    std::unique_ptr<CCommand> pCommand;
    {
        QMutexLocker locker(&m_undoMutex);
        if (m_undoStack.empty() || !fnMatch(*m_undoStack.back()))
            return false;
        pCommand = std::move(m_undoStack.back());
        m_undoStack.pop_back();
    }
    Discard(std::move(pCommand));
    return true;
}

void CUndoStack::PushUndo(CCommand* command)
{
    if (!command)
        return;
    PushBack(m_undoStack, m_undoMutex, std::unique_ptr<CCommand>(command));
}

void CUndoStack::Undo()
{
    std::unique_ptr<CCommand> pCommand = TakeBack(m_undoStack, m_undoMutex);
    if (!pCommand)
        return;
    MoveAndRun(std::move(pCommand), m_redoStack, m_redoMutex, &CCommand::undo, &m_undoStack, &m_undoMutex);
}

void CUndoStack::Redo()
{
    std::unique_ptr<CCommand> pCommand = TakeBack(m_redoStack, m_redoMutex);
    if (!pCommand)
        return;
    MoveAndRun(std::move(pCommand), m_undoStack, m_undoMutex, &CCommand::redo, &m_redoStack, &m_redoMutex);
}

void CUndoStack::Clear()
{
    DeleteAll(m_undoStack, m_undoMutex);
    DeleteAll(m_redoStack, m_redoMutex);
}

size_t CUndoStack::GetUndoCount() const
{
    QMutexLocker locker(&m_undoMutex);
    return m_undoStack.size();
}

size_t CUndoStack::GetRedoCount() const
{
    QMutexLocker locker(&m_redoMutex);
    return m_redoStack.size();
}
