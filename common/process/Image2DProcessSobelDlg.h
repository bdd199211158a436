#pragma once

#include "common/process/Image2DProcessBaseDlg.h"

// The Sobel tool's window: the base window with the tool's parameter rows
// and a "Run" button. Created by the main window (parent) and driven by
// CImage2DProcessSobelCtrl. GUI thread.
class CImage2DProcessSobelDlg : public CImage2DProcessBaseDlg
{
    Q_OBJECT
public:
    explicit CImage2DProcessSobelDlg(QWidget* pParent = nullptr);
    ~CImage2DProcessSobelDlg() override;

protected:
    void SetupParameter() override;
};
