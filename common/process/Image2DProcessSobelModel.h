#pragma once

#include "common/mvc/CenterModel.h"

// The parameters of the Sobel tool: which gradient it computes. Owned by
// whoever opened the tool (the main window's tool list). GUI thread.
class CImage2DProcessSobelModel : public CModel
{
    Q_OBJECT
public:
    enum EImage2DProcessSobel : int
    {
        EImage2DProcessSobelX = 0,
        EImage2DProcessSobelY = 1,
        EImage2DProcessSobelXY = 2,
    };
    // Registered, so the key names can be listed and parsed
    // (CImage2DProcessBase::EnumKeys and EnumValue).
    Q_ENUM(EImage2DProcessSobel)

    explicit CImage2DProcessSobelModel(QObject* pParent = nullptr);
    ~CImage2DProcessSobelModel() override;

    int GetType() const { return m_eType; }
    // False, and nothing stored, for a value outside the enumeration.
    bool SetType(int nType);

private:
    EImage2DProcessSobel m_eType = EImage2DProcessSobelX;
};
