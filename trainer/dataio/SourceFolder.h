#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The folder a set of labelled images is read from. Paths found inside label
// files come from anyone: one that is absolute or climbs out with ".." is
// refused the way project image paths are, so a reader never opens a file
// outside the folders the user chose because a file said so. Owned by one
// reader; one thread.
class CSourceFolder
{
public:
    explicit CSourceFolder(const QString& strRoot);

    const QString& Root() const { return m_strRoot; }
    bool Exists() const;
    // Every file below the root, absolute, sorted; hidden files and folders
    // (".git", the "._" files of macOS) are left out, symbolic links to folders
    // are not followed.
    QStringList Walk() const;
    // strPathInFile relative to strBase ("\" read as a separator); empty when
    // it is absolute or leads out of strBase.
    static QString Resolve(const QString& strBase, const QString& strPathInFile);
    // The path of a file below the root, "/" separated; for a file of a
    // sibling of the root, its path below the root's parent.
    QString Relative(const QString& strAbsolute) const;
    // strPath with one folder component named one of lstFrom replaced by
    // strTo, for each such component from the deepest to the root's own
    // name ("a/images/b.jpg" gives "a/labels/b.jpg"): where tools keep the
    // labels of an image folder.
    QStringList Swapped(const QString& strPath, const QStringList& lstFrom, const QString& strTo) const;

    // The whole content of a label file; false (strError says why) when it
    // cannot be read or is larger than nMaxBytes.
    static bool ReadFile(const QString& strPath, qint64 nMaxBytes, QByteArray& baContent, QString& strError);

    // Whether a file name has the suffix of an image format readers accept.
    static bool IsImageName(const QString& strName);
    // strPath without the suffix of its file name ("a/b.c.jpg" gives "a/b.c").
    static QString WithoutSuffix(const QString& strPath);

private:
    QString m_strRoot;
};
