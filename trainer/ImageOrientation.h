#pragma once

#include <QRectF>
#include <QSize>
#include <QString>

// Phone cameras store their pixels as the sensor saw them and an EXIF
// orientation (1 to 8) saying how to turn them. Darknet builds disagree on
// whether they apply it, so the program turns such pictures upright once,
// when they enter a project, and every reader sees the same pixels. Plain
// functions; any thread.
class CImageOrientation
{
public:
    // The EXIF orientation of an image file; 1 for upright, for formats
    // without one and for files that cannot be read.
    static int Read(const QString& strPath);
    // Rewrites the file upright with orientation 1 when it is not, encoding
    // a JPEG at high quality; files that are upright keep their bytes.
    // nOrientation tells what was applied (1: nothing), sizeRaw the size
    // before turning. False (file untouched) when it cannot be rewritten;
    // strError says why.
    static bool MakeUpright(const QString& strPath, int& nOrientation, QSize& sizeRaw, QString& strError);
    // A box in raw pixels of an image of sizeRaw, in the pixels of the same
    // image turned upright as orientation nOrientation says.
    static QRectF ToUpright(const QRectF& rcRaw, const QSize& sizeRaw, int nOrientation);
    // The size of the upright image.
    static QSize UprightSize(const QSize& sizeRaw, int nOrientation);

    static constexpr int JPEG_QUALITY = 95;
};
