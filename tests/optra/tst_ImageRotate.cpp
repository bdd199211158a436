#include "optra/Image.h"
#include "optra/OptraResult.h"
#include "optra/geometry/Point.h"
#include "tests/support/TestSupport.h"

#include <cmath>
#include <cstring>
#include <limits>

using namespace Optra::Algorithms;
using Optra::Geometry::CPoint;

namespace
{
// 3 x 2 with its pixels numbered row by row:  1 2 3 / 4 5 6 (every channel the same number).
CImage Numbered(int nChannels)
{
    CImage image;
    image.Create(3, 2, nChannels, 8, 0, 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            std::memset(image.GetPixel(x, y), 1 + x + 3 * y, size_t(nChannels));
    return image;
}

QVector<QVector<int>> Grid(const CImage& image, int nChannel)
{
    QVector<QVector<int>> grid;
    for (int y = 0; y < image.GetHeight(); ++y)
    {
        QVector<int> row;
        for (int x = 0; x < image.GetWidth(); ++x)
            row << image.GetPixel(x, y)[nChannel];
        grid << row;
    }
    return grid;
}

CPoint Centre(const CImage& image)
{
    return CPoint(image.GetWidth() / 2.0, image.GetHeight() / 2.0);
}
} // namespace

class TestImageRotate : public QObject
{
    Q_OBJECT

private slots:
    void quarterTurnsMoveEveryPixel_data()
    {
        QTest::addColumn<double>("angle");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QVector<QVector<int>>>("expected");
        const QVector<QVector<int>> right{{4, 1}, {5, 2}, {6, 3}};
        const QVector<QVector<int>> left{{3, 6}, {2, 5}, {1, 4}};
        const QVector<QVector<int>> half{{6, 5, 4}, {3, 2, 1}};
        QTest::newRow("right turn, grey") << M_PI / 2 << 1 << right;
        QTest::newRow("right turn, rgb") << M_PI / 2 << 3 << right;
        QTest::newRow("left turn, grey") << -M_PI / 2 << 1 << left;
        QTest::newRow("left turn, rgba") << -M_PI / 2 << 4 << left;
        QTest::newRow("half turn") << M_PI << 3 << half;
        QTest::newRow("three left quarters are one right") << -3 * M_PI / 2 << 1 << right;
        QTest::newRow("five right quarters are one right") << 5 * M_PI / 2 << 1 << right;
        QTest::newRow("full turn") << 2 * M_PI << 1 << QVector<QVector<int>>{{1, 2, 3}, {4, 5, 6}};
    }

    void quarterTurnsMoveEveryPixel()
    {
        QFETCH(double, angle);
        QFETCH(int, channels);
        QFETCH(QVector<QVector<int>>, expected);
        CImage image = Numbered(channels);
        QCOMPARE(image.Rotate(angle, 0.0, ERotateOption_Enlarge, Centre(image)), 0);
        QCOMPARE(image.GetChannel(), channels);
        for (int c = 0; c < channels; ++c)
            QCOMPARE(Grid(image, c), expected);
    }

    void rotationKeepsIdentityAndLayout()
    {
        CImage image;
        QCOMPARE(image.Create(5, 3, 3, 8, 0, 16), 0);
        image.SetName(L"page 1");
        image.SetFolder(L"/scans");
        const uint32_t nId = image.GetUID();
        QCOMPARE(image.Rotate(M_PI / 2, 0.0, ERotateOption_Enlarge, Centre(image)), 0);
        QCOMPARE(image.GetWidth(), 3);
        QCOMPARE(image.GetHeight(), 5);
        QCOMPARE(image.GetAlignment(), 16);
        QCOMPARE(image.GetBytesPerLine(), 16);
        QCOMPARE(image.GetUID(), nId);
        QVERIFY(image.GetName() == L"page 1");
        QVERIFY(image.GetFolder() == L"/scans");
    }

    void anyAngleEnlargesTheCanvas()
    {
        CImage image;
        QCOMPARE(image.Create(100, 50, 1), 0);
        std::memset(image.GetData(), 200, image.GetDataSize());
        QCOMPARE(image.Rotate(M_PI / 4, 7.0, ERotateOption_Enlarge, Centre(image)), 0);
        // 100 cos 45 + 50 sin 45 = 106.07 on both sides.
        QCOMPARE(image.GetWidth(), 107);
        QCOMPARE(image.GetHeight(), 107);
        QCOMPARE(int(image.GetPixel(53, 53)[0]), 200);
        QCOMPARE(int(image.GetPixel(0, 0)[0]), 7);
        QCOMPARE(int(image.GetPixel(106, 106)[0]), 7);
        int nCovered = 0;
        for (int y = 0; y < 107; ++y)
            for (int x = 0; x < 107; ++x)
                nCovered += image.GetPixel(x, y)[0] > 100;
        QVERIFY(std::abs(nCovered - 5000) < 150);
    }

    void enlargedRgbaCornersAreTransparent()
    {
        CImage image;
        QCOMPARE(image.Create(20, 20, 4), 0);
        std::memset(image.GetData(), 255, image.GetDataSize());
        QCOMPARE(image.Rotate(0.3, 0.0, ERotateOption_Enlarge, Centre(image)), 0);
        QCOMPARE(int(image.GetPixel(0, 0)[3]), 0);
        const int nMiddle = image.GetWidth() / 2;
        QCOMPARE(int(image.GetPixel(nMiddle, nMiddle)[3]), 255);
    }

    void keepSizeTurnsAboutTheCentreGiven_data()
    {
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<QPoint>("lands");
        QTest::newRow("image centre") << QPointF(2, 2) << QPoint(3, 3);
        QTest::newRow("off centre") << QPointF(1, 1) << QPoint(1, 1);
    }

    void keepSizeTurnsAboutTheCentreGiven()
    {
        QFETCH(QPointF, centre);
        QFETCH(QPoint, lands);
        CImage image;
        QCOMPARE(image.Create(4, 4, 1), 0);
        image.GetPixel(0, 0)[0] = 255;
        QCOMPARE(image.Rotate(M_PI, 9.0, ERotateOption_KeepSize, CPoint(centre.x(), centre.y())), 0);
        QCOMPARE(image.GetWidth(), 4);
        QCOMPARE(image.GetHeight(), 4);
        QCOMPARE(int(image.GetPixel(lands.x(), lands.y())[0]), 255);
        if (lands != QPoint(3, 3))
            QCOMPARE(int(image.GetPixel(3, 3)[0]), 9); // turned in from outside the image
    }

    void badRotationsChangeNothing_data()
    {
        QTest::addColumn<double>("angle");
        QTest::addColumn<int>("option");
        QTest::newRow("unknown option") << M_PI / 2 << 2;
        QTest::newRow("angle not a number") << std::numeric_limits<double>::quiet_NaN() << 1;
        QTest::newRow("infinite angle") << std::numeric_limits<double>::infinity() << 1;
    }

    void badRotationsChangeNothing()
    {
        QFETCH(double, angle);
        QFETCH(int, option);
        CImage image = Numbered(1);
        const uint8_t* pBefore = image.GetData();
        QCOMPARE(image.Rotate(angle, 0.0, option, Centre(image)), int(Optra::EOptraResult_InvalidArgument));
        QCOMPARE(image.GetData(), pBefore);
        QCOMPARE(image.GetWidth(), 3);
    }

    void emptyImageCannotRotate()
    {
        CImage image;
        QCOMPARE(image.Rotate(M_PI / 2, 0.0, 1, CPoint(0, 0)), int(Optra::EOptraResult_EmptyImage));
    }
};

OPTRA_TEST_MAIN(TestImageRotate)
#include "tst_ImageRotate.moc"
