#pragma once

#include "common/mvc/CenterModel.h"

// The progress of a long task of one image view (the 3D view's mesh
// upload): a value and its maximum, each announced when it changes. Owned
// by the view unit; GUI thread.
class CProgressModel : public CModel
{
    Q_OBJECT
public:
    explicit CProgressModel(QObject* pParent = nullptr) : CModel(pParent) {}

    int GetValue() const { return m_nValue; }
    int GetMaximum() const { return m_nMaximum; }
    void SetValue(int nValue);
    void SetMaximum(int nMaximum);

signals:
    void signal_ChangeValue(int nValue);
    void signal_ChangeMaximum(int nMaximum);

private:
    int m_nValue = 0;
    int m_nMaximum = 100;
};
