#pragma once

#include <QSizeF>

#include <memory>
#include <string>

namespace Poppler
{
class Document;
}

namespace Optra::Algorithms
{
class CImage;
}

namespace Optra::Utils
{

// Opens a PDF document and renders its pages into images, through
// poppler. Owns the open document; whoever creates the reader deletes it.
// An instance is not synchronised and must be used from one thread at a time.
class CPDFReader
{
public:
    static constexpr double DEFAULT_RESOLUTION = 144.0;
    static constexpr double MAX_RESOLUTION = 2400.0;

    CPDFReader();
    ~CPDFReader();
    CPDFReader(const CPDFReader&) = delete;
    CPDFReader& operator=(const CPDFReader&) = delete;

    // Rendering resolution in dots per inch, 1 to MAX_RESOLUTION; both start
    // at DEFAULT_RESOLUTION. Returns 0, or EOptraResult_InvalidArgument and
    // keeps the previous value.
    int SetResolutionX(double dDpi);
    int SetResolutionY(double dDpi);
    double GetResolutionX() const { return m_dResolutionX; }
    double GetResolutionY() const { return m_dResolutionY; }

    // Opens the document, replacing the one read before (which is closed
    // even when this read fails). An empty password opens unprotected
    // documents only. Returns 0; 4 (EOptraResult_PasswordRequired) when the
    // document needs a password and none or a wrong one was given; another
    // EOptraResult when the file is missing, not a PDF, damaged or has no page.
    int Read(const std::wstring& strPath, const std::wstring& strPassword);
    // Number of pages of the open document, 0 without one.
    int GetPageNumber() const;
    // The size in pixels RenderPage gives page nIndex (0-based) at the
    // resolution set, without rendering it; callers budget memory with it.
    // Returns 0 or an EOptraResult (no document, index out of range, page
    // too large to render); on failure the sizes are left unchanged.
    int GetPageSize(int nIndex, int& nWidth, int& nHeight) const;
    // Renders page nIndex (0-based) on white paper at the resolution set
    // into image as 3-channel RGB, replacing its pixels; name and folder are
    // left to the caller. Returns 0 or an EOptraResult (no document, index
    // out of range, page too large to render, rendering failed).
    int RenderPage(int nIndex, Algorithms::CImage& image);

private:
    // The rendered size of a page at the resolution set; EOptraResult_TooLarge
    // when a side cannot be rendered. The size check is made at the larger of
    // both resolutions, since a rotated page swaps its sides.
    int PageSize(const QSizeF& sizePoints, int& nWidth, int& nHeight) const;

    std::unique_ptr<Poppler::Document> m_pDocument;
    double m_dResolutionX = DEFAULT_RESOLUTION;
    double m_dResolutionY = DEFAULT_RESOLUTION;
};

} // namespace Optra::Utils
