#include "trainer/ProjectStatistics.h"

#include "common/database/DatabaseModel.h"
#include "trainer/Category.h"
#include "trainer/DarknetBuildWriter.h"
#include "trainer/DatasetImage.h"
#include "trainer/DatasetRoi.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>

namespace
{
template <typename T>
std::vector<std::shared_ptr<T>> SelectAll(CDatabaseModel* pDatabase, const QString& strTable)
{
    CDatabaseModel::RecordList vctRecords;
    pDatabase->SelectFromTable(strTable, vctRecords, {});
    std::vector<std::shared_ptr<T>> vctResult;
    for (const std::shared_ptr<CDatabaseRecord>& pRecord : vctRecords)
    {
        if (auto pTyped = std::dynamic_pointer_cast<T>(pRecord))
            vctResult.push_back(pTyped);
    }
    return vctResult;
}

void Widen(double& dMin, double& dMax, double dValue)
{
    dMin = std::isnan(dMin) ? dValue : std::min(dMin, dValue);
    dMax = std::isnan(dMax) ? dValue : std::max(dMax, dValue);
}

// Counts one image's boxes into the classes; returns what is wrong with them.
QStringList CountBoxes(const CDatasetImage& image, const std::vector<std::shared_ptr<CDatasetRoi>>& vctRois,
                       std::map<int, SClassStatistics*>& mapClasses)
{
    int nUnknown = 0;
    int nOutside = 0;
    std::set<int> setClasses;
    for (const std::shared_ptr<CDatasetRoi>& pRoi : vctRois)
    {
        const auto it = mapClasses.find(pRoi->GetCategoryID());
        if (it == mapClasses.end())
        {
            ++nUnknown;
            continue;
        }
        SClassStatistics& statistics = *it->second;
        ++statistics.nRois;
        setClasses.insert(pRoi->GetCategoryID());
        double adBox[4];
        const SDarknetBox box{pRoi->GetX(), pRoi->GetY(), pRoi->GetWidth(), pRoi->GetHeight(),
                              pRoi->GetCategoryID()};
        if (!CDarknetBuildWriter::RelativeBox(box, image.GetWidth(), image.GetHeight(), adBox))
        {
            ++nOutside;
            continue;
        }
        Widen(statistics.dMinWidth, statistics.dMaxWidth, adBox[2]);
        Widen(statistics.dMinHeight, statistics.dMaxHeight, adBox[3]);
    }
    for (const int nCategoryID : setClasses)
        ++mapClasses[nCategoryID]->nImages;

    QStringList lstProblems;
    if (image.GetWidth() <= 0 || image.GetHeight() <= 0)
        lstProblems << QStringLiteral("no image size");
    else if (nOutside > 0)
        lstProblems << QString("%1 box(es) with nothing inside the image").arg(nOutside);
    if (nUnknown > 0)
        lstProblems << QString("%1 box(es) of a deleted class").arg(nUnknown);
    return lstProblems;
}
} // namespace

SProjectStatistics CProjectStatistics::Collect(CDatabaseModel* pDatabase)
{
    SProjectStatistics statistics;
    if (!pDatabase)
        return statistics;
    for (const std::shared_ptr<CCategory>& pCategory : SelectAll<CCategory>(pDatabase, CCategory::TABLE_NAME))
    {
        SClassStatistics classStatistics;
        classStatistics.nCategoryID = pCategory->ID;
        classStatistics.strName = pCategory->GetName();
        statistics.vctClasses.push_back(classStatistics);
    }
    std::map<int, SClassStatistics*> mapClasses;
    for (SClassStatistics& classStatistics : statistics.vctClasses)
        mapClasses.emplace(classStatistics.nCategoryID, &classStatistics);

    std::map<int, std::vector<std::shared_ptr<CDatasetRoi>>> mapRois;
    for (const std::shared_ptr<CDatasetRoi>& pRoi :
         SelectAll<CDatasetRoi>(pDatabase, CDatasetRoi::TABLE_NAME))
        mapRois[pRoi->GetImageID()].push_back(pRoi);

    for (const std::shared_ptr<CDatasetImage>& pImage :
         SelectAll<CDatasetImage>(pDatabase, CDatasetImage::TABLE_NAME))
    {
        ++statistics.nImages;
        const auto it = mapRois.find(pImage->ID);
        SImageProblem problem{pImage->ID, pImage->GetName(), pImage->GetFullPath(),
                              QStringLiteral("no ROIs")};
        if (it == mapRois.end())
        {
            statistics.vctWithoutRois.push_back(problem);
            continue;
        }
        statistics.nRois += static_cast<int>(it->second.size());
        const QStringList lstProblems = CountBoxes(*pImage, it->second, mapClasses);
        if (lstProblems.isEmpty())
            continue;
        problem.strProblem = lstProblems.join(QStringLiteral(", "));
        statistics.vctInvalid.push_back(problem);
    }
    return statistics;
}
