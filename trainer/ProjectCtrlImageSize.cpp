// An image file replaced after it was added (resized, cropped): the size
// the project holds and the boxes placed on it no longer fit the pixels
// Darknet reads. Validation compares the two from the file's header, the
// user is told when opening such an image, and accepting the new size
// scales the boxes with it as one undo step.
#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/mvc/MVCManager.h"
#include "trainer/DatasetImage.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ImageSizeCommand.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectPaths.h"

#include <QFileInfo>
#include <QImageReader>

bool CProjectController::CheckImageSize(const CProjectImage& image, QSize& sizeFile)
{
    const std::shared_ptr<CDatasetImage> pRecord = image.GetImage();
    if (!pRecord || !m_pModel)
        return true;
    const QString strPath = CProjectPaths::ImageFile(m_pModel->GetProjectDir(), pRecord->GetFullPath());
    const QFileInfo info(strPath);
    if (strPath.isEmpty() || !info.isFile())
        return true;
    SFileStamp& stamp = m_mapFileStamps[strPath];
    const QDateTime timeModified = info.lastModified();
    if (stamp.timeModified != timeModified || stamp.nBytes != info.size())
    {
        // The header only: no pixel is decoded.
        stamp = SFileStamp{timeModified, info.size(), QImageReader(strPath).size()};
    }
    sizeFile = stamp.size;
    return !sizeFile.isValid() || sizeFile == QSize(pRecord->GetWidth(), pRecord->GetHeight());
}

void CProjectController::WarnChangedSize(const CProjectImage& image)
{
    QSize sizeFile;
    const std::shared_ptr<CDatasetImage> pRecord = image.GetImage();
    if (!pRecord || CheckImageSize(image, sizeFile) || !m_setSizeWarned.insert(image.GetID()).second)
        return;
    CInteraction::Message(
        DialogParent(), QMessageBox::Warning, QStringLiteral("Image has changed"),
        QString::asprintf(
            "The file of image %s has changed since it was added: it is %dx%d, the project holds "
            "%dx%d, so its boxes no longer fit it. Choose \"Accept New Image Size\" in its menu "
            "in the project tree to scale them to the file.",
            image.GetName().toUtf8().constData(), sizeFile.width(), sizeFile.height(), pRecord->GetWidth(),
            pRecord->GetHeight()));
}

void CProjectController::slot_AcceptImageSize(int nImageID)
{
    if (!m_pModel || !m_pDatabase)
        return;
    std::shared_ptr<CProjectImage> pImage = m_pModel->GetTrainImage(nImageID);
    if (!pImage)
        pImage = m_pModel->GetTestImage(nImageID);
    const std::shared_ptr<CDatasetImage> pRecord = pImage ? pImage->GetImage() : nullptr;
    QSize sizeFile;
    if (!pRecord || CheckImageSize(*pImage, sizeFile) || RefuseWhileRunning())
        return;
    const QSize sizeOld(pRecord->GetWidth(), pRecord->GetHeight());
    if (sizeOld.isEmpty())
        return ShowStoreFailure(
            QStringLiteral("the size the project holds for %1 is not known").arg(pImage->GetName()));
    const double dScaleX = double(sizeFile.width()) / sizeOld.width();
    const double dScaleY = double(sizeFile.height()) / sizeOld.height();
    CImageSizeCommand::Boxes mapOld;
    CImageSizeCommand::Boxes mapNew;
    for (const auto& [nRoiID, pRow] : RoiRowsOfImage(nImageID))
    {
        const QRectF rcBox = StoredRect(*pRow);
        mapOld[nRoiID] = rcBox;
        mapNew[nRoiID] = QRectF(rcBox.x() * dScaleX, rcBox.y() * dScaleY, rcBox.width() * dScaleX,
                                rcBox.height() * dScaleY);
    }
    // The step belongs to a view showing the image, so the user sees what
    // changed and can take it back there.
    std::vector<int> vctViews = ViewsOfImage(nImageID);
    CMVCManager* pManager = FindManager();
    if (vctViews.empty() && pManager)
    {
        OpenImage(nImageID, pRecord->GetFullPath(), pManager->GetActiveViewID());
        vctViews = ViewsOfImage(nImageID);
    }
    auto* pCommand = new CImageSizeCommand(this, m_nProjectID, nImageID, sizeOld, mapOld, sizeFile, mapNew);
    if (vctViews.empty() || !pManager)
    {
        pCommand->exec();
        delete pCommand;
        return;
    }
    const int nActive = pManager->GetActiveViewID();
    const bool bActiveShows = std::find(vctViews.begin(), vctViews.end(), nActive) != vctViews.end();
    pManager->PushCommand(bActiveShows ? nActive : vctViews.front(), pCommand);
}

bool CProjectController::ApplyImageSize(int nImageID, const QSize& size,
                                        const std::map<int, QRectF>& mapBoxes)
{
    std::shared_ptr<CProjectImage> pImage = m_pModel ? m_pModel->GetTrainImage(nImageID) : nullptr;
    if (!pImage && m_pModel)
        pImage = m_pModel->GetTestImage(nImageID);
    const std::shared_ptr<CDatasetImage> pRecord = pImage ? pImage->GetImage() : nullptr;
    if (!pRecord || !m_pDatabase)
        return false;
    std::vector<QString> vctUpdates{CDatabaseModel::UpdateStatement(
        CDatasetImage::TABLE_NAME,
        {{CDatasetImage::COLUMN_WIDTH, size.width()}, {CDatasetImage::COLUMN_HEIGHT, size.height()}},
        {{CDatabaseRecord::COLUMN_ID, nImageID}})};
    for (const auto& [nRoiID, rcBox] : mapBoxes)
    {
        vctUpdates.push_back(BoxUpdate(nRoiID, rcBox));
    }
    if (!m_pDatabase->RunQueriesAtomic(vctUpdates))
    {
        CLog::Write(ELogLevel::ERROR, "Size of image %s Failed", pImage->GetName().toUtf8().constData());
        ShowStoreFailure(QStringLiteral("the project file could not be written"));
        for (const int nViewID : ViewsOfImage(nImageID))
        {
            if (CMVCManager* pManager = FindManager())
                pManager->WithdrawEdit(nViewID);
        }
        return false;
    }
    CLog::Write(ELogLevel::NORMAL, "Image %s is %dx%d", pImage->GetName().toUtf8().constData(), size.width(),
                size.height());
    pRecord->SetWidth(size.width());
    pRecord->SetHeight(size.height());
    m_setSizeWarned.erase(nImageID);
    ValidateImageROI(nImageID);
    SyncViews(nImageID, nullptr);
    return true;
}
