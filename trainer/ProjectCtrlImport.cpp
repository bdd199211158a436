// Labelled images in and out: an import reads another tool's labels,
// creates the classes they name after one confirmation and adds the images
// with their boxes the way Add Images does; an export writes the project's
// images and boxes in a format other tools read.
#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "trainer/Category.h"
#include "trainer/DatasetImage.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ImageAdder.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectPaths.h"
#include "trainer/dataio/ExportDlg.h"
#include "trainer/dataio/ImportDlg.h"
#include "trainer/dataio/LabelTransfer.h"
#include "trainer/dataio/SeededSplit.h"
#include "trainer/dataio/TransferSummaryDlg.h"

#include <QDir>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QtConcurrent/QtConcurrentRun>

namespace
{
void ShowSummary(const QString& strTitle, const QString& strText, QWidget* pParent)
{
    CTransferSummaryView summary(strTitle, strText, pParent);
    CInteraction::Exec(&summary);
}
} // namespace

void CProjectController::slot_ImportLabelledImages()
{
    if (!m_pModel || !m_pDatabase || m_pModel->GetProjectDir().isEmpty())
        return;
    CImportView dialog(DialogParent());
    if (CInteraction::Exec(&dialog) == QDialog::Accepted)
        ImportLabelled(dialog.GetRequest());
}

void CProjectController::slot_ExportLabelledImages()
{
    if (!m_pModel || !m_pDatabase || m_pModel->GetProjectDir().isEmpty())
        return;
    CExportView dialog(DialogParent());
    if (CInteraction::Exec(&dialog) == QDialog::Accepted)
        ExportLabelled(dialog.GetFormat(), dialog.GetFolder(), int(dialog.GetWhich()),
                       dialog.GetCopyImages());
}

bool CProjectController::ReadLabelledSet(const SImportRequest& request, SLabelledSet& set)
{
    // Thousands of label files and image headers: read off the GUI thread,
    // which keeps painting behind a busy dialog.
    QProgressDialog busy(QStringLiteral("Reading labelled images..."), QString(), 0, 0, DialogParent());
    busy.setWindowModality(Qt::WindowModal);
    busy.setMinimumDuration(500);
    QFutureWatcher<bool> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<bool>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([request, &set] { return CLabelTransfer::Read(request, set); }));
    if (!watcher.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return watcher.result();
}

bool CProjectController::ImportLabelled(const SImportRequest& request)
{
    if (!m_pModel || !m_pDatabase || m_pModel->GetProjectDir().isEmpty())
        return false;
    SLabelledSet set;
    if (!ReadLabelledSet(request, set))
    {
        const QString strWhy = set.vctProblems.empty() ? request.strSource : set.vctProblems.front().ToText();
        CInteraction::Critical(DialogParent(),
                               QStringLiteral("The labelled images cannot be read: ") + strWhy);
        return false;
    }
    QStringList lstKnown;
    for (const auto& [nID, strName] : CategoryNames())
        lstKnown << strName;
    const QStringList lstMissing = CLabelTransfer::MissingClasses(set, lstKnown);
    if (!lstMissing.isEmpty() &&
        (!CInteraction::AskYesNo(DialogParent(),
                                 QStringLiteral("The labels name classes the project does not "
                                                "have. Create them?\n\n") +
                                     lstMissing.join(QStringLiteral(", "))) ||
         !CreateCategories(lstMissing)))
        return false;
    std::map<QString, int> mapCategories;
    for (const auto& [nID, strName] : CategoryNames())
        mapCategories[strName] = nID;

    const CSeededSplit::SSplit split = CSeededSplit::Split(
        int(set.vctImages.size()), request.bToTest ? 100.0 : request.dTestPercent, request.nSeed);
    QStringList lstFailures;
    int nAdded = 0;
    int nAddedBoxes = 0;
    const bool bDone =
        AddLabelled(set, split.vctTrain, false, mapCategories, lstFailures, nAdded, nAddedBoxes) &&
        AddLabelled(set, split.vctTest, true, mapCategories, lstFailures, nAdded, nAddedBoxes);
    ValidateROI();
    CLog::Write(ELogLevel::NORMAL, "Imported %d images with %d boxes from %s%s", nAdded, nAddedBoxes,
                request.strSource.toUtf8().constData(), bDone ? "" : " (cancelled)");
    QString strSummary = CLabelTransfer::ImportSummary(CLabelTransfer::Count(set.vctImages), nAdded,
                                                       nAddedBoxes, set.vctProblems, lstFailures);
    if (!bDone)
        strSummary.prepend(QStringLiteral("Cancelled: the images below the cancel were not added.\n"));
    ShowSummary(QStringLiteral("Import"), strSummary, DialogParent());
    return nAdded > 0;
}

bool CProjectController::AddLabelled(const SLabelledSet& set, const std::vector<int>& vctIndices, bool bTest,
                                     const std::map<QString, int>& mapCategories, QStringList& lstFailures,
                                     int& nAdded, int& nAddedBoxes)
{
    if (vctIndices.empty())
        return true;
    const QString strImageDir = CProjectPaths::ImageFolder(m_pModel->GetProjectDir());
    if (!QDir(strImageDir).exists() && !QDir().mkdir(strImageDir))
    {
        lstFailures << strImageDir + QStringLiteral(": the image folder cannot be made");
        return false;
    }
    QStringList lstFiles;
    std::vector<std::vector<SAddedRoi>> vctRois;
    std::vector<QSize> vctSizes;
    for (const int nIndex : vctIndices)
    {
        const SLabelledImage& image = set.vctImages[size_t(nIndex)];
        lstFiles << image.strAbsolutePath;
        std::vector<SAddedRoi> vctBoxes;
        for (const SLabelledBox& box : image.vctBoxes)
        {
            const auto it = mapCategories.find(box.strClassName);
            vctBoxes.push_back({box.rcBox, it == mapCategories.end() ? -1 : it->second});
        }
        vctRois.push_back(std::move(vctBoxes));
        vctSizes.push_back(QSize(image.nWidth, image.nHeight));
    }
    CImageAdder adder(m_pDatabase, m_pModel, bTest ? QStringLiteral("test") : QStringLiteral("train"));
    adder.SetRois(std::move(vctRois), std::move(vctSizes));
    const bool bDone = adder.Run(lstFiles, DialogParent());
    lstFailures << adder.GetFailures();
    nAdded += adder.GetAddedCount();
    nAddedBoxes += adder.GetAddedRoiCount();
    return bDone;
}

bool CProjectController::CreateCategories(const QStringList& lstNames)
{
    std::vector<std::shared_ptr<CDatabaseRecord>> vctRows;
    for (const QString& strName : lstNames)
    {
        auto pCategory = std::make_shared<CCategory>();
        pCategory->SetName(strName);
        vctRows.push_back(pCategory);
    }
    if (m_pDatabase->InsertToTable(vctRows, true))
    {
        CLog::Write(ELogLevel::NORMAL, "Added classes %s",
                    lstNames.join(QStringLiteral(", ")).toUtf8().constData());
        return true;
    }
    CInteraction::Critical(DialogParent(),
                           QStringLiteral("The classes cannot be added to the project file."));
    return false;
}

SLabelledSet CProjectController::LabelledSet(int nWhich)
{
    SLabelledSet set;
    const std::map<int, QString> mapCategories = CategoryNames();
    for (const auto& [nID, strName] : mapCategories)
        set.lstClassNames << strName;
    const RoiMap mapRois = SelectRoisByImage();
    CProjectModel::ImageList vctImages;
    if (nWhich != 2)
        vctImages = m_pModel->GetTrainImages();
    if (nWhich != 1)
    {
        const CProjectModel::ImageList vctTest = m_pModel->GetTestImages();
        vctImages.insert(vctImages.end(), vctTest.begin(), vctTest.end());
    }
    const QString strDir = m_pModel->GetProjectDir();
    for (const std::shared_ptr<CProjectImage>& pImage : vctImages)
    {
        SLabelledImage image;
        image.strAbsolutePath = CProjectPaths::ImageFile(strDir, pImage->GetFullPath());
        image.strRelativePath = pImage->GetName();
        if (const auto pRecord = pImage->GetImage())
        {
            image.nWidth = pRecord->GetWidth();
            image.nHeight = pRecord->GetHeight();
        }
        const auto it = mapRois.find(pImage->GetID());
        if (it != mapRois.end())
        {
            for (const RoiPtr& pRoi : it->second)
            {
                const auto itName = mapCategories.find(pRoi->GetCategoryID());
                // A box whose class was deleted has no name to go by.
                if (itName == mapCategories.end())
                {
                    set.vctProblems.push_back({pImage->GetName(), 0, QString(),
                                               QStringLiteral("a box without a class was left out")});
                    continue;
                }
                image.vctBoxes.push_back({itName->second, StoredRect(*pRoi)});
            }
        }
        // The project trains on an image without boxes as one that shows
        // nothing, and says so in its label file.
        image.state = image.vctBoxes.empty() ? ELabelState::NEGATIVE : ELabelState::LABELLED;
        set.vctImages.push_back(std::move(image));
    }
    return set;
}

bool CProjectController::ExportLabelled(ELabelFormat eFormat, const QString& strFolder, int nWhich,
                                        bool bCopyImages)
{
    if (!m_pModel || !m_pDatabase || strFolder.isEmpty())
        return false;
    const SLabelledSet set = LabelledSet(nWhich);
    std::vector<SImportProblem> vctProblems = set.vctProblems;
    const bool bOk = CLabelTransfer::Write(eFormat, strFolder, set, bCopyImages, vctProblems);
    const SImportCounts counts = CLabelTransfer::Count(set.vctImages);
    QStringList lstLines;
    lstLines << QString("%1 %2 images with %3 boxes into %4.")
                    .arg(bOk ? QStringLiteral("Exported") : QStringLiteral("Could not export all of"))
                    .arg(counts.nImages)
                    .arg(counts.nBoxes)
                    .arg(strFolder);
    for (const SImportProblem& problem : vctProblems)
        lstLines << problem.ToText();
    CLog::Write(bOk ? ELogLevel::NORMAL : ELogLevel::ERROR, "%s", lstLines.first().toUtf8().constData());
    ShowSummary(QStringLiteral("Export"), lstLines.join(QLatin1Char('\n')), DialogParent());
    return bOk;
}
