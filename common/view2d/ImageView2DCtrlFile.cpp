// File operations of the 2D view controller: loading and adding image files
// and PDF documents, saving, the file dialogs, and what the user is told
// when a file cannot be read or written.
#include "common/view2d/ImageView2DCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/ImageView2DModel.h"
#include "common/mvc/Interaction.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DPrefetch.h"

#include "optra/OptraResult.h"

#include <QFileInfo>

namespace
{
const QString IMAGE_FILTER = QStringLiteral(
    "Images (*.bmp *.BMP *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.gif *.GIF *.tif *.TIF *.tiff *.TIFF);;"
    "All files (*.*)");
const QString PDF_FILTER = QStringLiteral("PDF (*.pdf *.PDF);;All files (*.*)");
const QString FILE_FILTER =
    QStringLiteral("Files (*.bmp *.BMP *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.gif *.GIF "
                   "*.tif *.TIF *.tiff *.TIFF *.pdf *.PDF);;All files (*.*)");
const QString SAVE_FILTER = QStringLiteral(
    "Files (*.bmp *.BMP *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.gif *.GIF *.tif *.TIF *.tiff *.TIFF)");

// Why writing the file failed, as far as the file system tells.
QString DescribeWriteFailure(const QString& strPath)
{
    const QFileInfo file(strPath);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("The folder %1 does not exist.").arg(folder.filePath());
    if (!folder.isWritable())
        return QStringLiteral("The folder %1 is not writable.").arg(folder.filePath());
    if (file.exists() && !file.isWritable())
        return QStringLiteral("The file is read-only.");
    return QStringLiteral("The file could not be written (is the disk full?).");
}
} // namespace

QString CImageView2DController::DescribeResult(int nResult)
{
    switch (nResult)
    {
    case Optra::EOptraResult_FileNotFound:
        return QStringLiteral("The file does not exist or is not a regular file.");
    case Optra::EOptraResult_UnsupportedFormat:
        return QStringLiteral("The file is not in a supported image format.");
    case Optra::EOptraResult_PasswordRequired:
        return QStringLiteral("The document needs a password, or the password is wrong.");
    case Optra::EOptraResult_DecodeFailed:
        return QStringLiteral("The file is damaged, truncated or empty.");
    case Optra::EOptraResult_TooLarge:
        return QStringLiteral("The image is too large.");
    case Optra::EOptraResult_OutOfMemory:
        return QStringLiteral("There is not enough memory.");
    case Optra::EOptraResult_WriteFailed:
        return QStringLiteral("The file could not be written.");
    case Optra::EOptraResult_EmptyImage:
        return QStringLiteral("The image is empty.");
    default:
        return QStringLiteral("Error %1.").arg(nResult);
    }
}

void CImageView2DController::ShowFailure(const QString& strText)
{
    CLog::Write(ELogLevel::ERROR, "%s", QString(strText).replace('\n', ' ').toUtf8().constData());
    CInteraction::Critical(m_pView, strText);
}

bool CImageView2DController::IsPdfPath(const QString& strPath)
{
    return strPath.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
}

std::vector<CImageView2DController::ImagePtr> CImageView2DController::LoadByKind(const QString& strPath)
{
    return IsPdfPath(strPath) ? LoadPDF(strPath) : LoadImage(strPath);
}

bool CImageView2DController::ApplyLoaded(const std::vector<ImagePtr>& vctImages, bool bClearOnFailure)
{
    if (!m_pImageList)
        return false;
    if (vctImages.empty() && !bClearOnFailure)
        return false;
    m_pImageList->SetImages(vctImages);
    if (m_pGeometryModel)
        m_pGeometryModel->ClearObject();
    return !vctImages.empty();
}

bool CImageView2DController::LoadFile(const QString& strPath)
{
    if (strPath.isEmpty() || !m_pImageList)
        return false;
    return ApplyLoaded(LoadByKind(strPath), true);
}

bool CImageView2DController::AddImage(const QString& strPath)
{
    if (strPath.isEmpty() || !m_pImageList)
        return false;
    const std::vector<ImagePtr> vctImages = LoadByKind(strPath);
    for (const ImagePtr& pImage : vctImages)
        m_pImageList->PushImage(pImage);
    return !vctImages.empty();
}

void CImageView2DController::SetPrefetcher(CImageView2DPrefetcher* pPrefetcher)
{
    m_pPrefetcher = pPrefetcher;
}

std::vector<CImageView2DController::ImagePtr> CImageView2DController::LoadImage(const QString& strPath)
{
    if (m_pPrefetcher)
    {
        CImageView2DPrefetcher::SPrepared prepared = m_pPrefetcher->Take(strPath);
        if (prepared.pImage)
        {
            if (m_pView)
                m_pView->UsePreparedPyramid(prepared.pImage, std::move(prepared.pPyramid));
            CLog::Write(ELogLevel::NORMAL, "Load Image %s OK", strPath.toUtf8().constData());
            return {prepared.pImage};
        }
    }
    auto pImage = std::make_shared<Optra::Algorithms::CImage>();
    const int nResult = pImage->Load(strPath.toStdWString());
    if (nResult != 0)
    {
        ShowFailure(QStringLiteral("Cannot load image %1\n%2").arg(strPath, DescribeResult(nResult)));
        return {};
    }
    CLog::Write(ELogLevel::NORMAL, "Load Image %s OK", strPath.toUtf8().constData());
    return {pImage};
}

bool CImageView2DController::SaveFile(const QString& strPath)
{
    const ImagePtr pCurrent = GetCurrentImgage();
    if (strPath.isEmpty() || !pCurrent)
        return false;
    const int nResult = pCurrent->Save(strPath.toStdWString());
    if (nResult != 0)
    {
        const QString strReason =
            nResult == Optra::EOptraResult_WriteFailed ? DescribeWriteFailure(strPath)
            : nResult == Optra::EOptraResult_UnsupportedFormat
                ? QStringLiteral("The suffix names no image format that can be written.")
                : DescribeResult(nResult);
        ShowFailure(QStringLiteral("Cannot save image %1\n%2").arg(strPath, strReason));
        return false;
    }
    CLog::Write(ELogLevel::NORMAL, "Save Image %s OK", strPath.toUtf8().constData());
    return true;
}

void CImageView2DController::slot_LoadImage()
{
    const QString strPath =
        CInteraction::GetOpenFileName(nullptr, QStringLiteral("Load Image"), QString(), IMAGE_FILTER);
    // A failed load keeps what is shown.
    if (!strPath.isEmpty())
        ApplyLoaded(LoadImage(strPath), false);
}

void CImageView2DController::slot_LoadPdf()
{
    const QString strPath =
        CInteraction::GetOpenFileName(nullptr, QStringLiteral("Load PDF File"), QString(), PDF_FILTER);
    if (!strPath.isEmpty())
        ApplyLoaded(LoadPDF(strPath), false);
}

void CImageView2DController::AddChosenFiles(const QString& strCaption)
{
    const QStringList lstPaths = CInteraction::GetOpenFileNames(nullptr, strCaption, QString(), FILE_FILTER);
    for (const QString& strPath : lstPaths)
        AddImage(strPath);
}

void CImageView2DController::slot_LoadFile()
{
    AddChosenFiles(QStringLiteral("Load File"));
}

void CImageView2DController::slot_AddImage()
{
    AddChosenFiles(QStringLiteral("Add Images"));
}

void CImageView2DController::slot_AddImageDragDrop(const QString& strPath)
{
    AddImage(strPath);
}

void CImageView2DController::slot_SaveImage()
{
    if (!GetCurrentImgage())
        return;
    SaveFile(CInteraction::GetSaveFileName(nullptr, QStringLiteral("Save Image"), QString(), SAVE_FILTER,
                                           QStringLiteral("bmp")));
}
