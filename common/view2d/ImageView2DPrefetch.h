#pragma once

#include "common/view2d/ImageView2DPyramid.h"

#include "optra/Image.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QWaitCondition>

#include <memory>
#include <vector>

// Decodes the image files a view will probably show next on a worker
// thread, together with the smooth copies the 2D view paints from, so that
// showing one of them costs the GUI thread no decoding. The host names the
// files it wants (Prefetch); whatever is held or under way for any other
// file is dropped. At most MAX_IMAGES files are held or being decoded, and
// what is held stays within MEMORY_BUDGET bytes. A prepared file is handed
// out once (Take), and only while the file on disk is still the one that
// was decoded (same size, modification and change times); otherwise the
// caller loads it itself, exactly as without prefetching. Decoding uses the
// same loader as a normal load, so what is shown is what a load shows.
// Owned by the view manager; created, asked and destroyed on the GUI thread.
// One worker thread decodes the files one after another.
class CImageView2DPrefetcher : public QObject
{
    Q_OBJECT
public:
    using ImagePtr = std::shared_ptr<Optra::Algorithms::CImage>;
    using PyramidPtr = std::shared_ptr<const CImageView2DPyramid>;

    struct SPrepared
    {
        ImagePtr pImage;
        PyramidPtr pPyramid;
    };

    static constexpr int MAX_IMAGES = 3;
    static constexpr size_t MEMORY_BUDGET = size_t(768) << 20;

    explicit CImageView2DPrefetcher(QObject* pParent = nullptr);
    // Drops everything and waits for the file being decoded, if any.
    ~CImageView2DPrefetcher() override;

    // The files wanted, most wanted first; beyond MAX_IMAGES they are not
    // looked at. An empty list drops everything.
    void Prefetch(const QStringList& lstPaths);
    // The prepared file, no longer held afterwards; empty when it is not
    // wanted, not decoded yet, cannot be read or changed since. A file
    // being decoded right now is waited for, which is shorter than loading
    // it again; one still waiting for the worker is dropped.
    SPrepared Take(const QString& strPath);

    QStringList GetWanted() const;
    // The prepared image of a file without taking it; null when none.
    ImagePtr Peek(const QString& strPath) const;
    size_t GetHeldBytes() const;

signals:
    // A wanted file is prepared (from the worker; queued to receivers on
    // the GUI thread).
    void signal_Prepared(const QString& strPath);

private:
    // What identifies the file's content without reading it.
    struct SStamp
    {
        qint64 nSize = -1;
        qint64 nModified = -1;
        qint64 nChanged = -1;
        bool operator==(const SStamp& other) const
        {
            return nSize == other.nSize && nModified == other.nModified && nChanged == other.nChanged;
        }
    };
    enum class EState
    {
        Queued,
        Running,
        Done,
        Failed
    };
    struct SJob
    {
        QString strPath;
        SStamp stamp;
        EState eState = EState::Queued;
        // No longer wanted: the worker keeps nothing of it.
        bool bDropped = false;
        SPrepared prepared;
        size_t nBytes = 0;
    };
    using JobPtr = std::shared_ptr<SJob>;

    static SStamp StampOf(const QString& strPath);
    static size_t BytesOf(const SPrepared& prepared);
    // On the worker thread.
    void Run(const JobPtr& pJob);
    // Under m_mutex.
    size_t HeldBytes() const;

    mutable QMutex m_mutex;
    QWaitCondition m_finished;
    // The wanted files' jobs, most wanted first.
    std::vector<JobPtr> m_vctJobs;
    QThreadPool m_pool;
};
