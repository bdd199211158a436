#include "trainer/ImageAdder.h"

#include "common/database/DatabaseModel.h"
#include "common/log/Logger.h"
#include "trainer/DatasetImage.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ImageImport.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectPaths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>

namespace
{
// Rows are committed in chunks, so adding a thousand images costs a few disk
// syncs rather than a thousand, and the explorer is updated per chunk.
constexpr int INSERT_CHUNK = 100;
constexpr int PROGRESS_INTERVAL_MS = 100;
// Boxes smaller than this (image pixels) after clipping are no boxes.
constexpr double MIN_SIDE = 1.0;

QByteArray Utf8(const QString& strText)
{
    return strText.toUtf8();
}
} // namespace

CImageAdder::CImageAdder(CDatabaseModel* pDatabase, CProjectModel* pModel, const QString& strType)
    : m_pDatabase(pDatabase), m_pModel(pModel), m_strType(strType),
      m_strImageDir(CProjectPaths::ImageFolder(pModel->GetProjectDir()))
{
}

void CImageAdder::SetRois(std::vector<std::vector<SAddedRoi>> vctRois, std::vector<QSize> vctSizes)
{
    m_vctRois = std::move(vctRois);
    m_vctSizes = std::move(vctSizes);
}

bool CImageAdder::Run(const QStringList& lstFiles, QWidget* pParent)
{
    CImageImportQueue queue(lstFiles, m_strImageDir + QDir::separator() + QStringLiteral(".adding"));
    QProgressDialog progress(QStringLiteral("Adding images..."), QStringLiteral("Cancel"), 0, lstFiles.size(),
                             pParent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    // Repainting the dialog for every file would cost the GUI thread more
    // than the file itself; a few updates a second are enough to watch.
    QElapsedTimer sinceUpdate;
    sinceUpdate.start();
    for (int i = 0; i < lstFiles.size() && !progress.wasCanceled(); ++i)
    {
        AddOne(i, QDir::toNativeSeparators(lstFiles[i]), queue.Take(i));
        if (static_cast<int>(m_vctPending.size()) >= INSERT_CHUNK)
            CommitPending();
        if (sinceUpdate.elapsed() >= PROGRESS_INTERVAL_MS || i == 0)
        {
            progress.setValue(i + 1);
            sinceUpdate.restart();
        }
    }
    const bool bCancelled = progress.wasCanceled();
    queue.Cancel();
    CommitPending();
    return !bCancelled;
}

void CImageAdder::Fail(const QString& strFile, const QString& strWhy)
{
    m_lstFailures << strFile + QStringLiteral(": ") + strWhy;
}

void CImageAdder::AddOne(int nIndex, const QString& strSource, const SDecodedImage& decoded)
{
    const QString strName = strSource.mid(strSource.lastIndexOf(QDir::separator()) + 1);
    const QString strTarget = m_strImageDir + QDir::separator() + strName;
    if (QFileInfo::exists(strTarget) || QFileInfo(strTarget).isSymLink())
    {
        CLog::Write(ELogLevel::ERROR, "File %s is already exists", Utf8(strName).constData());
        Fail(strSource, QStringLiteral("a file of this name is already in the project's image folder"));
        QFile::remove(decoded.strStagedFile);
        return;
    }
    if (decoded.strStagedFile.isEmpty() || !QFile::rename(decoded.strStagedFile, strTarget))
    {
        CLog::Write(ELogLevel::ERROR, "Failed to copy image %s", Utf8(strSource).constData());
        Fail(strSource, QStringLiteral("the image could not be copied"));
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
        Fail(strSource, decoded.strError.isEmpty() ? QStringLiteral("unreadable image") : decoded.strError);
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
        CLog::Write(ELogLevel::ERROR, "Image %s cannot be added to the project", Utf8(strName).constData());
        Fail(strSource, QStringLiteral("the project file could not be written"));
        QFile::remove(strTarget);
        return;
    }
    const int nRoisBefore = m_nPendingRois;
    if (!InsertRois(nIndex, pImage->ID, decoded, strSource))
    {
        CLog::Write(ELogLevel::ERROR, "The boxes of image %s cannot be added to the project",
                    Utf8(strName).constData());
        Fail(strSource, QStringLiteral("the project file could not be written"));
        QFile::remove(strTarget);
        m_nPendingRois = nRoisBefore;
        // Its rows go, not those of the images before it in the chunk;
        // when even that fails, the chunk goes back whole.
        const bool bUndone =
            m_pDatabase->DeleteFromTable(CDatasetRoi::TABLE_NAME,
                                         {{CDatasetRoi::COLUMN_IMAGE_ID, pImage->ID}}, false) &&
            m_pDatabase->DeleteFromTable(CDatasetImage::TABLE_NAME,
                                         {{CDatabaseRecord::COLUMN_ID, pImage->ID}}, false);
        if (!bUndone)
        {
            m_bChunkFailed = true;
            CommitPending();
        }
        return;
    }
    m_vctPending.push_back(pImage);
    m_lstPendingFiles << strTarget;
}

bool CImageAdder::InsertRois(int nIndex, int nImageID, const SDecodedImage& decoded, const QString& strSource)
{
    if (nIndex < 0 || size_t(nIndex) >= m_vctRois.size() || m_vctRois[size_t(nIndex)].empty())
        return true;
    const QSize sizeGiven = size_t(nIndex) < m_vctSizes.size() ? m_vctSizes[size_t(nIndex)] : QSize();
    const QSize sizeStored(decoded.nWidth, decoded.nHeight);
    if (sizeGiven.isValid() && !sizeGiven.isEmpty() && sizeGiven != sizeStored)
    {
        Fail(strSource, QString("the image is %1x%2 pixels, its labels are for %3x%4: its boxes were dropped")
                            .arg(sizeStored.width())
                            .arg(sizeStored.height())
                            .arg(sizeGiven.width())
                            .arg(sizeGiven.height()));
        return true;
    }
    const QRectF rcImage(0, 0, decoded.nWidth, decoded.nHeight);
    for (const SAddedRoi& roi : m_vctRois[size_t(nIndex)])
    {
        const QRectF rcBox = roi.rcBox.normalized().intersected(rcImage);
        if (roi.nCategoryID < 0)
        {
            Fail(strSource, QStringLiteral("a box of a class the project does not have was dropped"));
            continue;
        }
        if (rcBox.width() < MIN_SIDE || rcBox.height() < MIN_SIDE)
        {
            Fail(strSource, QStringLiteral("a box outside the image was dropped"));
            continue;
        }
        if (!m_pDatabase->InsertToTable(CDatasetRoi::Make(rcBox, nImageID, roi.nCategoryID)))
            return false;
        ++m_nPendingRois;
    }
    return true;
}

bool CImageAdder::StartChunk()
{
    if (m_bInTransaction)
        return true;
    m_bInTransaction = m_pDatabase->StartTransaction();
    return m_bInTransaction;
}

void CImageAdder::CommitPending()
{
    if (!m_bInTransaction)
        return;
    m_bInTransaction = false;
    const bool bFailed = m_bChunkFailed;
    m_bChunkFailed = false;
    if (bFailed || !m_pDatabase->Commit())
    {
        m_pDatabase->Rollback();
        CLog::Write(ELogLevel::ERROR, "Adding %d images failed", static_cast<int>(m_vctPending.size()));
        for (const QString& strFile : m_lstPendingFiles)
        {
            QFile::remove(strFile);
            Fail(strFile, QStringLiteral("not added: the project file could not be written"));
        }
    }
    else
    {
        m_nAdded += static_cast<int>(m_vctPending.size());
        m_nAddedRois += m_nPendingRois;
        if (m_strType == QLatin1String("test"))
            m_pModel->AddTestImages(m_vctPending);
        else
            m_pModel->AddTrainImages(m_vctPending);
    }
    m_vctPending.clear();
    m_lstPendingFiles.clear();
    m_nPendingRois = 0;
}
