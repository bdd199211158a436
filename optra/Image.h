#pragma once

#include "optra/OptraObject.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Optra::Geometry
{
class CShape;
class CPoint;
} // namespace Optra::Geometry

namespace Optra::Algorithms
{

// Sample type of an image. Only unsigned 8-bit samples exist.
enum EImageType : int
{
    EImageType_UInt8 = 0,
};

enum ERotateOption : int
{
    // The result keeps the size of the source; corners rotated out are lost.
    ERotateOption_KeepSize = 0,
    // The canvas grows to hold the whole rotated image.
    ERotateOption_Enlarge = 1,
};

// How the filters see pixels beyond the image border.
enum EFilterOption : int
{
    // Every sample beyond the border has the value given with the call.
    EFilterOption_BorderConstant = 0,
    // The nearest border pixel is repeated.
    EFilterOption_BorderReplicate = 1,
};

// A raster image of 8-bit samples with 1 to 4 interleaved channels: grey,
// grey + alpha, RGB or RGBA, in that byte order. Rows start at addresses
// aligned as Create asks; pixel (x, y) starts at GetRowTable()[y] +
// GetColumnTable()[x]. Coordinates are image pixels, pixel (x, y) covering
// [x, x + 1) x [y, y + 1).
//
// The image owns its pixels, either in a buffer of its own or, after Load
// and FromQImage, in the QImage they were decoded or converted into (rows
// then have Qt's 4-byte alignment). Create, CopyFrom, Load, FromQImage and
// Rotate replace the pixels, which invalidates row tables, pixel pointers
// and QImage views taken before; the filters work in place and keep them.
// An instance is not synchronised; distinct instances may be used on
// different threads at once (Load in particular).
class CImage : public COptraObject
{
public:
    // Largest width or height Create, Load and the conversions accept.
    static constexpr int MAX_DIMENSION = 16384;

    CImage();
    ~CImage() override;
    // Copies are explicit (CopyFrom); a move hands the pixels, name and
    // folder over and leaves the source empty. Each object keeps its own id.
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;
    CImage(CImage&& other);
    CImage& operator=(CImage&& other);

    // Allocates a zero-filled image. nBitDepth must be 8, nImageType
    // EImageType_UInt8, nAlignment a power of two up to 4096: every row
    // starts at a multiple of it. Returns 0 or an EOptraResult; on failure
    // the image is unchanged.
    int Create(int nWidth, int nHeight, int nChannels, int nBitDepth = 8, int nImageType = EImageType_UInt8,
               int nAlignment = 4);
    // Deep copy of pixels, layout, name and folder (not of the id). Copying
    // an empty image fails with EOptraResult_EmptyImage and changes nothing.
    int CopyFrom(const CImage& other);
    // Releases the pixels; the image is empty afterwards.
    void Clear();
    bool IsEmpty() const { return m_pData == nullptr; }

    // Reads an image file as its pixels are stored: no orientation tag is
    // applied, because the trainer's labels must match what Darknet reads.
    // Grey files give 1 channel, colour 3, colour or grey with alpha 4;
    // palette, 1-bit and 16-bit files are converted to 8 bits. The format is
    // taken from the content, not from the suffix. Sets the name (file
    // name) and folder. Returns 0 or an EOptraResult; on failure the image
    // is unchanged. Safe to call on several instances from several threads.
    int Load(const std::wstring& strPath);
    // Decodes a file exactly as Load does, with the same checks and results,
    // but keeps only its size: for callers that must know a file is a sound
    // image without needing its pixels. Safe from several threads.
    static int Verify(const std::wstring& strPath, int& nWidth, int& nHeight);
    // Writes the file in the format of its suffix (bmp, jpg/jpeg, png,
    // tif/tiff, webp, ppm/pgm/pbm). An existing file is only replaced once
    // the new one is complete. Returns 0 or an EOptraResult.
    int Save(const std::wstring& strPath) const;

    // A QImage sharing this image's pixels (no copy): Grayscale8, RGB888 or
    // RGBA8888 by channel count; null for 2 channels or an empty image. It
    // must not outlive the pixels. The const view is read-only (writing to
    // it detaches a copy); the other writes through to this image.
    QImage ToQImageView() const;
    QImage ToQImageView();
    // A QImage with its own copy of the pixels; 2 channels become ARGB32.
    QImage ToQImage() const;
    // Replaces this image by the converted pixels of a QImage. nChannels 0
    // decides as Load does; 1, 3 or 4 forces that layout. Rows get a 4-byte
    // alignment. Returns 0 or an EOptraResult; on failure nothing changes.
    int FromQImage(const QImage& image, int nChannels = 0);

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetChannel() const { return m_nChannels; }
    int GetBitDepth() const { return IsEmpty() ? 0 : 8; }
    int GetImageType() const { return EImageType_UInt8; }
    int GetBytesPerLine() const { return m_nBytesPerLine; }
    int GetAlignment() const { return m_nAlignment; }
    size_t GetDataSize() const { return size_t(m_nBytesPerLine) * size_t(m_nHeight); }
    uint8_t* GetData() { return m_pData; }
    const uint8_t* GetData() const { return m_pData; }
    // Start of each row, GetHeight() entries; null for an empty image.
    uint8_t* const* GetRowTable() { return IsEmpty() ? nullptr : m_vctRows.data(); }
    const uint8_t* const* GetRowTable() const { return IsEmpty() ? nullptr : m_vctRows.data(); }
    // Byte offset of each column within a row, GetWidth() entries.
    const size_t* GetColumnTable() const { return IsEmpty() ? nullptr : m_vctColumns.data(); }
    // The first sample of pixel (x, y), or null outside the image.
    uint8_t* GetPixel(int x, int y);
    const uint8_t* GetPixel(int x, int y) const;

    void SetName(const std::wstring& strName) { m_strName = strName; }
    const std::wstring& GetName() const { return m_strName; }
    void SetFolder(const std::wstring& strFolder) { m_strFolder = strFolder; }
    const std::wstring& GetFolder() const { return m_strFolder; }

    // Rotates by dAngle radians about centre (image pixels); a positive
    // angle turns clockwise on screen (y grows downwards), so +pi/2 is a
    // right turn. nOption is an ERotateOption. With ERotateOption_Enlarge the
    // canvas is fitted around the result, so the centre makes no difference,
    // and quarter turns move pixels exactly, swapping width and height.
    // Uncovered pixels get dBackground (0-255) in every channel. Returns 0
    // or an EOptraResult; on failure the image is unchanged.
    int Rotate(double dAngle, double dBackground, int nOption, const Geometry::CPoint& centre);

    // 3x3 Sobel gradients written in place as saturated absolute 8-bit
    // values, per channel: X across columns, Y across rows, XY the sum of
    // both magnitudes. Only pixels inside pRegion's bounding box (clipped to
    // the image; null means the whole image) change, but pixels outside it
    // still serve as neighbours. An alpha channel (of 2 or 4) is kept as it
    // was. nOption is an EFilterOption, dBorderValue its constant. Returns 0
    // or an EOptraResult (EmptyRegion when the region misses the image).
    int SobelX(const Geometry::CShape* pRegion, int nOption, double dBorderValue);
    int SobelY(const Geometry::CShape* pRegion, int nOption, double dBorderValue);
    int SobelXY(const Geometry::CShape* pRegion, int nOption, double dBorderValue);
    // Median over a (2 nRadiusX + 1) x (2 nRadiusY + 1) window, per
    // channel, in place and limited to the region like the Sobel filters;
    // alpha is kept. The window must be square (equal radii, 1 to 127).
    int Median(int nRadiusX, int nRadiusY, const Geometry::CShape* pRegion, int nOption, double dBorderValue);

    // Whether an image of this size is accepted: both sides 1 to
    // MAX_DIMENSION, 1 to 4 channels, and the pixels twice over (a decoder
    // or converter holds a transient copy) fit into the physical memory.
    static bool CanHold(int nWidth, int nHeight, int nChannels);

private:
    struct SBufferDeleter
    {
        SBufferDeleter() : nAlignment(0) {}
        explicit SBufferDeleter(size_t nBufferAlignment) : nAlignment(nBufferAlignment) {}
        void operator()(uint8_t* pData) const;
        size_t nAlignment;
    };
    using BufferPtr = std::unique_ptr<uint8_t, SBufferDeleter>;

    // Allocates a buffer and its tables into image without touching this
    // image, so a failure leaves it unchanged.
    static int Allocate(int nWidth, int nHeight, int nChannels, int nAlignment, bool bZero, CImage& image);
    // Converts the picture to the QImage format of nChannels (in place when
    // nobody else shares it) and keeps it as this image's pixels.
    int AdoptQImage(QImage picture, int nChannels);
    void SetLayout(uint8_t* pData, int nWidth, int nHeight, int nChannels, int nBytesPerLine, int nAlignment);
    // Takes over another image's pixels and tables (name and folder stay).
    void AdoptPixels(CImage& other);

    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nChannels = 0;
    int m_nBytesPerLine = 0;
    int m_nAlignment = 0;
    BufferPtr m_pBuffer;
    QImage m_backing;
    uint8_t* m_pData = nullptr;
    std::vector<uint8_t*> m_vctRows;
    std::vector<size_t> m_vctColumns;
    std::wstring m_strName;
    std::wstring m_strFolder;
};

} // namespace Optra::Algorithms
