#include "common/mvc/CommandArray.h"

CMacroCommand::~CMacroCommand() = default;

void CMacroCommand::exec()
{
    for (const std::unique_ptr<CCommand>& pCommand : m_vctCommands)
    {
        if (pCommand)
            pCommand->exec();
    }
}

void CMacroCommand::undo()
{
    for (auto it = m_vctCommands.rbegin(); it != m_vctCommands.rend(); ++it)
    {
        if (*it)
            (*it)->undo();
    }
}

void CMacroCommand::addCommand(CCommand* command)
{
    m_vctCommands.emplace_back(command);
}
