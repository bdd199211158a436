#include "common/view2d/ImageView2DPyramid.h"

#include "optra/Image.h"

#include <algorithm>
#include <cstdint>

namespace
{
// Premultiplied sums of the samples of up to four pixels.
struct SSum
{
    uint32_t r = 0;
    uint32_t g = 0;
    uint32_t b = 0;
    uint32_t a = 0;

    void AddOpaque(uint32_t nRed, uint32_t nGreen, uint32_t nBlue)
    {
        r += nRed;
        g += nGreen;
        b += nBlue;
        a += 255;
    }
    void AddStraight(uint32_t nRed, uint32_t nGreen, uint32_t nBlue, uint32_t nAlpha)
    {
        r += (nRed * nAlpha + 127) / 255;
        g += (nGreen * nAlpha + 127) / 255;
        b += (nBlue * nAlpha + 127) / 255;
        a += nAlpha;
    }
    QRgb Average() const { return qRgba((r + 2) / 4, (g + 2) / 4, (b + 2) / 4, (a + 2) / 4); }
};

struct SFetchGrey
{
    static void Add(SSum& sum, const uchar* pRow, int x) { sum.AddOpaque(pRow[x], pRow[x], pRow[x]); }
};

struct SFetchRgb888
{
    static void Add(SSum& sum, const uchar* pRow, int x)
    {
        const uchar* p = pRow + 3 * x;
        sum.AddOpaque(p[0], p[1], p[2]);
    }
};

struct SFetchRgba8888
{
    static void Add(SSum& sum, const uchar* pRow, int x)
    {
        const uchar* p = pRow + 4 * x;
        sum.AddStraight(p[0], p[1], p[2], p[3]);
    }
};

struct SFetchArgb32
{
    static void Add(SSum& sum, const uchar* pRow, int x)
    {
        const QRgb rgb = reinterpret_cast<const QRgb*>(pRow)[x];
        sum.AddStraight(uint32_t(qRed(rgb)), uint32_t(qGreen(rgb)), uint32_t(qBlue(rgb)),
                        uint32_t(qAlpha(rgb)));
    }
};

// RGB32 (alpha 255) and premultiplied ARGB32 are summed as they are.
struct SFetchPremultiplied
{
    static void Add(SSum& sum, const uchar* pRow, int x)
    {
        const QRgb rgb = reinterpret_cast<const QRgb*>(pRow)[x];
        sum.r += uint32_t(qRed(rgb));
        sum.g += uint32_t(qGreen(rgb));
        sum.b += uint32_t(qBlue(rgb));
        sum.a += uint32_t(qAlpha(rgb));
    }
};

template <typename Fetch>
void HalveInto(const QImage& source, QImage& target)
{
    const int nLastX = source.width() - 1;
    const int nLastY = source.height() - 1;
    for (int y = 0; y < target.height(); ++y)
    {
        const uchar* pRow0 = source.constScanLine(2 * y);
        const uchar* pRow1 = source.constScanLine(std::min(2 * y + 1, nLastY));
        auto* pOut = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = 0; x < target.width(); ++x)
        {
            const int x0 = 2 * x;
            const int x1 = std::min(x0 + 1, nLastX);
            SSum sum;
            Fetch::Add(sum, pRow0, x0);
            Fetch::Add(sum, pRow0, x1);
            Fetch::Add(sum, pRow1, x0);
            Fetch::Add(sum, pRow1, x1);
            pOut[x] = sum.Average();
        }
    }
}
} // namespace

QImage CImageView2DPyramid::Halve(const QImage& source)
{
    if (source.isNull())
        return QImage();
    const bool bAlpha = source.hasAlphaChannel();
    QImage target((source.width() + 1) / 2, (source.height() + 1) / 2,
                  bAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (target.isNull())
        return QImage();
    switch (source.format())
    {
    case QImage::Format_Grayscale8:
        HalveInto<SFetchGrey>(source, target);
        break;
    case QImage::Format_RGB888:
        HalveInto<SFetchRgb888>(source, target);
        break;
    case QImage::Format_RGBA8888:
        HalveInto<SFetchRgba8888>(source, target);
        break;
    case QImage::Format_ARGB32:
        HalveInto<SFetchArgb32>(source, target);
        break;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied:
        HalveInto<SFetchPremultiplied>(source, target);
        break;
    default:
        return Halve(
            source.convertToFormat(bAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32));
    }
    return target;
}

QImage CImageView2DPyramid::PaintablePart(const QImage& level, const QRect& rcPart)
{
    if (rcPart.isEmpty() || !level.rect().contains(rcPart) || level.depth() < 8 ||
        level.format() == QImage::Format_Indexed8)
        return QImage();
    const int nBytesPerPixel = level.depth() / 8;
    const uchar* pFirst = level.constBits() + qsizetype(rcPart.y()) * level.bytesPerLine() +
                          qsizetype(rcPart.x()) * nBytesPerPixel;
    const QImage shared(pFirst, rcPart.width(), rcPart.height(), level.bytesPerLine(), level.format());
    switch (level.format())
    {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return shared;
    default:
        // The painter would convert every pixel it fetches, on each paint.
        return shared.convertToFormat(level.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
    }
}

void CImageView2DPyramid::Build(const Optra::Algorithms::CImage& image)
{
    m_vctLevels.clear();
    QImage level = image.ToQImageView();
    if (level.isNull() && !image.IsEmpty())
        level = image.ToQImage();
    if (level.isNull())
        return;
    m_vctLevels.push_back(level);
    while (std::max(level.width(), level.height()) > MIN_SIDE && std::min(level.width(), level.height()) > 1)
    {
        level = Halve(level);
        if (level.isNull())
            return;
        m_vctLevels.push_back(level);
    }
}

QImage CImageView2DPyramid::GetLevel(int nLevel) const
{
    if (nLevel < 0 || nLevel >= GetLevelCount())
        return QImage();
    return m_vctLevels[size_t(nLevel)];
}

int CImageView2DPyramid::GetLevelAtLeast(const QSizeF& size) const
{
    int nLevel = 0;
    while (nLevel + 1 < GetLevelCount() && m_vctLevels[size_t(nLevel) + 1].width() >= size.width() &&
           m_vctLevels[size_t(nLevel) + 1].height() >= size.height())
        ++nLevel;
    return nLevel;
}

QImage CImageView2DPyramid::GetAtLeast(const QSizeF& size) const
{
    return IsEmpty() ? QImage() : m_vctLevels[size_t(GetLevelAtLeast(size))];
}
