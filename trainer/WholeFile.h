#pragma once

#include <QByteArray>
#include <QString>

// Small files read and written as a whole: the class lists, configurations
// and lists a Darknet command reads or leaves behind. Reading treats a file
// as hostile (a symbolic link, anything but a plain file, or more than
// nMaxBytes is not read); writing goes through a temporary file, so a
// failure leaves the old file or none, never half a new one.
// Stateless; any thread.
class CWholeFile
{
public:
    // False, and baContent untouched, when the file is missing or refused.
    static bool Read(const QString& strPath, qint64 nMaxBytes, QByteArray& baContent);
    // Empty when the file is missing or refused.
    static QByteArray Read(const QString& strPath, qint64 nMaxBytes);
    static bool Write(const QString& strPath, const QByteArray& baContent);
};
