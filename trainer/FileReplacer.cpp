#include "trainer/FileReplacer.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace
{
// Tries a few names so that a left-over temporary file of a crashed run, or an
// unrelated file of that name, never stops the write. O_EXCL makes sure no
// existing file is ever opened, let alone truncated.
int CreateTemporary(const QByteArray& baTarget, QByteArray& baTemporary)
{
    constexpr int MAX_ATTEMPTS = 100;
    for (int nAttempt = 0; nAttempt < MAX_ATTEMPTS; ++nAttempt)
    {
        baTemporary = baTarget + ".tmp";
        if (nAttempt > 0)
            baTemporary += QByteArray::number(nAttempt);
        const int nFd = ::open(baTemporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (nFd >= 0 || errno != EEXIST)
            return nFd;
    }
    return -1;
}

bool WriteAll(int nFd, const QByteArray& baContent)
{
    const char* pData = baContent.constData();
    qint64 nLeft = baContent.size();
    while (nLeft > 0)
    {
        const ssize_t nWritten = ::write(nFd, pData, static_cast<size_t>(nLeft));
        if (nWritten < 0 && errno == EINTR)
            continue;
        if (nWritten <= 0)
            return false;
        pData += nWritten;
        nLeft -= nWritten;
    }
    return true;
}
} // namespace

bool CFileReplacer::Write(const QString& strPath, const QByteArray& baContent)
{
    const QByteArray baTarget = QFile::encodeName(strPath);
    QByteArray baTemporary;
    const int nFd = CreateTemporary(baTarget, baTemporary);
    if (nFd < 0)
        return false;
    const bool bWritten = WriteAll(nFd, baContent);
    // close() reports delayed write errors (a full disk on NFS, for example).
    const bool bClosed = ::close(nFd) == 0;
    if (bWritten && bClosed && ::rename(baTemporary.constData(), baTarget.constData()) == 0)
        return true;
    ::unlink(baTemporary.constData());
    return false;
}
