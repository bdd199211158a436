#include "trainer/ImageOrientation.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPointF>
#include <QSaveFile>

#include <algorithm>

namespace
{
// Qt reads the orientation as a combination of a horizontal mirror, a
// vertical flip and a quarter turn clockwise, applied in that order.
struct STurn
{
    bool bMirror = false;
    bool bFlip = false;
    bool bRotate90 = false;
};

int ToExif(QImageIOHandler::Transformations transformation)
{
    switch (int(transformation))
    {
    case QImageIOHandler::TransformationMirror:
        return 2;
    case QImageIOHandler::TransformationRotate180:
        return 3;
    case QImageIOHandler::TransformationFlip:
        return 4;
    case QImageIOHandler::TransformationFlipAndRotate90:
        return 5;
    case QImageIOHandler::TransformationRotate90:
        return 6;
    case QImageIOHandler::TransformationMirrorAndRotate90:
        return 7;
    case QImageIOHandler::TransformationRotate270:
        return 8;
    default:
        return 1;
    }
}

STurn TurnOf(int nOrientation)
{
    switch (nOrientation)
    {
    case 2:
        return {true, false, false};
    case 3:
        return {true, true, false};
    case 4:
        return {false, true, false};
    case 5:
        return {false, true, true};
    case 6:
        return {false, false, true};
    case 7:
        return {true, false, true};
    case 8:
        // A quarter turn anticlockwise: half a turn, then one clockwise.
        return {true, true, true};
    default:
        return {};
    }
}

QPointF TurnPoint(const QPointF& pt, const QSize& sizeRaw, const STurn& turn)
{
    double x = turn.bMirror ? sizeRaw.width() - pt.x() : pt.x();
    double y = turn.bFlip ? sizeRaw.height() - pt.y() : pt.y();
    if (turn.bRotate90)
    {
        const double dOldX = x;
        x = sizeRaw.height() - y;
        y = dOldX;
    }
    return QPointF(x, y);
}

QByteArray WriterFormat(const QString& strPath, const QByteArray& baReadFormat)
{
    const QByteArray baSuffix = QFileInfo(strPath).suffix().toLower().toLatin1();
    return baSuffix.isEmpty() ? baReadFormat : baSuffix;
}
} // namespace

int CImageOrientation::Read(const QString& strPath)
{
    QImageReader reader(strPath);
    if (!reader.canRead())
        return 1;
    return ToExif(reader.transformation());
}

bool CImageOrientation::MakeUpright(const QString& strPath, int& nOrientation, QSize& sizeRaw,
                                    QString& strError)
{
    nOrientation = 1;
    QImageReader reader(strPath);
    sizeRaw = reader.size();
    const int nFound = reader.canRead() ? ToExif(reader.transformation()) : 1;
    if (nFound == 1)
        return true;
    reader.setAutoTransform(true);
    const QByteArray baFormat = reader.format();
    const QImage image = reader.read();
    if (image.isNull())
    {
        strError = reader.errorString();
        return false;
    }
    // Written beside the file and renamed over it, so a failure leaves the
    // original bytes.
    QSaveFile file(strPath);
    if (!file.open(QIODevice::WriteOnly))
    {
        strError = file.errorString();
        return false;
    }
    QImageWriter writer(&file, WriterFormat(strPath, baFormat));
    writer.setQuality(JPEG_QUALITY);
    if (!writer.write(image) || !file.commit())
    {
        strError = writer.error() != QImageWriter::UnknownError ? writer.errorString() : file.errorString();
        file.cancelWriting();
        return false;
    }
    nOrientation = nFound;
    return true;
}

QRectF CImageOrientation::ToUpright(const QRectF& rcRaw, const QSize& sizeRaw, int nOrientation)
{
    const STurn turn = TurnOf(nOrientation);
    const QPointF ptA = TurnPoint(rcRaw.topLeft(), sizeRaw, turn);
    const QPointF ptB = TurnPoint(rcRaw.bottomRight(), sizeRaw, turn);
    return QRectF(QPointF(std::min(ptA.x(), ptB.x()), std::min(ptA.y(), ptB.y())),
                  QPointF(std::max(ptA.x(), ptB.x()), std::max(ptA.y(), ptB.y())));
}

QSize CImageOrientation::UprightSize(const QSize& sizeRaw, int nOrientation)
{
    return TurnOf(nOrientation).bRotate90 ? sizeRaw.transposed() : sizeRaw;
}
