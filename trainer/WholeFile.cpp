#include "trainer/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool CWholeFile::Read(const QString& strPath, qint64 nMaxBytes, QByteArray& baContent)
{
    const QFileInfo info(strPath);
    QFile file(strPath);
    if (info.isSymLink() || !info.isFile() || info.size() > nMaxBytes || !file.open(QIODevice::ReadOnly))
        return false;
    baContent = file.read(nMaxBytes);
    return true;
}

QByteArray CWholeFile::Read(const QString& strPath, qint64 nMaxBytes)
{
    QByteArray baContent;
    Read(strPath, nMaxBytes, baContent);
    return baContent;
}

bool CWholeFile::Write(const QString& strPath, const QByteArray& baContent)
{
    QSaveFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(baContent) == baContent.size() && file.commit();
}
