#pragma once

#include "common/mvc/CenterModel.h"

// The tool of the 2D views.
enum EImageView2DMode : int
{
    EImageView2DMode_Selecting = 0,
    EImageView2DMode_Panning = 1,
    EImageView2DMode_Drawing_Rectanlge = 2,
    EImageView2DMode_Drawing_Ellipse = 3,
    EImageView2DMode_Drawing_Circle = 4,
    EImageView2DMode_Drawing_Polygon = 5,
    EImageView2DMode_Drawing_Line = 6,
};

// Which view of an image view unit is shown.
enum EImageView2DType : int
{
    EImageView2DType_2D = 0,
    EImageView2DType_3D = 1,
};

// The current tool and view type, one instance shared by every view so the
// tool is the same in all of them. Owned by the view manager. GUI thread.
class CImageView2DModeModel : public CModel
{
    Q_OBJECT
public:
    explicit CImageView2DModeModel(QObject* pParent = nullptr) : CModel(pParent) {}

    EImageView2DMode GetViewMode() const { return m_eMode; }
    // Stores a different mode and announces it; the same mode is ignored.
    void SetViewMode(EImageView2DMode eMode);
    EImageView2DType GetViewType() const { return m_eType; }
    void SetViewType(EImageView2DType eType);

signals:
    void signal_ChangeViewMode();
    void signal_ChangeViewType();

private:
    EImageView2DMode m_eMode = EImageView2DMode_Selecting;
    EImageView2DType m_eType = EImageView2DType_2D;
};
