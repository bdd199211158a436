#include "common/mvc/ViewLayout.h"

#include "common/log/Logger.h"

void CViewLayout::ChangeSize(int nColumn, int nRow)
{
    if (nColumn == m_nColumn && nRow == m_nRow)
        return;
    m_nColumn = nColumn;
    m_nRow = nRow;
    CLog::Write(ELogLevel::NORMAL, "ChangeSize(%d, %d)", nColumn, nRow);
    emit signal_ChangedSize();
}
