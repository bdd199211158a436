#pragma once

#include "trainer/dataio/ExportFolder.h"

// Writes labelled images as COCO: "annotations.json" with the images (ids
// from 1, file_name = the relative path below "images", where the copies
// go), one annotation per box (bbox [x, y, w, h] in pixels, iscrowd 0) and
// the categories with contiguous ids from 1 in class order. COCO cannot
// tell an unlabelled image from one without objects, so unlabelled images
// are left out with a problem rather than written as negatives. Owned by
// the caller for one export; one thread.
class CCocoWriter
{
public:
    explicit CCocoWriter(const QString& strFolder);

    void SetImageCopy(FnCopyImage fnCopy) { m_folder.SetImageCopy(std::move(fnCopy)); }
    // False when any file could not be written; vctProblems says which (and
    // names the unlabelled images left out, which do not make it false).
    bool Write(const SLabelledSet& set, std::vector<SImportProblem>& vctProblems);

    static constexpr const char* JSON_NAME = "annotations.json";

private:
    CExportFolder m_folder;
};
