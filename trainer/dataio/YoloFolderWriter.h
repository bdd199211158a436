#pragma once

#include "trainer/dataio/ExportFolder.h"

// Writes labelled images as a folder Darknet and CYoloFolderReader read:
// "obj.names" (one class per line, the line number being the index), the
// images below "images" at their relative paths and a label file of the
// same base name below "labels" per image: one "class cx cy w h" line per
// box, relative to the image size, each number with as many digits as
// reading it back to the same double needs. A negative gets an empty label
// file, an unlabelled image none. Files already in the folder are replaced,
// none are removed. Owned by the caller for one export; one thread.
class CYoloFolderWriter
{
public:
    explicit CYoloFolderWriter(const QString& strFolder);

    void SetImageCopy(FnCopyImage fnCopy) { m_folder.SetImageCopy(std::move(fnCopy)); }
    // False when any file could not be written; vctProblems says which.
    bool Write(const SLabelledSet& set, std::vector<SImportProblem>& vctProblems);

private:
    CExportFolder m_folder;
};
