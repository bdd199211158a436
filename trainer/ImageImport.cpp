#include "trainer/ImageImport.h"

#include "optra/Image.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QtConcurrent>

SDecodedImage CImageDecodeQueue::Decode(const QString& strPath)
{
    Optra::Algorithms::CImage image;
    if (image.Load(strPath.toStdWString()) != 0)
        return SDecodedImage();
    return SDecodedImage{true, image.GetWidth(), image.GetHeight()};
}

CImageDecodeQueue::CImageDecodeQueue(const QStringList& lstFiles)
    : m_pCancelled(std::make_shared<std::atomic<bool>>(false))
{
    m_vctFutures.reserve(lstFiles.size());
    for (const QString& strFile : lstFiles)
    {
        std::shared_ptr<std::atomic<bool>> pCancelled = m_pCancelled;
        m_vctFutures.push_back(QtConcurrent::run(
            [pCancelled, strFile] { return pCancelled->load() ? SDecodedImage() : Decode(strFile); }));
    }
}

CImageDecodeQueue::~CImageDecodeQueue()
{
    Cancel();
    for (QFuture<SDecodedImage>& future : m_vctFutures)
        future.waitForFinished();
}

void CImageDecodeQueue::Cancel()
{
    m_pCancelled->store(true);
}

SDecodedImage CImageDecodeQueue::Take(int nIndex)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_vctFutures.size()))
        return SDecodedImage();
    QFuture<SDecodedImage>& future = m_vctFutures[nIndex];
    if (!future.isFinished())
    {
        QFutureWatcher<SDecodedImage> watcher;
        QEventLoop loop;
        QObject::connect(&watcher, &QFutureWatcher<SDecodedImage>::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(future);
        if (!future.isFinished())
            loop.exec();
    }
    return future.result();
}
