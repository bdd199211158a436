#pragma once

#include "trainer/dataio/BoxCheck.h"
#include "trainer/dataio/LabelledImage.h"

#include <QRectF>
#include <QSize>
#include <QString>

// What a reader of labelled data needs to know of an image file without
// decoding it: whether it is there and readable, its size and its EXIF
// orientation, read from the header only. Plain functions; any thread.
class CImageProbe
{
public:
    enum class EStatus
    {
        OK,
        MISSING,
        EMPTY_FILE,
        UNREADABLE,
    };

    struct SResult
    {
        EStatus status = EStatus::MISSING;
        // The pixels as the file holds them, before any EXIF turn.
        QSize sizeRaw;
        int nOrientation = 1;
        // The size of the image turned upright.
        QSize sizeUpright;
    };

    static SResult Probe(const QString& strPath);
    // The user-facing reason a probe is not OK ("unreadable image").
    static QString ProblemText(EStatus status);
    // Fits a box of a label file to the image (CBoxCheck's rule) and turns
    // it into the upright pixels the program stores. Label files give boxes
    // in the file's raw pixels, unless they declare the upright size of a
    // picture turned by a quarter (a tool that applied the orientation
    // before labelling); sizeDeclared is invalid when the format gives none.
    static CBoxCheck::EVerdict FitBox(QRectF& rcBox, const SResult& probe, const QSize& sizeDeclared,
                                      QString& strProblem);
    // An unlabelled image of the probed file.
    static SLabelledImage ImageOf(const QString& strPath, const QString& strRelativePath,
                                  const SResult& probe);
    // A probe of an image that is not looked at: the size a label file
    // declares, upright.
    static SResult Declared(const QSize& sizeDeclared);
};
