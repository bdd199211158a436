#include "common/mvc/ThumbnailCache.h"

#include "common/view2d/ImageView2DPyramid.h"

#include <set>

namespace
{
QSizeF SizeAtWidth(const Optra::Algorithms::CImage& image, int nWidth)
{
    return QSizeF(nWidth, double(nWidth) * image.GetHeight() / image.GetWidth());
}
} // namespace

bool CThumbnailCache::Reduce(const Optra::Algorithms::CImage& image, int nWidth, const QImage& imgReduced,
                             SEntry& entry)
{
    if (!imgReduced.isNull() && imgReduced.width() >= std::min(nWidth, image.GetWidth()))
    {
        // A copy: the view's levels may share the image's own pixels.
        entry.reduced = imgReduced.copy();
    }
    else
    {
        CImageView2DPyramid pyramid;
        pyramid.Build(image);
        entry.reduced = pyramid.GetAtLeast(SizeAtWidth(image, nWidth)).copy();
    }
    ++m_nReduced;
    return !entry.reduced.isNull();
}

QImage CThumbnailCache::Get(const ImagePtr& pImage, int nWidth, const QImage& imgReduced)
{
    if (!pImage || pImage->IsEmpty() || nWidth < 1 || pImage->GetWidth() < 1)
        return QImage();
    SEntry& entry = m_mapEntries[pImage->GetUID()];
    const auto it = entry.mapScaled.find(nWidth);
    if (it != entry.mapScaled.end())
        return it->second;

    // A wider list than before needs a larger copy, unless the copy is the
    // whole image already.
    const bool bTooSmall = entry.reduced.isNull() ||
                           (entry.reduced.width() < nWidth && entry.reduced.width() < pImage->GetWidth());
    if (bTooSmall && !Reduce(*pImage, nWidth, imgReduced, entry))
    {
        m_mapEntries.erase(pImage->GetUID());
        return QImage();
    }
    if (entry.mapScaled.size() >= MAX_WIDTHS)
        entry.mapScaled.clear();
    const QImage scaled = entry.reduced.scaledToWidth(nWidth, Qt::SmoothTransformation);
    ++m_nScaled;
    entry.mapScaled.emplace(nWidth, scaled);
    return scaled;
}

void CThumbnailCache::Retain(const std::vector<ImagePtr>& vctImages)
{
    std::set<uint32_t> setKeep;
    for (const ImagePtr& pImage : vctImages)
    {
        if (pImage)
            setKeep.insert(pImage->GetUID());
    }
    for (auto it = m_mapEntries.begin(); it != m_mapEntries.end();)
        it = setKeep.count(it->first) ? std::next(it) : m_mapEntries.erase(it);
}
