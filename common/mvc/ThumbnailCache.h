#pragma once

#include "optra/Image.h"

#include <QImage>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

// Thumbnails of the images of one view for its side list, kept per image
// and width: a list change or a resize scales only what it has not scaled
// before. Each image is reduced once to a small smooth copy (the 2D view's
// halved copy when the caller has it, else halved here), and thumbnails are
// scaled from that copy, never from the full image. Owned by its frame; GUI
// thread.
class CThumbnailCache
{
public:
    using ImagePtr = std::shared_ptr<Optra::Algorithms::CImage>;

    // Widths kept per image; a side list shows one at a time.
    static constexpr size_t MAX_WIDTHS = 4;

    // The image scaled to nWidth pixels wide, keeping its aspect ratio.
    // imgReduced: a smooth copy of the same image at least that wide (the
    // view's), or null. Null when the image cannot be shown or nWidth < 1.
    QImage Get(const ImagePtr& pImage, int nWidth, const QImage& imgReduced = QImage());
    // Forgets every image that is not in the list.
    void Retain(const std::vector<ImagePtr>& vctImages);
    size_t GetImageCount() const { return m_mapEntries.size(); }
    // How many thumbnails were scaled and how many images reduced so far.
    size_t GetScaleCount() const { return m_nScaled; }
    size_t GetReduceCount() const { return m_nReduced; }

private:
    struct SEntry
    {
        // Smooth copy at least as wide as every width asked for so far.
        QImage reduced;
        std::map<int, QImage> mapScaled;
    };

    bool Reduce(const Optra::Algorithms::CImage& image, int nWidth, const QImage& imgReduced, SEntry& entry);

    std::map<uint32_t, SEntry> m_mapEntries;
    size_t m_nScaled = 0;
    size_t m_nReduced = 0;
};
