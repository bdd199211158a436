#include "trainer/DarknetImageName.h"

#include <QStringList>

namespace
{
const QStringList LABELLED_SUFFIXES = {"jpg", "jpeg", "png", "bmp", "ppm", "tiff"};
const QStringList UNDECODABLE_SUFFIXES = {"gif", "tif", "tiff"};
const QString SHELL_METACHARACTERS = QStringLiteral(";|&$`<>()'\"");

// The text after the last ".", empty without one.
QString Suffix(const QString& strName)
{
    const int nDot = strName.lastIndexOf('.');
    return nDot < 0 ? QString() : strName.mid(nDot + 1);
}

bool HasLabelledSuffix(const QString& strSuffix)
{
    const bool bOneCase = strSuffix == strSuffix.toLower() || strSuffix == strSuffix.toUpper();
    return bOneCase && LABELLED_SUFFIXES.contains(strSuffix.toLower());
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
    const QString strSuffix = Suffix(strName);
    if (!HasLabelledSuffix(strSuffix))
        nProblems |= LABEL_NAME_UNKNOWN;
    if (UNDECODABLE_SUFFIXES.contains(strSuffix, Qt::CaseInsensitive))
        nProblems |= NOT_DECODABLE;
    for (const QChar ch : SHELL_METACHARACTERS)
    {
        if (strName.contains(ch))
        {
            nProblems |= SHELL_CHARACTERS;
            break;
        }
    }
    return nProblems;
}
