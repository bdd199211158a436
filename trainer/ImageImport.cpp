#include "trainer/ImageImport.h"

#include "trainer/ImageOrientation.h"

#include "optra/Image.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFutureWatcher>
#include <QtConcurrent>

SDecodedImage CImageImportQueue::Decode(const QString& strPath)
{
    // Decoded in full as for showing it, so a damaged file is caught here;
    // only its size is kept.
    int nWidth = 0;
    int nHeight = 0;
    SDecodedImage decoded;
    if (Optra::Algorithms::CImage::Verify(strPath.toStdWString(), nWidth, nHeight) != 0)
        return decoded;
    decoded.bOk = true;
    decoded.nWidth = nWidth;
    decoded.nHeight = nHeight;
    decoded.sizeRaw = QSize(nWidth, nHeight);
    return decoded;
}

SDecodedImage CImageImportQueue::Stage(const QString& strStaged)
{
    int nOrientation = 1;
    QSize sizeRaw;
    QString strError;
    if (!CImageOrientation::MakeUpright(strStaged, nOrientation, sizeRaw, strError))
    {
        // Stored sideways it would train on other pixels than the user
        // labelled with some Darknet builds.
        SDecodedImage refused;
        refused.strStagedFile = strStaged;
        refused.strError = QStringLiteral("it cannot be turned upright (%1)").arg(strError);
        return refused;
    }
    SDecodedImage decoded = Decode(strStaged);
    decoded.strStagedFile = strStaged;
    decoded.nOrientation = nOrientation;
    if (nOrientation != 1 && sizeRaw.isValid())
        decoded.sizeRaw = sizeRaw;
    return decoded;
}

CImageImportQueue::CImageImportQueue(const QStringList& lstFiles, const QString& strStagingDir)
    : m_strStagingDir(strStagingDir), m_pCancelled(std::make_shared<std::atomic<bool>>(false)),
      m_vctTaken(lstFiles.size(), false)
{
    // Leftovers of an import that did not end are no one's files.
    QDir(m_strStagingDir).removeRecursively();
    QDir().mkpath(m_strStagingDir);
    m_vctFutures.reserve(lstFiles.size());
    for (int i = 0; i < lstFiles.size(); ++i)
    {
        const QString strSource = lstFiles[i];
        const QString strStaged = m_strStagingDir + QDir::separator() + QString::number(i);
        std::shared_ptr<std::atomic<bool>> pCancelled = m_pCancelled;
        // The copy is made here, beside the decoding, so the GUI thread only
        // has to move it to its name.
        m_vctFutures.push_back(QtConcurrent::run(
            [pCancelled, strSource, strStaged]
            {
                if (pCancelled->load() || !QFile::copy(strSource, strStaged))
                    return SDecodedImage();
                return Stage(strStaged);
            }));
    }
}

CImageImportQueue::~CImageImportQueue()
{
    Cancel();
    for (QFuture<SDecodedImage>& future : m_vctFutures)
        future.waitForFinished();
    for (size_t i = 0; i < m_vctFutures.size(); ++i)
    {
        if (!m_vctTaken[i] && !m_vctFutures[i].result().strStagedFile.isEmpty())
            QFile::remove(m_vctFutures[i].result().strStagedFile);
    }
    QDir(m_strStagingDir).removeRecursively();
}

void CImageImportQueue::Cancel()
{
    m_pCancelled->store(true);
}

SDecodedImage CImageImportQueue::Take(int nIndex)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_vctFutures.size()) || m_vctTaken[nIndex])
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
    m_vctTaken[nIndex] = true;
    return future.result();
}
