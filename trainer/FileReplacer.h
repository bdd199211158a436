#pragma once

#include <QByteArray>
#include <QString>

// Replaces files of one folder as a whole: the content goes to a new temporary
// file next to the target, which is then renamed over it, so readers see
// either the old or the complete new file and a failure leaves the old one
// untouched. Unlike QSaveFile it does not sync each file to disk, which would
// make thousands of small files (one label file per image) take minutes. The
// folder is opened once and files are named relative to it, which also keeps
// every write inside it.
// Owned by the writer that uses it, for one batch of files; one thread.
class CFileReplacer
{
public:
    explicit CFileReplacer(const QString& strFolder);
    ~CFileReplacer();
    CFileReplacer(const CFileReplacer&) = delete;
    CFileReplacer& operator=(const CFileReplacer&) = delete;

    // False when the folder could not be opened.
    bool IsOpen() const { return m_nFolderFd >= 0; }
    // False when strFileName is not a plain name or the file could not be
    // replaced; no temporary file is left behind.
    bool Write(const QString& strFileName, const QByteArray& baContent) const;

private:
    int m_nFolderFd = -1;
};
