#include "trainer/FileReplacer.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace
{
// Tries a few names so that a left-over temporary file of a crashed run, or an
// unrelated file of that name, never stops the write. O_EXCL makes sure no
// existing file is ever opened, let alone truncated.
int CreateTemporary(int nFolderFd, const QByteArray& baTarget, QByteArray& baTemporary)
{
    constexpr int MAX_ATTEMPTS = 100;
    for (int nAttempt = 0; nAttempt < MAX_ATTEMPTS; ++nAttempt)
    {
        baTemporary = baTarget + ".tmp";
        if (nAttempt > 0)
            baTemporary += QByteArray::number(nAttempt);
        const int nFd =
            ::openat(nFolderFd, baTemporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

CFileReplacer::CFileReplacer(const QString& strFolder)
    : m_nFolderFd(::open(QFile::encodeName(strFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

CFileReplacer::~CFileReplacer()
{
    if (m_nFolderFd >= 0)
        ::close(m_nFolderFd);
}

bool CFileReplacer::Write(const QString& strFileName, const QByteArray& baContent) const
{
    const QByteArray baTarget = QFile::encodeName(strFileName);
    if (!IsOpen() || baTarget.isEmpty() || baTarget.contains('/') || baTarget == "." || baTarget == "..")
        return false;
    QByteArray baTemporary;
    const int nFd = CreateTemporary(m_nFolderFd, baTarget, baTemporary);
    if (nFd < 0)
        return false;
    const bool bWritten = WriteAll(nFd, baContent);
    // close() reports delayed write errors (a full disk on NFS, for example).
    const bool bClosed = ::close(nFd) == 0;
    if (bWritten && bClosed &&
        ::renameat(m_nFolderFd, baTemporary.constData(), m_nFolderFd, baTarget.constData()) == 0)
        return true;
    ::unlinkat(m_nFolderFd, baTemporary.constData(), 0);
    return false;
}
