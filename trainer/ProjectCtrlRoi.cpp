// ROIs in the image views: opening a project image with its stored ROIs,
// the binding of each view to the project image it shows (and what its
// title says), binding again when that very image comes back, new
// rectangles and their class (asked for, or the kept one), re-classing.
// Rows are only written for a view bound to a project image, and always
// for that view's image. Storing, deleting and moving are in
// ProjectCtrlRoiStore.cpp, keeping every view in step in ProjectCtrlRoiSync.cpp.
#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/mvc/MVCManager.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DToolModel.h"
#include "trainer/Category.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectPaths.h"
#include "trainer/SelectClassNameCtrl.h"
#include "trainer/SelectClassNameDlg.h"

#include "optra/geometry/Rectangle.h"

#include <QTimer>

namespace
{
// What a stored ROI whose category was deleted is called in the view.
const QString NO_CLASS = QStringLiteral("(no class)");
// The title of a view that shows something else than a project image
// while a project is open: its boxes are not stored.
const QString NOT_PROJECT_IMAGE = QStringLiteral("not a project image, boxes are not stored");
// How many project images a view remembers for coming back to them.
constexpr size_t KNOWN_IMAGES_PER_VIEW = 8;
} // namespace

CMVCManager* CProjectController::FindManager()
{
    return CMVCRegistry::FindController<CMVCManager>();
}

void CProjectController::slot_OpenImage(int nImageID, const QString& strFilePath)
{
    OpenImage(nImageID, strFilePath, -1);
}

void CProjectController::OpenImage(int nImageID, const QString& strFilePath, int nViewID)
{
    if (!m_pModel)
        return;
    CLog::Write(ELogLevel::DEBUG, "Open Image %d : %s", nImageID, strFilePath.toUtf8().constData());
    CMVCManager* pManager = FindManager();
    if (!pManager || m_nProjectID < 0)
        return;
    const QString strPath = ImageFilePath(strFilePath);
    int nOpenedViewID = nViewID;
    unsigned int nImageUID = Optra::COptraObject::INVALID_UID;
    if (nViewID < 0)
        pManager->OpenFileWithViewIDImageID(strPath, nOpenedViewID, nImageUID);
    else if (!pManager->OpenFileInView(strPath, nViewID, nImageUID))
        nOpenedViewID = -1;
    // A cancelled choice or a file that cannot be read binds nothing; the
    // view that showed something else has already let its binding go.
    if (nOpenedViewID < 0 || nImageUID == Optra::COptraObject::INVALID_UID)
        return;
    m_nCurrentImageID = nImageID;
    m_nCurrentViewID = nOpenedViewID;
    std::shared_ptr<CProjectImage> pImage = m_pModel->GetTrainImage(nImageID);
    if (!pImage)
        pImage = m_pModel->GetTestImage(nImageID);
    const SViewImage image{nImageUID, nImageID, pImage ? pImage->GetName() : QString::number(nImageID)};
    RememberViewImage(nOpenedViewID, image);
    BindView(nOpenedViewID, image);
    RequestPrefetch();
    if (!m_pDatabase)
        return;
    CLog::Write(ELogLevel::DEBUG, "Open Image ID %d", nImageID);
    if (pImage)
        WarnChangedSize(*pImage);
}

QString CProjectController::ImageFilePath(const QString& strFilePath) const
{
    // Empty, so nothing opens, for a path leading out of the project.
    return CProjectPaths::ImageFile(m_pModel->GetProjectDir(), strFilePath);
}

std::map<int, QString> CProjectController::CategoryNames()
{
    std::map<int, QString> mapCategories;
    for (const std::shared_ptr<CCategory>& pCategory :
         FindDatabaseModel<CCategory>(CCategory::TABLE_NAME, {}))
    {
        if (pCategory)
            mapCategories[pCategory->ID] = pCategory->GetName();
    }
    return mapCategories;
}

CProjectController::GeometryPtr
CProjectController::MakeRoiDrawable(const CDatasetRoi& roi, const std::map<int, QString>& mapCategories)
{
    const QRectF rcBox = StoredRect(roi);
    auto pDrawable = std::make_shared<CDrawableGeometry>(
        std::make_shared<Optra::Geometry::CRectangle>(rcBox.x(), rcBox.y(), rcBox.width(), rcBox.height()));
    // Never asked for here: a deleted category keeps its image invalid
    // until "Update" gives the ROI a class.
    pDrawable->SetName(RoiName(roi, mapCategories));
    pDrawable->SetExtraInfo(roi.ID);
    return pDrawable;
}

QString CProjectController::RoiName(const CDatasetRoi& roi, const std::map<int, QString>& mapCategories)
{
    const auto it = mapCategories.find(roi.GetCategoryID());
    return it == mapCategories.end() ? NO_CLASS : it->second;
}

void CProjectController::BindView(int nViewID, const SViewImage& image)
{
    m_mapViewImages[nViewID] = image;
    CMVCManager* pManager = FindManager();
    if (!pManager)
        return;
    pManager->SetViewCaption(nViewID, Caption(image.strName));
    if (m_pDatabase)
        SyncView(pManager, nViewID, RoiRowsOfImage(image.nImageID), CategoryNames(), nullptr);
    ShowProposals(nViewID);
}

void CProjectController::RememberViewImage(int nViewID, const SViewImage& image)
{
    std::vector<SViewImage>& vctKnown = m_mapViewKnown[nViewID];
    vctKnown.push_back(image);
    if (vctKnown.size() > KNOWN_IMAGES_PER_VIEW)
        vctKnown.erase(vctKnown.begin());
}

const CProjectController::SViewImage* CProjectController::FindKnownImage(int nViewID,
                                                                         unsigned int nImageUID) const
{
    const auto it = m_mapViewKnown.find(nViewID);
    if (it == m_mapViewKnown.end() || nImageUID == Optra::COptraObject::INVALID_UID)
        return nullptr;
    for (const SViewImage& image : it->second)
    {
        if (image.nImageUID == nImageUID)
            return &image;
    }
    return nullptr;
}

void CProjectController::ForgetKnownImage(int nImageID)
{
    for (auto& [nViewID, vctKnown] : m_mapViewKnown)
    {
        vctKnown.erase(std::remove_if(vctKnown.begin(), vctKnown.end(),
                                      [nImageID](const SViewImage& image)
                                      { return image.nImageID == nImageID; }),
                       vctKnown.end());
    }
}

QString CProjectController::Caption(const QString& strImageName)
{
    QString strClassName;
    return KeptClass(strClassName) ? QStringLiteral("%1 | Keep class: %2").arg(strImageName, strClassName)
                                   : strImageName;
}

void CProjectController::RefreshCaptions()
{
    CMVCManager* pManager = FindManager();
    for (const auto& [nViewID, image] : m_mapViewImages)
    {
        if (pManager)
            pManager->SetViewCaption(nViewID, Caption(image.strName));
    }
}

void CProjectController::slot_ChangeKeepClass()
{
    RefreshCaptions();
}

bool CProjectController::KeptClass(QString& strClassName)
{
    CMVCManager* pManager = FindManager();
    if (!pManager || !pManager->GetModeModel() || !pManager->GetModeModel()->GetKeepClass() ||
        !m_pSelectClassNameController)
        return false;
    strClassName = m_pSelectClassNameController->GetLastClassName();
    return !strClassName.isEmpty() && FindCategoryID(strClassName) >= 0;
}

void CProjectController::UnbindView(int nViewID)
{
    const auto it = m_mapViewImages.find(nViewID);
    if (it == m_mapViewImages.end())
        return;
    m_mapViewImages.erase(it);
    CMVCManager* pManager = FindManager();
    if (!pManager)
        return;
    ShowProposals(nViewID);
    // Left over another image they would look editable and stored.
    CQuiet quiet(m_nQuiet);
    for (const std::shared_ptr<CDrawableObject>& pObject : pManager->Get2DDrawableObjects(nViewID))
    {
        if (RoiIDOf(*pObject) >= 0)
            pManager->RemoveDrawable(nViewID, pObject);
    }
}

void CProjectController::UnbindViews()
{
    CMVCManager* pManager = FindManager();
    std::vector<int> vctBound;
    for (const auto& [nViewID, image] : m_mapViewImages)
        vctBound.push_back(nViewID);
    m_mapViewImages.clear();
    m_mapViewProposals.clear();
    m_mapViewKnown.clear();
    m_mapDeletedRois.clear();
    m_mapRestore.clear();
    if (!pManager)
        return;
    // The project's images leave the views, as a removed image does; what
    // else a view holds is no longer said to be anything of a project.
    for (const int nViewID : vctBound)
        pManager->CloseCurrentImage(nViewID);
    for (int nViewID = 0; nViewID < CMVCManager::VIEW_COUNT; ++nViewID)
        pManager->SetViewCaption(nViewID, QString());
}

void CProjectController::slot_ChangeViewImageWithViewID(int nViewID, unsigned int nImageUID)
{
    const auto it = m_mapViewImages.find(nViewID);
    if (it != m_mapViewImages.end() && it->second.nImageUID == nImageUID)
        return;
    UnbindView(nViewID);
    if (const SViewImage* pKnown = FindKnownImage(nViewID, nImageUID))
    {
        const SViewImage image = *pKnown;
        BindView(nViewID, image);
        return;
    }
    CMVCManager* pManager = FindManager();
    if (pManager && m_nProjectID >= 0 && nImageUID != Optra::COptraObject::INVALID_UID)
        pManager->SetViewCaption(nViewID, NOT_PROJECT_IMAGE);
}

bool CProjectController::ValidateViewImage(int nViewID, unsigned int nImageUID)
{
    const auto it = m_mapViewImages.find(nViewID);
    if (it != m_mapViewImages.end() && it->second.nImageUID == nImageUID)
        return true;
    CLog::Write(ELogLevel::ERROR, "Image ID %d at view %d is not valid or does not exist in database",
                int(nImageUID), nViewID);
    return false;
}

bool CProjectController::AcceptsEvent(int nViewID, unsigned int nImageUID)
{
    // A view showing no project image holds free drawings: nothing to store.
    if (m_nQuiet > 0 || m_mapViewImages.count(nViewID) == 0)
        return false;
    return ValidateViewImage(nViewID, nImageUID);
}

int CProjectController::GetViewImageID(int nViewID) const
{
    const auto it = m_mapViewImages.find(nViewID);
    return it == m_mapViewImages.end() ? -1 : it->second.nImageID;
}

bool CProjectController::RefuseWhileRunning(int nViewID)
{
    if (m_pModel && m_pModel->GetCommandState() == 0)
        return false;
    // Taking a refused step back restores what is stored: let it.
    CMVCManager* pManager = FindManager();
    if (nViewID >= 0 && pManager && pManager->IsWithdrawing(nViewID))
        return false;
    // One edit can raise several notifications (a group move, a drawing
    // and its removal); the user hears of it once. The flag clears when
    // control is back in the loop.
    if (!m_bRefusalShown)
    {
        m_bRefusalShown = true;
        CInteraction::Critical(nullptr, QStringLiteral("Project is still running"));
        QTimer::singleShot(0, this, [this] { m_bRefusalShown = false; });
    }
    return true;
}

bool CProjectController::AskClassName(QString& strClassName)
{
    m_pSelectClassNameController->UpdateView();
    if (CInteraction::Exec(m_pSelectClassNameView) != QDialog::Accepted)
        return false;
    strClassName = m_pSelectClassNameView->GetClassName();
    m_pSelectClassNameController->SetLastClassName(strClassName);
    RefreshCaptions();
    return true;
}

void CProjectController::UpdateClassName(int nViewID, unsigned int nGeometryUID)
{
    if (!m_pSelectClassNameView || !m_pSelectClassNameController || !m_pDatabase)
        return;
    CMVCManager* pManager = FindManager();
    const GeometryPtr pDrawable = FindGeometry(pManager, nViewID, nGeometryUID);
    // A rectangle left from another image or project is no ROI of this one.
    const int nImageID = GetViewImageID(nViewID);
    const int nRoiID = pDrawable ? RoiIDOf(*pDrawable) : -1;
    if (nImageID < 0 || nRoiID < 0)
        return;
    const RoiPtr pRow = FindRoiRow(nRoiID);
    if (!pRow || pRow->GetImageID() != nImageID)
        return;
    if (RefuseWhileRunning())
        return;
    const SViewImage bound = m_mapViewImages[nViewID];
    QString strClassName;
    if (!AskClassName(strClassName) || !IsStillBound(nViewID, bound, *pDrawable))
        return;
    const int nCategoryID = FindCategoryID(strClassName);
    if (nCategoryID < 0)
        return ShowStoreFailure(NoSuchClass(strClassName));
    const bool bOk =
        m_pDatabase->UpdateTable(CDatasetRoi::TABLE_NAME, {{CDatasetRoi::COLUMN_CATEGORY_ID, nCategoryID}},
                                 {{CDatabaseRecord::COLUMN_ID, nRoiID}}, false);
    CLog::Write(ELogLevel::DEBUG, bOk ? "Update ROI to ID %d OK" : "Update ROI to ID %d Failed", nRoiID);
    if (!bOk)
        return ShowStoreFailure(QStringLiteral("the project file could not be written"));
    pDrawable->SetName(strClassName);
    ValidateImageROI(nImageID);
    const std::set<int> setChanged{nRoiID};
    SyncViews(nImageID, &setChanged, nViewID);
}

bool CProjectController::IsStillBound(int nViewID, const SViewImage& bound, const CDrawableObject& object)
{
    const auto it = m_mapViewImages.find(nViewID);
    CMVCManager* pManager = FindManager();
    return it != m_mapViewImages.end() && it->second.nImageUID == bound.nImageUID && pManager &&
           pManager->Get2DDrawableObject(nViewID, object.GetUID()).get() == &object;
}

void CProjectController::ShowStoreFailure(const QString& strReason)
{
    CInteraction::Critical(nullptr,
                           QString::asprintf("Cannot store ROI: %s", strReason.toUtf8().constData()));
}

QString CProjectController::NoSuchClass(const QString& strClassName)
{
    return QStringLiteral("there is no class \"%1\"").arg(strClassName);
}
