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
    {
        if (std::find(m_vctRunning.begin(), m_vctRunning.end(), pCommand.get()) != m_vctRunning.end())
            m_vctDeferred.push_back(std::move(pCommand));
    }
}

void CUndoStack::MoveAndRun(std::unique_ptr<CCommand> pCommand, CommandQueue& target, QMutex& mutex,
                            void (CCommand::*fnRun)())
{
    CCommand* pRunning = pCommand.get();
    PushBack(target, mutex, std::move(pCommand));
    m_vctRunning.push_back(pRunning);
    (pRunning->*fnRun)();
    m_vctRunning.pop_back();
    if (m_vctRunning.empty())
        m_vctDeferred.clear();
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
    MoveAndRun(std::move(pCommand), m_redoStack, m_redoMutex, &CCommand::undo);
}

void CUndoStack::Redo()
{
    std::unique_ptr<CCommand> pCommand = TakeBack(m_redoStack, m_redoMutex);
    if (!pCommand)
        return;
    MoveAndRun(std::move(pCommand), m_undoStack, m_undoMutex, &CCommand::redo);
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
