#include "optra/Image.h"

#include "optra/OptraResult.h"

#include <cstring>
#include <new>

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

// Qt keeps 32-bit pixels as native-endian 0xAARRGGBB words; these loops take
// them apart in one pass instead of a Qt conversion followed by a copy.
void RgbWordsToRgb(const QImage& source, CImage& target)
{
    for (int y = 0; y < target.GetHeight(); ++y)
    {
        const QRgb* pSource = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uint8_t* pTarget = target.GetRowTable()[y];
        for (int x = 0; x < target.GetWidth(); ++x, pTarget += 3)
        {
            const QRgb rgb = pSource[x];
            pTarget[0] = uint8_t(qRed(rgb));
            pTarget[1] = uint8_t(qGreen(rgb));
            pTarget[2] = uint8_t(qBlue(rgb));
        }
    }
}

void RgbWordsToRgba(const QImage& source, bool bOpaque, CImage& target)
{
    for (int y = 0; y < target.GetHeight(); ++y)
    {
        const QRgb* pSource = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uint8_t* pTarget = target.GetRowTable()[y];
        for (int x = 0; x < target.GetWidth(); ++x, pTarget += 4)
        {
            const QRgb rgb = pSource[x];
            pTarget[0] = uint8_t(qRed(rgb));
            pTarget[1] = uint8_t(qGreen(rgb));
            pTarget[2] = uint8_t(qBlue(rgb));
            pTarget[3] = bOpaque ? 255 : uint8_t(qAlpha(rgb));
        }
    }
}

void CopyRows(const QImage& source, CImage& target)
{
    const size_t nRowBytes = size_t(target.GetWidth()) * size_t(target.GetChannel());
    for (int y = 0; y < target.GetHeight(); ++y)
        std::memcpy(target.GetRowTable()[y], source.constScanLine(y), nRowBytes);
}

// False when Qt could not allocate its intermediate image.
bool ConvertPixels(const QImage& source, CImage& target)
{
    const int nChannels = target.GetChannel();
    const QImage::Format sourceFormat = source.format();
    if (sourceFormat == QImage::Format_RGB32 && nChannels == 3)
        RgbWordsToRgb(source, target);
    else if ((sourceFormat == QImage::Format_RGB32 || sourceFormat == QImage::Format_ARGB32) &&
             nChannels == 4)
        RgbWordsToRgba(source, sourceFormat == QImage::Format_RGB32, target);
    else if (sourceFormat == ViewFormat(nChannels))
        CopyRows(source, target);
    else
    {
        const QImage converted = source.convertToFormat(ViewFormat(nChannels));
        if (converted.isNull())
            return false;
        CopyRows(converted, target);
    }
    return true;
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
    try
    {
        CImage converted;
        const int nResult = Allocate(image.width(), image.height(), nTargetChannels, 4, false, converted);
        if (nResult != EOptraResult_Ok)
            return nResult;
        if (!ConvertPixels(image, converted))
            return EOptraResult_OutOfMemory;
        AdoptPixels(converted);
        return EOptraResult_Ok;
    }
    catch (const std::bad_alloc&)
    {
        return EOptraResult_OutOfMemory;
    }
}

} // namespace Optra::Algorithms
