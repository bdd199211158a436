#include "optra/PDFReader.h"

#include "optra/Image.h"
#include "optra/OptraResult.h"

#include <QFileInfo>
#include <QImage>

#include <poppler-qt5.h>

#include <algorithm>
#include <cmath>
#include <new>

namespace Optra::Utils
{

namespace
{
bool IsValidResolution(double dDpi)
{
    return std::isfinite(dDpi) && dDpi >= 1.0 && dDpi <= CPDFReader::MAX_RESOLUTION;
}

// Older encryption takes passwords in Latin-1, AES-256 in UTF-8; poppler
// passes the bytes on as given, so both encodings are tried.
bool Unlock(Poppler::Document& document, const QString& strPassword)
{
    const QByteArray utf8 = strPassword.toUtf8();
    bool bLatin1 = true;
    for (const QChar character : strPassword)
        bLatin1 = bLatin1 && character.unicode() < 256;
    if (bLatin1 && !document.unlock(strPassword.toLatin1(), strPassword.toLatin1()))
        return true;
    return !document.unlock(utf8, utf8);
}

// Pixels of a page side at a resolution, or -1 when it cannot be rendered.
int PixelsOf(double dPoints, double dDpi)
{
    const double dPixels = std::ceil(dPoints * dDpi / 72.0);
    if (!std::isfinite(dPixels) || dPixels < 1 || dPixels > Algorithms::CImage::MAX_DIMENSION)
        return -1;
    return int(dPixels);
}
// Runs fnUse on page nIndex of the document; the result of fnUse, or why
// the page could not be had.
template <typename Fn>
int WithPage(Poppler::Document* pDocument, int nIndex, Fn fnUse)
{
    if (!pDocument)
        return EOptraResult_NotReady;
    if (nIndex < 0 || nIndex >= pDocument->numPages())
        return EOptraResult_OutOfRange;
    try
    {
        const std::unique_ptr<Poppler::Page> pPage(pDocument->page(nIndex));
        if (!pPage)
            return EOptraResult_DecodeFailed;
        return fnUse(*pPage);
    }
    catch (const std::bad_alloc&)
    {
        return EOptraResult_OutOfMemory;
    }
    catch (const std::exception&)
    {
        return EOptraResult_EngineFailed;
    }
}
} // namespace

CPDFReader::CPDFReader() = default;

CPDFReader::~CPDFReader() = default;

int CPDFReader::SetResolutionX(double dDpi)
{
    if (!IsValidResolution(dDpi))
        return EOptraResult_InvalidArgument;
    m_dResolutionX = dDpi;
    return EOptraResult_Ok;
}

int CPDFReader::SetResolutionY(double dDpi)
{
    if (!IsValidResolution(dDpi))
        return EOptraResult_InvalidArgument;
    m_dResolutionY = dDpi;
    return EOptraResult_Ok;
}

int CPDFReader::Read(const std::wstring& strPath, const std::wstring& strPassword)
{
    m_pDocument.reset();
    try
    {
        const QString strFile = QString::fromStdWString(strPath);
        if (!QFileInfo(strFile).isFile())
            return EOptraResult_FileNotFound;
        std::unique_ptr<Poppler::Document> pDocument(Poppler::Document::load(strFile));
        if (!pDocument)
            return EOptraResult_DecodeFailed;
        if (pDocument->isLocked())
        {
            if (strPassword.empty() || !Unlock(*pDocument, QString::fromStdWString(strPassword)))
                return EOptraResult_PasswordRequired;
        }
        if (pDocument->numPages() <= 0)
            return EOptraResult_DecodeFailed;
        pDocument->setRenderHint(Poppler::Document::Antialiasing);
        pDocument->setRenderHint(Poppler::Document::TextAntialiasing);
        m_pDocument = std::move(pDocument);
        return EOptraResult_Ok;
    }
    catch (const std::bad_alloc&)
    {
        return EOptraResult_OutOfMemory;
    }
    catch (const std::exception&)
    {
        return EOptraResult_EngineFailed;
    }
}

int CPDFReader::GetPageNumber() const
{
    return m_pDocument ? m_pDocument->numPages() : 0;
}

int CPDFReader::PageSize(const QSizeF& sizePoints, int& nWidth, int& nHeight) const
{
    // A rotated page swaps its sides, so each side must fit either way.
    const double dDpi = std::max(m_dResolutionX, m_dResolutionY);
    if (PixelsOf(sizePoints.width(), dDpi) < 0 || PixelsOf(sizePoints.height(), dDpi) < 0)
        return EOptraResult_TooLarge;
    const int nPixelsX = PixelsOf(sizePoints.width(), m_dResolutionX);
    const int nPixelsY = PixelsOf(sizePoints.height(), m_dResolutionY);
    if (!Algorithms::CImage::CanHold(nPixelsX, nPixelsY, 4))
        return EOptraResult_TooLarge;
    nWidth = nPixelsX;
    nHeight = nPixelsY;
    return EOptraResult_Ok;
}

int CPDFReader::GetPageSize(int nIndex, int& nWidth, int& nHeight) const
{
    return WithPage(m_pDocument.get(), nIndex,
                    [&](Poppler::Page& page) { return PageSize(page.pageSizeF(), nWidth, nHeight); });
}

int CPDFReader::RenderPage(int nIndex, Algorithms::CImage& image)
{
    return WithPage(m_pDocument.get(), nIndex,
                    [&](Poppler::Page& page)
                    {
                        // A hostile page size must not reach the renderer's allocation.
                        int nWidth = 0;
                        int nHeight = 0;
                        if (const int nResult = PageSize(page.pageSizeF(), nWidth, nHeight))
                            return nResult;
                        const QImage rendered = page.renderToImage(m_dResolutionX, m_dResolutionY);
                        if (rendered.isNull())
                            return int(EOptraResult_EngineFailed);
                        return image.FromQImage(rendered, 3);
                    });
}

} // namespace Optra::Utils
