#pragma once

#include <QImage>
#include <QSize>

#include <vector>

namespace Optra::Algorithms
{
class CImage;
}

// Copies of one image for painting at any zoom: level 0 shows the image's
// own pixels (no copy, except for grey + alpha, which Qt cannot show
// directly), and each further level halves the one before with a 2x2 box
// filter, down to a few dozen pixels. Built once per image, so zoomed-out
// painting and thumbnails read a small, alias-free copy instead of scaling
// the full image. Level 0 must not outlive the image's pixels. Owned by its
// view; not synchronised. GUI thread.
class CImageView2DPyramid
{
public:
    // Levels stop halving once the longer side is at most this.
    static constexpr int MIN_SIDE = 32;

    // Replaces the levels by those of the image; an empty image clears them.
    void Build(const Optra::Algorithms::CImage& image);
    void Clear() { m_vctLevels.clear(); }

    bool IsEmpty() const { return m_vctLevels.empty(); }
    int GetLevelCount() const { return int(m_vctLevels.size()); }
    // Level 0 is full size; a null image for an index outside the levels.
    QImage GetLevel(int nLevel) const;
    // The smallest level that is at least the size in both directions
    // (level 0 when even that is smaller); null when empty.
    QImage GetAtLeast(const QSizeF& size) const;
    int GetLevelAtLeast(const QSizeF& size) const;

    // One halving: each pixel averages a 2x2 block of the source (an odd
    // last row or column is averaged with itself), premultiplied, as
    // Format_RGB32 for opaque sources and Format_ARGB32_Premultiplied else.
    static QImage Halve(const QImage& source);
    // The pixels of rcPart of a level as an image the painter scales
    // quickly: 32-bit levels share their pixels (valid while the level
    // lives), others (the image's own RGB or grey pixels) are converted,
    // only that part. Null for an empty part or a format with less than a
    // byte per pixel; the caller then paints the whole level.
    static QImage PaintablePart(const QImage& level, const QRect& rcPart);

private:
    std::vector<QImage> m_vctLevels;
};
