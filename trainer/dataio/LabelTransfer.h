#pragma once

#include "trainer/dataio/LabelledImage.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// The formats labelled images come in and go out as.
enum class ELabelFormat
{
    YOLO,
    VOC,
    COCO,
};

// What the user asked an import to do.
struct SImportRequest
{
    ELabelFormat eFormat = ELabelFormat::YOLO;
    // A folder (YOLO, VOC) or the JSON file (COCO).
    QString strSource;
    // Optional: the class names file (YOLO) or the image folder (COCO).
    QString strNamesFile;
    QString strImageFolder;
    bool bToTest = false;
    // Share of the images put into the test list (0: none), drawn with the seed.
    double dTestPercent = 0;
    uint32_t nSeed = 1;
};

// Counts for the summary of an import.
struct SImportCounts
{
    int nImages = 0;
    int nLabelled = 0;
    int nNegatives = 0;
    int nUnlabelled = 0;
    int nBoxes = 0;
};

// Between the project and the readers and writers of labelled data: which
// reader reads a request, which writer writes a format, and the texts of
// the summaries. Plain functions; any thread.
class CLabelTransfer
{
public:
    // The names shown for the formats, in the order of ELabelFormat.
    static QStringList FormatNames();
    // Reads the request's source; false when it cannot be read at all (the
    // reason is the first problem).
    static bool Read(const SImportRequest& request, SLabelledSet& set);
    // Writes the set into strFolder in the format; image files are copied
    // (upright) when bCopyImages.
    static bool Write(ELabelFormat eFormat, const QString& strFolder, const SLabelledSet& set,
                      bool bCopyImages, std::vector<SImportProblem>& vctProblems);
    static SImportCounts Count(const std::vector<SLabelledImage>& vctImages);
    // The class names the boxes use that lstKnown lacks, in the set's order.
    static QStringList MissingClasses(const SLabelledSet& set, const QStringList& lstKnown);
    // The summary a user can copy: what was found and added, then one line
    // per problem of the source and per file that was not added.
    static QString ImportSummary(const SImportCounts& found, int nAdded, int nAddedBoxes,
                                 const std::vector<SImportProblem>& vctProblems,
                                 const QStringList& lstFailures);
};
