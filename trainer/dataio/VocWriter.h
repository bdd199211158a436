#pragma once

#include "trainer/dataio/ExportFolder.h"

// Writes labelled images as a Pascal VOC folder: the images below
// "JPEGImages" at their relative paths and one XML of the same base name
// below "Annotations" per image, in the devkit's 1-based pixels (xmin =
// x + 1, xmax = x + width: the last pixel inside the box) so that
// CVocReader gives the same boxes back. A negative gets an annotation
// without objects, an unlabelled image none. Owned by the caller for one
// export; one thread.
class CVocWriter
{
public:
    explicit CVocWriter(const QString& strFolder);

    void SetImageCopy(FnCopyImage fnCopy) { m_folder.SetImageCopy(std::move(fnCopy)); }
    // False when any file could not be written; vctProblems says which.
    bool Write(const SLabelledSet& set, std::vector<SImportProblem>& vctProblems);

private:
    CExportFolder m_folder;
};
