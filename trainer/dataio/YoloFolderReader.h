#pragma once

#include "trainer/dataio/ImageProbe.h"
#include "trainer/dataio/LabelledImage.h"
#include "trainer/dataio/SourceFolder.h"

#include <QSet>

// Reads a folder labelled for Darknet: every image below it, with the label
// file of the same base name beside it or in the "labels" folder that takes
// the place of an "images" or "JPEGImages" folder on its path; one line
// "class cx cy w h" per box, relative to the image's size as its file holds
// the pixels (the size comes from the image header; EXIF-turned pictures get
// their boxes turned with the pixels). An empty label file makes a negative,
// a missing one an unlabelled image. Class names come from a file the
// caller chose, else classes.txt, obj.names or a *.names file at the top of
// the folder, one per line, the line number being the class index.
// Owned by the caller for one read; any thread.
class CYoloFolderReader
{
public:
    explicit CYoloFolderReader(const QString& strFolder);

    void SetNamesFile(const QString& strPath) { m_strNamesFile = strPath; }
    // False when the folder cannot be read at all; the reason is the first
    // problem. Problems of single files never make it false.
    bool Read(SLabelledSet& set);

    static constexpr qint64 MAX_LABEL_BYTES = 16 * 1024 * 1024;

private:
    QString FindNamesFile(const QStringList& lstFiles, SLabelledSet& set) const;
    void ReadNames(const QString& strPath, SLabelledSet& set);
    QString FindLabel(const QString& strImage) const;
    void ReadImage(const QString& strImage, SLabelledSet& set);
    void ReadLabel(const QString& strLabel, const CImageProbe::SResult& probe, SLabelledImage& image,
                   SLabelledSet& set) const;
    // A box in raw image pixels from one line; false with strProblem set
    // when the line cannot be a box.
    bool ParseLine(const QByteArray& baLine, const QSize& sizeRaw, SLabelledBox& box,
                   QString& strProblem) const;
    void ReportOrphans(const QStringList& lstFiles, SLabelledSet& set) const;

    CSourceFolder m_folder;
    QString m_strNamesFile;
    // Index order; a blank line keeps its index with an empty name.
    QStringList m_lstNamesByIndex;
    QSet<QString> m_setUsedTextFiles;
};
