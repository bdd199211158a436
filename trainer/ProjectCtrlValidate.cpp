#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "trainer/Category.h"
#include "trainer/DatasetImage.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectPaths.h"

#include <QSqlQuery>

#include <algorithm>

namespace
{
std::set<int> CategoryIDs(const std::vector<std::shared_ptr<CDatabaseRecord>>& vctCategories)
{
    std::set<int> setIDs;
    for (const std::shared_ptr<CDatabaseRecord>& pRecord : vctCategories)
    {
        if (std::dynamic_pointer_cast<CCategory>(pRecord))
            setIDs.insert(pRecord->ID);
    }
    return setIDs;
}

void LogInvalid(const QString& strName)
{
    CLog::Write(ELogLevel::ERROR, "Validate: need to update class name for image %s",
                strName.toUtf8().constData());
}
} // namespace

CProjectController::RoiMap CProjectController::SelectRoisByImage()
{
    RoiMap mapRois;
    for (const std::shared_ptr<CDatasetRoi>& pRoi :
         FindDatabaseModel<CDatasetRoi>(CDatasetRoi::TABLE_NAME, {}))
    {
        if (pRoi)
            mapRois[pRoi->GetImageID()].push_back(pRoi);
    }
    return mapRois;
}

bool CProjectController::ValidateROI()
{
    if (!m_pModel || !m_pDatabase)
    {
        CLog::Write(ELogLevel::NORMAL, "Validate ROI OK");
        return true;
    }
    CDatabaseModel::RecordList vctCategories;
    m_pDatabase->SelectFromTable(CCategory::TABLE_NAME, vctCategories, {});
    const std::set<int> setCategoryIDs = CategoryIDs(vctCategories);
    // One query for all ROIs, and only the columns validation needs: a
    // query per image would scan the whole table each time.
    std::map<int, std::vector<SRoiFacts>> mapRoiCategories;
    m_pDatabase->SelectColumns(CDatasetRoi::TABLE_NAME, RoiFactColumns(true), {},
                               [&mapRoiCategories](const QSqlQuery& query)
                               { mapRoiCategories[query.value(0).toInt()].push_back(RoiFactsOf(query, 1)); });
    const std::vector<SRoiFacts> vctNone;

    bool bAllValid = true;
    for (const CProjectModel::ImageList& vctImages : {m_pModel->GetTrainImages(), m_pModel->GetTestImages()})
    {
        for (const std::shared_ptr<CProjectImage>& pImage : vctImages)
        {
            const auto it = pImage ? mapRoiCategories.find(pImage->GetID()) : mapRoiCategories.end();
            bAllValid &=
                ValidateImage(pImage, setCategoryIDs, it == mapRoiCategories.end() ? vctNone : it->second);
        }
    }
    CLog::Write(bAllValid ? ELogLevel::NORMAL : ELogLevel::ERROR,
                bAllValid ? "Validate ROI OK" : "Validate ROI Error");
    ScheduleStatistics();
    return bAllValid;
}

QStringList CProjectController::RoiFactColumns(bool bWithImageID)
{
    QStringList lstColumns{CDatasetRoi::COLUMN_CATEGORY_ID, CDatasetRoi::COLUMN_X, CDatasetRoi::COLUMN_Y,
                           CDatasetRoi::COLUMN_WIDTH, CDatasetRoi::COLUMN_HEIGHT};
    if (bWithImageID)
        lstColumns.prepend(CDatasetRoi::COLUMN_IMAGE_ID);
    return lstColumns;
}

CProjectController::SRoiFacts CProjectController::RoiFactsOf(const QSqlQuery& query, int nFirstColumn)
{
    const int n = nFirstColumn;
    return SRoiFacts{query.value(n).toInt(),
                     QRectF(query.value(n + 1).toDouble(), query.value(n + 2).toDouble(),
                            query.value(n + 3).toDouble(), query.value(n + 4).toDouble())
                         .normalized()};
}

bool CProjectController::ValidateImage(const std::shared_ptr<CProjectImage>& pImage,
                                       const std::set<int>& setCategoryIDs,
                                       const std::vector<SRoiFacts>& vctRois)
{
    if (!pImage || !m_pDatabase)
    {
        LogInvalid(pImage ? pImage->GetName() : QString());
        return false;
    }
    bool bValid = !vctRois.empty();
    for (const SRoiFacts& roi : vctRois)
        bValid = bValid && setCategoryIDs.count(roi.nCategoryID) > 0;

    // Darknet needs the size to place the boxes; a path leading out of the
    // project is never used.
    const std::shared_ptr<CDatasetImage> pRecord = pImage->GetImage();
    if (!pRecord || pRecord->GetWidth() <= 0 || pRecord->GetHeight() <= 0)
    {
        CLog::Write(ELogLevel::ERROR, "Image %s has no size", pImage->GetName().toUtf8().constData());
        bValid = false;
    }
    else if (m_pModel && !CProjectPaths::IsSafeImage(m_pModel->GetProjectDir(), pRecord->GetName(),
                                                     pRecord->GetFullPath()))
    {
        CLog::Write(ELogLevel::ERROR, "Image %s lies outside the project",
                    pImage->GetName().toUtf8().constData());
        bValid = false;
    }
    else
        bValid = ValidateGeometry(*pImage, *pRecord, vctRois) && bValid;
    pImage->SetValidate(bValid);
    if (!bValid)
        LogInvalid(pImage->GetName());
    return bValid;
}

bool CProjectController::ValidateGeometry(const CProjectImage& image, const CDatasetImage& record,
                                          const std::vector<SRoiFacts>& vctRois)
{
    const QByteArray baName = image.GetName().toUtf8();
    QSize sizeFile;
    if (!CheckImageSize(image, sizeFile))
    {
        CLog::Write(ELogLevel::ERROR,
                    "Image %s has changed since it was added: the file is %dx%d, the project holds %dx%d",
                    baName.constData(), sizeFile.width(), sizeFile.height(), record.GetWidth(),
                    record.GetHeight());
        return false;
    }
    // A box with nothing of it on the image would train as background.
    const QRectF rcImage(0, 0, record.GetWidth(), record.GetHeight());
    const bool bOutside = std::any_of(vctRois.begin(), vctRois.end(),
                                      [&rcImage](const SRoiFacts& roi)
                                      {
                                          const QRectF rcInside = roi.rcBox.intersected(rcImage);
                                          return rcInside.width() <= 0 || rcInside.height() <= 0;
                                      });
    if (bOutside)
        CLog::Write(ELogLevel::ERROR, "Image %s has a box outside the image", baName.constData());
    return !bOutside;
}

bool CProjectController::ValidateImageROI(const std::shared_ptr<CProjectImage>& pImage,
                                          const std::vector<std::shared_ptr<CDatabaseRecord>>& vctCategories)
{
    if (!pImage || !m_pDatabase)
        return ValidateImage(pImage, {}, {});
    // Only the columns validation needs: every ROI edit ends here, and an
    // image may hold a thousand boxes.
    std::vector<SRoiFacts> vctRoiCategories;
    m_pDatabase->SelectColumns(
        CDatasetRoi::TABLE_NAME, RoiFactColumns(false), {{CDatasetRoi::COLUMN_IMAGE_ID, pImage->GetID()}},
        [&vctRoiCategories](const QSqlQuery& query) { vctRoiCategories.push_back(RoiFactsOf(query, 0)); });
    // Every ROI edit of an image ends here, so the statistics follow it.
    ScheduleStatistics();
    return ValidateImage(pImage, CategoryIDs(vctCategories), vctRoiCategories);
}

bool CProjectController::ValidateImageROI(int nImageID)
{
    if (!m_pDatabase || !m_pModel)
        return false;
    CDatabaseModel::RecordList vctCategories;
    m_pDatabase->SelectFromTable(CCategory::TABLE_NAME, vctCategories, {});
    std::shared_ptr<CProjectImage> pImage = m_pModel->GetTrainImage(nImageID);
    if (!pImage)
        pImage = m_pModel->GetTestImage(nImageID);
    if (!pImage)
        return false;
    return ValidateImageROI(pImage, vctCategories);
}

void CProjectController::slot_CheckValidateROI()
{
    ValidateROI();
    // A class renamed or deleted renames its boxes wherever they are shown.
    SyncAllViews();
}

int CProjectController::FindCategoryID(const QString& strName)
{
    const auto vctRows =
        FindDatabaseModel<CCategory>(CCategory::TABLE_NAME, {{CCategory::COLUMN_NAME, strName}});
    return vctRows.empty() || !vctRows.front() ? -1 : vctRows.front()->ID;
}

QString CProjectController::FindCategoryName(int nID)
{
    const auto vctRows =
        FindDatabaseModel<CCategory>(CCategory::TABLE_NAME, {{CDatabaseRecord::COLUMN_ID, nID}});
    return vctRows.empty() || !vctRows.front() ? QString() : vctRows.front()->GetName();
}
