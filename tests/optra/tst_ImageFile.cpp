#include "optra/Image.h"
#include "optra/OptraResult.h"
#include "tests/optra/support/ImageFixtures.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

using Optra::Algorithms::CImage;
using namespace OptraTest;

namespace
{
// A smooth picture, so that lossy formats stay within a small tolerance,
// with alpha between 128 and 255 where it has any.
CImage MakeGradient(int nWidth, int nHeight, int nChannels)
{
    CImage image;
    image.Create(nWidth, nHeight, nChannels);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
        {
            uint8_t* pPixel = image.GetPixel(x, y);
            pPixel[0] = uint8_t(x * 255 / nWidth);
            if (nChannels >= 3)
            {
                pPixel[1] = uint8_t(y * 255 / nHeight);
                pPixel[2] = uint8_t((x + y) * 255 / (nWidth + nHeight));
            }
            if (nChannels == 4)
                pPixel[3] = uint8_t(128 + y * 127 / nHeight);
        }
    return image;
}

std::wstring Wide(const QString& strPath)
{
    return strPath.toStdWString();
}

QImage Indexed(const QVector<QRgb>& vctColours, int nWidth = 4, int nHeight = 3)
{
    QImage image(nWidth, nHeight, QImage::Format_Indexed8);
    image.setColorTable(vctColours);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            image.scanLine(y)[x] = uchar((x + y) % vctColours.size());
    return image;
}
} // namespace

class TestImageFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString Path(const QString& strName) const { return m_dir.filePath(strName); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void roundTripKeepsPixels_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("loadedChannels");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("bmp grey") << "bmp" << 1 << 1 << 0;
        QTest::newRow("bmp rgb") << "bmp" << 3 << 3 << 0;
        // BMP keeps no alpha.
        QTest::newRow("bmp rgba") << "bmp" << 4 << 3 << 0;
        QTest::newRow("png grey") << "png" << 1 << 1 << 0;
        QTest::newRow("png rgb") << "png" << 3 << 3 << 0;
        QTest::newRow("png rgba") << "png" << 4 << 4 << 0;
        QTest::newRow("jpg grey") << "jpg" << 1 << 1 << 4;
        QTest::newRow("jpg rgb") << "jpg" << 3 << 3 << 8;
        QTest::newRow("JPEG suffix in capitals") << "JPEG" << 3 << 3 << 8;
        QTest::newRow("jpg rgba drops alpha") << "jpg" << 4 << 3 << 8;
        QTest::newRow("tif grey") << "tif" << 1 << 1 << 0;
        QTest::newRow("tif rgb") << "tif" << 3 << 3 << 0;
        // Qt reads TIFF alpha premultiplied, which rounds colours by up to one step at alpha >= 128.
        QTest::newRow("tiff rgba") << "tiff" << 4 << 4 << 1;
        QTest::newRow("pgm grey") << "pgm" << 1 << 1 << 0;
        QTest::newRow("ppm rgb") << "ppm" << 3 << 3 << 0;
    }

    void roundTripKeepsPixels()
    {
        QFETCH(QString, suffix);
        QFETCH(int, channels);
        QFETCH(int, loadedChannels);
        QFETCH(int, tolerance);
        // Odd sizes give rows with padding.
        const CImage original = MakeGradient(37, 23, channels);
        const QString strPath = Path(QString("round_%1_%2.%3").arg(suffix).arg(channels).arg(suffix));
        QCOMPARE(original.Save(Wide(strPath)), 0);
        CImage loaded;
        QCOMPARE(loaded.Load(Wide(strPath)), 0);
        QCOMPARE(loaded.GetChannel(), loadedChannels);
        QCOMPARE(loaded.GetWidth(), 37);
        QCOMPARE(loaded.GetHeight(), 23);
        const int nDifference = MaxDifference(loaded, original.ToQImage());
        QVERIFY2(nDifference >= 0 && nDifference <= tolerance, qPrintable(QString::number(nDifference)));
    }

    void twoChannelImagesSaveWithAlpha()
    {
        CImage image;
        QCOMPARE(image.Create(3, 2, 2), 0);
        image.GetPixel(2, 1)[0] = 90;
        image.GetPixel(2, 1)[1] = 200;
        QCOMPARE(image.Save(Wide(Path("grey_alpha.png"))), 0);
        CImage loaded;
        QCOMPARE(loaded.Load(Wide(Path("grey_alpha.png"))), 0);
        QCOMPARE(loaded.GetChannel(), 4);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(loaded.GetPixel(2, 1)), 4),
                 QByteArray("\x5a\x5a\x5a\xc8"));
    }

    void storedLayoutsBecome8Bit_data()
    {
        QTest::addColumn<QImage>("source");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QByteArray>("pixel");

        QImage grey16(4, 3, QImage::Format_Grayscale16);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                reinterpret_cast<quint16*>(grey16.scanLine(y))[x] = 0x8080;
        QTest::newRow("16-bit grey png") << grey16 << "png" << 1 << QByteArray("\x80", 1);
        QImage rgba64(4, 3, QImage::Format_RGBA64);
        rgba64.fill(QColor(255, 0, 128, 128));
        QTest::newRow("16-bit rgba png") << rgba64 << "png" << 4 << QByteArray("\xff\x00\x80\x80", 4);
        const QImage colourPalette = Indexed({qRgb(250, 0, 0), qRgb(0, 250, 0), qRgb(0, 0, 250)});
        QTest::newRow("palette png") << colourPalette << "png" << 3 << QByteArray("\x00\x00\xfa", 3);
        const QImage greyPalette = Indexed({qRgb(0, 0, 0), qRgb(60, 60, 60), qRgb(120, 120, 120)});
        QTest::newRow("grey palette bmp") << greyPalette << "bmp" << 1 << QByteArray("\x78", 1);
        QImage mono(4, 3, QImage::Format_Mono);
        mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        mono.fill(0);
        mono.setPixel(1, 1, 1);
        QTest::newRow("1-bit png") << mono << "png" << 1 << QByteArray("\xff", 1);
    }

    void storedLayoutsBecome8Bit()
    {
        QFETCH(QImage, source);
        QFETCH(QString, suffix);
        QFETCH(int, channels);
        QFETCH(QByteArray, pixel);
        const QString strPath = Path(QString("layout_%1.%2").arg(QTest::currentDataTag()).arg(suffix));
        QVERIFY(source.save(strPath));
        CImage image;
        QCOMPARE(image.Load(Wide(strPath)), 0);
        QCOMPARE(image.GetChannel(), channels);
        QCOMPARE(image.GetBitDepth(), 8);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.GetPixel(1, 1)), channels), pixel);
    }

    void gifLoadsByItsPalette_data()
    {
        QTest::addColumn<QImage>("indexed");
        QTest::addColumn<int>("transparent");
        QTest::addColumn<int>("channels");
        QTest::newRow("grey palette")
            << Indexed({qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 255)}) << -1 << 1;
        QTest::newRow("colour palette")
            << Indexed({qRgb(200, 10, 10), qRgb(10, 200, 10), qRgb(10, 10, 200)}) << -1 << 3;
        QTest::newRow("transparent index")
            << Indexed({qRgb(200, 10, 10), qRgb(10, 200, 10), qRgb(10, 10, 200)}) << 1 << 4;
    }

    void gifLoadsByItsPalette()
    {
        QFETCH(QImage, indexed);
        QFETCH(int, transparent);
        QFETCH(int, channels);
        const QString strPath = Path(QString("palette_%1.gif").arg(QTest::currentDataTag()));
        QVERIFY(WriteFileBytes(strPath, EncodeGif(indexed, transparent)));
        CImage image;
        QCOMPARE(image.Load(Wide(strPath)), 0);
        QCOMPARE(image.GetChannel(), channels);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
            {
                const int nIndex = indexed.scanLine(y)[x];
                const QRgb rgb = indexed.color(nIndex);
                const uint8_t* pPixel = image.GetPixel(x, y);
                if (nIndex == transparent)
                {
                    // The colour under a transparent pixel does not matter.
                    QCOMPARE(int(pPixel[3]), 0);
                    continue;
                }
                QCOMPARE(int(pPixel[0]), qRed(rgb));
                if (channels >= 3)
                    QCOMPARE(int(pPixel[2]), qBlue(rgb));
                if (channels == 4)
                    QCOMPARE(int(pPixel[3]), 255);
            }
    }

    void gifCannotBeWritten()
    {
        const CImage image = MakeGradient(4, 4, 3);
        QCOMPARE(image.Save(Wide(Path("out.gif"))), int(Optra::EOptraResult_UnsupportedFormat));
        QVERIFY(!QFileInfo::exists(Path("out.gif")));
    }

    void loadIgnoresExifOrientation()
    {
        // Left half red, right half blue, tagged "turn a quarter clockwise".
        QImage picture(40, 20, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                picture.setPixel(x, y, qRgb(255, 0, 0));
        const QString strPath = Path("rotated_tag.jpg");
        QVERIFY(WriteFileBytes(strPath, WithExifOrientation(Encode(picture, "jpeg"), 6)));
        QImageReader viewer(strPath);
        viewer.setAutoTransform(true);
        QCOMPARE(viewer.read().size(), QSize(20, 40)); // the tag is valid and honoured by viewers

        CImage image;
        QCOMPARE(image.Load(Wide(strPath)), 0);
        QCOMPARE(image.GetWidth(), 40);
        QCOMPARE(image.GetHeight(), 20);
        QVERIFY(image.GetPixel(2, 10)[0] > 200);
        QVERIFY(image.GetPixel(37, 10)[2] > 200);
    }

    void loadNamesTheImageAfterItsFile()
    {
        const QString strFolder = Path(QString::fromUtf8("ảnh 이미지"));
        QVERIFY(QDir().mkpath(strFolder));
        const QString strPath = strFolder + QString::fromUtf8("/mẫu ảnh.png");
        QCOMPARE(MakeGradient(5, 4, 3).Save(Wide(strPath)), 0);
        CImage image;
        QCOMPARE(image.Load(Wide(strPath)), 0);
        QVERIFY(image.GetName() == QString::fromUtf8("mẫu ảnh.png").toStdWString());
        QVERIFY(image.GetFolder() == QFileInfo(strFolder).absoluteFilePath().toStdWString());
    }

    void loadTrustsContentOverSuffix()
    {
        const QString strPath = Path("really_a_png.jpg");
        QVERIFY(WriteFileBytes(strPath, Encode(MakeGradient(6, 5, 4).ToQImage(), "png")));
        CImage image;
        QCOMPARE(image.Load(Wide(strPath)), 0);
        QCOMPARE(image.GetChannel(), 4);
    }

    void validVariantsAreNotTakenForTruncated_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        const QImage picture = MakeGradient(61, 47, 3).ToQImage();
        auto encodeJpeg = [&picture](bool bProgressive, bool bOptimized)
        {
            QByteArray data;
            QBuffer buffer(&data);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, "jpeg");
            writer.setProgressiveScanWrite(bProgressive);
            writer.setOptimizedWrite(bOptimized);
            writer.write(picture);
            return data;
        };
        QTest::newRow("progressive jpeg") << "progressive.jpg" << encodeJpeg(true, false);
        QTest::newRow("optimised jpeg") << "optimised.jpg" << encodeJpeg(false, true);
        QTest::newRow("jpeg with a trailer after its end")
            << "trailer.jpg" << encodeJpeg(false, false) + QByteArray(300, '\0');
        QTest::newRow("bmp with bytes after its pixels")
            << "trailer.bmp" << Encode(picture, "bmp") + QByteArray(7, 'x');
        QTest::newRow("gif with a trailer")
            << "trailer.gif"
            << EncodeGif(Indexed({qRgb(9, 9, 9), qRgb(200, 0, 0)}, 61, 47)) + QByteArray(16, '\0');
    }

    void validVariantsAreNotTakenForTruncated()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QVERIFY(WriteFileBytes(Path(name), content));
        CImage image;
        QCOMPARE(image.Load(Wide(Path(name))), 0);
        QCOMPARE(image.GetWidth(), 61);
        QCOMPARE(image.GetHeight(), 47);
    }

    void sizeLimitIsInclusive()
    {
        QImage wide(CImage::MAX_DIMENSION, 1, QImage::Format_Grayscale8);
        wide.fill(3);
        QVERIFY(wide.save(Path("widest.png")));
        QImage tooWide(CImage::MAX_DIMENSION + 1, 1, QImage::Format_Grayscale8);
        tooWide.fill(3);
        QVERIFY(tooWide.save(Path("too_wide.png")));
        CImage image;
        QCOMPARE(image.Load(Wide(Path("widest.png"))), 0);
        QCOMPARE(image.GetWidth(), CImage::MAX_DIMENSION);
        QCOMPARE(image.Load(Wide(Path("too_wide.png"))), int(Optra::EOptraResult_TooLarge));
    }

    void badFilesFailAndKeepTheImage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("result");
        const QImage picture = MakeGradient(64, 48, 3).ToQImage();
        const QByteArray jpeg = Encode(picture, "jpeg");
        const QByteArray png = Encode(picture, "png");
        const QByteArray bmp = Encode(picture, "bmp");
        const QByteArray tiff = Encode(picture, "tiff");
        const QByteArray gif = EncodeGif(Indexed({qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)}, 64, 48));
        const int nUnsupported = Optra::EOptraResult_UnsupportedFormat;
        const int nDamaged = Optra::EOptraResult_DecodeFailed;
        const int nTooLarge = Optra::EOptraResult_TooLarge;

        QTest::newRow("zero bytes") << "empty.png" << QByteArray() << nUnsupported;
        QTest::newRow("text renamed to jpg")
            << "notes.jpg" << QByteArray("just some words\n") << nUnsupported;
        QTest::newRow("pdf renamed to png")
            << "doc.png" << QByteArray("%PDF-1.4\n1 0 obj\n<<>>\nendobj\n") << nUnsupported;
        QTest::newRow("svg renamed to png")
            << "vector.png"
            << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"9\" height=\"9\"/>")
            << nUnsupported;
        QTest::newRow("jpeg cut in half") << "half.jpg" << jpeg.left(jpeg.size() / 2) << nDamaged;
        QTest::newRow("jpeg missing its last tenth")
            << "most.jpg" << jpeg.left(jpeg.size() * 9 / 10) << nDamaged;
        QTest::newRow("png cut in half") << "half.png" << png.left(png.size() / 2) << nDamaged;
        QTest::newRow("png header only") << "header.png" << png.left(33) << nDamaged;
        QTest::newRow("bmp cut in half") << "half.bmp" << bmp.left(bmp.size() / 2) << nDamaged;
        QTest::newRow("bmp one byte short") << "short.bmp" << bmp.left(bmp.size() - 1) << nDamaged;
        QTest::newRow("tiff cut in half") << "half.tif" << tiff.left(tiff.size() / 2) << nDamaged;
        QTest::newRow("gif cut in half") << "half.gif" << gif.left(gif.size() / 2) << nDamaged;
        QTest::newRow("png with garbage after its signature")
            << "garbage.png" << png.left(8) + QByteArray(200, '\x5a') << nDamaged;
        QTest::newRow("jpeg announcing 20000 x 20000")
            << "huge.jpg" << WithJpegSize(jpeg, 20000, 20000) << nTooLarge;
        QTest::newRow("png announcing 20000 x 20000")
            << "huge.png" << WithPngSize(png, 20000, 20000) << nTooLarge;
        QTest::newRow("png announcing 4 billion wide")
            << "wide.png" << WithPngSize(png, 0x7FFFFFFF, 1) << nDamaged;
        // Qt's BMP decoder refuses such a header by itself.
        QTest::newRow("bmp announcing 40000 x 40000")
            << "huge.bmp" << WithBmpSize(bmp, 40000, 40000) << nDamaged;
    }

    void badFilesFailAndKeepTheImage()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, result);
        const QString strPath = Path(name);
        QVERIFY(WriteFileBytes(strPath, content));
        CImage image;
        QCOMPARE(image.Create(3, 2, 1), 0);
        image.SetName(L"kept");
        const uint8_t* pBefore = image.GetData();
        QCOMPARE(image.Load(Wide(strPath)), result);
        QCOMPARE(image.GetData(), pBefore);
        QCOMPARE(image.GetWidth(), 3);
        QVERIFY(image.GetName() == L"kept");
        // Verifying a file judges it exactly as loading does.
        int nWidth = -1;
        int nHeight = -1;
        QCOMPARE(CImage::Verify(Wide(strPath), nWidth, nHeight), result);
        QCOMPARE(nWidth, -1);
    }

    void verifyGivesTheSizeLoadGives_data() { roundTripKeepsPixels_data(); }

    void verifyGivesTheSizeLoadGives()
    {
        QFETCH(QString, suffix);
        QFETCH(int, channels);
        const QString strPath =
            Path(QString("verify_%1.%2").arg(QString(QTest::currentDataTag()).replace(" ", "_")).arg(suffix));
        QCOMPARE(MakeGradient(37, 21, channels).Save(Wide(strPath)), 0);
        int nWidth = 0;
        int nHeight = 0;
        QCOMPARE(CImage::Verify(Wide(strPath), nWidth, nHeight), 0);
        CImage loaded;
        QCOMPARE(loaded.Load(Wide(strPath)), 0);
        QCOMPARE(nWidth, loaded.GetWidth());
        QCOMPARE(nHeight, loaded.GetHeight());
        QCOMPARE(nWidth, 37);
    }

    void missingFilesFail()
    {
        CImage image;
        QCOMPARE(image.Load(Wide(Path("does_not_exist.png"))), int(Optra::EOptraResult_FileNotFound));
        QCOMPARE(image.Load(Wide(m_dir.path())), int(Optra::EOptraResult_FileNotFound));
        QCOMPARE(image.Load(L""), int(Optra::EOptraResult_FileNotFound));
        QVERIFY(image.IsEmpty());
    }

    void saveFailures()
    {
        const CImage empty;
        QCOMPARE(empty.Save(Wide(Path("empty.png"))), int(Optra::EOptraResult_EmptyImage));
        const CImage image = MakeGradient(4, 4, 3);
        QCOMPARE(image.Save(Wide(Path("no_suffix"))), int(Optra::EOptraResult_UnsupportedFormat));
        QCOMPARE(image.Save(Wide(Path("strange.xyz"))), int(Optra::EOptraResult_UnsupportedFormat));
        QCOMPARE(image.Save(Wide(Path("missing/folder/out.png"))), int(Optra::EOptraResult_WriteFailed));
        QVERIFY(QDir().mkpath(Path("a_folder.png")));
        QCOMPARE(image.Save(Wide(Path("a_folder.png"))), int(Optra::EOptraResult_WriteFailed));
    }

    void saveReplacesAnExistingFile()
    {
        const QString strPath = Path("replaced.png");
        QCOMPARE(MakeGradient(8, 8, 1).Save(Wide(strPath)), 0);
        QCOMPARE(MakeGradient(5, 3, 3).Save(Wide(strPath)), 0);
        CImage image;
        QCOMPARE(image.Load(Wide(strPath)), 0);
        QCOMPARE(image.GetWidth(), 5);
        QCOMPARE(image.GetChannel(), 3);
    }

    void concurrentLoadsGiveEachTheirOwnImage()
    {
        // The project adds images on two worker threads at once.
        constexpr int FILES = 24;
        QStringList lstPaths;
        for (int i = 0; i < FILES; ++i)
        {
            const QString strPath = Path(QString("worker_%1.%2").arg(i).arg(i % 2 ? "jpg" : "png"));
            QCOMPARE(MakeGradient(20 + i, 10 + i, i % 3 ? 3 : 1).Save(Wide(strPath)), 0);
            lstPaths << strPath;
        }
        std::atomic<int> nFailures{0};
        auto loadAll = [&](int nOffset)
        {
            for (int nRound = 0; nRound < 4; ++nRound)
                for (int i = 0; i < FILES; ++i)
                {
                    const int nIndex = (i + nOffset) % FILES;
                    CImage image;
                    if (image.Load(Wide(lstPaths[nIndex])) != 0 || image.GetWidth() != 20 + nIndex ||
                        image.GetHeight() != 10 + nIndex || image.GetChannel() != (nIndex % 3 ? 3 : 1))
                        ++nFailures;
                }
        };
        std::thread first(loadAll, 0);
        std::thread second(loadAll, FILES / 2);
        first.join();
        second.join();
        QCOMPARE(nFailures.load(), 0);
    }
};

OPTRA_TEST_MAIN(TestImageFile)
#include "tst_ImageFile.moc"
