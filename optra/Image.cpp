#include "optra/Image.h"

#include "optra/OptraResult.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <unistd.h>

namespace Optra::Algorithms
{

namespace
{
// The buffer itself is aligned at least to a cache line, so that rows of
// any requested alignment start where SIMD loads like them.
constexpr size_t MIN_BUFFER_ALIGNMENT = 64;
constexpr int MAX_ROW_ALIGNMENT = 4096;

bool IsPowerOfTwo(int nValue)
{
    return nValue > 0 && (nValue & (nValue - 1)) == 0;
}

uint64_t PhysicalMemory()
{
    const long nPages = sysconf(_SC_PHYS_PAGES);
    const long nPageSize = sysconf(_SC_PAGESIZE);
    if (nPages <= 0 || nPageSize <= 0)
        return UINT64_MAX;
    return uint64_t(nPages) * uint64_t(nPageSize);
}
} // namespace

void CImage::SBufferDeleter::operator()(uint8_t* pData) const
{
    ::operator delete[](pData, std::align_val_t(nAlignment));
}

CImage::CImage() = default;

CImage::~CImage() = default;

CImage::CImage(CImage&& other) : COptraObject(other)
{
    *this = std::move(other);
}

CImage& CImage::operator=(CImage&& other)
{
    if (&other == this)
        return *this;
    AdoptPixels(other);
    m_strName = std::move(other.m_strName);
    m_strFolder = std::move(other.m_strFolder);
    other.m_strName.clear();
    other.m_strFolder.clear();
    return *this;
}

bool CImage::CanHold(int nWidth, int nHeight, int nChannels)
{
    if (nWidth < 1 || nHeight < 1 || nWidth > MAX_DIMENSION || nHeight > MAX_DIMENSION)
        return false;
    if (nChannels < 1 || nChannels > 4)
        return false;
    const uint64_t nBytes = uint64_t(nWidth) * uint64_t(nHeight) * uint64_t(nChannels);
    return nBytes * 2 <= PhysicalMemory();
}

int CImage::Allocate(int nWidth, int nHeight, int nChannels, int nAlignment, bool bZero, CImage& image)
{
    if (!IsPowerOfTwo(nAlignment) || nAlignment > MAX_ROW_ALIGNMENT)
        return EOptraResult_InvalidArgument;
    if (nChannels < 1 || nChannels > 4 || nWidth < 1 || nHeight < 1)
        return EOptraResult_InvalidArgument;
    if (!CanHold(nWidth, nHeight, nChannels))
        return EOptraResult_TooLarge;

    const size_t nRowBytes = size_t(nWidth) * size_t(nChannels);
    const size_t nStride = (nRowBytes + size_t(nAlignment) - 1) / size_t(nAlignment) * size_t(nAlignment);
    const size_t nBufferAlignment = std::max(MIN_BUFFER_ALIGNMENT, size_t(nAlignment));
    const size_t nSize = nStride * size_t(nHeight);
    uint8_t* pData =
        static_cast<uint8_t*>(::operator new[](nSize, std::align_val_t(nBufferAlignment), std::nothrow));
    if (!pData)
        return EOptraResult_OutOfMemory;
    image.m_pBuffer = BufferPtr(pData, SBufferDeleter(nBufferAlignment));
    if (bZero)
        std::memset(pData, 0, nSize);
    else if (nStride > nRowBytes)
    {
        // Row padding is never written by the pixel code; keep it defined for
        // whoever hashes or writes whole rows.
        for (int y = 0; y < nHeight; ++y)
            std::memset(pData + size_t(y) * nStride + nRowBytes, 0, nStride - nRowBytes);
    }
    image.SetLayout(pData, nWidth, nHeight, nChannels, int(nStride), nAlignment);
    return EOptraResult_Ok;
}

void CImage::SetLayout(uint8_t* pData, int nWidth, int nHeight, int nChannels, int nBytesPerLine,
                       int nAlignment)
{
    m_pData = pData;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nChannels = nChannels;
    m_nBytesPerLine = nBytesPerLine;
    m_nAlignment = nAlignment;
    m_vctRows.resize(size_t(nHeight));
    for (int y = 0; y < nHeight; ++y)
        m_vctRows[size_t(y)] = pData + size_t(y) * size_t(nBytesPerLine);
    m_vctColumns.resize(size_t(nWidth));
    for (int x = 0; x < nWidth; ++x)
        m_vctColumns[size_t(x)] = size_t(x) * size_t(nChannels);
}

void CImage::AdoptPixels(CImage& other)
{
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    m_nChannels = other.m_nChannels;
    m_nBytesPerLine = other.m_nBytesPerLine;
    m_nAlignment = other.m_nAlignment;
    m_pBuffer = std::move(other.m_pBuffer);
    m_backing = std::move(other.m_backing);
    m_pData = other.m_pData;
    m_vctRows = std::move(other.m_vctRows);
    m_vctColumns = std::move(other.m_vctColumns);
    other.Clear();
}

int CImage::Create(int nWidth, int nHeight, int nChannels, int nBitDepth, int nImageType, int nAlignment)
{
    if (nBitDepth != 8 || nImageType != EImageType_UInt8)
        return EOptraResult_InvalidArgument;
    try
    {
        CImage fresh;
        const int nResult = Allocate(nWidth, nHeight, nChannels, nAlignment, true, fresh);
        if (nResult != EOptraResult_Ok)
            return nResult;
        AdoptPixels(fresh);
        return EOptraResult_Ok;
    }
    catch (const std::bad_alloc&)
    {
        return EOptraResult_OutOfMemory;
    }
}

int CImage::CopyFrom(const CImage& other)
{
    if (&other == this)
        return EOptraResult_Ok;
    if (other.IsEmpty())
        return EOptraResult_EmptyImage;
    try
    {
        CImage copy;
        const int nResult =
            Allocate(other.m_nWidth, other.m_nHeight, other.m_nChannels, other.m_nAlignment, false, copy);
        if (nResult != EOptraResult_Ok)
            return nResult;
        std::memcpy(copy.GetData(), other.GetData(), other.GetDataSize());
        AdoptPixels(copy);
        m_strName = other.m_strName;
        m_strFolder = other.m_strFolder;
        return EOptraResult_Ok;
    }
    catch (const std::bad_alloc&)
    {
        return EOptraResult_OutOfMemory;
    }
}

void CImage::Clear()
{
    m_pData = nullptr;
    m_pBuffer.reset();
    m_backing = QImage();
    m_vctRows.clear();
    m_vctColumns.clear();
    m_nWidth = 0;
    m_nHeight = 0;
    m_nChannels = 0;
    m_nBytesPerLine = 0;
    m_nAlignment = 0;
}

uint8_t* CImage::GetPixel(int x, int y)
{
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
        return nullptr;
    return m_vctRows[size_t(y)] + m_vctColumns[size_t(x)];
}

const uint8_t* CImage::GetPixel(int x, int y) const
{
    return const_cast<CImage*>(this)->GetPixel(x, y);
}

} // namespace Optra::Algorithms
