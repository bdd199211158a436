#include "tests/optra/support/ImageFixtures.h"

#include <QBuffer>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

namespace OptraTest
{

namespace
{
void AppendLe16(QByteArray& data, quint16 nValue)
{
    data.append(char(nValue & 0xFF));
    data.append(char(nValue >> 8));
}

quint32 Crc32(const char* pData, int nSize)
{
    quint32 nCrc = 0xFFFFFFFFu;
    for (int i = 0; i < nSize; ++i)
    {
        nCrc ^= quint8(pData[i]);
        for (int nBit = 0; nBit < 8; ++nBit)
            nCrc = (nCrc >> 1) ^ (0xEDB88320u & (0u - (nCrc & 1u)));
    }
    return ~nCrc;
}

// Packs 9-bit codes least significant bit first, as GIF's LZW stream wants.
class CCodeWriter
{
public:
    void Write(int nCode)
    {
        m_nBits |= quint32(nCode) << m_nBitCount;
        m_nBitCount += 9;
        while (m_nBitCount >= 8)
        {
            m_data.append(char(m_nBits & 0xFF));
            m_nBits >>= 8;
            m_nBitCount -= 8;
        }
    }
    QByteArray Finish()
    {
        if (m_nBitCount > 0)
            m_data.append(char(m_nBits & 0xFF));
        return m_data;
    }

private:
    QByteArray m_data;
    quint32 m_nBits = 0;
    int m_nBitCount = 0;
};

QByteArray LzwLiteralStream(const QImage& indexed)
{
    constexpr int CLEAR = 256;
    constexpr int END = 257;
    // A clear code before the decoder's table reaches 512 entries keeps every code 9 bits wide.
    constexpr int LITERALS_PER_CLEAR = 250;
    CCodeWriter writer;
    int nSinceClear = LITERALS_PER_CLEAR;
    for (int y = 0; y < indexed.height(); ++y)
    {
        for (int x = 0; x < indexed.width(); ++x)
        {
            if (nSinceClear == LITERALS_PER_CLEAR)
            {
                writer.Write(CLEAR);
                nSinceClear = 0;
            }
            writer.Write(indexed.constScanLine(y)[x]);
            ++nSinceClear;
        }
    }
    writer.Write(END);
    return writer.Finish();
}
} // namespace

bool WriteFileBytes(const QString& strPath, const QByteArray& data)
{
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

QByteArray Encode(const QImage& image, const char* szFormat)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, szFormat);
    return data;
}

QByteArray EncodeGif(const QImage& indexed, int nTransparentIndex)
{
    QByteArray gif("GIF89a");
    AppendLe16(gif, quint16(indexed.width()));
    AppendLe16(gif, quint16(indexed.height()));
    gif.append(char(0xF7)); // global table of 256 colours, 8 bits each
    gif.append(char(0));
    gif.append(char(0));
    const QVector<QRgb> vctColours = indexed.colorTable();
    for (int i = 0; i < 256; ++i)
    {
        const QRgb rgb = i < vctColours.size() ? vctColours[i] : 0;
        gif.append(char(qRed(rgb)));
        gif.append(char(qGreen(rgb)));
        gif.append(char(qBlue(rgb)));
    }
    if (nTransparentIndex >= 0)
        gif.append(QByteArray::fromHex("21F904010000")).append(char(nTransparentIndex)).append(char(0));
    gif.append(char(0x2C));
    AppendLe16(gif, 0);
    AppendLe16(gif, 0);
    AppendLe16(gif, quint16(indexed.width()));
    AppendLe16(gif, quint16(indexed.height()));
    gif.append(char(0));
    gif.append(char(8)); // minimum code size
    const QByteArray stream = LzwLiteralStream(indexed);
    for (int i = 0; i < stream.size(); i += 255)
    {
        const QByteArray block = stream.mid(i, 255);
        gif.append(char(block.size())).append(block);
    }
    gif.append(char(0));
    gif.append(char(0x3B));
    return gif;
}

QByteArray WithExifOrientation(const QByteArray& jpeg, quint16 nOrientation)
{
    // APP1 "Exif": a big-endian TIFF header and one IFD holding only the orientation.
    QByteArray exif = QByteArray::fromHex("FFE10022") + QByteArray("Exif\0\0", 6) +
                      QByteArray::fromHex("4D4D002A00000008"
                                          "0001"
                                          "011200030000000100") +
                      char(nOrientation) +
                      QByteArray::fromHex("0000"
                                          "00000000");
    return jpeg.left(2) + exif + jpeg.mid(2);
}

QByteArray WithPngSize(const QByteArray& png, quint32 nWidth, quint32 nHeight)
{
    QByteArray patched = png;
    qToBigEndian(nWidth, patched.data() + 16);
    qToBigEndian(nHeight, patched.data() + 20);
    qToBigEndian(Crc32(patched.constData() + 12, 17), patched.data() + 29);
    return patched;
}

QByteArray WithJpegSize(const QByteArray& jpeg, quint16 nWidth, quint16 nHeight)
{
    QByteArray patched = jpeg;
    for (int i = 2; i + 9 < patched.size(); ++i)
    {
        const quint8 nMarker = quint8(patched[i + 1]);
        if (quint8(patched[i]) == 0xFF && (nMarker == 0xC0 || nMarker == 0xC2))
        {
            qToBigEndian(nHeight, patched.data() + i + 5);
            qToBigEndian(nWidth, patched.data() + i + 7);
            break;
        }
    }
    return patched;
}

QByteArray WithBmpSize(const QByteArray& bmp, qint32 nWidth, qint32 nHeight)
{
    QByteArray patched = bmp;
    qToLittleEndian(nWidth, patched.data() + 18);
    qToLittleEndian(nHeight, patched.data() + 22);
    return patched;
}

bool WritePdf(const QString& strPath, int nPages, const std::function<void(QPainter&, int)>& fnPage)
{
    QPdfWriter writer(strPath);
    writer.setPageSize(QPageSize(QSizeF(144, 72), QPageSize::Point, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int i = 0; i < nPages; ++i)
    {
        if (i > 0)
            writer.newPage();
        fnPage(painter, i);
    }
    return painter.end();
}

QByteArray HandMadePdf(const QByteArray& mediaBox, int nPages)
{
    QList<QByteArray> lstObjects{"<< /Type /Catalog /Pages 2 0 R >>", QByteArray()};
    QList<QByteArray> lstKids;
    for (int i = 0; i < nPages; ++i)
    {
        lstKids << QByteArray::number(i + 3) + " 0 R";
        lstObjects << "<< /Type /Page /Parent 2 0 R /MediaBox " + mediaBox + " >>";
    }
    lstObjects[1] =
        "<< /Type /Pages /Kids [" + lstKids.join(' ') + "] /Count " + QByteArray::number(nPages) + " >>";
    QByteArray pdf = "%PDF-1.4\n";
    QList<int> lstOffsets;
    for (int i = 0; i < lstObjects.size(); ++i)
    {
        lstOffsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + lstObjects[i] + "\nendobj\n";
    }
    const int nXref = pdf.size();
    const QByteArray size = QByteArray::number(lstObjects.size() + 1);
    pdf += "xref\n0 " + size + "\n0000000000 65535 f \n";
    for (int nOffset : lstOffsets)
        pdf += QByteArray::number(nOffset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + size + " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(nXref) +
           "\n%%EOF\n";
    return pdf;
}

int MaxDifference(const Optra::Algorithms::CImage& image, const QImage& expected)
{
    if (image.GetWidth() != expected.width() || image.GetHeight() != expected.height())
        return -1;
    const QImage::Format format = image.GetChannel() == 1   ? QImage::Format_Grayscale8
                                  : image.GetChannel() == 3 ? QImage::Format_RGB888
                                                            : QImage::Format_RGBA8888;
    const QImage converted = expected.convertToFormat(format);
    int nMax = 0;
    const int nRowBytes = image.GetWidth() * image.GetChannel();
    for (int y = 0; y < image.GetHeight(); ++y)
    {
        for (int i = 0; i < nRowBytes; ++i)
            nMax =
                std::max(nMax, std::abs(int(image.GetRowTable()[y][i]) - int(converted.constScanLine(y)[i])));
    }
    return nMax;
}

} // namespace OptraTest
