#pragma once

#include <QFuture>
#include <QSize>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

// What the workers made of one chosen file: a copy staged in the project
// (empty when copying failed), whether that copy decodes, and its size.
// A picture with an EXIF orientation is staged upright: nOrientation is
// the orientation that was applied (1: none), sizeRaw the size of the
// pixels as the file held them (boxes made for those turn with
// CImageOrientation::ToUpright); nWidth and nHeight are the upright size.
struct SDecodedImage
{
    bool bOk = false;
    int nWidth = 0;
    int nHeight = 0;
    QString strStagedFile;
    int nOrientation = 1;
    QSize sizeRaw;
    // Why the copy cannot be taken, when bOk is false and it was made.
    QString strError;
};

// Copies a list of image files into a staging folder of the project and
// decodes the copies on Qt's global thread pool (all cores), while the GUI
// thread takes the results strictly in list order and moves each copy to its
// final name. Taking a result that is not ready waits in a local event loop,
// so the GUI stays responsive. Cancelling skips files not begun yet. When the
// queue goes it waits for running work and removes every staged copy that
// was not taken, and the staging folder. Owned by the caller, GUI thread.
class CImageImportQueue
{
public:
    CImageImportQueue(const QStringList& lstFiles, const QString& strStagingDir);
    ~CImageImportQueue();
    CImageImportQueue(const CImageImportQueue&) = delete;
    CImageImportQueue& operator=(const CImageImportQueue&) = delete;

    // The caller owns the staged copy from here on.
    SDecodedImage Take(int nIndex);
    void Cancel();

    // Decodes one file on the calling thread.
    static SDecodedImage Decode(const QString& strPath);
    // Turns a staged copy upright, then decodes it; on the calling thread.
    static SDecodedImage Stage(const QString& strStaged);

private:
    QString m_strStagingDir;
    std::shared_ptr<std::atomic<bool>> m_pCancelled;
    std::vector<QFuture<SDecodedImage>> m_vctFutures;
    std::vector<bool> m_vctTaken;
};
