#include "trainer/ProjectPaths.h"

#include "trainer/DarknetImageName.h"

#include <QDir>

QString CProjectPaths::ImageFolder(const QString& strProjectDir)
{
    return strProjectDir + QDir::separator() + QStringLiteral("Images");
}

bool CProjectPaths::IsInside(const QString& strDir, const QString& strPath)
{
    const QString strCleanDir = QDir::cleanPath(strDir);
    return QDir::cleanPath(strPath).startsWith(strCleanDir + QLatin1Char('/'));
}

QString CProjectPaths::ImageFile(const QString& strProjectDir, const QString& strFullPath)
{
    QString strRelative = strFullPath;
    strRelative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (strRelative.isEmpty() || QDir::isAbsolutePath(strRelative) || strRelative.contains(QChar(0)))
        return QString();
    const QString strPath = strProjectDir + QDir::separator() + strRelative;
    return IsInside(strProjectDir, strPath) ? strPath : QString();
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
