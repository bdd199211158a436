#include "common/process/Image2DProcessOCRCtrl.h"

#include "common/log/Logger.h"
#include "common/process/Image2DProcessOCRDlg.h"
#include "common/process/Image2DProcessOCRModel.h"

CImage2DProcessOCRCtrl::CImage2DProcessOCRCtrl(CImage2DProcessOCRModel* pModel,
                                               CImage2DProcessOCRDlg* pDialog)
    : CImage2DProcessBaseCtrl(pDialog), m_pModel(pModel), m_pOCRDialog(pDialog)
{
    if (!pDialog)
        return;
    connect(pDialog, &CImage2DProcessBaseDlg::signal_Run, this, &CImage2DProcessOCRCtrl::slot_RunOCR);
    connect(pDialog, &CImage2DProcessBaseDlg::signal_ChangeData, this,
            &CImage2DProcessOCRCtrl::slot_ChangeData);
    ShowParameters();
}

CImage2DProcessOCRCtrl::~CImage2DProcessOCRCtrl() = default;

void CImage2DProcessOCRCtrl::ShowParameters()
{
    if (!m_pModel || !m_pOCRDialog)
        return;
    m_pOCRDialog->SetParameterValue(0, m_pModel->GetLanguageCode());
    m_pOCRDialog->SetParameterValue(1, m_pModel->GetLanguagePath());
    m_pOCRDialog->SetParameterValue(2, QString::number(m_pModel->GetUserDefinedDpi()));
}

void CImage2DProcessOCRCtrl::slot_ChangeData(int nRow, const QString& strValue)
{
    if (!m_pModel)
        return;
    switch (nRow)
    {
    case 0:
        m_pModel->SetLanguageCode(strValue);
        break;
    case 1:
        m_pModel->SetLanguagePath(strValue);
        break;
    case 2:
        m_pModel->SetUserDefinedDpi(strValue.toInt());
        break;
    default:
        break;
    }
    ShowParameters();
}

bool CImage2DProcessOCRCtrl::PrepareEngine()
{
    const QStringList lstMissing = m_pModel->GetMissingLanguageFiles();
    if (!lstMissing.isEmpty())
    {
        FailRun(QString("No language data for \"%1\": %2 does not exist. Install the language's "
                        "tesseract-ocr package or choose the folder holding it as \"Language Data Path\".")
                    .arg(m_pModel->GetLanguageCode(), lstMissing.join(", ")));
        return false;
    }
    const int nLanguage = m_ocr.SetLanguageData(m_pModel->GetLanguagePath().toUtf8().toStdString(),
                                                m_pModel->GetLanguageCode().toUtf8().toStdString());
    if (nLanguage != 0)
    {
        FailRun(QString("Cannot load the language data \"%1\" from %2: %3")
                    .arg(m_pModel->GetLanguageCode(), m_pModel->GetLanguagePath(),
                         CImage2DProcessBase::DescribeResult(nLanguage)));
        return false;
    }
    const int nDpi = m_ocr.SetUserDefinedDpi(m_pModel->GetUserDefinedDpi());
    if (nDpi != 0)
    {
        FailRun(QString("Cannot use %1 dpi: %2")
                    .arg(m_pModel->GetUserDefinedDpi())
                    .arg(CImage2DProcessBase::DescribeResult(nDpi)));
        return false;
    }
    return true;
}

void CImage2DProcessOCRCtrl::slot_RunOCR()
{
    ImagePtr pSource;
    ShapePtr pRegion;
    if (!m_pModel || !m_pOCRDialog || !PrepareRun(pSource, pRegion) || !PrepareEngine())
        return;
    StartProcess();
    const int nResult = m_ocr.Decode(*pSource, pRegion.get());
    if (nResult != 0)
    {
        FailRun(QString("OCR Failed: %1").arg(CImage2DProcessBase::DescribeResult(nResult)));
        return;
    }
    EndProcess();
    const QString strText = QString::fromUtf8(m_ocr.GetText().c_str());
    m_pOCRDialog->SetResultText(strText);
    CLog::Write(ELogLevel::NORMAL, "Run OCR OK %s", strText.toUtf8().constData());
}
