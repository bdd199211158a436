#include "trainer/dataio/SourceFolder.h"

#include "trainer/ProjectPaths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace
{
const QStringList& ImageSuffixes()
{
    static const QStringList lstSuffixes = {"jpg", "jpeg", "png", "bmp", "ppm", "tif", "tiff", "gif", "webp"};
    return lstSuffixes;
}
} // namespace

CSourceFolder::CSourceFolder(const QString& strRoot)
    : m_strRoot(QDir::cleanPath(QDir(strRoot).absolutePath()))
{
}

bool CSourceFolder::Exists() const
{
    return QFileInfo(m_strRoot).isDir();
}

QStringList CSourceFolder::Walk() const
{
    QStringList lstFiles;
    QDirIterator it(m_strRoot, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        lstFiles << it.next();
    lstFiles.sort();
    return lstFiles;
}

QString CSourceFolder::Resolve(const QString& strBase, const QString& strPathInFile)
{
    const QString strPath = CProjectPaths::ImageFile(strBase, strPathInFile.trimmed());
    return strPath.isEmpty() ? QString() : QDir::cleanPath(strPath);
}

QString CSourceFolder::Relative(const QString& strAbsolute) const
{
    const QString strRelative = QDir(m_strRoot).relativeFilePath(strAbsolute);
    // A file of a sibling folder (the images beside a chosen "Annotations")
    // keeps the sibling's name instead of climbing out.
    if (strRelative.startsWith(QLatin1String("../")))
        return QDir(QFileInfo(m_strRoot).path()).relativeFilePath(strAbsolute);
    return strRelative;
}

QStringList CSourceFolder::Swapped(const QString& strPath, const QStringList& lstFrom,
                                   const QString& strTo) const
{
    // Components from the root's own name down may be swapped: a user who
    // picks ".../images" expects its sibling ".../labels" to be used.
    const int nRootStart = m_strRoot.lastIndexOf(QLatin1Char('/')) + 1;
    QStringList lstParts = strPath.mid(nRootStart).split(QLatin1Char('/'));
    QStringList lstPaths;
    for (int i = lstParts.size() - 2; i >= 0; --i)
    {
        if (!lstFrom.contains(lstParts[i]))
            continue;
        QStringList lstCopy = lstParts;
        lstCopy[i] = strTo;
        lstPaths << strPath.left(nRootStart) + lstCopy.join(QLatin1Char('/'));
    }
    return lstPaths;
}

bool CSourceFolder::ReadFile(const QString& strPath, qint64 nMaxBytes, QByteArray& baContent,
                             QString& strError)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
    {
        strError = QStringLiteral("cannot be read: ") + file.errorString();
        return false;
    }
    // The size is checked on what is read, not on what the folder says: a
    // device or a growing file may report anything.
    baContent = file.read(nMaxBytes + 1);
    if (baContent.size() > nMaxBytes)
    {
        strError = QString("file larger than %1 MiB, not read").arg(nMaxBytes / (1024 * 1024));
        baContent.clear();
        return false;
    }
    return true;
}

bool CSourceFolder::IsImageName(const QString& strName)
{
    return ImageSuffixes().contains(QFileInfo(strName).suffix().toLower());
}

QString CSourceFolder::WithoutSuffix(const QString& strPath)
{
    const int nSlash = strPath.lastIndexOf(QLatin1Char('/'));
    const int nDot = strPath.lastIndexOf(QLatin1Char('.'));
    return nDot > nSlash ? strPath.left(nDot) : strPath;
}
