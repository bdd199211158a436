#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/mvc/MVCManager.h"
#include "trainer/DatasetImage.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ImageImport.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectPaths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>

namespace
{
const QString IMAGE_FILTER = QStringLiteral(
    "Files (*.bmp *.BMP *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.gif *.GIF *.tif *.TIF *.tiff *.TIFF)");
// Rows are committed in chunks, so adding a thousand images costs a few disk
// syncs rather than a thousand, and the explorer is updated per chunk.
constexpr int INSERT_CHUNK = 100;
constexpr int PROGRESS_INTERVAL_MS = 100;

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

// Adds the chosen files to one image list. Copying and decoding run on all
// cores; each copy gets its name, its row and its messages here in the order
// of the dialog, as if the files were added one by one.
class CImageAdder
{
public:
    CImageAdder(CDatabaseModel* pDatabase, CProjectModel* pModel, const QString& strType)
        : m_pDatabase(pDatabase), m_pModel(pModel), m_strType(strType),
          m_strImageDir(CProjectPaths::ImageFolder(pModel->GetProjectDir()))
    {
    }

    void Run(const QStringList& lstFiles, QWidget* pParent)
    {
        CImageImportQueue queue(lstFiles, m_strImageDir + QDir::separator() + QStringLiteral(".adding"));
        QProgressDialog progress(QStringLiteral("Adding images..."), QStringLiteral("Cancel"), 0,
                                 lstFiles.size(), pParent);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        // Repainting the dialog for every file would cost the GUI thread more
        // than the file itself; a few updates a second are enough to watch.
        QElapsedTimer sinceUpdate;
        sinceUpdate.start();
        for (int i = 0; i < lstFiles.size() && !progress.wasCanceled(); ++i)
        {
            AddOne(QDir::toNativeSeparators(lstFiles[i]), queue.Take(i));
            if (static_cast<int>(m_vctPending.size()) >= INSERT_CHUNK)
                CommitPending();
            if (sinceUpdate.elapsed() >= PROGRESS_INTERVAL_MS || i == 0)
            {
                progress.setValue(i + 1);
                sinceUpdate.restart();
            }
        }
        queue.Cancel();
        CommitPending();
    }

private:
    void AddOne(const QString& strSource, const SDecodedImage& decoded)
    {
        const QString strName = strSource.mid(strSource.lastIndexOf(QDir::separator()) + 1);
        const QString strTarget = m_strImageDir + QDir::separator() + strName;
        if (QFileInfo::exists(strTarget) || QFileInfo(strTarget).isSymLink())
        {
            CLog::Write(ELogLevel::ERROR, "File %s is already exists", Utf8(strName).constData());
            QFile::remove(decoded.strStagedFile);
            return;
        }
        if (decoded.strStagedFile.isEmpty() || !QFile::rename(decoded.strStagedFile, strTarget))
        {
            CLog::Write(ELogLevel::ERROR, "Failed to copy image %s", Utf8(strSource).constData());
            QFile::remove(decoded.strStagedFile);
            return;
        }
        CLog::Write(ELogLevel::NORMAL, "Copy image %s", Utf8(strName).constData());
        if (decoded.nOrientation != 1)
            CLog::Write(ELogLevel::NORMAL, "Image %s was stored upright (EXIF orientation %d)",
                        Utf8(strName).constData(), decoded.nOrientation);

        // A copy that cannot be registered would block adding the file again.
        if (!decoded.bOk)
        {
            if (!decoded.strError.isEmpty())
                CLog::Write(ELogLevel::ERROR, "Image %s cannot be added: %s", Utf8(strSource).constData(),
                            Utf8(decoded.strError).constData());
            else
                CLog::Write(ELogLevel::ERROR, "Image %s cannot be read", Utf8(strSource).constData());
            QFile::remove(strTarget);
            return;
        }
        auto pImage = std::make_shared<CDatasetImage>();
        pImage->SetName(strName);
        pImage->SetFullPath(QStringLiteral("Images") + QDir::separator() + strName);
        pImage->SetType(m_strType);
        pImage->SetWidth(decoded.nWidth);
        pImage->SetHeight(decoded.nHeight);
        pImage->SetProjectID(m_pModel->GetProjectID());
        if (!StartChunk() || !m_pDatabase->InsertToTable(pImage))
        {
            CLog::Write(ELogLevel::ERROR, "Image %s cannot be added to the project",
                        Utf8(strName).constData());
            QFile::remove(strTarget);
            return;
        }
        m_vctPending.push_back(pImage);
        m_lstPendingFiles << strTarget;
    }

    bool StartChunk()
    {
        if (m_bInTransaction)
            return true;
        m_bInTransaction = m_pDatabase->StartTransaction();
        return m_bInTransaction;
    }

    void CommitPending()
    {
        if (!m_bInTransaction)
            return;
        m_bInTransaction = false;
        if (!m_pDatabase->Commit())
        {
            m_pDatabase->Rollback();
            CLog::Write(ELogLevel::ERROR, "Adding %d images failed", static_cast<int>(m_vctPending.size()));
            for (const QString& strFile : m_lstPendingFiles)
                QFile::remove(strFile);
        }
        else if (m_strType == QLatin1String("test"))
        {
            m_pModel->AddTestImages(m_vctPending);
        }
        else
        {
            m_pModel->AddTrainImages(m_vctPending);
        }
        m_vctPending.clear();
        m_lstPendingFiles.clear();
    }

    CDatabaseModel* m_pDatabase;
    CProjectModel* m_pModel;
    QString m_strType;
    QString m_strImageDir;
    bool m_bInTransaction = false;
    std::vector<std::shared_ptr<CDatabaseRecord>> m_vctPending;
    QStringList m_lstPendingFiles;
};

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
        m_mapViewImages.erase(nViewID);
    }
}
