#include "optra/Image.h"

#include "optra/OptraResult.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QSet>

#include <new>

namespace Optra::Algorithms
{

namespace
{
// Formats an image may be loaded from. Everything else Qt might recognise
// (cursors, SVG, XPM, TGA ...) is refused: those decoders were not made for
// untrusted training data, and Darknet reads none of them either.
const QSet<QByteArray>& LoadableFormats()
{
    static const QSet<QByteArray> setFormats{"bmp",  "jpeg", "png", "gif", "tiff",
                                             "webp", "pbm",  "pgm", "ppm"};
    return setFormats;
}

// Feeds a file to QImageReader and notes whether the decoder wanted bytes
// beyond its end. Qt's JPEG decoder pads a truncated file with grey, its GIF
// and BMP decoders stop early, all reporting success; this is how such
// files are recognised.
class CEndProbeDevice : public QIODevice
{
public:
    explicit CEndProbeDevice(const QString& strPath) : m_file(strPath) {}

    bool Open()
    {
        if (!m_file.open(QIODevice::ReadOnly))
            return false;
        // Unbuffered, so that every request of the decoder reaches readData as asked.
        return open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    void ResetProbe()
    {
        m_bReadAtEnd = false;
        m_bShortRead = false;
    }
    bool ReadAtEnd() const { return m_bReadAtEnd; }
    bool ShortRead() const { return m_bShortRead; }

    bool isSequential() const override { return false; }
    qint64 size() const override { return m_file.size(); }
    bool seek(qint64 nPosition) override { return m_file.seek(nPosition) && QIODevice::seek(nPosition); }

protected:
    qint64 readData(char* pData, qint64 nMaxSize) override
    {
        const qint64 nRead = m_file.read(pData, nMaxSize);
        if (nMaxSize > 0 && nRead == 0)
            m_bReadAtEnd = true;
        if (nRead >= 0 && nRead < nMaxSize)
            m_bShortRead = true;
        return nRead;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QFile m_file;
    bool m_bReadAtEnd = false;
    bool m_bShortRead = false;
};

bool IsTruncated(const QByteArray& format, const CEndProbeDevice& device)
{
    if (format == "jpeg" || format == "gif")
        return device.ReadAtEnd();
    if (format == "bmp")
        return device.ReadAtEnd() || device.ShortRead();
    // The other decoders fail on missing data by themselves.
    return false;
}

int ReadImage(const QString& strPath, QImage& image, QByteArray& format)
{
    const QFileInfo info(strPath);
    if (!info.exists() || !info.isFile())
        return EOptraResult_FileNotFound;
    CEndProbeDevice device(strPath);
    if (!device.Open())
        return EOptraResult_FileNotFound;

    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    if (!reader.canRead() || !LoadableFormats().contains(reader.format()))
        return EOptraResult_UnsupportedFormat;
    format = reader.format();
    // The announced size is checked before the decoder allocates anything.
    const QSize size = reader.size();
    if (!size.isValid())
        return EOptraResult_DecodeFailed;
    if (!CImage::CanHold(size.width(), size.height(), 4))
        return EOptraResult_TooLarge;

    device.ResetProbe();
    if (!reader.read(&image) || image.isNull())
        return EOptraResult_DecodeFailed;
    if (IsTruncated(format, device))
        return EOptraResult_DecodeFailed;
    return EOptraResult_Ok;
}

QByteArray WriteFormat(const QString& strPath)
{
    const QByteArray suffix = QFileInfo(strPath).suffix().toLower().toLatin1();
    if (suffix == "jpg" || suffix == "jpeg")
        return "jpeg";
    if (suffix == "tif" || suffix == "tiff")
        return "tiff";
    static const QSet<QByteArray> setOthers{"bmp", "png", "webp", "pbm", "pgm", "ppm"};
    return setOthers.contains(suffix) ? suffix : QByteArray();
}
} // namespace

int CImage::Verify(const std::wstring& strPath, int& nWidth, int& nHeight)
{
    try
    {
        QImage image;
        QByteArray format;
        const int nResult = ReadImage(QString::fromStdWString(strPath), image, format);
        if (nResult != EOptraResult_Ok)
            return nResult;
        nWidth = image.width();
        nHeight = image.height();
        return EOptraResult_Ok;
    }
    catch (const std::bad_alloc&)
    {
        return EOptraResult_OutOfMemory;
    }
}

int CImage::Load(const std::wstring& strPath)
{
    try
    {
        const QString strFile = QString::fromStdWString(strPath);
        QImage image;
        QByteArray format;
        int nResult = ReadImage(strFile, image, format);
        if (nResult != EOptraResult_Ok)
            return nResult;
        // Qt expands GIF palettes to 32-bit pixels; a palette of greys still
        // makes a grey file, as it does for PNG and BMP palettes.
        const bool bGreyGif = format == "gif" && !image.hasAlphaChannel() && image.allGray();
        nResult = AdoptQImage(std::move(image), bGreyGif ? 1 : 0);
        if (nResult != EOptraResult_Ok)
            return nResult;
        const QFileInfo info(strFile);
        m_strName = info.fileName().toStdWString();
        m_strFolder = info.absolutePath().toStdWString();
        return EOptraResult_Ok;
    }
    catch (const std::bad_alloc&)
    {
        return EOptraResult_OutOfMemory;
    }
}

int CImage::Save(const std::wstring& strPath) const
{
    if (IsEmpty())
        return EOptraResult_EmptyImage;
    const QString strFile = QString::fromStdWString(strPath);
    const QByteArray format = WriteFormat(strFile);
    if (format.isEmpty() || !QImageWriter::supportedImageFormats().contains(format))
        return EOptraResult_UnsupportedFormat;
    try
    {
        const QImage image = m_nChannels == 2 ? ToQImage() : ToQImageView();
        if (image.isNull())
            return EOptraResult_OutOfMemory;
        QSaveFile file(strFile);
        if (!file.open(QIODevice::WriteOnly))
            return EOptraResult_WriteFailed;
        QImageWriter writer(&file, format);
        // Qt's default JPEG quality of 75 visibly degrades training images.
        writer.setQuality(95);
        if (!writer.write(image))
        {
            file.cancelWriting();
            return EOptraResult_WriteFailed;
        }
        return file.commit() ? EOptraResult_Ok : EOptraResult_WriteFailed;
    }
    catch (const std::bad_alloc&)
    {
        return EOptraResult_OutOfMemory;
    }
}

} // namespace Optra::Algorithms
