#pragma once

#include <QFuture>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

// What decoding one image file told: whether it decodes, and its size in pixels.
struct SDecodedImage
{
    bool bOk = false;
    int nWidth = 0;
    int nHeight = 0;
};

// Decodes a list of image files on Qt's global thread pool (all cores) while
// the GUI thread handles the results strictly in list order. Taking a result
// that is not ready yet waits in a local event loop, so the GUI stays
// responsive. Cancelling skips files whose decoding has not begun. Owned by
// the caller on the GUI thread; waits for running decodes when destroyed.
class CImageDecodeQueue
{
public:
    explicit CImageDecodeQueue(const QStringList& lstFiles);
    ~CImageDecodeQueue();
    CImageDecodeQueue(const CImageDecodeQueue&) = delete;
    CImageDecodeQueue& operator=(const CImageDecodeQueue&) = delete;

    SDecodedImage Take(int nIndex);
    void Cancel();

    // Decodes one file on the calling thread.
    static SDecodedImage Decode(const QString& strPath);

private:
    std::shared_ptr<std::atomic<bool>> m_pCancelled;
    std::vector<QFuture<SDecodedImage>> m_vctFutures;
};
