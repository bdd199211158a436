#include "common/view2d/ImageView2DPdfJob.h"

#include "optra/PDFReader.h"

#include <QMutexLocker>
#include <QThread>

CImageView2DPdfJob::CImageView2DPdfJob(std::unique_ptr<Optra::Utils::CPDFReader> pReader,
                                       const QString& strName, const QString& strFolder)
    : m_pReader(std::move(pReader)), m_strName(strName.toStdWString()), m_strFolder(strFolder.toStdWString()),
      m_nPageCount(m_pReader ? m_pReader->GetPageNumber() : 0)
{
}

CImageView2DPdfJob::~CImageView2DPdfJob()
{
    Cancel();
    if (m_pThread)
        m_pThread->wait();
}

void CImageView2DPdfJob::Start()
{
    if (m_pThread)
        return;
    m_pThread.reset(QThread::create([this] { Run(); }));
    // Queued: the receivers live on the GUI thread.
    connect(m_pThread.get(), &QThread::finished, this,
            [this]
            {
                m_bFinished = true;
                emit signal_Finished();
            });
    m_pThread->start();
}

std::vector<CImageView2DPdfJob::ImagePtr> CImageView2DPdfJob::GetPages() const
{
    QMutexLocker locker(&m_mutex);
    return m_vctPages;
}

void CImageView2DPdfJob::Run()
{
    for (int i = 0; i < m_nPageCount && !m_bCancel; ++i)
    {
        auto pPage = std::make_shared<Optra::Algorithms::CImage>();
        const int nResult = m_pReader->RenderPage(i, *pPage);
        if (nResult != 0)
        {
            m_nFailure = nResult;
            m_nFailedPage = i;
            return;
        }
        pPage->SetName(m_strName);
        pPage->SetFolder(m_strFolder);
        {
            QMutexLocker locker(&m_mutex);
            m_vctPages.push_back(std::move(pPage));
        }
        emit signal_PageRendered(i + 1, m_nPageCount);
    }
}
