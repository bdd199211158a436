#include "common/view3d/ImageView3DModel.h"

#include "common/log/Logger.h"

#include <QMutexLocker>
#include <QThread>

namespace
{
// Initial values in the order of EImageView3DValue.
constexpr std::array<float, size_t(EImageView3DValue::Count)> INITIAL_VALUES = {
    -73.0f, 0.0f, 19.0f,   // rotation (degrees)
    0.0f,   0.0f, 0.0f,    // translation
    1.0f,   1.0f, 1.0f,    // scale
    0.0f,   0.0f, 5.0f,    // camera position
    0.5f,   0.5f, 0.0f,    // camera centre
    0.0f,   1.0f, 0.0f,    // camera up
    22.0f,  0.1f, 100.0f}; // field of view (degrees), near, far
} // namespace

CImageView3DModel::CImageView3DModel(QObject* pParent) : CModel(pParent), m_arrValues(INITIAL_VALUES) {}

CImageView3DModel::~CImageView3DModel()
{
    // Every job still queued or running becomes stale and stops at its next
    // check; none may touch the model after this returns.
    m_nLatestTicket.fetch_add(1);
    QMutexLocker locker(&m_mutexJobs);
    while (m_nJobs > 0)
        m_conditionJobs.wait(&m_mutexJobs);
}

void CImageView3DModel::SetValue(EImageView3DValue eValue, float fValue)
{
    float& fStored = m_arrValues[size_t(eValue)];
    if (Optra::COptraObject::CompareEqual(fStored, fValue))
        return;
    fStored = fValue;
    emit signal_ChangeTransformMatrix();
}

void CImageView3DModel::ClearBufferData()
{
    std::vector<float>().swap(m_mesh.vctVertices);
    std::vector<uint32_t>().swap(m_mesh.vctIndices);
}

uint64_t CImageView3DModel::RequestBuild()
{
    QMutexLocker locker(&m_mutexJobs);
    ++m_nJobs;
    return m_nLatestTicket.fetch_add(1) + 1;
}

void CImageView3DModel::FinishBuild()
{
    QMutexLocker locker(&m_mutexJobs);
    --m_nJobs;
    m_conditionJobs.wakeAll();
}

void CImageView3DModel::LoadImage(ImagePtr pImage)
{
    const uint64_t nTicket = RequestBuild();
    LoadImage(nTicket, std::move(pImage));
    FinishBuild();
}

void CImageView3DModel::LoadImage(uint64_t nTicket, ImagePtr pImage)
{
    QMutexLocker locker(&m_mutexBuild);
    if (IsStale(nTicket))
        return;
    auto pMesh = std::make_shared<SImageView3DMesh>();
    if (!Build(nTicket, pImage, *pMesh))
        return;
    if (QThread::currentThread() == thread())
    {
        AcceptMesh(nTicket, *pMesh);
        return;
    }
    // The event dies with the model if it goes first.
    QMetaObject::invokeMethod(
        this, [this, nTicket, pMesh]() { AcceptMesh(nTicket, *pMesh); }, Qt::QueuedConnection);
}

bool CImageView3DModel::Build(uint64_t nTicket, const ImagePtr& pImage, SImageView3DMesh& mesh)
{
    if (!pImage || pImage->IsEmpty())
        return true;
    emit signal_ChangeProgressMaxRange(100);
    emit signal_ChangeProgressValue(0);
    Optra::Algorithms::CImage copy;
    if (copy.CopyFrom(*pImage) != 0 || copy.IsEmpty())
    {
        CLog::Write(ELogLevel::ERROR, "3D mesh: the image cannot be copied");
        emit signal_ChangeProgressValue(0);
        return false;
    }
    const int nStride = SampleStride(copy.GetWidth(), copy.GetHeight(), VERTEX_BUDGET);
    if (nStride > 1)
        CLog::Write(ELogLevel::NORMAL,
                    "3D mesh: %dx%d image sampled every %d pixels to keep within %zu vertices",
                    copy.GetWidth(), copy.GetHeight(), nStride, VERTEX_BUDGET);
    const auto fnStop = [this, nTicket]()
    {
        return IsStale(nTicket);
    };
    const auto fnProgress = [this, nTicket](int nValue)
    {
        if (!IsStale(nTicket))
            emit signal_ChangeProgressValue(nValue);
    };
    if (!BuildMesh(copy, nStride, mesh, fnStop, fnProgress) || IsStale(nTicket))
        return false;
    emit signal_ChangeProgressValue(100);
    emit signal_ChangeProgressValue(0);
    return true;
}

void CImageView3DModel::AcceptMesh(uint64_t nTicket, SImageView3DMesh& mesh)
{
    if (IsStale(nTicket))
        return;
    m_mesh.vctVertices.swap(mesh.vctVertices);
    m_mesh.vctIndices.swap(mesh.vctIndices);
    emit signal_LoadFinished();
}
