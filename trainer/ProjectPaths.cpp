#include "trainer/ProjectPaths.h"

#include "trainer/DarknetImageName.h"

#include <QDir>

QString CProjectPaths::ImageFolder(const QString& strProjectDir)
{
    return strProjectDir + QDir::separator() + QStringLiteral("Images");
}

bool CProjectPaths::HasParentStep(const QString& strRelative)
{
    // A ".." between separators (or at either end) climbs out of the folder.
    for (int nPos = strRelative.indexOf(QLatin1String("..")); nPos >= 0;
         nPos = strRelative.indexOf(QLatin1String(".."), nPos + 1))
    {
        const bool bStart = nPos == 0 || strRelative.at(nPos - 1) == QLatin1Char('/');
        const bool bEnd = nPos + 2 == strRelative.size() || strRelative.at(nPos + 2) == QLatin1Char('/');
        if (bStart && bEnd)
            return true;
    }
    return false;
}

QString CProjectPaths::ImageFile(const QString& strProjectDir, const QString& strFullPath)
{
    QString strRelative = strFullPath;
    strRelative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (strRelative.isEmpty() || QDir::isAbsolutePath(strRelative) || strRelative.contains(QChar(0)))
        return QString();
    if (HasParentStep(strRelative))
        return QString();
    return strProjectDir + QDir::separator() + strRelative;
}

bool CProjectPaths::IsPlainFileName(const QString& strName)
{
    // Projects made on Windows may store "\" as separator; it never belongs to a plain name.
    return CDarknetImageName::IsPlainFileName(strName) && !strName.contains(QLatin1Char('\\'));
}

QString CProjectPaths::LabelFile(const QString& strProjectDir, const QString& strName)
{
    if (!IsPlainFileName(strName))
        return QString();
    return ImageFolder(strProjectDir) + QDir::separator() + CDarknetImageName::LabelFileName(strName);
}

bool CProjectPaths::IsSafeImage(const QString& strProjectDir, const QString& strName,
                                const QString& strFullPath)
{
    return IsPlainFileName(strName) && !ImageFile(strProjectDir, strFullPath).isEmpty();
}
