#pragma once

#include "common/process/Image2DProcessBaseDlg.h"

// The Median tool's window: the base window with the tool's parameter rows
// and a "Run" button. Created by the main window (parent) and driven by
// CImage2DProcessMedianCtrl. GUI thread.
class CImage2DProcessMedianDlg : public CImage2DProcessBaseDlg
{
    Q_OBJECT
public:
    explicit CImage2DProcessMedianDlg(QWidget* pParent = nullptr);
    ~CImage2DProcessMedianDlg() override;

protected:
    void SetupParameter() override;
};
