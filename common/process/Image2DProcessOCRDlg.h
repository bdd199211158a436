#pragma once

#include "common/process/Image2DProcessBaseDlg.h"

class QTextEdit;

// The OCR tool's window: the base window with the language, data folder and
// resolution rows, a "Run" button and the recognised text as its result.
// Created by the main window (parent) and driven by CImage2DProcessOCRCtrl.
// GUI thread.
class CImage2DProcessOCRDlg : public CImage2DProcessBaseDlg
{
    Q_OBJECT
public:
    explicit CImage2DProcessOCRDlg(QWidget* pParent = nullptr);
    ~CImage2DProcessOCRDlg() override;

    void SetResultText(const QString& strText);
    QString GetResultText() const;
    void ClearResult() override;

protected:
    void SetupParameter() override;
    void SetupResult() override;

private:
    QTextEdit* m_pResult = nullptr;
};
