#include "common/view2d/ImageView2DToolModel.h"

#include <iterator>

QString CImageView2DModeModel::GetModeKeyName(EImageView2DMode eMode)
{
    // The misspelt "Rectanlge" is the key name other tools already log.
    static const char* const s_szKeys[] = {
        "EImageView2DMode_Selecting",         "EImageView2DMode_Panning",
        "EImageView2DMode_Drawing_Rectanlge", "EImageView2DMode_Drawing_Ellipse",
        "EImageView2DMode_Drawing_Circle",    "EImageView2DMode_Drawing_Polygon",
        "EImageView2DMode_Drawing_Line",
    };
    if (eMode < 0 || size_t(eMode) >= std::size(s_szKeys))
        return QString();
    return QString::fromLatin1(s_szKeys[eMode]);
}

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

void CImageView2DModeModel::SetKeepClass(bool bKeepClass)
{
    if (bKeepClass == m_bKeepClass)
        return;
    m_bKeepClass = bKeepClass;
    emit signal_ChangeKeepClass();
}

void CImageView2DModeModel::SetDrawContinuously(bool bDrawContinuously)
{
    if (bDrawContinuously == m_bDrawContinuously)
        return;
    m_bDrawContinuously = bDrawContinuously;
    emit signal_ChangeDrawContinuously();
}
