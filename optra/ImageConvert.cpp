#include "optra/Image.h"

#include "optra/OptraResult.h"

#include <new>
#include <utility>

namespace Optra::Algorithms
{

namespace
{
QImage::Format ViewFormat(int nChannels)
{
    switch (nChannels)
    {
    case 1:
        return QImage::Format_Grayscale8;
    case 3:
        return QImage::Format_RGB888;
    case 4:
        return QImage::Format_RGBA8888;
    default:
        return QImage::Format_Invalid;
    }
}

// The channel count a file or picture naturally has: palettes and 1-bit
// images count as grey when every colour of their table is grey.
int NaturalChannels(const QImage& image)
{
    switch (image.format())
    {
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
    case QImage::Format_Alpha8:
        return 1;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8:
        if (image.hasAlphaChannel())
            return 4;
        return image.allGray() ? 1 : 3;
    default:
        return image.hasAlphaChannel() ? 4 : 3;
    }
}

} // namespace

QImage CImage::ToQImageView() const
{
    const QImage::Format format = ViewFormat(m_nChannels);
    if (IsEmpty() || format == QImage::Format_Invalid)
        return QImage();
    return QImage(GetData(), m_nWidth, m_nHeight, m_nBytesPerLine, format);
}

QImage CImage::ToQImageView()
{
    const QImage::Format format = ViewFormat(m_nChannels);
    if (IsEmpty() || format == QImage::Format_Invalid)
        return QImage();
    return QImage(GetData(), m_nWidth, m_nHeight, m_nBytesPerLine, format);
}

QImage CImage::ToQImage() const
{
    if (IsEmpty())
        return QImage();
    if (m_nChannels != 2)
        return ToQImageView().copy();
    // Grey with alpha has no QImage format of its own.
    QImage image(m_nWidth, m_nHeight, QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    for (int y = 0; y < m_nHeight; ++y)
    {
        const uint8_t* pSource = m_vctRows[size_t(y)];
        QRgb* pTarget = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < m_nWidth; ++x, pSource += 2)
            pTarget[x] = qRgba(pSource[0], pSource[0], pSource[0], pSource[1]);
    }
    return image;
}

int CImage::FromQImage(const QImage& image, int nChannels)
{
    if (image.isNull())
        return EOptraResult_EmptyImage;
    if (nChannels != 0 && nChannels != 1 && nChannels != 3 && nChannels != 4)
        return EOptraResult_InvalidArgument;
    const int nTargetChannels = nChannels != 0 ? nChannels : NaturalChannels(image);
    if (!CanHold(image.width(), image.height(), nTargetChannels))
        return EOptraResult_TooLarge;
    try
    {
        // One pass into a picture of our own: the caller keeps theirs.
        const QImage::Format format = ViewFormat(nTargetChannels);
        return AdoptQImage(image.format() == format ? image.copy() : image.convertToFormat(format),
                           nTargetChannels);
    }
    catch (const std::bad_alloc&)
    {
        return EOptraResult_OutOfMemory;
    }
}

int CImage::AdoptQImage(QImage picture, int nChannels)
{
    if (picture.isNull())
        return EOptraResult_OutOfMemory;
    if (nChannels == 0)
        nChannels = NaturalChannels(picture);
    if (!CanHold(picture.width(), picture.height(), nChannels))
        return EOptraResult_TooLarge;
    // Qt converts between most formats within the same buffer, sparing the
    // allocation and page faults of a second image.
    picture.convertTo(ViewFormat(nChannels));
    if (picture.isNull() || picture.format() != ViewFormat(nChannels))
        return EOptraResult_OutOfMemory;
    CImage adopted;
    // bits() does not copy: the picture is not shared with anyone.
    adopted.SetLayout(picture.bits(), picture.width(), picture.height(), nChannels,
                      int(picture.bytesPerLine()), 4);
    adopted.m_backing = std::move(picture);
    AdoptPixels(adopted);
    return EOptraResult_Ok;
}

} // namespace Optra::Algorithms
