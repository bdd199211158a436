#pragma once

#include "common/mvc/CenterModel.h"

#include <QString>

// The tool of the 2D views. Logged by the key names of GetModeKeyName.
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
// tool is the same in all of them, whether new drawables keep the class
// chosen last instead of asking (what a class is, the host program knows),
// and whether a drawing tool stays after a drawable is made.
// Owned by the view manager. GUI thread.
class CImageView2DModeModel : public CModel
{
    Q_OBJECT
public:
    explicit CImageView2DModeModel(QObject* pParent = nullptr) : CModel(pParent) {}

    // "EImageView2DMode_Selecting" ... "EImageView2DMode_Drawing_Line";
    // empty for a value outside the enumeration.
    static QString GetModeKeyName(EImageView2DMode eMode);

    EImageView2DMode GetViewMode() const { return m_eMode; }
    // Stores a different mode and announces it; the same mode is ignored.
    void SetViewMode(EImageView2DMode eMode);
    EImageView2DType GetViewType() const { return m_eType; }
    void SetViewType(EImageView2DType eType);
    bool GetKeepClass() const { return m_bKeepClass; }
    // Stores a different value and announces it.
    void SetKeepClass(bool bKeepClass);
    bool GetDrawContinuously() const { return m_bDrawContinuously; }
    // Stores a different value and announces it.
    void SetDrawContinuously(bool bDrawContinuously);
    // Whether a drawing tool stays after a drawable is made: labelling with
    // one class, or by choice, is drag after drag without a tool click.
    bool KeepsTool() const { return m_bKeepClass || m_bDrawContinuously; }

signals:
    void signal_ChangeViewMode();
    void signal_ChangeViewType();
    void signal_ChangeKeepClass();
    void signal_ChangeDrawContinuously();

private:
    EImageView2DMode m_eMode = EImageView2DMode_Selecting;
    EImageView2DType m_eType = EImageView2DType_2D;
    bool m_bKeepClass = false;
    bool m_bDrawContinuously = false;
};
