#pragma once

#include "trainer/DarknetConfigCheck.h"

#include <QString>
#include <QStringList>

#include <map>
#include <vector>

// One line that an edit of a configuration changes or adds.
struct SConfigLineChange
{
    // Line number (from 1) in the edited text.
    int nLine = 0;
    // The line before; empty for a line that is added.
    QString strOld;
    QString strNew;
};

struct SConfigAdaptation
{
    QString strText;
    std::vector<SConfigLineChange> vctChanges;
};

// Values to put into the option lines of a Darknet network configuration,
// collected first and applied in one pass, so that every other byte
// (comments, spacing, line ends, order) stays as it was. Sections come from
// CDarknetConfigCheck::Sections of the same text.
// One per edit; any thread.
class CConfigLineEdits
{
public:
    explicit CConfigLineEdits(const QString& strConfig);

    // Gives strKey the value in every line of the section that sets it, or
    // adds it below the header when none does.
    void Set(const SDarknetConfigSection& section, const QString& strKey, const QString& strValue);
    // Like Set, but only where the section already sets strKey; false when it does not.
    bool Replace(const SDarknetConfigSection& section, const QString& strKey, const QString& strValue);
    // The edited text and the lines that changed, in text order.
    SConfigAdaptation Result() const;

private:
    QString LineEnd(int nLine) const;

    QStringList m_lstLines;
    std::map<int, QString> m_mapReplaced;
    std::map<int, QStringList> m_mapAdded;
};
