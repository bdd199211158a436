// "Propose boxes": the trained model labels images for the user to check.
// Darknet's detector runs on the chosen images with the class list the
// weights were trained with, and its boxes become pending proposals of
// those images, mapped by class name to today's categories.
#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "trainer/DatasetImage.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectItem.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectView.h"
#include "trainer/dataio/TransferSummaryDlg.h"
#include "trainer/detect/DarknetJob.h"
#include "trainer/detect/DetectorInput.h"
#include "trainer/detect/ProposalRun.h"
#include "trainer/detect/ProposeDlg.h"
#include "trainer/evaluate/DarknetTool.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace
{
const QString TITLE = QStringLiteral("Propose boxes");

// The weights' classes as Darknet will read them, or why they cannot be used.
QString CheckClasses(const SRunClasses& classes, const QString& strWeights)
{
    const int nConfigClasses = CRunClasses::ConfigClasses(classes.strConfig);
    if (classes.lstNames.isEmpty())
        return QStringLiteral("The class list of %1 (%2) is empty").arg(strWeights, classes.strSource);
    if (nConfigClasses != classes.lstNames.size())
        return QStringLiteral("The configuration of %1 is for %2 classes, but its class list (%3) has %4: "
                              "they do not belong together")
            .arg(strWeights)
            .arg(nConfigClasses < 0 ? QStringLiteral("differing numbers of")
                                    : QString::number(nConfigClasses))
            .arg(classes.strSource)
            .arg(classes.lstNames.size());
    return QString();
}
} // namespace

void CProjectController::slot_ProposeBoxes()
{
    if (!m_pModel || !m_pDatabase || m_pModel->GetProjectDir().isEmpty() || !IsCommandNotRunning())
        return;
    const QFileInfoList lstWeights = CRunClasses(m_pModel->GetProjectDir()).BackupWeights();
    int nSelected = 0;
    if (m_pExplorer)
        nSelected = int(m_pExplorer->SelectedImageIDs(CProjectItem::TYPE_TRAIN_IMAGE).size() +
                        m_pExplorer->SelectedImageIDs(CProjectItem::TYPE_TEST_IMAGE).size());
    CProposeView dialog(lstWeights, nSelected, DialogParent());
    if (CInteraction::Exec(&dialog) == QDialog::Accepted)
        ProposeBoxes(dialog.GetRequest());
}

std::vector<std::shared_ptr<CProjectImage>> CProjectController::ProposalImages(const SProposeRequest& request,
                                                                               const RoiMap& mapRois)
{
    std::vector<std::shared_ptr<CProjectImage>> vctImages;
    std::set<int> setWanted;
    if (request.eScope == EProposeScope::SELECTED && m_pExplorer)
    {
        for (const int nType : {CProjectItem::TYPE_TRAIN_IMAGE, CProjectItem::TYPE_TEST_IMAGE})
            for (const int nID : m_pExplorer->SelectedImageIDs(nType))
                setWanted.insert(nID);
    }
    for (const bool bTrain : {true, false})
    {
        if ((request.eScope == EProposeScope::TRAIN && !bTrain) ||
            (request.eScope == EProposeScope::TEST && bTrain))
            continue;
        for (const auto& pImage : bTrain ? m_pModel->GetTrainImages() : m_pModel->GetTestImages())
        {
            const bool bWanted =
                request.eScope == EProposeScope::SELECTED       ? setWanted.count(pImage->GetID()) > 0
                : request.eScope == EProposeScope::WITHOUT_ROIS ? mapRois.count(pImage->GetID()) == 0
                                                                : true;
            if (bWanted)
                vctImages.push_back(pImage);
        }
    }
    return vctImages;
}

std::vector<SProposalImage>
CProjectController::ProposalInput(const std::vector<std::shared_ptr<CProjectImage>>& vctImages,
                                  const RoiMap& mapRois)
{
    std::vector<SProposalImage> vctInput;
    for (const auto& pImage : vctImages)
    {
        const std::shared_ptr<CDatasetImage> pRecord = pImage->GetImage();
        if (!pRecord)
            continue;
        SProposalImage image{pImage->GetID(), pRecord->GetFullPath(), {}};
        const auto it = mapRois.find(pImage->GetID());
        const double dWidth = pRecord->GetWidth();
        const double dHeight = pRecord->GetHeight();
        for (const RoiPtr& pRoi :
             it == mapRois.end() || dWidth <= 0 || dHeight <= 0 ? std::vector<RoiPtr>() : it->second)
        {
            const QRectF rcBox = StoredRect(*pRoi);
            image.vctLabelled.emplace_back(pRoi->GetCategoryID(),
                                           QRectF(rcBox.x() / dWidth, rcBox.y() / dHeight,
                                                  rcBox.width() / dWidth, rcBox.height() / dHeight));
        }
        vctInput.push_back(image);
    }
    return vctInput;
}

bool CProjectController::ProposeBoxes(const SProposeRequest& request)
{
    if (!m_pModel || !m_pDatabase)
        return false;
    const CDarknetTool tool(TITLE, DialogParent());
    const auto Refuse = [&tool](const QString& strText)
    {
        tool.Inform(strText, true);
        return false;
    };
    const QString strExe = tool.Executable(this);
    if (strExe.isEmpty())
        return false;
    const QFileInfo weights(request.strWeights);
    if (!weights.isFile() || !weights.isReadable())
        return Refuse(QStringLiteral("The weights file %1 cannot be read").arg(request.strWeights));
    const RoiMap mapRois = SelectRoisByImage();
    const std::vector<SProposalImage> vctImages = ProposalInput(ProposalImages(request, mapRois), mapRois);
    if (vctImages.empty())
        return Refuse(QStringLiteral("There are no images to propose boxes for"));

    SRunClasses classes;
    QString strError;
    if (!CRunClasses(m_pModel->GetProjectDir()).ForWeights(weights.absoluteFilePath(), classes, strError))
        return Refuse(strError);
    strError = CheckClasses(classes, weights.fileName());
    if (!strError.isEmpty())
        return Refuse(strError);
    std::vector<std::pair<int, QString>> vctCategories;
    for (const auto& [nID, strName] : CategoryNames())
        vctCategories.emplace_back(nID, strName);
    QStringList lstUnmapped;
    std::vector<SClassMapping> vctMapping =
        CDetectionProposals::MapClasses(classes.lstNames, vctCategories, lstUnmapped);
    if (lstUnmapped.size() == classes.lstNames.size())
        return Refuse(QStringLiteral("None of the classes of %1 (%2) is a class of the project")
                          .arg(weights.fileName(), classes.lstNames.join(QStringLiteral(", "))));

    CProposalRun run(m_pModel->GetProjectDir(), classes, std::move(vctMapping), lstUnmapped);
    if (!run.Prepare(strError))
        return Refuse(strError);
    const QByteArray baInput = run.Input(vctImages);
    if (run.PassedCount() == 0)
        return Refuse(QStringLiteral("None of the images can be passed to Darknet:\n") +
                      run.Refused().join('\n'));
    return RunDetector(run, baInput, strExe, weights.absoluteFilePath(), request.dThreshold);
}

bool CProjectController::RunDetector(CProposalRun& run, const QByteArray& baInput, const QString& strExe,
                                     const QString& strWeights, double dThreshold)
{
    CDarknetJob job(QStringLiteral("Proposing boxes on %1 images...").arg(run.PassedCount()), DialogParent());
    CDetectorInput progress;
    job.SetProgress(run.PassedCount(),
                    [&progress](const QByteArray& baChunk) { return progress.Append(baChunk); });
    const SDarknetJobResult result =
        job.Run(strExe, run.Arguments(strWeights, dThreshold), run.WorkingDir(), baInput);
    if (!result.bStarted)
    {
        CDarknetTool(TITLE, DialogParent()).Inform(result.Describe("proposing boxes"), true);
        return false;
    }
    // Ten thousand frames and files: read and stored off the GUI thread.
    QFutureWatcher<SProposalOutcome> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<SProposalOutcome>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([&run] { return run.Finish(); }));
    if (!watcher.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    const SProposalOutcome outcome = watcher.result();
    for (const auto& [nViewID, image] : m_mapViewImages)
        ShowProposals(nViewID);
    CLog::Write(ELogLevel::NORMAL, "Proposed %d boxes on %d images", outcome.nProposals,
                outcome.nImagesWithProposals);
    const QString strEnd = result.Succeeded() ? QString() : result.Describe("proposing boxes");
    CTransferSummaryView summary(TITLE, CProposalRun::Summary(outcome, strEnd), DialogParent());
    CInteraction::Exec(&summary);
    return outcome.nAnswered > 0;
}
