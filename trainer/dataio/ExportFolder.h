#pragma once

#include "trainer/dataio/LabelledImage.h"

#include <QByteArray>
#include <QSet>
#include <QSize>

#include <functional>
#include <map>
#include <memory>

class CFileReplacer;

// Copies the image file of a labelled image to strTargetFile (its folder
// exists); false with strError set when it cannot.
using FnCopyImage =
    std::function<bool(const SLabelledImage& image, const QString& strTargetFile, QString& strError)>;

// The folder a writer of labelled data fills: every file is written whole
// (a temporary file renamed over the target, so no half-written file is
// ever seen), paths from the model stay inside the folder, and each image
// is placed once. Owned by one writer; one thread.
class CExportFolder
{
public:
    explicit CExportFolder(const QString& strRoot);
    ~CExportFolder();
    CExportFolder(const CExportFolder&) = delete;
    CExportFolder& operator=(const CExportFolder&) = delete;

    const QString& Root() const { return m_strRoot; }
    // Without a copier (the default) no image file is copied.
    void SetImageCopy(FnCopyImage fnCopy) { m_fnCopy = std::move(fnCopy); }
    // A copier that writes the image's bytes whole and turns a phone
    // picture upright, so the pixels match the upright boxes.
    static bool CopyUpright(const SLabelledImage& image, const QString& strTargetFile, QString& strError);

    // Writes strRelative ("/" separated, folders made as needed); false with
    // a problem added when it cannot.
    bool Write(const QString& strRelative, const QByteArray& baContent,
               std::vector<SImportProblem>& vctProblems);
    // Checks an image before its labels are written: its path below
    // strImageFolder, its size (from the model, else its file's header) and,
    // with a copier, the copy. False with a problem added when its labels
    // must not be written. strRelative is where the image lies below
    // strImageFolder.
    bool PlaceImage(const SLabelledImage& image, const QString& strImageFolder, QString& strRelative,
                    QSize& sizeImage, std::vector<SImportProblem>& vctProblems);

    // The class names of a set in index order: its list, then names that
    // only its boxes use.
    static QStringList ClassList(const SLabelledSet& set);
    // The shortest text that reads back as exactly the same double.
    static QString Number(double dValue);

private:
    // The absolute path of strRelative; empty when it would leave the root.
    QString PathOf(const QString& strRelative) const;
    CFileReplacer* ReplacerFor(const QString& strFolder);

    QString m_strRoot;
    FnCopyImage m_fnCopy;
    std::map<QString, std::unique_ptr<CFileReplacer>> m_mapReplacers;
    QSet<QString> m_setPlaced;
};
