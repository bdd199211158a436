#include "trainer/DarknetConfigAdapter.h"

#include "trainer/DarknetConfigCheck.h"

#include <QStringList>

#include <algorithm>
#include <map>

namespace
{
constexpr int MIN_MAX_BATCHES = 6000;
constexpr int BATCHES_PER_CLASS = 2000;

// What to do with the lines of one text: values to put into existing lines
// and lines to add below a header.
class CLineEdits
{
public:
    explicit CLineEdits(const QString& strConfig) : m_lstLines(strConfig.split('\n')) {}

    // Gives strKey the value in every line of the section that sets it, or
    // adds it below the header when none does.
    void Set(const SDarknetConfigSection& section, const QString& strKey, const QString& strValue)
    {
        bool bFound = false;
        for (const auto& [strLineKey, nLine] : section.vctOptionLines)
        {
            if (strLineKey != strKey)
                continue;
            bFound = true;
            const QString strNew = WithValue(m_lstLines[nLine], strValue);
            if (strNew != m_lstLines[nLine])
                m_mapReplaced[nLine] = strNew;
        }
        if (!bFound)
            m_mapAdded[section.nHeaderLine] << strKey + '=' + strValue + LineEnd(section.nHeaderLine);
    }

    SConfigAdaptation Result() const
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

private:
    QString LineEnd(int nLine) const { return m_lstLines[nLine].endsWith('\r') ? "\r" : ""; }

    static QString Shown(const QString& strLine) { return strLine.trimmed(); }

    // The line with its value replaced; the key and the spacing around "=" stay.
    static QString WithValue(const QString& strLine, const QString& strValue)
    {
        int nStart = strLine.indexOf('=') + 1;
        while (nStart < strLine.size() && (strLine[nStart] == ' ' || strLine[nStart] == '\t'))
            ++nStart;
        int nEnd = strLine.size();
        while (nEnd > nStart && strLine[nEnd - 1].isSpace())
            --nEnd;
        // Darknet reads the value without white space; so is it compared.
        if (QString(strLine.mid(nStart, nEnd - nStart)).remove(' ').remove('\t') == strValue)
            return strLine;
        return strLine.left(nStart) + strValue + strLine.mid(nEnd);
    }

    QStringList m_lstLines;
    std::map<int, QString> m_mapReplaced;
    std::map<int, QStringList> m_mapAdded;
};

bool IsNet(const SDarknetConfigSection& section)
{
    return section.strName == "[net]" || section.strName == "[network]";
}

void AdaptNet(CLineEdits& edits, const SDarknetConfigSection& net, int nClasses)
{
    const int nMaxBatches = CDarknetConfigAdapter::MaxBatches(nClasses);
    edits.Set(net, "max_batches", QString::number(nMaxBatches));
    const qint64 nBatches = nMaxBatches;
    edits.Set(net, "steps", QString("%1,%2").arg(nBatches * 8 / 10).arg(nBatches * 9 / 10));
    // Darknet reads one scale per step.
    const auto itScales = net.mapOptions.constFind("scales");
    if (itScales != net.mapOptions.constEnd() && itScales.value().count(',') != 1)
        edits.Set(net, "scales", ".1,.1");
}
} // namespace

int CDarknetConfigAdapter::MaxBatches(int nClasses)
{
    return std::max(MIN_MAX_BATCHES, BATCHES_PER_CLASS * nClasses);
}

SConfigAdaptation CDarknetConfigAdapter::Adapt(const QString& strConfig, int nClasses)
{
    if (nClasses < 1)
        return {strConfig, {}};
    const std::vector<SDarknetConfigSection> vctSections = CDarknetConfigCheck::Sections(strConfig);
    const bool bYolo =
        std::any_of(vctSections.begin(), vctSections.end(),
                    [](const SDarknetConfigSection& section) { return section.strName == "[yolo]"; });
    if (!bYolo)
        return {strConfig, {}};

    CLineEdits edits(strConfig);
    for (size_t i = 0; i < vctSections.size(); ++i)
    {
        const SDarknetConfigSection& section = vctSections[i];
        if (IsNet(section))
            AdaptNet(edits, section, nClasses);
        if (section.strName != "[yolo]")
            continue;
        edits.Set(section, "classes", QString::number(nClasses));
        if (i > 0 && CDarknetConfigCheck::IsConvolution(vctSections[i - 1]))
            edits.Set(vctSections[i - 1], "filters",
                      QString::number((nClasses + 5) * CDarknetConfigCheck::MaskCount(section)));
    }
    return edits.Result();
}

QString CDarknetConfigAdapter::Describe(const std::vector<SConfigLineChange>& vctChanges)
{
    QStringList lstLines;
    for (const SConfigLineChange& change : vctChanges)
    {
        lstLines
            << (change.strOld.isEmpty()
                    ? QString("line %1: added %2").arg(change.nLine).arg(change.strNew)
                    : QString("line %1: %2  ->  %3").arg(change.nLine).arg(change.strOld, change.strNew));
    }
    return lstLines.join('\n');
}
