#include "common/view3d/ImageView3DRunnable.h"

CInternalRunnable::CInternalRunnable(CImageView3DModel* pModel, CImageView3DModel::ImagePtr pImage)
    : m_pModel(pModel), m_pImage(std::move(pImage))
{
    setAutoDelete(true);
    if (m_pModel)
        m_nTicket = m_pModel->RequestBuild();
}

CInternalRunnable::~CInternalRunnable()
{
    if (m_pModel)
        m_pModel->FinishBuild();
}

void CInternalRunnable::run()
{
    if (!m_pModel)
        return;
    m_pModel->LoadImage(m_nTicket, m_pImage);
}
