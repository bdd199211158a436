// Runs of the image tools: the checks before a run, its timing, and how
// its outcome reaches the tool window.
#include "common/process/Image2DProcessBaseCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/ImageViewer.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/process/Image2DProcessBaseDlg.h"

void CImage2DProcessBaseCtrl::StartProcess()
{
    m_timer.start();
}

qint64 CImage2DProcessBaseCtrl::EndProcess()
{
    const qint64 nElapsed = m_timer.isValid() ? m_timer.elapsed() : 0;
    const QString strText = QString::asprintf("Processing Time %lld ms", static_cast<long long>(nElapsed));
    if (m_pDialog)
        m_pDialog->SetMessage(strText);
    CLog::Write(ELogLevel::NORMAL, "%s", strText.toUtf8().constData());
    return nElapsed;
}

void CImage2DProcessBaseCtrl::FailRun(const QString& strText)
{
    m_timer.invalidate();
    if (m_pDialog)
    {
        m_pDialog->ClearResult();
        m_pDialog->SetFailure(strText);
    }
    CLog::Write(ELogLevel::ERROR, "%s", strText.toUtf8().constData());
}

bool CImage2DProcessBaseCtrl::PrepareRun(ImagePtr& pSource, ShapePtr& pRegion)
{
    if (!m_pDialog)
        return false;
    const QString strView = m_pDialog->GetSourceImage();
    pSource = m_pSourceUnit ? m_pSourceUnit->GetImage() : nullptr;
    if (!m_pSourceFrame || !pSource || pSource->IsEmpty())
    {
        FailRun(QString("%1 shows no image to work on").arg(strView.isEmpty() ? "The source view" : strView));
        return false;
    }
    pRegion = nullptr;
    const unsigned int uid = m_pDialog->GetSourceROIID();
    if (uid == Optra::COptraObject::INVALID_UID)
        return true;
    pRegion = CImage2DProcessBase::FindRegion(m_pSourceFrame->Get2DDrawableObjects(), uid);
    if (pRegion)
        return true;
    FailRun(QString("The ROI \"%1\" is no longer in %2: choose another ROI or \"Whole Image\"")
                .arg(m_pDialog->GetSourceROIName(), strView));
    return false;
}

void CImage2DProcessBaseCtrl::RunFilter(const QString& strTool, const Filter& fnFilter)
{
    ImagePtr pSource;
    ShapePtr pRegion;
    if (!PrepareRun(pSource, pRegion))
        return;
    const ImagePtr pWork = CImage2DProcessBase::CopyImage(*pSource);
    if (!pWork)
    {
        FailRun(QString("%1 Failed: the image could not be copied").arg(strTool));
        return;
    }
    StartProcess();
    const int nResult = fnFilter(*pWork, pRegion.get());
    if (nResult != 0)
    {
        FailRun(QString("%1 Failed: %2").arg(strTool, CImage2DProcessBase::DescribeResult(nResult)));
        return;
    }
    EndProcess();
    if (m_pSourceUnit)
        m_pSourceUnit->ChangeCurrentImage(pWork);
}
