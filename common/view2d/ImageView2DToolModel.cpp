#include "common/view2d/ImageView2DToolModel.h"

void CImageView2DModeModel::SetViewMode(EImageView2DMode eMode)
{
    if (eMode == m_eMode)
        return;
    m_eMode = eMode;
    emit signal_ChangeViewMode();
}

void CImageView2DModeModel::SetViewType(EImageView2DType eType)
{
    if (eType == m_eType)
        return;
    m_eType = eType;
    emit signal_ChangeViewType();
}
