#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/mvc/MVCManager.h"
#include "trainer/DatasetImage.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ImageAdder.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{
const QString IMAGE_FILTER = QStringLiteral(
    "Files (*.bmp *.BMP *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.gif *.GIF *.tif *.TIF *.tiff *.TIFF)");
QByteArray Utf8(const QString& strText)
{
    return strText.toUtf8();
}

// Deletes one file of a removed image with the messages the user knows.
void DeleteProjectFile(const QString& strPath, const QString& strShownPath)
{
    if (strPath.isEmpty())
    {
        CLog::Write(ELogLevel::ERROR, "File %s lies outside the project and was not removed",
                    Utf8(strShownPath).constData());
        return;
    }
    if (!QFileInfo::exists(strPath))
    {
        CLog::Write(ELogLevel::ERROR, "File %s not found", Utf8(strPath).constData());
        return;
    }
    if (!QFile::remove(strPath))
        CLog::Write(ELogLevel::ERROR, "Failed to remove file %s", Utf8(strPath).constData());
}
} // namespace

void CProjectController::slot_AddTrainImage()
{
    AddImages(QStringLiteral("train"));
}

void CProjectController::slot_AddTestImage()
{
    AddImages(QStringLiteral("test"));
}

void CProjectController::AddImages(const QString& strType)
{
    if (!m_pModel)
        return;
    const QStringList lstFiles =
        CInteraction::GetOpenFileNames(DialogParent(), QStringLiteral("Add Images"), QString(), IMAGE_FILTER);
    if (!m_pDatabase || lstFiles.isEmpty() || m_pModel->GetProjectDir().isEmpty())
        return;
    const QString strImageDir = CProjectPaths::ImageFolder(m_pModel->GetProjectDir());
    if (!QDir(strImageDir).exists() && !QDir().mkdir(strImageDir))
        return;
    CImageAdder(m_pDatabase, m_pModel, strType).Run(lstFiles, DialogParent());
}

void CProjectController::slot_RemoveTrainImage(int nImageID)
{
    RemoveImage(nImageID, QStringLiteral("train"));
}

void CProjectController::slot_RemoveTestImage(int nImageID)
{
    RemoveImage(nImageID, QStringLiteral("test"));
}

void CProjectController::RemoveImage(int nImageID, const QString& strType)
{
    if (!m_pModel || !m_pDatabase)
        return;
    const bool bTrain = strType == QLatin1String("train");
    const std::shared_ptr<CProjectImage> pImage =
        bTrain ? m_pModel->GetTrainImage(nImageID) : m_pModel->GetTestImage(nImageID);
    if (!pImage)
        return;

    // Rows first, then files: a failed delete must not leave a row without its image.
    const std::vector<QString> vctDeletes{
        CDatabaseModel::DeleteStatement(CDatasetImage::TABLE_NAME, {{CDatabaseRecord::COLUMN_ID, nImageID}}),
        CDatabaseModel::DeleteStatement(CDatasetRoi::TABLE_NAME, {{CDatasetRoi::COLUMN_IMAGE_ID, nImageID}})};
    if (!m_pDatabase->RunQueriesAtomic(vctDeletes))
    {
        CLog::Write(ELogLevel::ERROR, "Failed to remove image %s from the project",
                    Utf8(pImage->GetName()).constData());
        return;
    }
    const QString strDir = m_pModel->GetProjectDir();
    const QString strImageFile = CProjectPaths::ImageFile(strDir, pImage->GetFullPath());
    DeleteProjectFile(strImageFile, pImage->GetFullPath());
    DeleteProjectFile(CProjectPaths::LabelFile(strDir, pImage->GetName()), pImage->GetName());
    // A later image may get this ID: it must not inherit these proposals.
    CDetectionProposals(strDir).RemoveAll(nImageID);

    if (bTrain)
        m_pModel->RemoveTrainnImage(nImageID);
    else
        m_pModel->RemoveTestImage(nImageID);
    CloseImageInViews(nImageID);
    CLog::Write(ELogLevel::NORMAL, "Remove file %s",
                Utf8(strImageFile.isEmpty() ? pImage->GetFullPath() : strImageFile).constData());
}

void CProjectController::slot_ShuffleTrainImage()
{
    if (m_pModel)
        m_pModel->ShuffleTrainImage();
}

void CProjectController::slot_SortTrainImage()
{
    if (m_pModel)
        m_pModel->SortTrainImage();
}

void CProjectController::CloseImageInViews(int nImageID)
{
    // Every view showing it: its rectangles would otherwise stay editable
    // over an image that no longer belongs to the project.
    std::vector<int> vctViews;
    for (const auto& [nViewID, image] : m_mapViewImages)
    {
        if (image.nImageID == nImageID)
            vctViews.push_back(nViewID);
    }
    CMVCManager* pManager = FindManager();
    for (const int nViewID : vctViews)
    {
        if (pManager)
            pManager->CloseCurrentImage(nViewID);
        // Closing ends the binding through the view; this is for a view
        // whose image could not be closed.
        UnbindView(nViewID);
    }
    // Nor may the image be bound again by coming back to it in a view.
    ForgetKnownImage(nImageID);
}
