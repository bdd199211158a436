#include "optra/Image.h"
#include "optra/OptraResult.h"
#include "optra/geometry/Point.h"
#include "optra/geometry/PointSet.h"
#include "optra/geometry/Polygon.h"
#include "optra/geometry/Rectangle.h"
#include "tests/support/TestSupport.h"

#include <cstring>
#include <memory>

using namespace Optra::Algorithms;
using Optra::Geometry::CPoint;
using Optra::Geometry::CPointSet;
using Optra::Geometry::CPolygon;
using Optra::Geometry::CRectangle;
using Optra::Geometry::CShape;
using ShapePtr = std::shared_ptr<CShape>;
Q_DECLARE_METATYPE(ShapePtr)

namespace
{
constexpr int WIDTH = 8;
constexpr int HEIGHT = 6;

// Grey 8 x 6, dark left half and a step to nStep from column 4 on.
CImage StepImage(int nStep, int nChannels = 1, int nChannel = 0)
{
    CImage image;
    image.Create(WIDTH, HEIGHT, nChannels);
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 4; x < WIDTH; ++x)
            image.GetPixel(x, y)[nChannel] = uint8_t(nStep);
    return image;
}

QVector<int> Samples(const CImage& image, int nChannel = 0)
{
    QVector<int> vctValues;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            vctValues << image.GetPixel(x, y)[nChannel];
    return vctValues;
}

// Rows of an 8-wide image written out by hand.
QVector<int> Rows(std::initializer_list<QVector<int>> rows)
{
    QVector<int> vctValues;
    for (const QVector<int>& row : rows)
        vctValues += row;
    return vctValues;
}

ShapePtr Rectangle(double x, double y, double w, double h)
{
    return std::make_shared<CRectangle>(x, y, w, h);
}

ShapePtr Triangle()
{
    CPointSet points;
    points.Add(std::make_shared<CPoint>(1.5, 3.9));
    points.Add(std::make_shared<CPoint>(3.2, 1.1));
    points.Add(std::make_shared<CPoint>(2.5, 3.0));
    auto pPolygon = std::make_shared<CPolygon>();
    pPolygon->SetPoints(points);
    return pPolygon;
}

CImage Uniform(int nWidth, int nHeight, int nChannels, uint8_t nValue)
{
    CImage image;
    image.Create(nWidth, nHeight, nChannels);
    std::memset(image.GetData(), nValue, image.GetDataSize());
    return image;
}

enum ESobel
{
    SOBEL_X,
    SOBEL_Y,
    SOBEL_XY
};

int RunSobel(CImage& image, int nKind, const CShape* pRegion, int nOption, double dValue)
{
    switch (nKind)
    {
    case SOBEL_X:
        return image.SobelX(pRegion, nOption, dValue);
    case SOBEL_Y:
        return image.SobelY(pRegion, nOption, dValue);
    default:
        return image.SobelXY(pRegion, nOption, dValue);
    }
}
} // namespace

class TestImageFilter : public QObject
{
    Q_OBJECT

private slots:
    void sobelOnAStepEdge_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("step");
        QTest::addColumn<ShapePtr>("region");
        QTest::addColumn<int>("option");
        QTest::addColumn<double>("borderValue");
        QTest::addColumn<QVector<int>>("expected");
        const int nReplicate = EFilterOption_BorderReplicate;
        const int nConstant = EFilterOption_BorderConstant;
        const QVector<int> zeros(WIDTH, 0);
        const QVector<int> edge{0, 0, 0, 160, 160, 0, 0, 0};
        QTest::newRow("x across the edge") << int(SOBEL_X) << 40 << ShapePtr() << nReplicate << 0.0
                                           << Rows({edge, edge, edge, edge, edge, edge});
        QTest::newRow("y along the edge") << int(SOBEL_Y) << 40 << ShapePtr() << nReplicate << 0.0
                                          << Rows({zeros, zeros, zeros, zeros, zeros, zeros});
        QTest::newRow("xy adds both") << int(SOBEL_XY) << 40 << ShapePtr() << nReplicate << 0.0
                                      << Rows({edge, edge, edge, edge, edge, edge});
        const QVector<int> saturated{0, 0, 0, 255, 255, 0, 0, 0};
        QTest::newRow("x saturates") << int(SOBEL_X) << 100 << ShapePtr() << nReplicate << 0.0
                                     << Rows({saturated, saturated, saturated, saturated, saturated,
                                              saturated});
        // Beyond the border lies black: the bright half gains edges at the image border.
        const QVector<int> borderRow{0, 0, 0, 40, 120, 160, 160, 120};
        QTest::newRow("y with a black border") << int(SOBEL_Y) << 40 << ShapePtr() << nConstant << 0.0
                                               << Rows({borderRow, zeros, zeros, zeros, zeros, borderRow});
        const QVector<int> blackTop{0, 0, 0, 120, 120, 0, 0, 120};
        const QVector<int> blackMiddle{0, 0, 0, 160, 160, 0, 0, 160};
        QTest::newRow("x with a black border")
            << int(SOBEL_X) << 40 << ShapePtr() << nConstant << 0.0
            << Rows({blackTop, blackMiddle, blackMiddle, blackMiddle, blackMiddle, blackTop});
        const QVector<int> greyTop{120, 0, 0, 120, 120, 0, 0, 0};
        const QVector<int> greyMiddle{160, 0, 0, 160, 160, 0, 0, 0};
        QTest::newRow("x with a border of 40")
            << int(SOBEL_X) << 40 << ShapePtr() << nConstant << 40.0
            << Rows({greyTop, greyMiddle, greyMiddle, greyMiddle, greyMiddle, greyTop});
        // Column 3 is inside, its right neighbour outside: outside pixels still count as neighbours.
        const QVector<int> outsideRow{0, 0, 0, 0, 40, 40, 40, 40};
        const QVector<int> insideRow{0, 0, 0, 160, 40, 40, 40, 40};
        QTest::newRow("x inside a region")
            << int(SOBEL_X) << 40 << Rectangle(1, 1, 3, 3) << nReplicate << 0.0
            << Rows({outsideRow, insideRow, insideRow, insideRow, outsideRow, outsideRow});
        QTest::newRow("region by a polygon's bounding box")
            << int(SOBEL_X) << 40 << Triangle() << nReplicate << 0.0
            << Rows({outsideRow, insideRow, insideRow, insideRow, outsideRow, outsideRow});
        QTest::newRow("region drawn backwards")
            << int(SOBEL_X) << 40 << Rectangle(4, 4, -3, -3) << nReplicate << 0.0
            << Rows({outsideRow, insideRow, insideRow, insideRow, outsideRow, outsideRow});
        const QVector<int> clippedRow{0, 0, 0, 0, 40, 40, 0, 0};
        QTest::newRow("region reaching out of the image")
            << int(SOBEL_X) << 40 << Rectangle(6, -3, 10, 5) << nReplicate << 0.0
            << Rows({clippedRow, clippedRow, outsideRow, outsideRow, outsideRow, outsideRow});
    }

    void sobelOnAStepEdge()
    {
        QFETCH(int, kind);
        QFETCH(int, step);
        QFETCH(ShapePtr, region);
        QFETCH(int, option);
        QFETCH(double, borderValue);
        QFETCH(QVector<int>, expected);
        CImage image = StepImage(step);
        const uint8_t* pBefore = image.GetData();
        QCOMPARE(RunSobel(image, kind, region.get(), option, borderValue), 0);
        QCOMPARE(image.GetData(), pBefore);
        QCOMPARE(Samples(image), expected);
    }

    void sobelPerChannelKeepsAlpha_data()
    {
        QTest::addColumn<int>("channels");
        QTest::newRow("rgb") << 3;
        QTest::newRow("rgba") << 4;
    }

    void sobelPerChannelKeepsAlpha()
    {
        QFETCH(int, channels);
        CImage image = StepImage(40, channels, 1);
        if (channels == 4)
            for (int y = 0; y < HEIGHT; ++y)
                for (int x = 0; x < WIDTH; ++x)
                    image.GetPixel(x, y)[3] = 255;
        QCOMPARE(image.SobelXY(nullptr, EFilterOption_BorderReplicate, 0.0), 0);
        const QVector<int> edge{0, 0, 0, 160, 160, 0, 0, 0};
        QCOMPARE(Samples(image, 1), Rows({edge, edge, edge, edge, edge, edge}));
        QCOMPARE(Samples(image, 0), QVector<int>(WIDTH * HEIGHT, 0));
        QCOMPARE(Samples(image, 2), QVector<int>(WIDTH * HEIGHT, 0));
        if (channels == 4)
            QCOMPARE(Samples(image, 3), QVector<int>(WIDTH * HEIGHT, 255));
    }

    void filtersRefuseBadCalls_data()
    {
        QTest::addColumn<ShapePtr>("region");
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("radius");
        QTest::addColumn<int>("radiusY");
        QTest::addColumn<int>("result");
        QTest::newRow("region beside the image")
            << Rectangle(20, 2, 5, 5) << 1 << 1 << 1 << int(Optra::EOptraResult_EmptyRegion);
        QTest::newRow("region of no area")
            << Rectangle(2, 2, 0, 3) << 1 << 1 << 1 << int(Optra::EOptraResult_EmptyRegion);
        QTest::newRow("unknown border option")
            << ShapePtr() << 7 << 1 << 1 << int(Optra::EOptraResult_InvalidArgument);
        QTest::newRow("median not square")
            << ShapePtr() << 1 << 1 << 2 << int(Optra::EOptraResult_InvalidArgument);
        QTest::newRow("median radius 0")
            << ShapePtr() << 1 << 0 << 0 << int(Optra::EOptraResult_InvalidArgument);
        QTest::newRow("median radius 200")
            << ShapePtr() << 1 << 200 << 200 << int(Optra::EOptraResult_InvalidArgument);
    }

    void filtersRefuseBadCalls()
    {
        QFETCH(ShapePtr, region);
        QFETCH(int, option);
        QFETCH(int, radius);
        QFETCH(int, radiusY);
        QFETCH(int, result);
        CImage image = StepImage(40);
        const QVector<int> vctBefore = Samples(image);
        if (radius == 1 && radiusY == 1)
        {
            QCOMPARE(image.SobelX(region.get(), option, 0.0), result);
            QCOMPARE(image.SobelXY(region.get(), option, 0.0), result);
        }
        QCOMPARE(image.Median(radius, radiusY, region.get(), option, 0.0), result);
        QCOMPARE(Samples(image), vctBefore);
    }

    void filtersNeedAnImage()
    {
        CImage empty;
        QCOMPARE(empty.SobelY(nullptr, 1, 0.0), int(Optra::EOptraResult_EmptyImage));
        QCOMPARE(empty.Median(1, 1, nullptr, 1, 0.0), int(Optra::EOptraResult_EmptyImage));
    }

    void medianRemovesASaltPixel_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<ShapePtr>("region");
        QTest::addColumn<int>("remaining");
        QTest::newRow("grey, whole image") << 1 << ShapePtr() << 50;
        QTest::newRow("rgb, whole image") << 3 << ShapePtr() << 50;
        QTest::newRow("grey with alpha") << 2 << ShapePtr() << 50;
        QTest::newRow("region around the salt") << 1 << Rectangle(2, 2, 3, 3) << 50;
        QTest::newRow("region beside the salt") << 1 << Rectangle(4, 0, 3, 7) << 255;
    }

    void medianRemovesASaltPixel()
    {
        QFETCH(int, channels);
        QFETCH(ShapePtr, region);
        QFETCH(int, remaining);
        CImage image = Uniform(7, 7, channels, 50);
        image.GetPixel(3, 3)[0] = 255;
        if (channels == 2)
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 7; ++x)
                    image.GetPixel(x, y)[1] = uint8_t(x * 30);
        QCOMPARE(image.Median(1, 1, region.get(), EFilterOption_BorderReplicate, 0.0), 0);
        QCOMPARE(int(image.GetPixel(3, 3)[0]), remaining);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x)
            {
                if (x != 3 || y != 3)
                    QCOMPARE(int(image.GetPixel(x, y)[0]), 50);
                if (channels == 2)
                    QCOMPARE(int(image.GetPixel(x, y)[1]), x * 30);
            }
    }

    void medianKeepsEdges()
    {
        // Unlike a blur, the median leaves a straight step exactly as it was.
        CImage image = StepImage(90);
        const QVector<int> vctBefore = Samples(image);
        QCOMPARE(image.Median(1, 1, nullptr, EFilterOption_BorderReplicate, 0.0), 0);
        QCOMPARE(Samples(image), vctBefore);
    }

    void medianLargerWindowRemovesClusters()
    {
        // A bright 3 x 3 block fills a 3 x 3 window but only 9 of 25 samples of a 5 x 5 one.
        CImage image = Uniform(9, 9, 1, 20);
        for (int y = 3; y <= 5; ++y)
            for (int x = 3; x <= 5; ++x)
                image.GetPixel(x, y)[0] = 255;
        CImage small;
        QCOMPARE(small.CopyFrom(image), 0);
        QCOMPARE(small.Median(1, 1, nullptr, EFilterOption_BorderReplicate, 0.0), 0);
        QCOMPARE(int(small.GetPixel(4, 4)[0]), 255);
        QCOMPARE(image.Median(2, 2, nullptr, EFilterOption_BorderReplicate, 0.0), 0);
        QCOMPARE(Samples(image), QVector<int>(81, 20));
    }

    void medianBorderOptions_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<double>("borderValue");
        QTest::addColumn<int>("corner");
        // The corner pixel is repeated four times in its own window: 4 x 255 and 5 x 50.
        QTest::newRow("replicated border") << int(EFilterOption_BorderReplicate) << 0.0 << 50;
        // Five black samples beyond the border outvote the rest.
        QTest::newRow("black border") << int(EFilterOption_BorderConstant) << 0.0 << 0;
        QTest::newRow("white border") << int(EFilterOption_BorderConstant) << 255.0 << 255;
    }

    void medianBorderOptions()
    {
        QFETCH(int, option);
        QFETCH(double, borderValue);
        QFETCH(int, corner);
        CImage image = Uniform(5, 5, 1, 50);
        image.GetPixel(0, 0)[0] = 255;
        QCOMPARE(image.Median(1, 1, nullptr, option, borderValue), 0);
        QCOMPARE(int(image.GetPixel(0, 0)[0]), corner);
        QCOMPARE(int(image.GetPixel(2, 2)[0]), 50);
    }
};

OPTRA_TEST_MAIN(TestImageFilter)
#include "tst_ImageFilter.moc"
