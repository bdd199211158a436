#include "trainer/ConfigLineEdits.h"

namespace
{
QString Shown(const QString& strLine)
{
    return strLine.trimmed();
}

// The line with its value replaced; the key and the spacing around "=" stay.
QString WithValue(const QString& strLine, const QString& strValue)
{
    int nStart = strLine.indexOf('=') + 1;
    while (nStart < strLine.size() && (strLine[nStart] == ' ' || strLine[nStart] == '\t'))
        ++nStart;
    int nEnd = strLine.size();
    while (nEnd > nStart && strLine[nEnd - 1].isSpace())
        --nEnd;
    // Darknet reads the value without white space; so is it compared.
    if (QString(strLine.mid(nStart, nEnd - nStart)).remove(' ').remove('\t') == QString(strValue).remove(' '))
        return strLine;
    return strLine.left(nStart) + strValue + strLine.mid(nEnd);
}
} // namespace

CConfigLineEdits::CConfigLineEdits(const QString& strConfig) : m_lstLines(strConfig.split('\n')) {}

bool CConfigLineEdits::Replace(const SDarknetConfigSection& section, const QString& strKey,
                               const QString& strValue)
{
    bool bFound = false;
    for (const auto& [strLineKey, nLine] : section.vctOptionLines)
    {
        if (strLineKey != strKey || nLine < 0 || nLine >= m_lstLines.size())
            continue;
        bFound = true;
        const QString strNew = WithValue(m_lstLines[nLine], strValue);
        if (strNew != m_lstLines[nLine])
            m_mapReplaced[nLine] = strNew;
    }
    return bFound;
}

void CConfigLineEdits::Set(const SDarknetConfigSection& section, const QString& strKey,
                           const QString& strValue)
{
    if (!Replace(section, strKey, strValue))
        m_mapAdded[section.nHeaderLine] << strKey + '=' + strValue + LineEnd(section.nHeaderLine);
}

SConfigAdaptation CConfigLineEdits::Result() const
{
    SConfigAdaptation result;
    QStringList lstOut;
    for (int i = 0; i < m_lstLines.size(); ++i)
    {
        const auto itReplaced = m_mapReplaced.find(i);
        lstOut << (itReplaced == m_mapReplaced.end() ? m_lstLines[i] : itReplaced->second);
        if (itReplaced != m_mapReplaced.end())
            result.vctChanges.push_back(
                {static_cast<int>(lstOut.size()), Shown(m_lstLines[i]), Shown(itReplaced->second)});
        const auto itAdded = m_mapAdded.find(i);
        if (itAdded == m_mapAdded.end())
            continue;
        for (const QString& strLine : itAdded->second)
        {
            lstOut << strLine;
            result.vctChanges.push_back({static_cast<int>(lstOut.size()), QString(), Shown(strLine)});
        }
    }
    result.strText = lstOut.join('\n');
    return result;
}

QString CConfigLineEdits::LineEnd(int nLine) const
{
    return nLine >= 0 && nLine < m_lstLines.size() && m_lstLines[nLine].endsWith('\r') ? "\r" : "";
}
