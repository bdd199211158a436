#include "trainer/detect/ProposalRun.h"

#include "common/log/Logger.h"
#include "trainer/ProjectPaths.h"
#include "trainer/WholeFile.h"
#include "trainer/detect/DetectorInput.h"

#include <QDir>
#include <QFile>

#include <algorithm>

const QString CProposalRun::RESULT_FILE = QStringLiteral("result.json");

namespace
{
const QString PROJECT_LINK = QStringLiteral("p");

} // namespace

CProposalRun::CProposalRun(const QString& strProjectDir, const SRunClasses& classes,
                           std::vector<SClassMapping> vctMapping, QStringList lstUnmappedClasses)
    : m_strProjectDir(strProjectDir), m_classes(classes), m_vctMapping(std::move(vctMapping))
{
    m_outcome.lstUnmappedClasses = std::move(lstUnmappedClasses);
}

bool CProposalRun::Prepare(QString& strError)
{
    m_pDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/optra-detect-XXXXXX"));
    const QString strDir = m_pDir->path();
    const QByteArray baData =
        QStringLiteral("classes=%1\nnames=names.txt\n").arg(m_classes.lstNames.size()).toUtf8();
    const QByteArray baNames = (m_classes.lstNames.join('\n') + '\n').toUtf8();
    if (!m_pDir->isValid() || !CWholeFile::Write(strDir + QStringLiteral("/detector.txt"), baData) ||
        !CWholeFile::Write(strDir + QStringLiteral("/names.txt"), baNames) ||
        !CWholeFile::Write(strDir + QStringLiteral("/config.txt"), m_classes.strConfig.toUtf8()))
    {
        strError = QStringLiteral("The working folder of the detector cannot be made in ") + QDir::tempPath();
        return false;
    }
    // Paths through the link stay short whatever the project's folder is.
    m_bLinked = QFile::link(QFileInfo(m_strProjectDir).absoluteFilePath(), strDir + '/' + PROJECT_LINK);
    return true;
}

QString CProposalRun::WorkingDir() const
{
    return m_pDir ? m_pDir->path() : QString();
}

QStringList CProposalRun::Arguments(const QString& strWeights, double dThreshold) const
{
    return {QStringLiteral("detector"),
            QStringLiteral("test"),
            QStringLiteral("detector.txt"),
            QStringLiteral("config.txt"),
            strWeights,
            QStringLiteral("-dont_show"),
            QStringLiteral("-ext_output"),
            QStringLiteral("-out"),
            RESULT_FILE,
            QStringLiteral("-thresh"),
            QString::number(dThreshold, 'f', 4)};
}

QString CProposalRun::PathFor(const QString& strFullPath) const
{
    const QString strFile = CProjectPaths::ImageFile(m_strProjectDir, strFullPath);
    if (strFile.isEmpty())
        return QString();
    if (!m_bLinked)
        return QFileInfo(strFile).absoluteFilePath();
    return PROJECT_LINK + '/' + QDir(m_strProjectDir).relativeFilePath(strFile);
}

QByteArray CProposalRun::Input(const std::vector<SProposalImage>& vctImages)
{
    m_outcome.nAsked = int(vctImages.size());
    QStringList lstPaths;
    std::vector<SProposalImage> vctCandidates;
    for (const SProposalImage& image : vctImages)
    {
        const QString strPath = PathFor(image.strFullPath);
        if (strPath.isEmpty())
        {
            m_outcome.lstRefused << image.strFullPath + QStringLiteral(": the path leads out of the project");
            continue;
        }
        lstPaths << strPath;
        vctCandidates.push_back(image);
    }
    QStringList lstRefused;
    const QByteArray baInput = CDetectorInput::Lines(lstPaths, m_lstPassedPaths, lstRefused);
    m_outcome.lstRefused << lstRefused;
    // Lines keeps the passed paths in order: the images follow them.
    int nPassed = 0;
    for (int i = 0; i < lstPaths.size() && nPassed < m_lstPassedPaths.size(); ++i)
    {
        if (lstPaths[i] == m_lstPassedPaths[nPassed])
        {
            m_vctPassed.push_back(vctCandidates[size_t(i)]);
            ++nPassed;
        }
    }
    m_outcome.nPassed = nPassed;
    return baInput;
}

SProposalOutcome CProposalRun::Finish()
{
    SProposalOutcome outcome = m_outcome;
    SDetectionResult result;
    const QString strResult = WorkingDir() + '/' + RESULT_FILE;
    if (!QFileInfo::exists(strResult) ||
        !CDetectionJsonReader::ReadFile(strResult, int(m_vctMapping.size()), result))
    {
        outcome.strProblem = QStringLiteral("Darknet wrote no result file");
        outcome.nUnanswered = outcome.nPassed;
        return outcome;
    }
    outcome.strProblem = result.strProblem;
    outcome.drops = result.drops;
    outcome.nClamped = result.nClamped;
    const SDetectionMatch match = CDetectionJsonReader::Match(result, m_lstPassedPaths);
    outcome.lstMismatches = match.lstMismatches;
    outcome.nUnanswered = int(match.vctUnanswered.size());
    const CDetectionProposals proposals(m_strProjectDir);
    for (const auto& [nImage, nFrame] : match.vctMatched)
    {
        const SProposalImage& image = m_vctPassed[size_t(nImage)];
        const std::vector<SProposal> vctProposals =
            WithoutLabelled(CDetectionProposals::FromFrame(result.vctFrames[size_t(nFrame)], m_vctMapping,
                                                           outcome.nUnmappedBoxes),
                            image.vctLabelled, outcome.nAlreadyLabelled);
        if (!proposals.Store(image.nImageID, vctProposals))
        {
            ++outcome.nStoreFailures;
            continue;
        }
        ++outcome.nAnswered;
        outcome.nImagesWithProposals += vctProposals.empty() ? 0 : 1;
        outcome.nProposals += int(vctProposals.size());
    }
    return outcome;
}

std::vector<SProposal> CProposalRun::WithoutLabelled(const std::vector<SProposal>& vctProposals,
                                                     const std::vector<std::pair<int, QRectF>>& vctLabelled,
                                                     int& nDropped)
{
    std::vector<SProposal> vctNew;
    for (const SProposal& proposal : vctProposals)
    {
        const QRectF rcBox(proposal.dCenterX - proposal.dWidth / 2, proposal.dCenterY - proposal.dHeight / 2,
                           proposal.dWidth, proposal.dHeight);
        const bool bLabelled = std::any_of(vctLabelled.begin(), vctLabelled.end(),
                                           [&](const std::pair<int, QRectF>& labelled)
                                           {
                                               const QRectF rcCommon = labelled.second.intersected(rcBox);
                                               const double dCommon = rcCommon.width() * rcCommon.height();
                                               const double dUnion =
                                                   rcBox.width() * rcBox.height() +
                                                   labelled.second.width() * labelled.second.height() -
                                                   dCommon;
                                               return labelled.first == proposal.nCategoryId && dUnion > 0 &&
                                                      dCommon / dUnion >= SAME_BOX_IOU;
                                           });
        if (bLabelled)
            ++nDropped;
        else
            vctNew.push_back(proposal);
    }
    return vctNew;
}

QString CProposalRun::Summary(const SProposalOutcome& outcome, const QString& strEnd)
{
    QStringList lstLines;
    lstLines << QStringLiteral("%1 boxes proposed on %2 of %3 images (%4 images answered).")
                    .arg(outcome.nProposals)
                    .arg(outcome.nImagesWithProposals)
                    .arg(outcome.nAsked)
                    .arg(outcome.nAnswered);
    if (!strEnd.isEmpty())
        lstLines << strEnd << QStringLiteral("What it finished is kept.");
    if (outcome.nUnanswered > 0)
        lstLines
            << QStringLiteral("%1 images got no result and keep what they had.").arg(outcome.nUnanswered);
    if (!outcome.strProblem.isEmpty())
        lstLines << QStringLiteral("The result file: ") + outcome.strProblem;
    const SDetectionDrops& drops = outcome.drops;
    const std::pair<int, QString> arrDrops[] = {
        {drops.nNonFinite, QStringLiteral("with nan or infinite values")},
        {drops.nEmpty, QStringLiteral("empty")},
        {drops.nOutside, QStringLiteral("outside the image")},
        {drops.nUnknownClass, QStringLiteral("of a class index past the class list")},
        {drops.nMalformed, QStringLiteral("malformed")},
        {outcome.nUnmappedBoxes, QStringLiteral("of classes the project does not have")},
        {outcome.nAlreadyLabelled, QStringLiteral("the images already have as ROIs")}};
    for (const auto& [nCount, strWhat] : arrDrops)
    {
        if (nCount > 0)
            lstLines << QStringLiteral("Dropped %1 boxes %2.").arg(nCount).arg(strWhat);
    }
    if (outcome.nClamped > 0)
        lstLines << QStringLiteral("%1 boxes reaching past the image were cut to it.").arg(outcome.nClamped);
    if (!outcome.lstUnmappedClasses.isEmpty())
        lstLines << QStringLiteral("Classes of the weights the project does not have: ") +
                        outcome.lstUnmappedClasses.join(QStringLiteral(", "));
    if (outcome.nStoreFailures > 0)
        lstLines
            << QStringLiteral("The proposals of %1 images could not be written.").arg(outcome.nStoreFailures);
    for (const QString& strRefused : outcome.lstRefused)
        lstLines << QStringLiteral("Not passed: ") + strRefused;
    for (const QString& strMismatch : outcome.lstMismatches)
        lstLines << QStringLiteral("Not matched: ") + strMismatch;
    return lstLines.join('\n');
}
