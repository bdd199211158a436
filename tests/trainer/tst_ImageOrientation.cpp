// Phone pictures enter a project upright: the pixels turned as their EXIF
// orientation says, the orientation gone, boxes turned with the pixels.
// Expectations come from Qt's own reading of the same file with its
// orientation applied, not from the code under test.
#include "tests/support/TestSupport.h"
#include "trainer/ImageOrientation.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

namespace
{
constexpr int RAW_WIDTH = 96;
constexpr int RAW_HEIGHT = 64;
// Where the red mark lies in the raw pixels.
const QRect MARK(8, 4, 24, 16);

QImage RawPicture()
{
    QImage image(RAW_WIDTH, RAW_HEIGHT, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(MARK, Qt::red);
    return image;
}

// The bounding box of the red pixels.
QRect RedArea(const QImage& image)
{
    QRect rc;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
        {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 90 && c.blue() < 90)
                rc |= QRect(x, y, 1, 1);
        }
    return rc;
}

bool WriteFile(const QString& strPath, const QByteArray& baBytes)
{
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(baBytes) == baBytes.size();
}

QImage ReadRaw(const QString& strPath)
{
    QImageReader reader(strPath);
    reader.setAutoTransform(false);
    return reader.read();
}
} // namespace

class TestImageOrientation : public QObject
{
    Q_OBJECT

private slots:
    void turnsPixelsAndBoxesAlike_data()
    {
        QTest::addColumn<int>("nOrientation");
        for (int n = 2; n <= 8; ++n)
            QTest::addRow("orientation %d", n) << n;
    }

    void turnsPixelsAndBoxesAlike()
    {
        QFETCH(int, nOrientation);
        QTemporaryDir dir;
        const QString strPath = dir.filePath("phone");
        QVERIFY(WriteFile(strPath, OptraTest::JpegWithOrientation(RawPicture(), nOrientation)));
        QCOMPARE(CImageOrientation::Read(strPath), nOrientation);
        QImageReader viewer(strPath);
        viewer.setAutoTransform(true);
        const QImage imageAsPhotographed = viewer.read();

        int nApplied = 0;
        QSize sizeRaw;
        QString strError;
        QVERIFY2(CImageOrientation::MakeUpright(strPath, nApplied, sizeRaw, strError), qPrintable(strError));
        QCOMPARE(nApplied, nOrientation);
        QCOMPARE(sizeRaw, QSize(RAW_WIDTH, RAW_HEIGHT));
        QCOMPARE(CImageOrientation::Read(strPath), 1);

        // Every reader now sees the picture as it was photographed.
        const QImage imageStored = ReadRaw(strPath);
        QCOMPARE(imageStored.size(), imageAsPhotographed.size());
        QCOMPARE(CImageOrientation::UprightSize(sizeRaw, nOrientation), imageStored.size());
        const QRect rcExpected = RedArea(imageAsPhotographed);
        QCOMPARE(RedArea(imageStored), rcExpected);
        // A box drawn on the raw pixels lands on the same object upright
        // (JPEG blurs the mark's edge by a pixel at most).
        const QRectF rcTurned = CImageOrientation::ToUpright(QRectF(MARK), sizeRaw, nOrientation);
        QVERIFY2(std::abs(rcTurned.left() - rcExpected.left()) <= 1 &&
                     std::abs(rcTurned.top() - rcExpected.top()) <= 1 &&
                     std::abs(rcTurned.right() - (rcExpected.right() + 1)) <= 1 &&
                     std::abs(rcTurned.bottom() - (rcExpected.bottom() + 1)) <= 1,
                 qPrintable(QString("turned %1,%2 %3x%4, seen %5,%6 %7x%8")
                                .arg(rcTurned.x())
                                .arg(rcTurned.y())
                                .arg(rcTurned.width())
                                .arg(rcTurned.height())
                                .arg(rcExpected.x())
                                .arg(rcExpected.y())
                                .arg(rcExpected.width())
                                .arg(rcExpected.height())));
    }

    void uprightFilesKeepTheirBytes_data()
    {
        QTest::addColumn<QByteArray>("baBytes");
        QTest::addRow("orientation 1") << OptraTest::JpegWithOrientation(RawPicture(), 1);
        QByteArray baPlain;
        {
            QBuffer buffer(&baPlain);
            buffer.open(QIODevice::WriteOnly);
            RawPicture().save(&buffer, "PNG");
        }
        QTest::addRow("no EXIF at all") << baPlain;
        QTest::addRow("not an image") << QByteArray("plain text");
        QTest::addRow("empty file") << QByteArray();
    }

    void uprightFilesKeepTheirBytes()
    {
        QFETCH(QByteArray, baBytes);
        QTemporaryDir dir;
        const QString strPath = dir.filePath("picture");
        QVERIFY(WriteFile(strPath, baBytes));
        int nApplied = -1;
        QSize sizeRaw;
        QString strError;
        QVERIFY(CImageOrientation::MakeUpright(strPath, nApplied, sizeRaw, strError));
        QCOMPARE(nApplied, 1);
        QCOMPARE(OptraTest::ReadBytes(strPath), baBytes);
    }

    void unwritableFileIsLeftAlone()
    {
        QTemporaryDir dir;
        // A name whose suffix no image writer knows: the upright copy
        // cannot be written in the file's own format.
        const QString strPath = dir.filePath("phone.xyz");
        const QByteArray baBytes = OptraTest::JpegWithOrientation(RawPicture(), 6);
        QVERIFY(WriteFile(strPath, baBytes));
        int nApplied = 0;
        QSize sizeRaw;
        QString strError;
        QVERIFY(!CImageOrientation::MakeUpright(strPath, nApplied, sizeRaw, strError));
        QVERIFY(!strError.isEmpty());
        QCOMPARE(nApplied, 1);
        QCOMPARE(OptraTest::ReadBytes(strPath), baBytes);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"phone.xyz"}));
    }
};

QTEST_GUILESS_MAIN(TestImageOrientation)
#include "tst_ImageOrientation.moc"
