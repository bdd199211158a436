#include "trainer/dataio/LabelTransfer.h"

#include "trainer/dataio/CocoReader.h"
#include "trainer/dataio/CocoWriter.h"
#include "trainer/dataio/ExportFolder.h"
#include "trainer/dataio/VocReader.h"
#include "trainer/dataio/VocWriter.h"
#include "trainer/dataio/YoloFolderReader.h"
#include "trainer/dataio/YoloFolderWriter.h"

#include <QSet>

QStringList CLabelTransfer::FormatNames()
{
    return {QStringLiteral("YOLO / Darknet folder"), QStringLiteral("Pascal VOC folder"),
            QStringLiteral("COCO JSON")};
}

bool CLabelTransfer::Read(const SImportRequest& request, SLabelledSet& set)
{
    switch (request.eFormat)
    {
    case ELabelFormat::YOLO:
    {
        CYoloFolderReader reader(request.strSource);
        if (!request.strNamesFile.isEmpty())
            reader.SetNamesFile(request.strNamesFile);
        return reader.Read(set);
    }
    case ELabelFormat::VOC:
        return CVocReader(request.strSource).Read(set);
    case ELabelFormat::COCO:
        return CCocoReader(request.strSource, request.strImageFolder).Read(set);
    }
    return false;
}

namespace
{
template <typename Writer>
bool WriteWith(const QString& strFolder, const SLabelledSet& set, bool bCopyImages,
               std::vector<SImportProblem>& vctProblems)
{
    Writer writer(strFolder);
    if (bCopyImages)
        writer.SetImageCopy(&CExportFolder::CopyUpright);
    return writer.Write(set, vctProblems);
}
} // namespace

bool CLabelTransfer::Write(ELabelFormat eFormat, const QString& strFolder, const SLabelledSet& set,
                           bool bCopyImages, std::vector<SImportProblem>& vctProblems)
{
    switch (eFormat)
    {
    case ELabelFormat::YOLO:
        return WriteWith<CYoloFolderWriter>(strFolder, set, bCopyImages, vctProblems);
    case ELabelFormat::VOC:
        return WriteWith<CVocWriter>(strFolder, set, bCopyImages, vctProblems);
    case ELabelFormat::COCO:
        return WriteWith<CCocoWriter>(strFolder, set, bCopyImages, vctProblems);
    }
    return false;
}

SImportCounts CLabelTransfer::Count(const std::vector<SLabelledImage>& vctImages)
{
    SImportCounts counts;
    for (const SLabelledImage& image : vctImages)
    {
        ++counts.nImages;
        counts.nBoxes += static_cast<int>(image.vctBoxes.size());
        if (image.state == ELabelState::LABELLED)
            ++counts.nLabelled;
        else if (image.state == ELabelState::NEGATIVE)
            ++counts.nNegatives;
        else
            ++counts.nUnlabelled;
    }
    return counts;
}

QStringList CLabelTransfer::MissingClasses(const SLabelledSet& set, const QStringList& lstKnown)
{
    const QSet<QString> setKnown(lstKnown.begin(), lstKnown.end());
    QSet<QString> setUsed;
    for (const SLabelledImage& image : set.vctImages)
    {
        for (const SLabelledBox& box : image.vctBoxes)
            setUsed.insert(box.strClassName);
    }
    QStringList lstMissing;
    // The source's order first, so new classes keep its indices' order.
    for (const QString& strName : set.lstClassNames)
    {
        if (setUsed.contains(strName) && !setKnown.contains(strName) && !lstMissing.contains(strName))
            lstMissing << strName;
    }
    QStringList lstRest;
    for (const QString& strName : setUsed)
    {
        if (!setKnown.contains(strName) && !lstMissing.contains(strName))
            lstRest << strName;
    }
    lstRest.sort();
    return lstMissing + lstRest;
}

QString CLabelTransfer::ImportSummary(const SImportCounts& found, int nAdded, int nAddedBoxes,
                                      const std::vector<SImportProblem>& vctProblems,
                                      const QStringList& lstFailures)
{
    QStringList lstLines;
    lstLines << QString("Found %1 images: %2 labelled, %3 without objects, %4 unlabelled; %5 boxes.")
                    .arg(found.nImages)
                    .arg(found.nLabelled)
                    .arg(found.nNegatives)
                    .arg(found.nUnlabelled)
                    .arg(found.nBoxes);
    lstLines << QString("Added %1 images with %2 boxes.").arg(nAdded).arg(nAddedBoxes);
    if (vctProblems.empty() && lstFailures.isEmpty())
        return lstLines.join(QLatin1Char('\n'));
    lstLines << QString() << QString("%1 problems:").arg(int(vctProblems.size()) + lstFailures.size());
    for (const SImportProblem& problem : vctProblems)
        lstLines << problem.ToText();
    lstLines << lstFailures;
    return lstLines.join(QLatin1Char('\n'));
}
