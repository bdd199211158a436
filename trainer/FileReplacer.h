#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file as a whole: the content goes to a new temporary file next to
// the target, which is then renamed over it, so readers see either the old or
// the complete new file and a failure leaves the old one untouched. Unlike
// QSaveFile it does not sync each file to disk, which would make thousands of
// small files (one label file per image) take minutes.
// Stateless; any thread.
class CFileReplacer
{
public:
    // False when the file could not be replaced; no temporary file is left behind.
    static bool Write(const QString& strPath, const QByteArray& baContent);
};
