#include "trainer/ProjectCtrl.h"

#include "trainer/Category.h"
#include "trainer/DarknetBuildWriter.h"
#include "trainer/DatasetImage.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectModel.h"

namespace
{
QStringList Names(const CProjectModel::ImageList& vctImages)
{
    QStringList lstNames;
    lstNames.reserve(static_cast<int>(vctImages.size()));
    for (const std::shared_ptr<CProjectImage>& pImage : vctImages)
        lstNames << pImage->GetName();
    return lstNames;
}

SDarknetImage LabelImage(const CDatasetImage& image, const std::vector<std::shared_ptr<CDatasetRoi>>& vctRois)
{
    SDarknetImage labelImage{image.GetName(), image.GetWidth(), image.GetHeight(), {}};
    labelImage.vctBoxes.reserve(vctRois.size());
    for (const std::shared_ptr<CDatasetRoi>& pRoi : vctRois)
        labelImage.vctBoxes.push_back(SDarknetBox{pRoi->GetX(), pRoi->GetY(), pRoi->GetWidth(),
                                                  pRoi->GetHeight(), pRoi->GetCategoryID()});
    return labelImage;
}
} // namespace

bool CProjectController::Build()
{
    if (!m_pModel || !m_pDatabase || m_pModel->GetProjectDir().isEmpty())
        return false;
    if (!ValidateROI())
        return false;

    SDarknetProject project;
    project.strProjectDir = m_pModel->GetProjectDir();
    for (const std::shared_ptr<CCategory>& pCategory :
         FindDatabaseModel<CCategory>(CCategory::TABLE_NAME, {}))
    {
        if (pCategory)
            project.vctCategories.push_back(SDarknetCategory{pCategory->ID, pCategory->GetName()});
    }

    const RoiMap mapRois = SelectRoisByImage();
    const std::vector<std::shared_ptr<CDatasetRoi>> vctNone;
    for (const std::shared_ptr<CDatasetImage>& pImage :
         FindDatabaseModel<CDatasetImage>(CDatasetImage::TABLE_NAME, {}))
    {
        if (!pImage)
            continue;
        const auto it = mapRois.find(pImage->ID);
        project.vctImages.push_back(LabelImage(*pImage, it == mapRois.end() ? vctNone : it->second));
    }
    project.lstTrainNames = Names(m_pModel->GetTrainImages());
    project.lstTestNames = Names(m_pModel->GetTestImages());
    project.strConfiguration = FindProjectProperty(QStringLiteral("PROJECT_CONFIGURATION"));
    return CDarknetBuildWriter().Write(project);
}
