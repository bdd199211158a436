#include "trainer/ProjectImage.h"

#include "trainer/DatasetImage.h"

CProjectImage::CProjectImage(const std::shared_ptr<CDatasetImage>& pImage) : m_pImage(pImage) {}

int CProjectImage::GetID() const
{
    return m_pImage ? m_pImage->ID : -1;
}

QString CProjectImage::GetName() const
{
    return m_pImage ? m_pImage->GetName() : QString();
}

QString CProjectImage::GetFullPath() const
{
    return m_pImage ? m_pImage->GetFullPath() : QString();
}

void CProjectImage::SetValidate(bool bValidate)
{
    if (m_bValidateSet && m_bValidate == bValidate)
        return;
    m_bValidate = bValidate;
    m_bValidateSet = true;
    emit signal_ChangeValidation();
}
