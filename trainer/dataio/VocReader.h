#pragma once

#include "trainer/dataio/LabelledImage.h"
#include "trainer/dataio/SourceFolder.h"

#include <QSet>

// Reads a folder of Pascal VOC annotation files (one XML per image, as the
// VOC devkit and LabelImg write them): object/name and bndbox xmin, ymin,
// xmax, ymax, fractional values accepted. The devkit counts pixels from 1
// and its xmax/ymax name the last pixel inside the box, so a box starts at
// xmin - 1 and is xmax - xmin + 1 wide in the program's pixels. The image is
// the "filename" of the file (the XML's own name with an image suffix when
// it has none) beside the XML, in the "JPEGImages" folder that takes the
// place of an "Annotations" folder, or at the top of the folder; "path" is
// ignored (it names the labeller's machine). Images below the folder that
// no XML names are unlabelled. Owned by the caller for one read; any thread.
class CVocReader
{
public:
    explicit CVocReader(const QString& strFolder);

    // False when the folder cannot be read at all; the reason is the first
    // problem. Problems of single files never make it false.
    bool Read(SLabelledSet& set);

    static constexpr qint64 MAX_XML_BYTES = 16 * 1024 * 1024;

private:
    void ReadXml(const QString& strXml, SLabelledSet& set);
    // The image an annotation names; empty when there is none or (with
    // bRefused) its name leads out of the folder.
    QString FindImage(const QString& strXml, const QString& strFileName, bool& bRefused) const;
    void AddUnlabelled(const QString& strImage, SLabelledSet& set) const;

    CSourceFolder m_folder;
    QSet<QString> m_setLabelledImages;
};
