#include "trainer/ProjectModel.h"

#include "trainer/DatasetImage.h"
#include "trainer/ProjectImage.h"

#include <algorithm>
#include <random>

namespace
{
template <typename List>
auto FindByID(List& vctImages, int nID)
{
    return std::find_if(vctImages.begin(), vctImages.end(),
                        [nID](const std::shared_ptr<CProjectImage>& pImage)
                        { return pImage->GetID() == nID; });
}
} // namespace

CProjectModel::CProjectModel(QObject* pParent) : CModel(pParent) {}

void CProjectModel::SetProjectName(const QString& strDir, const QString& strName)
{
    if (strDir == m_strProjectDir && strName == m_strProjectName)
        return;
    m_strProjectDir = strDir;
    m_strProjectName = strName;
    emit signal_ChangeProject();
}

std::shared_ptr<CProjectImage> CProjectModel::Wrap(const std::shared_ptr<CDatabaseRecord>& pRecord)
{
    return std::make_shared<CProjectImage>(std::dynamic_pointer_cast<CDatasetImage>(pRecord));
}

void CProjectModel::AddTrainImage(const std::shared_ptr<CDatabaseRecord>& pRecord)
{
    m_vctTrainImages.push_back(Wrap(pRecord));
    emit signal_ChangeTrainImageList();
}

void CProjectModel::AddTrainImages(const std::vector<std::shared_ptr<CDatabaseRecord>>& vctRecords)
{
    for (const std::shared_ptr<CDatabaseRecord>& pRecord : vctRecords)
        m_vctTrainImages.push_back(Wrap(pRecord));
    emit signal_ChangeTrainImageList();
}

void CProjectModel::AddTestImage(const std::shared_ptr<CDatabaseRecord>& pRecord)
{
    m_vctTestImages.push_back(Wrap(pRecord));
    emit signal_ChangeTestImageList();
}

void CProjectModel::AddTestImages(const std::vector<std::shared_ptr<CDatabaseRecord>>& vctRecords)
{
    for (const std::shared_ptr<CDatabaseRecord>& pRecord : vctRecords)
        m_vctTestImages.push_back(Wrap(pRecord));
    emit signal_ChangeTestImageList();
}

std::shared_ptr<CProjectImage> CProjectModel::Find(const ImageList& vctImages, int nID)
{
    const auto it = FindByID(vctImages, nID);
    return it == vctImages.end() ? nullptr : *it;
}

std::shared_ptr<CProjectImage> CProjectModel::GetTrainImage(int nID) const
{
    return Find(m_vctTrainImages, nID);
}

std::shared_ptr<CProjectImage> CProjectModel::GetTestImage(int nID) const
{
    return Find(m_vctTestImages, nID);
}

bool CProjectModel::Remove(ImageList& vctImages, int nID)
{
    const auto it = FindByID(vctImages, nID);
    if (it == vctImages.end())
        return false;
    vctImages.erase(it);
    return true;
}

void CProjectModel::RemoveTrainnImage(int nID)
{
    if (Remove(m_vctTrainImages, nID))
        emit signal_ChangeTrainImageList();
}

void CProjectModel::RemoveTestImage(int nID)
{
    if (Remove(m_vctTestImages, nID))
        emit signal_ChangeTestImageList();
}

void CProjectModel::ClearTrainImage()
{
    m_vctTrainImages.clear();
    emit signal_ChangeTrainImageList();
}

void CProjectModel::ClearTestImage()
{
    m_vctTestImages.clear();
    emit signal_ChangeTestImageList();
}

void CProjectModel::ShuffleTrainImage()
{
    std::random_device device("default");
    std::default_random_engine engine(device());
    std::shuffle(m_vctTrainImages.begin(), m_vctTrainImages.end(), engine);
    emit signal_ChangeTrainImageList();
}

void CProjectModel::SortTrainImage()
{
    const bool bAscending = m_bSortAscending;
    std::sort(m_vctTrainImages.begin(), m_vctTrainImages.end(),
              [bAscending](const std::shared_ptr<CProjectImage>& pA, const std::shared_ptr<CProjectImage>& pB)
              { return bAscending ? pA->GetName() < pB->GetName() : pB->GetName() < pA->GetName(); });
    m_bSortAscending = !m_bSortAscending;
    emit signal_ChangeTrainImageList();
}

void CProjectModel::CloseProject()
{
    if (m_nCommandState != 0)
        return;
    m_vctTrainImages.clear();
    m_vctTestImages.clear();
    m_nCommandState = 0;
    m_strProjectDir.clear();
    m_strProjectName.clear();
    emit signal_CloseProject();
}
