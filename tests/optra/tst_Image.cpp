#include "optra/Image.h"
#include "optra/OptraResult.h"
#include "tests/support/TestSupport.h"

#include <QPainter>

#include <cstring>

using Optra::Algorithms::CImage;

namespace
{
// Fills every sample with a value made from its position, so misplaced
// pixels or channels show up as wrong values.
void FillPattern(CImage& image)
{
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            for (int c = 0; c < image.GetChannel(); ++c)
                image.GetPixel(x, y)[c] = uint8_t(x * 16 + y * 4 + c);
}
} // namespace

class TestImage : public QObject
{
    Q_OBJECT

private slots:
    void createAlignsRows_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("bytesPerLine");
        QTest::newRow("rgba 4 as the program asks") << 3 << 4 << 4 << 12;
        QTest::newRow("rgb odd width to 4") << 5 << 3 << 4 << 16;
        QTest::newRow("grey packed") << 7 << 1 << 1 << 7;
        QTest::newRow("grey to 32") << 7 << 1 << 32 << 32;
        QTest::newRow("rgb exact multiple") << 4 << 3 << 4 << 12;
        QTest::newRow("grey alpha to 8") << 5 << 2 << 8 << 16;
    }

    void createAlignsRows()
    {
        QFETCH(int, width);
        QFETCH(int, channels);
        QFETCH(int, alignment);
        QFETCH(int, bytesPerLine);
        CImage image;
        QCOMPARE(image.Create(width, 3, channels, 8, 0, alignment), 0);
        QCOMPARE(image.GetWidth(), width);
        QCOMPARE(image.GetHeight(), 3);
        QCOMPARE(image.GetChannel(), channels);
        QCOMPARE(image.GetBitDepth(), 8);
        QCOMPARE(image.GetImageType(), 0);
        QCOMPARE(image.GetBytesPerLine(), bytesPerLine);
        for (int y = 0; y < 3; ++y)
        {
            QCOMPARE(reinterpret_cast<uintptr_t>(image.GetRowTable()[y]) % uintptr_t(alignment),
                     uintptr_t(0));
            QCOMPARE(image.GetRowTable()[y], image.GetData() + y * bytesPerLine);
            for (int x = 0; x < width; ++x)
            {
                QCOMPARE(image.GetColumnTable()[x], size_t(x * channels));
                QCOMPARE(image.GetPixel(x, y), image.GetRowTable()[y] + x * channels);
                for (int c = 0; c < channels; ++c)
                    QCOMPARE(int(image.GetPixel(x, y)[c]), 0);
            }
        }
    }

    void createRejectsWhatItCannotHold_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("bitDepth");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("result");
        QTest::newRow("zero width") << 0 << 4 << 1 << 8 << 0 << 4 << int(Optra::EOptraResult_InvalidArgument);
        QTest::newRow("negative height")
            << 4 << -1 << 1 << 8 << 0 << 4 << int(Optra::EOptraResult_InvalidArgument);
        QTest::newRow("five channels")
            << 4 << 4 << 5 << 8 << 0 << 4 << int(Optra::EOptraResult_InvalidArgument);
        QTest::newRow("16 bits") << 4 << 4 << 1 << 16 << 0 << 4 << int(Optra::EOptraResult_InvalidArgument);
        QTest::newRow("float type") << 4 << 4 << 1 << 8 << 1 << 4 << int(Optra::EOptraResult_InvalidArgument);
        QTest::newRow("alignment 3") << 4 << 4 << 1 << 8 << 0 << 3
                                     << int(Optra::EOptraResult_InvalidArgument);
        QTest::newRow("alignment 0") << 4 << 4 << 1 << 8 << 0 << 0
                                     << int(Optra::EOptraResult_InvalidArgument);
        QTest::newRow("wider than the limit")
            << CImage::MAX_DIMENSION + 1 << 1 << 1 << 8 << 0 << 4 << int(Optra::EOptraResult_TooLarge);
    }

    void createRejectsWhatItCannotHold()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, channels);
        QFETCH(int, bitDepth);
        QFETCH(int, type);
        QFETCH(int, alignment);
        QFETCH(int, result);
        CImage image;
        QCOMPARE(image.Create(2, 2, 3), 0);
        const uint8_t* pBefore = image.GetData();
        QCOMPARE(image.Create(width, height, channels, bitDepth, type, alignment), result);
        QCOMPARE(image.GetData(), pBefore);
        QCOMPARE(image.GetWidth(), 2);
        QCOMPARE(image.GetChannel(), 3);
    }

    void getPixelIsNullOutside_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("inside");
        QTest::newRow("top left") << 0 << 0 << true;
        QTest::newRow("bottom right") << 3 << 1 << true;
        QTest::newRow("left of the image") << -1 << 0 << false;
        QTest::newRow("above the image") << 0 << -1 << false;
        QTest::newRow("one past the right") << 4 << 0 << false;
        QTest::newRow("one past the bottom") << 0 << 2 << false;
        QTest::newRow("far away") << 1 << 1000000 << false;
    }

    void getPixelIsNullOutside()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(bool, inside);
        CImage image;
        QCOMPARE(image.Create(4, 2, 1), 0);
        const CImage& constImage = image;
        QCOMPARE(image.GetPixel(x, y) != nullptr, inside);
        QCOMPARE(constImage.GetPixel(x, y) != nullptr, inside);
    }

    void emptyImageHasNoTables()
    {
        CImage image;
        QVERIFY(image.IsEmpty());
        QCOMPARE(image.GetWidth(), 0);
        QCOMPARE(image.GetChannel(), 0);
        QVERIFY(!image.GetData());
        QVERIFY(!image.GetRowTable());
        QVERIFY(!image.GetColumnTable());
        QVERIFY(!image.GetPixel(0, 0));
        QVERIFY(image.ToQImageView().isNull());
        QVERIFY(image.ToQImage().isNull());
    }

    void copyFromIsDeepAndKeepsLayout()
    {
        CImage source;
        QCOMPARE(source.Create(3, 2, 3, 8, 0, 16), 0);
        FillPattern(source);
        source.SetName(L"scan.png");
        source.SetFolder(L"/data/ảnh");
        CImage copy;
        QCOMPARE(copy.CopyFrom(source), 0);
        QVERIFY(copy.GetData() != source.GetData());
        QCOMPARE(copy.GetBytesPerLine(), 16);
        QCOMPARE(copy.GetAlignment(), 16);
        QVERIFY(copy.GetName() == L"scan.png");
        QVERIFY(copy.GetFolder() == L"/data/ảnh");
        QVERIFY(copy.GetUID() != source.GetUID());
        QCOMPARE(std::memcmp(copy.GetData(), source.GetData(), source.GetDataSize()), 0);
        // Changing the copy leaves the source alone.
        copy.GetPixel(1, 1)[2] = 250;
        QCOMPARE(int(source.GetPixel(1, 1)[2]), 16 + 4 + 2);
    }

    void copyFromEmptyFailsAndKeepsTarget()
    {
        CImage target;
        QCOMPARE(target.Create(2, 2, 1), 0);
        target.GetPixel(1, 1)[0] = 9;
        const CImage empty;
        QCOMPARE(target.CopyFrom(empty), int(Optra::EOptraResult_EmptyImage));
        QCOMPARE(target.GetWidth(), 2);
        QCOMPARE(int(target.GetPixel(1, 1)[0]), 9);
        QCOMPARE(target.CopyFrom(target), 0);
        QCOMPARE(int(target.GetPixel(1, 1)[0]), 9);
    }

    void viewSharesThePixels_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("format");
        QTest::newRow("grey") << 1 << int(QImage::Format_Grayscale8);
        QTest::newRow("rgb") << 3 << int(QImage::Format_RGB888);
        QTest::newRow("rgba") << 4 << int(QImage::Format_RGBA8888);
    }

    void viewSharesThePixels()
    {
        QFETCH(int, channels);
        QFETCH(int, format);
        CImage image;
        QCOMPARE(image.Create(5, 3, channels, 8, 0, 4), 0);
        FillPattern(image);
        const CImage& constImage = image;
        const QImage view = constImage.ToQImageView();
        QCOMPARE(int(view.format()), format);
        QCOMPARE(view.size(), QSize(5, 3));
        QCOMPARE(view.constBits(), image.GetData());
        QCOMPARE(view.bytesPerLine(), image.GetBytesPerLine());
        // Changes of the image are seen through the view without a new conversion.
        image.GetPixel(4, 2)[0] = 201;
        QCOMPARE(int(view.constScanLine(2)[4 * channels]), 201);
        // The writable view writes through.
        QImage writable = image.ToQImageView();
        writable.scanLine(0)[0] = 77;
        QCOMPARE(int(image.GetPixel(0, 0)[0]), 77);
        QCOMPARE(writable.constBits(), image.GetData());
    }

    void viewCanBePainted()
    {
        // The 2D view paints the view directly; an unaligned stride must work too.
        CImage image;
        QCOMPARE(image.Create(3, 2, 3, 8, 0, 1), 0);
        QCOMPARE(image.GetBytesPerLine(), 9);
        image.GetPixel(2, 1)[0] = 255;
        QImage canvas(3, 2, QImage::Format_RGB32);
        canvas.fill(Qt::blue);
        QPainter painter(&canvas);
        painter.drawImage(0, 0, image.ToQImageView());
        painter.end();
        QCOMPARE(canvas.pixel(2, 1), qRgb(255, 0, 0));
        QCOMPARE(canvas.pixel(0, 0), qRgb(0, 0, 0));
    }

    void twoChannelsHaveNoViewButACopy()
    {
        CImage image;
        QCOMPARE(image.Create(2, 1, 2), 0);
        image.GetPixel(1, 0)[0] = 100;
        image.GetPixel(1, 0)[1] = 50;
        QVERIFY(image.ToQImageView().isNull());
        const QImage copy = image.ToQImage();
        QCOMPARE(copy.pixel(1, 0), qRgba(100, 100, 100, 50));
    }

    void toQImageCopies()
    {
        CImage image;
        QCOMPARE(image.Create(4, 2, 4), 0);
        FillPattern(image);
        const QImage copy = image.ToQImage();
        QVERIFY(copy.constBits() != image.GetData());
        image.GetPixel(0, 0)[0] = 99;
        QCOMPARE(qRed(copy.pixel(0, 0)), 0);
        QCOMPARE(copy.pixel(3, 1), qRgba(52, 53, 54, 55));
    }

    void fromQImageChoosesChannels_data()
    {
        QTest::addColumn<QImage>("source");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QByteArray>("pixel");

        QImage grey(2, 2, QImage::Format_Grayscale8);
        grey.fill(70);
        QTest::newRow("grey") << grey << 1 << QByteArray("\x46", 1);
        QImage grey16(2, 2, QImage::Format_Grayscale16);
        grey16.fill(QColor(128, 128, 128));
        QTest::newRow("16-bit grey") << grey16 << 1 << QByteArray("\x80", 1);
        QImage rgb32(2, 2, QImage::Format_RGB32);
        rgb32.fill(qRgb(10, 20, 30));
        QTest::newRow("rgb32") << rgb32 << 3 << QByteArray("\x0a\x14\x1e", 3);
        QImage argb(2, 2, QImage::Format_ARGB32);
        argb.fill(qRgba(10, 20, 30, 40));
        QTest::newRow("argb32") << argb << 4 << QByteArray("\x0a\x14\x1e\x28", 4);
        QImage premultiplied(2, 2, QImage::Format_ARGB32_Premultiplied);
        premultiplied.fill(QColor(200, 100, 0, 255));
        QTest::newRow("premultiplied opaque") << premultiplied << 4 << QByteArray("\xc8\x64\x00\xff", 4);
        QImage rgba64(2, 2, QImage::Format_RGBA64);
        rgba64.fill(QColor(255, 0, 128, 255));
        QTest::newRow("16-bit rgba") << rgba64 << 4 << QByteArray("\xff\x00\x80\xff", 4);
        QImage greyPalette(2, 2, QImage::Format_Indexed8);
        greyPalette.setColorTable({qRgb(0, 0, 0), qRgb(90, 90, 90)});
        greyPalette.fill(1);
        QTest::newRow("grey palette") << greyPalette << 1 << QByteArray("\x5a", 1);
        QImage colourPalette(2, 2, QImage::Format_Indexed8);
        colourPalette.setColorTable({qRgb(0, 0, 0), qRgb(90, 1, 2)});
        colourPalette.fill(1);
        QTest::newRow("colour palette") << colourPalette << 3 << QByteArray("\x5a\x01\x02", 3);
        QImage alphaPalette(2, 2, QImage::Format_Indexed8);
        alphaPalette.setColorTable({qRgba(0, 0, 0, 0), qRgb(90, 90, 90)});
        alphaPalette.fill(0);
        QTest::newRow("palette with transparency") << alphaPalette << 4 << QByteArray("\x00\x00\x00\x00", 4);
        QImage mono(2, 2, QImage::Format_Mono);
        mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        mono.fill(1);
        QTest::newRow("1-bit") << mono << 1 << QByteArray("\xff", 1);
    }

    void fromQImageChoosesChannels()
    {
        QFETCH(QImage, source);
        QFETCH(int, channels);
        QFETCH(QByteArray, pixel);
        CImage image;
        QCOMPARE(image.FromQImage(source), 0);
        QCOMPARE(image.GetChannel(), channels);
        QCOMPARE(image.GetWidth(), 2);
        QCOMPARE(image.GetHeight(), 2);
        QCOMPARE(image.GetBytesPerLine() % 4, 0);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.GetPixel(1, 1)), channels), pixel);
    }

    void fromQImageForcesRgba()
    {
        // Paste converts clipboard pictures through RGBA.
        QImage rgb(3, 1, QImage::Format_RGB32);
        rgb.fill(qRgb(1, 2, 3));
        CImage image;
        QCOMPARE(image.FromQImage(rgb, 4), 0);
        QCOMPARE(image.GetChannel(), 4);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.GetPixel(2, 0)), 4),
                 QByteArray("\x01\x02\x03\xff"));
        QCOMPARE(image.FromQImage(rgb, 2), int(Optra::EOptraResult_InvalidArgument));
        QCOMPARE(image.GetChannel(), 4);
        QCOMPARE(image.FromQImage(QImage()), int(Optra::EOptraResult_EmptyImage));
        QCOMPARE(image.GetChannel(), 4);
    }
};

OPTRA_TEST_MAIN(TestImage)
#include "tst_Image.moc"
