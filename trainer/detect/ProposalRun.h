#pragma once

#include "trainer/detect/DetectionJsonReader.h"
#include "trainer/detect/DetectionProposals.h"
#include "trainer/detect/RunClasses.h"

#include <QByteArray>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// An image to propose boxes for: its row ID and FULL_PATH (relative to the
// project folder).
struct SProposalImage
{
    int nImageID = -1;
    QString strFullPath;
    // Its stored ROIs: category and box relative to the image (0..1); a
    // detection of one of them is not proposed again.
    std::vector<std::pair<int, QRectF>> vctLabelled;
};

// What a detection run gave, for the summary.
struct SProposalOutcome
{
    int nAsked = 0;
    int nPassed = 0;
    // Paths Darknet could not be given, with the reason.
    QStringList lstRefused;
    // Images whose result was read and stored (with or without boxes).
    int nAnswered = 0;
    int nImagesWithProposals = 0;
    int nProposals = 0;
    SDetectionDrops drops;
    int nClamped = 0;
    // Boxes of classes the project does not have (any more).
    int nUnmappedBoxes = 0;
    // Boxes the image already has as ROIs (same class, mostly overlapping).
    int nAlreadyLabelled = 0;
    QStringList lstUnmappedClasses;
    QStringList lstMismatches;
    int nUnanswered = 0;
    // Why the result file could not be read whole, empty when it could.
    QString strProblem;
    // Images whose proposals could not be written.
    int nStoreFailures = 0;
};

// One "darknet detector test" on project images, without the process: a
// temporary working folder of its own (Darknet writes predictions.jpg into
// it) holding a data file, the class list and configuration the weights
// were trained with and a link to the project folder, so that image paths
// stay short ("p/Images/<name>"); the standard input; and, once Darknet has
// ended, its result turned into the images' pending proposals.
// Owned by the controller for one run; Finish may run on a worker thread
// while nothing else touches the project's proposals.
class CProposalRun
{
public:
    static const QString RESULT_FILE;

    CProposalRun(const QString& strProjectDir, const SRunClasses& classes,
                 std::vector<SClassMapping> vctMapping, QStringList lstUnmappedClasses);

    // False with strError when the working folder cannot be made.
    bool Prepare(QString& strError);
    QString WorkingDir() const;
    // "detector test ..." with the weights (an absolute path) and threshold.
    QStringList Arguments(const QString& strWeights, double dThreshold) const;
    // The standard input for the images; those whose paths cannot be passed
    // are counted in the outcome and left out.
    QByteArray Input(const std::vector<SProposalImage>& vctImages);
    // How many images are passed (the progress's maximum).
    int PassedCount() const { return int(m_vctPassed.size()); }
    // The paths that are not, each with its reason.
    const QStringList& Refused() const { return m_outcome.lstRefused; }
    // Reads what Darknet wrote and stores the proposals of every image it
    // answered, replacing their pending ones; what it did not finish is
    // reported.
    SProposalOutcome Finish();

    // The summary the user reads; strEnd says how Darknet ended when it did
    // not end well, for the user (empty when it did).
    static QString Summary(const SProposalOutcome& outcome, const QString& strEnd);
    // Intersection over union from which a detection is the ROI it overlaps.
    static constexpr double SAME_BOX_IOU = 0.5;
    // The proposals that are not already ROIs of the image; nDropped counts the others.
    static std::vector<SProposal> WithoutLabelled(const std::vector<SProposal>& vctProposals,
                                                  const std::vector<std::pair<int, QRectF>>& vctLabelled,
                                                  int& nDropped);

private:
    QString PathFor(const QString& strFullPath) const;

    QString m_strProjectDir;
    SRunClasses m_classes;
    std::vector<SClassMapping> m_vctMapping;
    std::unique_ptr<QTemporaryDir> m_pDir;
    // Whether image paths go through the link (else absolute).
    bool m_bLinked = false;
    std::vector<SProposalImage> m_vctPassed;
    QStringList m_lstPassedPaths;
    SProposalOutcome m_outcome;
};
