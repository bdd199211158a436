#pragma once

#include "trainer/detect/DetectionJsonReader.h"

#include <QString>
#include <QStringList>

#include <vector>

// A box the model proposes for an image until the user accepts or rejects
// it. Relative coordinates of the stored (upright) image, 0..1.
struct SProposal
{
    // The project category the detected class maps to.
    int nCategoryId = 0;
    // The name of the class as the weights knew it, for the label "car 87%".
    QString strName;
    double dCenterX = 0;
    double dCenterY = 0;
    double dWidth = 0;
    double dHeight = 0;
    double dConfidence = 0;
};

// Where a class index of a weights file went: the project category of the
// same name, or -1 when the project has none (deleted or renamed since).
struct SClassMapping
{
    int nCategoryId = -1;
    QString strName;
};

// The pending proposals of a project, kept in its folder and never in the
// ROI table: "Proposals/<image id>.txt", one proposal per line,
//   <category id> <centre x> <centre y> <width> <height> <confidence> <name>
// (relative values with six decimals, the name to the end of the line).
// Every file is replaced as a whole; an image without proposals has no
// file. Files are read as hostile: larger than MAX_FILE_BYTES, a symbolic
// link, a line that does not parse or a box that is not inside the image is
// not taken.
// Owned by the project controller; one thread at a time.
class CDetectionProposals
{
public:
    static const QString FOLDER;
    static constexpr qint64 MAX_FILE_BYTES = 1 << 20;

    explicit CDetectionProposals(const QString& strProjectDir);

    // Replaces the image's proposals; an empty list removes them. False
    // (logged) when they could not be written; the old ones then stay.
    bool Store(int nImageID, const std::vector<SProposal>& vctProposals) const;
    // Adds one proposal after the others (a reject or accept undone).
    bool Add(int nImageID, const SProposal& proposal) const;
    // Empty when the image has none or its file cannot be read.
    std::vector<SProposal> Load(int nImageID) const;
    // Removes the first proposal equal to proposal as stored (six decimals):
    // it was accepted or rejected. False when there is none such.
    bool Remove(int nImageID, const SProposal& proposal) const;
    // False when a file that exists could not be removed.
    bool RemoveAll(int nImageID) const;
    // Image ids with at least one pending proposal, ascending.
    std::vector<int> PendingImages() const;

    // The classes of weights (by index, names in the order of their class
    // list) mapped by name to the project's categories (id and name);
    // lstUnmapped gets the names no category has.
    static std::vector<SClassMapping> MapClasses(const QStringList& lstWeightsClasses,
                                                 const std::vector<std::pair<int, QString>>& vctCategories,
                                                 QStringList& lstUnmapped);
    // A frame's boxes as proposals; boxes whose class maps to no category
    // are left out and counted in nUnmapped.
    static std::vector<SProposal> FromFrame(const SDetectionFrame& frame,
                                            const std::vector<SClassMapping>& vctClasses, int& nUnmapped);

private:
    QString FilePath(int nImageID) const;

    QString m_strFolder;
};
