// Image operations of the 2D view controller on its image list: replacing,
// closing and moving through images, rotation and other undoable image
// changes with their bounded history, and the clipboard.
#include "common/view2d/ImageView2DCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/ImageView2DModel.h"
#include "common/view2d/ImageView2DChangeImageCommand.h"
#include "common/view2d/ImageView2DGeometryModel.h"

#include "optra/geometry/Point.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include <cmath>

void CImageView2DController::PushImage(const ImagePtr& pImage)
{
    if (m_pImageList && pImage)
        m_pImageList->PushImage(pImage);
}

void CImageView2DController::ChangeImage(const ImagePtr& pImage, int nIndex)
{
    if (!m_pImageList || !pImage)
        return;
    m_pImageList->SetImage(pImage, nIndex);
    if (m_pGeometryModel)
        m_pGeometryModel->ClearObject();
}

void CImageView2DController::SetCurrentImage(const ImagePtr& pImage)
{
    if (!m_pImageList || !pImage)
        return;
    // Not undoable itself, so older steps would undo into the wrong image.
    m_undoStack.Clear();
    m_pImageList->SetCurrentImage(pImage);
    if (m_pGeometryModel)
        m_pGeometryModel->ClearObject();
}

void CImageView2DController::ChangeCurrentImage(const ImagePtr& pImage)
{
    if (!m_pImageList || !pImage || pImage->IsEmpty())
        return;
    auto pCommand = std::make_unique<CChangeImageCommand>(m_pImageList, m_pGeometryModel, pImage);
    if (!pCommand->IsValid())
    {
        // No image to go back to.
        SetCurrentImage(pImage);
        return;
    }
    Push(pCommand.release());
    TrimImageHistory();
}

void CImageView2DController::TrimImageHistory()
{
    const auto fnIsImageChange = [](const CCommand& command) -> size_t
    {
        return dynamic_cast<const CChangeImageCommand*>(&command) ? 1 : 0;
    };
    const auto fnImageBytes = [](const CCommand& command) -> size_t
    {
        const auto* pChange = dynamic_cast<const CChangeImageCommand*>(&command);
        return pChange ? pChange->GetHeldBytes() : 0;
    };
    m_undoStack.TrimOldest(MAX_IMAGE_STATES, fnIsImageChange);
    m_undoStack.TrimOldest(IMAGE_HISTORY_BUDGET, fnImageBytes);
}

CImageView2DController::ImagePtr CImageView2DController::GetCurrentImgage() const
{
    return m_pImageList ? m_pImageList->GetCurrentImage() : nullptr;
}

void CImageView2DController::CloseCurrentImage()
{
    if (!m_pImageList)
        return;
    m_pImageList->CloseCurrentImage();
    if (m_pGeometryModel)
        m_pGeometryModel->ClearObject();
}

bool CImageView2DController::Rotate(double dAngle)
{
    const ImagePtr pCurrent = GetCurrentImgage();
    if (!pCurrent)
        return false;
    auto pRotated = std::make_shared<Optra::Algorithms::CImage>();
    int nResult = pRotated->CopyFrom(*pCurrent);
    // The canvas grows around the result: a quarter turn swaps width and
    // height and loses nothing.
    if (nResult == 0)
        nResult = pRotated->Rotate(
            dAngle, 0.0, Optra::Algorithms::ERotateOption_Enlarge,
            Optra::Geometry::CPoint(pCurrent->GetWidth() / 2.0, pCurrent->GetHeight() / 2.0));
    if (nResult != 0)
    {
        CLog::Write(ELogLevel::ERROR, "Rotate Image Failed: %s",
                    DescribeResult(nResult).toUtf8().constData());
        return false;
    }
    ChangeCurrentImage(pRotated);
    return true;
}

bool CImageView2DController::RotateLeft()
{
    return Rotate(-M_PI / 2);
}

bool CImageView2DController::RotateRight()
{
    return Rotate(M_PI / 2);
}

void CImageView2DController::slot_RotateLeft()
{
    RotateLeft();
}

void CImageView2DController::slot_RotateRight()
{
    RotateRight();
}

bool CImageView2DController::CopyToClipBoard()
{
    const ImagePtr pCurrent = GetCurrentImgage();
    const QImage image = pCurrent ? pCurrent->ToQImage() : QImage();
    if (image.isNull())
        return false;
    QGuiApplication::clipboard()->setImage(image);
    return true;
}

void CImageView2DController::slot_Copy()
{
    CopyToClipBoard();
}

void CImageView2DController::slot_Paste()
{
    const QMimeData* pData = QGuiApplication::clipboard()->mimeData();
    if (!pData)
        return;
    if (pData->hasUrls())
    {
        // Copied files arrive as a drop would.
        for (const QUrl& url : pData->urls())
        {
            if (url.isLocalFile())
                AddImage(url.toLocalFile());
        }
        return;
    }
    if (!pData->hasImage() || pData->hasText())
        return;
    auto pImage = std::make_shared<Optra::Algorithms::CImage>();
    const int nResult = pImage->FromQImage(qvariant_cast<QImage>(pData->imageData()), 4);
    if (nResult != 0)
    {
        CLog::Write(ELogLevel::ERROR, "Paste Image Failed: %s", DescribeResult(nResult).toUtf8().constData());
        return;
    }
    PushImage(pImage);
}

void CImageView2DController::slot_CloseImage()
{
    CloseCurrentImage();
}

void CImageView2DController::slot_Previous()
{
    if (m_pImageList)
        m_pImageList->Previous();
}

void CImageView2DController::slot_Next()
{
    if (m_pImageList)
        m_pImageList->Next();
}

void CImageView2DController::slot_SelectImage(int nIndex)
{
    if (m_pImageList)
        m_pImageList->SetCurrentIndex(nIndex);
}

void CImageView2DController::slot_ClearImage()
{
    if (!m_pImageList)
        return;
    m_pImageList->Clear();
    // Drawables without their image would float over the empty view.
    if (m_pGeometryModel)
        m_pGeometryModel->ClearObject();
}

void CImageView2DController::slot_ChangeMousePosition(const QPointF& point)
{
    if (m_pImageList)
        m_pImageList->SetMousePosition(point);
}
