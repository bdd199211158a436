#include "common/mvc/ImageView2DModel.h"

#include "common/log/Logger.h"

CImageListModel::CImageListModel(QObject* pParent) : QObject(pParent) {}

CImageListModel::~CImageListModel() = default;

bool CImageListModel::IsInside(int nIndex) const
{
    return nIndex >= 0 && size_t(nIndex) < m_vctImages.size();
}

CImageListModel::ImagePtr CImageListModel::GetImage(int nIndex) const
{
    return IsInside(nIndex) ? m_vctImages[size_t(nIndex)] : nullptr;
}

void CImageListModel::PushImage(ImagePtr pImage)
{
    m_vctImages.push_back(std::move(pImage));
    m_nCurrentIndex = int(m_vctImages.size()) - 1;
    CLog::Write(ELogLevel::NORMAL, "Push Image");
    emit signal_ChangeImageList();
    emit signal_ChangeCurrentImage();
    emit signal_ChangeCurrentIndex();
}

void CImageListModel::SetImages(const std::vector<ImagePtr>& vctImages)
{
    m_vctImages = vctImages;
    m_nCurrentIndex = 0;
    emit signal_ChangeImageList();
    emit signal_ChangeCurrentImage();
}

void CImageListModel::SetImage(ImagePtr pImage, int nIndex)
{
    if (!IsInside(nIndex))
        return;
    m_vctImages[size_t(nIndex)] = std::move(pImage);
    CLog::Write(ELogLevel::NORMAL, "Set Image At %d", nIndex);
    emit signal_ChangeImageList();
    if (nIndex == m_nCurrentIndex)
        emit signal_ChangeCurrentImage();
}

void CImageListModel::SetCurrentImage(ImagePtr pImage)
{
    if (IsInside(m_nCurrentIndex))
    {
        m_vctImages[size_t(m_nCurrentIndex)] = std::move(pImage);
        emit signal_ChangeCurrentImage();
        return;
    }
    m_vctImages.assign(1, std::move(pImage));
    // After the only image was closed the index is -1; the image just set
    // must be the one shown.
    const bool bIndexChanged = m_nCurrentIndex != 0;
    m_nCurrentIndex = 0;
    emit signal_ChangeImageList();
    emit signal_ChangeCurrentImage();
    if (bIndexChanged)
        emit signal_ChangeCurrentIndex();
}

void CImageListModel::SetCurrentIndex(int nIndex)
{
    if (nIndex == m_nCurrentIndex || !IsInside(nIndex))
        return;
    m_nCurrentIndex = nIndex;
    CLog::Write(ELogLevel::NORMAL, "Set Current Index %d", nIndex);
    emit signal_ChangeCurrentIndex();
    emit signal_ChangeCurrentImage();
}

void CImageListModel::Next()
{
    if (m_nCurrentIndex >= int(m_vctImages.size()) - 1)
        return;
    ++m_nCurrentIndex;
    CLog::Write(ELogLevel::NORMAL, "Next Image At %d", m_nCurrentIndex);
    emit signal_ChangeCurrentIndex();
    emit signal_ChangeCurrentImage();
}

void CImageListModel::Previous()
{
    if (m_nCurrentIndex < 1)
        return;
    --m_nCurrentIndex;
    CLog::Write(ELogLevel::NORMAL, "Previous Image At %d", m_nCurrentIndex);
    emit signal_ChangeCurrentIndex();
    emit signal_ChangeCurrentImage();
}

void CImageListModel::Clear()
{
    m_vctImages.clear();
    m_nCurrentIndex = 0;
    CLog::Write(ELogLevel::NORMAL, "Clear");
    emit signal_ChangeImageList();
    emit signal_ChangeCurrentImage();
}

void CImageListModel::CloseCurrentImage()
{
    if (m_vctImages.empty())
        return;
    if (IsInside(m_nCurrentIndex))
    {
        m_vctImages.erase(m_vctImages.begin() + m_nCurrentIndex);
        if (!IsInside(m_nCurrentIndex))
            --m_nCurrentIndex;
    }
    else if (m_nCurrentIndex >= 0)
    {
        --m_nCurrentIndex;
    }
    emit signal_ChangeImageList();
    emit signal_ChangeCurrentImage();
}

void CImageListModel::SetMousePosition(QPointF ptPosition)
{
    // QPointF's equality is the fuzzy one: 1e-12 absolute near zero, else
    // relative to the smaller value.
    if (ptPosition == m_ptMousePosition)
        return;
    m_ptMousePosition = ptPosition;
    emit signal_MousePositionChanged();
}
