#include "trainer/DarknetImageName.h"

#include <QStringView>

#include <algorithm>
#include <iterator>

namespace
{
const QLatin1String LABELLED_SUFFIXES[] = {QLatin1String("jpg"), QLatin1String("jpeg"),
                                           QLatin1String("png"), QLatin1String("bmp"),
                                           QLatin1String("ppm"), QLatin1String("tiff")};
const QLatin1String UNDECODABLE_SUFFIXES[] = {QLatin1String("gif"), QLatin1String("tif"),
                                              QLatin1String("tiff")};
const QLatin1String SHELL_METACHARACTERS(";|&$`<>()'\"");

bool IsOneOf(QStringView suffix, const QLatin1String* pBegin, const QLatin1String* pEnd,
             Qt::CaseSensitivity caseSensitivity)
{
    return std::any_of(pBegin, pEnd,
                       [&](QLatin1String known) { return suffix.compare(known, caseSensitivity) == 0; });
}

bool HasLabelledSuffix(QStringView suffix)
{
    const bool bOneCase = std::all_of(suffix.begin(), suffix.end(), [](QChar ch) { return !ch.isUpper(); }) ||
                          std::all_of(suffix.begin(), suffix.end(), [](QChar ch) { return !ch.isLower(); });
    return bOneCase &&
           IsOneOf(suffix, std::begin(LABELLED_SUFFIXES), std::end(LABELLED_SUFFIXES), Qt::CaseInsensitive);
}
} // namespace

bool CDarknetImageName::IsPlainFileName(const QString& strName)
{
    if (strName.isEmpty() || strName == "." || strName == "..")
        return false;
    for (const QChar ch : strName)
    {
        // A line break would split the name into two lines of "train.txt".
        if (ch == '/' || ch.unicode() < 0x20 || ch.unicode() == 0x7f)
            return false;
    }
    return true;
}

QString CDarknetImageName::LabelFileName(const QString& strName)
{
    const int nDot = strName.lastIndexOf('.');
    return (nDot < 0 ? strName : strName.left(nDot)) + ".txt";
}

int CDarknetImageName::Problems(const QString& strName)
{
    int nProblems = NO_PROBLEM;
    const int nDot = strName.lastIndexOf('.');
    const QStringView suffix = nDot < 0 ? QStringView() : QStringView(strName).mid(nDot + 1);
    if (!HasLabelledSuffix(suffix))
        nProblems |= LABEL_NAME_UNKNOWN;
    if (IsOneOf(suffix, std::begin(UNDECODABLE_SUFFIXES), std::end(UNDECODABLE_SUFFIXES),
                Qt::CaseInsensitive))
        nProblems |= NOT_DECODABLE;
    const bool bShell =
        std::any_of(strName.begin(), strName.end(),
                    [](QChar ch) { return ch.unicode() < 0x80 && SHELL_METACHARACTERS.contains(ch); });
    if (bShell)
        nProblems |= SHELL_CHARACTERS;
    return nProblems;
}
