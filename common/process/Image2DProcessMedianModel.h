#pragma once

#include "common/mvc/CenterModel.h"

// The parameters of the median tool: the window, 3x3, 5x5 or N x N with N
// given by the size. Owned by whoever opened the tool. GUI thread.
class CImage2DProcessMedianModel : public CModel
{
    Q_OBJECT
public:
    enum EImage2DProcessMedian : int
    {
        EImage2DProcessMedian3x3 = 0,
        EImage2DProcessMedian5x5 = 1,
        EImage2DProcessMedianNxN = 2,
    };
    // Registered, so the key names can be listed and parsed
    // (CImage2DProcessBase::EnumKeys and EnumValue).
    Q_ENUM(EImage2DProcessMedian)

    // Window sides the N x N type accepts (odd values only).
    static constexpr int MIN_SIZE = 3;
    static constexpr int MAX_SIZE = 255;

    explicit CImage2DProcessMedianModel(QObject* pParent = nullptr);
    ~CImage2DProcessMedianModel() override;

    int GetType() const { return m_eType; }
    // False, and nothing stored, for a value outside the enumeration.
    bool SetType(int nType);
    // The side N of the N x N window.
    int GetSize() const { return m_nSize; }
    // False, and nothing stored, for an even side or one out of range.
    bool SetSize(int nSize);
    // Pixels from the centre to the window's edge for the current type.
    int GetRadius() const;

private:
    EImage2DProcessMedian m_eType = EImage2DProcessMedian3x3;
    int m_nSize = 7;
};
