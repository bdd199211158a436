#include "common/view2d/ImageView2DPrefetch.h"

#include "common/log/Logger.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMutexLocker>

#include <algorithm>

namespace
{
template <typename Jobs>
auto FindJob(Jobs& vctJobs, const QString& strPath)
{
    return std::find_if(vctJobs.begin(), vctJobs.end(),
                        [&strPath](const auto& pJob) { return pJob->strPath == strPath; });
}
} // namespace

CImageView2DPrefetcher::CImageView2DPrefetcher(QObject* pParent) : QObject(pParent)
{
    // One file after another: the GUI thread keeps a core to itself.
    m_pool.setMaxThreadCount(1);
}

CImageView2DPrefetcher::~CImageView2DPrefetcher()
{
    Prefetch({});
    m_pool.clear();
    m_pool.waitForDone();
}

CImageView2DPrefetcher::SStamp CImageView2DPrefetcher::StampOf(const QString& strPath)
{
    const QFileInfo info(strPath);
    SStamp stamp;
    if (!info.isFile())
        return stamp;
    stamp.nSize = info.size();
    stamp.nModified = info.lastModified().toMSecsSinceEpoch();
    stamp.nChanged = info.metadataChangeTime().toMSecsSinceEpoch();
    return stamp;
}

size_t CImageView2DPrefetcher::BytesOf(const SPrepared& prepared)
{
    size_t nBytes = prepared.pImage ? prepared.pImage->GetDataSize() : 0;
    // Level 0 shares the image's pixels.
    for (int nLevel = 1; prepared.pPyramid && nLevel < prepared.pPyramid->GetLevelCount(); ++nLevel)
        nBytes += size_t(prepared.pPyramid->GetLevel(nLevel).sizeInBytes());
    return nBytes;
}

size_t CImageView2DPrefetcher::HeldBytes() const
{
    size_t nBytes = 0;
    for (const JobPtr& pJob : m_vctJobs)
        nBytes += pJob->nBytes;
    return nBytes;
}

void CImageView2DPrefetcher::Prefetch(const QStringList& lstPaths)
{
    QStringList lstWanted;
    for (const QString& strPath : lstPaths)
    {
        if (!strPath.isEmpty() && !lstWanted.contains(strPath) && lstWanted.size() < MAX_IMAGES)
            lstWanted << strPath;
    }
    // Outside the lock: the worker must not wait for the disk on our account.
    std::vector<SStamp> vctStamps;
    for (const QString& strPath : lstWanted)
        vctStamps.push_back(StampOf(strPath));

    std::vector<JobPtr> vctStart;
    std::vector<JobPtr> vctDropped;
    {
        QMutexLocker locker(&m_mutex);
        std::vector<JobPtr> vctJobs;
        for (int i = 0; i < lstWanted.size(); ++i)
        {
            const auto it = FindJob(m_vctJobs, lstWanted[i]);
            // A file changed since it was decoded is decoded again.
            if (it != m_vctJobs.end() && (*it)->stamp == vctStamps[size_t(i)])
            {
                vctJobs.push_back(*it);
                m_vctJobs.erase(it);
                continue;
            }
            auto pJob = std::make_shared<SJob>();
            pJob->strPath = lstWanted[i];
            pJob->stamp = vctStamps[size_t(i)];
            vctJobs.push_back(pJob);
            vctStart.push_back(pJob);
        }
        for (const JobPtr& pJob : m_vctJobs)
            pJob->bDropped = true;
        vctDropped = std::move(m_vctJobs);
        m_vctJobs = std::move(vctJobs);
    }
    // Freeing a decoded photo costs the GUI thread milliseconds: the worker
    // lets them go, before it decodes what is wanted now.
    if (!vctDropped.empty())
        m_pool.start(
            QRunnable::create([vctDropped = std::move(vctDropped)]() mutable { vctDropped.clear(); }));
    for (const JobPtr& pJob : vctStart)
        m_pool.start(QRunnable::create([this, pJob] { Run(pJob); }));
}

void CImageView2DPrefetcher::Run(const JobPtr& pJob)
{
    {
        QMutexLocker locker(&m_mutex);
        if (pJob->bDropped)
            return;
        pJob->eState = EState::Running;
    }
    SPrepared prepared;
    prepared.pImage = std::make_shared<Optra::Algorithms::CImage>();
    const bool bLoaded = prepared.pImage->Load(pJob->strPath.toStdWString()) == 0;
    if (bLoaded)
    {
        auto pPyramid = std::make_shared<CImageView2DPyramid>();
        pPyramid->Build(*prepared.pImage);
        prepared.pPyramid = std::move(pPyramid);
    }
    const size_t nBytes = BytesOf(prepared);
    bool bKept = false;
    {
        QMutexLocker locker(&m_mutex);
        bKept = bLoaded && !pJob->bDropped && HeldBytes() + nBytes <= MEMORY_BUDGET;
        if (bKept)
        {
            pJob->prepared = std::move(prepared);
            pJob->nBytes = nBytes;
        }
        pJob->eState = bKept ? EState::Done : EState::Failed;
        m_finished.wakeAll();
    }
    // A file that cannot be read is left to the normal load, which says why.
    if (bKept)
        emit signal_Prepared(pJob->strPath);
}

CImageView2DPrefetcher::SPrepared CImageView2DPrefetcher::Take(const QString& strPath)
{
    const SStamp stampNow = StampOf(strPath);
    QMutexLocker locker(&m_mutex);
    auto it = FindJob(m_vctJobs, strPath);
    if (it == m_vctJobs.end())
        return {};
    const JobPtr pJob = *it;
    // Behind another file it would take longer than loading it here.
    if (pJob->eState == EState::Queued)
        pJob->bDropped = true;
    while (pJob->eState == EState::Running)
        m_finished.wait(&m_mutex);
    it = FindJob(m_vctJobs, strPath);
    if (it != m_vctJobs.end())
        m_vctJobs.erase(it);
    if (pJob->eState != EState::Done || !(pJob->stamp == stampNow))
        return {};
    CLog::Write(ELogLevel::DEBUG, "Prefetched image %s used", strPath.toUtf8().constData());
    return std::move(pJob->prepared);
}

QStringList CImageView2DPrefetcher::GetWanted() const
{
    QMutexLocker locker(&m_mutex);
    QStringList lstPaths;
    for (const JobPtr& pJob : m_vctJobs)
        lstPaths << pJob->strPath;
    return lstPaths;
}

CImageView2DPrefetcher::ImagePtr CImageView2DPrefetcher::Peek(const QString& strPath) const
{
    QMutexLocker locker(&m_mutex);
    const auto it = FindJob(m_vctJobs, strPath);
    return it != m_vctJobs.end() && (*it)->eState == EState::Done ? (*it)->prepared.pImage : nullptr;
}

size_t CImageView2DPrefetcher::GetHeldBytes() const
{
    QMutexLocker locker(&m_mutex);
    return HeldBytes();
}
