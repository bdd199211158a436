// PDF loading of the 2D view controller: opening (asking once for a
// password), refusing a document whose pages would not fit in memory, and
// rendering the pages on a worker thread behind a progress dialog that can
// cancel, keeping the pages rendered until then.
#include "common/view2d/ImageView2DCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/setting/SettingManager.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DPdfJob.h"

#include "optra/OptraResult.h"
#include "optra/PDFReader.h"

#include <QEventLoop>
#include <QProgressDialog>

namespace
{
// Rows of a rendered page (3 channels) start at 4-byte boundaries.
double PageBytes(int nWidth, int nHeight)
{
    return double((3 * qint64(nWidth) + 3) / 4 * 4) * nHeight;
}

QString Gigabytes(double dBytes)
{
    return QString::number(dBytes / double(1 << 30), 'f', 1);
}
} // namespace

std::vector<CImageView2DController::ImagePtr> CImageView2DController::LoadPDF(const QString& strPath)
{
    std::unique_ptr<Optra::Utils::CPDFReader> pReader = OpenPdf(strPath);
    if (!pReader || !FitsPdfBudget(*pReader, strPath))
        return {};
    return RenderPdfPages(std::move(pReader), strPath);
}

std::unique_ptr<Optra::Utils::CPDFReader> CImageView2DController::OpenPdf(const QString& strPath)
{
    auto pReader = std::make_unique<Optra::Utils::CPDFReader>();
    const double dResolutionX = CSetting::GetDouble(QStringLiteral("GENERAL_PDF_RESOLUTION_X"), 144.0);
    const double dResolutionY = CSetting::GetDouble(QStringLiteral("GENERAL_PDF_RESOLUTION_Y"), 144.0);
    if (pReader->SetResolutionX(dResolutionX) != 0 || pReader->SetResolutionY(dResolutionY) != 0)
    {
        ShowFailure(
            QStringLiteral("Cannot load pdf file %1\nThe PDF resolution %2 x %3 dpi of the settings is not "
                           "valid.")
                .arg(strPath)
                .arg(dResolutionX)
                .arg(dResolutionY));
        return nullptr;
    }
    int nResult = pReader->Read(strPath.toStdWString(), std::wstring());
    if (nResult == Optra::EOptraResult_PasswordRequired)
    {
        bool bOk = false;
        const QString strPassword =
            CInteraction::GetText(m_pView, QStringLiteral("Input the password"), QStringLiteral("Password"),
                                  QLineEdit::Password, bOk);
        if (!bOk)
        {
            CLog::Write(ELogLevel::NORMAL, "Load PDF %s cancelled", strPath.toUtf8().constData());
            return nullptr;
        }
        nResult = pReader->Read(strPath.toStdWString(), strPassword.toStdWString());
    }
    if (nResult != 0)
    {
        ShowFailure(QStringLiteral("Cannot load pdf file %1\n%2").arg(strPath, DescribeResult(nResult)));
        return nullptr;
    }
    return pReader;
}

bool CImageView2DController::FitsPdfBudget(Optra::Utils::CPDFReader& reader, const QString& strPath)
{
    double dBytes = 0;
    const int nPages = reader.GetPageNumber();
    for (int i = 0; i < nPages; ++i)
    {
        int nWidth = 0;
        int nHeight = 0;
        // Rendering stops at the first page that cannot be rendered.
        if (reader.GetPageSize(i, nWidth, nHeight) != 0)
            break;
        dBytes += PageBytes(nWidth, nHeight);
    }
    if (dBytes <= PDF_MEMORY_BUDGET)
        return true;
    ShowFailure(
        QStringLiteral("Cannot load pdf file %1\nIts %2 pages would take %3 GB of memory at %4 x %5 dpi, "
                       "more than the %6 GB one document may take. Lower the PDF resolution in the "
                       "settings.")
            .arg(strPath)
            .arg(nPages)
            .arg(Gigabytes(dBytes))
            .arg(reader.GetResolutionX())
            .arg(reader.GetResolutionY())
            .arg(Gigabytes(PDF_MEMORY_BUDGET)));
    return false;
}

std::vector<CImageView2DController::ImagePtr>
CImageView2DController::RenderPdfPages(std::unique_ptr<Optra::Utils::CPDFReader> pReader,
                                       const QString& strPath)
{
    const int nSlash = strPath.lastIndexOf(QLatin1Char('/'));
    const QString strName = strPath.mid(nSlash + 1);
    CImageView2DPdfJob job(std::move(pReader), strName, nSlash < 0 ? QString() : strPath.left(nSlash));
    QProgressDialog progress(QStringLiteral("Rendering %1").arg(strName), QStringLiteral("Cancel"), 0,
                             job.GetPageCount(), m_pView);
    progress.setWindowTitle(QStringLiteral("Load PDF File"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    connect(&job, &CImageView2DPdfJob::signal_PageRendered, &progress, &QProgressDialog::setValue);
    connect(&progress, &QProgressDialog::canceled, &job, &CImageView2DPdfJob::Cancel);
    QEventLoop loop;
    connect(&job, &CImageView2DPdfJob::signal_Finished, &loop, &QEventLoop::quit);
    job.Start();
    // The window keeps painting while the worker renders; the modal
    // progress dialog keeps the user from starting anything else.
    if (!job.IsFinished())
        loop.exec();

    const std::vector<ImagePtr> vctPages = job.GetPages();
    if (job.GetFailure() != 0)
    {
        const QString strWhy = DescribeResult(job.GetFailure());
        if (vctPages.empty())
            ShowFailure(QStringLiteral("Cannot load pdf file %1\n%2").arg(strPath, strWhy));
        else
            ShowFailure(QStringLiteral("Page %1 of %2 cannot be rendered; the pages before it are shown.\n%3")
                            .arg(job.GetFailedPage() + 1)
                            .arg(strPath, strWhy));
    }
    CLog::Write(ELogLevel::NORMAL, "Load PDF %s: %d of %d pages%s", strPath.toUtf8().constData(),
                int(vctPages.size()), job.GetPageCount(), job.IsCancelled() ? " (cancelled)" : "");
    return vctPages;
}
