#pragma once

#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

// The program's neutral view of labelled data while it moves between the
// project and the formats of other tools (YOLO folders, Pascal VOC, COCO).
// Readers fill it, writers consume it; plain values, any thread.

// What a source says about the objects of an image.
enum class ELabelState
{
    // The source gave the image labels (boxes may have been dropped as
    // problems; the problem list says so).
    LABELLED,
    // The source says the image shows no object (an empty label file, a VOC
    // file or a COCO image without objects).
    NEGATIVE,
    // The source says nothing about the image (no label file).
    UNLABELLED,
};

struct SLabelledBox
{
    QString strClassName;
    // Image pixels of the upright image (EXIF orientation applied), x and y
    // the top-left corner; always inside the image and not empty.
    QRectF rcBox;
};

struct SLabelledImage
{
    // The image file itself.
    QString strAbsolutePath;
    // Its path inside the folder it was read from, "/" separated; writers
    // place the copy at the same path inside their image folder.
    QString strRelativePath;
    ELabelState state = ELabelState::UNLABELLED;
    std::vector<SLabelledBox> vctBoxes;
    // The upright size in pixels when known (read from the image file, or
    // as the label file gives it); 0 when unknown.
    int nWidth = 0;
    int nHeight = 0;
    // The EXIF orientation of the file (1: upright). Boxes are already
    // turned to the upright pixels; a copy must be stored upright too.
    int nOrientation = 1;
};

// One thing a reader or writer could not take as it was; what it says is
// meant for the user ("unknown class index 7 (3 names)").
struct SImportProblem
{
    QString strFile;
    // 1-based line of a text file; 0 when the problem is not tied to a line.
    int nLine = 0;
    // The element or entry concerned ("object 3", "annotation id 17").
    QString strElement;
    QString strMessage;

    // "file:line: element: message", leaving out what is not set.
    QString ToText() const
    {
        QString strText = strFile;
        if (nLine > 0)
            strText += QLatin1Char(':') + QString::number(nLine);
        if (!strElement.isEmpty())
            strText += QLatin1String(": ") + strElement;
        return strText + QLatin1String(": ") + strMessage;
    }
};

// What a reader made of a source: images in a stable order (sorted by
// relative path for folders, file order for COCO), the problems, and the
// class names in the source's order.
struct SLabelledSet
{
    std::vector<SLabelledImage> vctImages;
    std::vector<SImportProblem> vctProblems;
    QStringList lstClassNames;
};
