#include "optra/Image.h"
#include "optra/OptraResult.h"
#include "tests/optra/geometry/GeometryTestHelpers.h"
#include "tests/support/TestSupport.h"

#include <cmath>
#include <limits>

using namespace Optra::Geometry;
using namespace OptraTest;
using Optra::Algorithms::CImage;

namespace
{
// Distance to an ellipse found by brute force along its curve, independent
// of the library's root finding.
double SampledEllipseDistance(double dCx, double dCy, double dA, double dB, double dX, double dY)
{
    double dBest = std::numeric_limits<double>::infinity();
    constexpr int STEPS = 400000;
    for (int i = 0; i < STEPS; ++i)
    {
        const double dT = 2 * M_PI * i / STEPS;
        dBest = std::min(dBest, std::hypot(dCx + dA * std::cos(dT) - dX, dCy + dB * std::sin(dT) - dY));
    }
    return dBest;
}

int CountSet(const CImage& image)
{
    int nCount = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            nCount += image.GetPixel(x, y)[0] != 0;
    return nCount;
}
} // namespace

class TestGeometryOperations : public QObject
{
    Q_OBJECT

private slots:
    void contained_data()
    {
        QTest::addColumn<ShapePtr>("shape");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<bool>("inside");
        const ShapePtr pRectangle = std::make_shared<CRectangle>(0, 0, 10, 5);
        QTest::newRow("rectangle inside") << pRectangle << QPointF(5, 2) << true;
        QTest::newRow("rectangle corner") << pRectangle << QPointF(10, 5) << true;
        QTest::newRow("rectangle just right") << pRectangle << QPointF(10.01, 2) << false;
        const ShapePtr pNegative = std::make_shared<CRectangle>(10, 5, -10, -5);
        QTest::newRow("negative rectangle inside") << pNegative << QPointF(5, 2) << true;
        QTest::newRow("negative rectangle beyond its origin") << pNegative << QPointF(11, 2) << false;
        const ShapePtr pEllipse = std::make_shared<CEllipse>(0, 0, 10, 6);
        QTest::newRow("ellipse centre") << pEllipse << QPointF(5, 3) << true;
        QTest::newRow("ellipse on the curve") << pEllipse << QPointF(5, 0) << true;
        QTest::newRow("ellipse box corner") << pEllipse << QPointF(0.5, 0.5) << false;
        const ShapePtr pCircle = std::make_shared<CEllipse>(-5, -5, 10, 10);
        QTest::newRow("circle rim") << pCircle << QPointF(3, 4) << true;
        QTest::newRow("circle just outside") << pCircle << QPointF(3.01, 4) << false;
        const ShapePtr pTriangle = MakePolygon({{0, 0}, {10, 0}, {0, 10}});
        QTest::newRow("triangle inside") << pTriangle << QPointF(2, 2) << true;
        QTest::newRow("triangle on the slope") << pTriangle << QPointF(5, 5) << true;
        QTest::newRow("triangle beyond the slope") << pTriangle << QPointF(6, 6) << false;
        // A U shape: the notch between its arms is outside.
        const ShapePtr pU = MakePolygon({{0, 0}, {3, 0}, {3, 7}, {7, 7}, {7, 0}, {10, 0}, {10, 10}, {0, 10}});
        QTest::newRow("u in an arm") << pU << QPointF(1, 3) << true;
        QTest::newRow("u in the notch") << pU << QPointF(5, 3) << false;
        const ShapePtr pLine = std::make_shared<CLine>(0, 0, 10, 10);
        QTest::newRow("line middle") << pLine << QPointF(5, 5) << true;
        QTest::newRow("line beside") << pLine << QPointF(5, 5.1) << false;
        QTest::newRow("line beyond its end") << pLine << QPointF(11, 11) << false;
        QTest::newRow("point itself") << ShapePtr(std::make_shared<CPoint>(2, 3)) << QPointF(2, 3) << true;
        QTest::newRow("point nearby")
            << ShapePtr(std::make_shared<CPoint>(2, 3)) << QPointF(2, 3.01) << false;
        QTest::newRow("empty polygon") << ShapePtr(std::make_shared<CPolygon>()) << QPointF(0, 0) << false;
        const ShapePtr pArray = MakeArray({pCircle, std::make_shared<CPoint>(20, 20)});
        QTest::newRow("array member") << pArray << QPointF(20, 20) << true;
        QTest::newRow("array gap") << pArray << QPointF(10, 10) << false;
    }

    void contained()
    {
        QFETCH(ShapePtr, shape);
        QFETCH(QPointF, point);
        QFETCH(bool, inside);
        QCOMPARE(shape->Contained(CPoint(point.x(), point.y())), inside);
    }

    void orthogonalDistance_data()
    {
        QTest::addColumn<ShapePtr>("shape");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<double>("distance");
        QTest::newRow("point") << ShapePtr(std::make_shared<CPoint>(1, 1)) << QPointF(4, 5) << 5.0;
        const ShapePtr pLine = std::make_shared<CLine>(0, 0, 10, 0);
        QTest::newRow("line across") << pLine << QPointF(5, 3) << 3.0;
        QTest::newRow("line past its end") << pLine << QPointF(13, 4) << 5.0;
        const ShapePtr pRectangle = std::make_shared<CRectangle>(10, 10, -10, -10);
        QTest::newRow("rectangle from inside") << pRectangle << QPointF(2, 5) << 2.0;
        QTest::newRow("rectangle from a corner") << pRectangle << QPointF(13, 14) << 5.0;
        QTest::newRow("rectangle on the edge") << pRectangle << QPointF(10, 3) << 0.0;
        const ShapePtr pCircle = std::make_shared<CEllipse>(-5, -5, 10, 10);
        QTest::newRow("circle centre") << pCircle << QPointF(0, 0) << 5.0;
        QTest::newRow("circle outside") << pCircle << QPointF(8, 0) << 3.0;
        QTest::newRow("circle rim") << pCircle << QPointF(3, 4) << 0.0;
        const ShapePtr pEllipse = std::make_shared<CEllipse>(-5, -3, 10, 6);
        QTest::newRow("ellipse centre") << pEllipse << QPointF(0, 0) << 3.0;
        QTest::newRow("ellipse beyond its long axis") << pEllipse << QPointF(10, 0) << 5.0;
        QTest::newRow("ellipse above") << pEllipse << QPointF(0, 5) << 2.0;
        QTest::newRow("ellipse off axis outside")
            << pEllipse << QPointF(4, 4) << SampledEllipseDistance(0, 0, 5, 3, 4, 4);
        QTest::newRow("ellipse off axis inside")
            << pEllipse << QPointF(2.5, -1) << SampledEllipseDistance(0, 0, 5, 3, 2.5, -1);
        const ShapePtr pTall = std::make_shared<CEllipse>(0, 0, 4, 12);
        QTest::newRow("tall ellipse") << pTall << QPointF(5, 9) << SampledEllipseDistance(2, 6, 2, 6, 5, 9);
        QTest::newRow("flat ellipse is a segment")
            << ShapePtr(std::make_shared<CEllipse>(0, 0, 10, 0)) << QPointF(5, 2) << 2.0;
        QTest::newRow("triangle") << MakePolygon({{0, 0}, {10, 0}, {0, 10}}) << QPointF(5, -2) << 2.0;
        QTest::newRow("array nearest member")
            << MakeArray({std::make_shared<CPoint>(0, 0), std::make_shared<CPoint>(10, 0)}) << QPointF(9, 0)
            << 1.0;
    }

    void orthogonalDistance()
    {
        QFETCH(ShapePtr, shape);
        QFETCH(QPointF, point);
        QFETCH(double, distance);
        const double dActual = shape->GetOrthogonalDistance(CPoint(point.x(), point.y()));
        QVERIFY2(std::fabs(dActual - distance) < 1e-6,
                 qPrintable(QString("%1 vs %2").arg(dActual).arg(distance)));
    }

    void emptyShapesAreInfinitelyFar()
    {
        QVERIFY(std::isinf(CPolygon().GetOrthogonalDistance(CPoint(0, 0))));
        QVERIFY(std::isinf(CGeometryArray().GetOrthogonalDistance(CPoint(0, 0))));
    }

    void intersect_data()
    {
        QTest::addColumn<ShapePtr>("first");
        QTest::addColumn<ShapePtr>("second");
        QTest::addColumn<bool>("intersects");
        auto rectangle = [](double x, double y, double w, double h) -> ShapePtr
        {
            return std::make_shared<CRectangle>(x, y, w, h);
        };
        auto line = [](double x1, double y1, double x2, double y2) -> ShapePtr
        {
            return std::make_shared<CLine>(x1, y1, x2, y2);
        };
        QTest::newRow("overlapping rectangles") << rectangle(0, 0, 10, 10) << rectangle(5, 5, 10, 10) << true;
        QTest::newRow("separate rectangles") << rectangle(0, 0, 10, 10) << rectangle(11, 0, 5, 5) << false;
        QTest::newRow("rectangles sharing an edge")
            << rectangle(0, 0, 10, 10) << rectangle(10, 2, 5, 5) << true;
        QTest::newRow("rectangle inside another") << rectangle(0, 0, 10, 10) << rectangle(3, 3, 2, 2) << true;
        QTest::newRow("negative rectangle overlapping")
            << rectangle(10, 10, -10, -10) << rectangle(8, 8, 5, 5) << true;
        QTest::newRow("line through a rectangle") << rectangle(0, 0, 10, 10) << line(-5, 5, 15, 5) << true;
        QTest::newRow("line inside a rectangle") << rectangle(0, 0, 10, 10) << line(2, 2, 8, 3) << true;
        QTest::newRow("line beside a rectangle") << rectangle(0, 0, 10, 10) << line(11, 0, 11, 10) << false;
        QTest::newRow("crossing lines") << line(0, 0, 10, 10) << line(0, 10, 10, 0) << true;
        QTest::newRow("parallel lines") << line(0, 0, 10, 0) << line(0, 1, 10, 1) << false;
        QTest::newRow("collinear overlapping lines") << line(0, 0, 10, 0) << line(5, 0, 15, 0) << true;
        QTest::newRow("collinear separate lines") << line(0, 0, 4, 0) << line(5, 0, 15, 0) << false;
        const ShapePtr pCircle = std::make_shared<CEllipse>(-5, -5, 10, 10);
        QTest::newRow("point inside a circle") << pCircle << ShapePtr(std::make_shared<CPoint>(1, 1)) << true;
        QTest::newRow("point in the circle's box corner")
            << pCircle << ShapePtr(std::make_shared<CPoint>(4.5, 4.5)) << false;
        QTest::newRow("circles close")
            << pCircle << ShapePtr(std::make_shared<CEllipse>(4, -5, 10, 10)) << true;
        QTest::newRow("circles apart")
            << pCircle << ShapePtr(std::make_shared<CEllipse>(6, -5, 10, 10)) << false;
        const ShapePtr pTriangle = MakePolygon({{0, 0}, {10, 0}, {0, 10}});
        QTest::newRow("point beyond a triangle's slope")
            << pTriangle << ShapePtr(std::make_shared<CPoint>(6, 6)) << false;
        QTest::newRow("rectangle over a triangle's slope") << pTriangle << rectangle(4, 4, 3, 3) << true;
        QTest::newRow("empty polygon") << pTriangle << ShapePtr(std::make_shared<CPolygon>()) << false;
    }

    void intersect()
    {
        QFETCH(ShapePtr, first);
        QFETCH(ShapePtr, second);
        QFETCH(bool, intersects);
        QCOMPARE(first->Intersect(*second), intersects);
        QCOMPARE(second->Intersect(*first), intersects);
    }

    void rasterizeMarksCoveredPixels_data()
    {
        QTest::addColumn<ShapePtr>("shape");
        QTest::addColumn<QVector<QPoint>>("pixels");
        QTest::newRow("rectangle") << ShapePtr(std::make_shared<CRectangle>(1, 1, 2, 2))
                                   << QVector<QPoint>{{1, 1}, {2, 1}, {1, 2}, {2, 2}};
        QTest::newRow("same rectangle drawn backwards")
            << ShapePtr(std::make_shared<CRectangle>(3, 3, -2, -2))
            << QVector<QPoint>{{1, 1}, {2, 1}, {1, 2}, {2, 2}};
        QTest::newRow("horizontal line") << ShapePtr(std::make_shared<CLine>(0.5, 2.5, 3.5, 2.5))
                                         << QVector<QPoint>{{0, 2}, {1, 2}, {2, 2}, {3, 2}};
        QTest::newRow("point") << ShapePtr(std::make_shared<CPoint>(4.5, 0.5)) << QVector<QPoint>{{4, 0}};
        QTest::newRow("partly outside the image") << ShapePtr(std::make_shared<CRectangle>(3, 3, 10, 10))
                                                  << QVector<QPoint>{{3, 3}, {4, 3}, {3, 4}, {4, 4}};
        QTest::newRow("outside the image")
            << ShapePtr(std::make_shared<CRectangle>(-9, -9, 3, 3)) << QVector<QPoint>{};
        QTest::newRow("empty polygon") << ShapePtr(std::make_shared<CPolygon>()) << QVector<QPoint>{};
    }

    void rasterizeMarksCoveredPixels()
    {
        QFETCH(ShapePtr, shape);
        QFETCH(QVector<QPoint>, pixels);
        CImage image;
        QCOMPARE(image.Create(5, 5, 3), 0);
        QCOMPARE(shape->Rasterize(image, 200), 0);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
            {
                const int nExpected = pixels.contains(QPoint(x, y)) ? 200 : 0;
                for (int c = 0; c < 3; ++c)
                    QVERIFY2(image.GetPixel(x, y)[c] == nExpected,
                             qPrintable(QString("%1,%2").arg(x).arg(y)));
            }
    }

    void rasterizedCircleHasItsArea()
    {
        CImage image;
        QCOMPARE(image.Create(60, 60, 1), 0);
        QCOMPARE(CEllipse(10, 10, 40, 40).Rasterize(image), 0);
        // Pixel centres within the radius plus the half-pixel rim around it.
        const double dArea = M_PI * 20.5 * 20.5;
        QVERIFY(std::fabs(CountSet(image) - dArea) < 0.02 * dArea);
        QCOMPARE(int(image.GetPixel(30, 30)[0]), 255);
        QCOMPARE(int(image.GetPixel(11, 11)[0]), 0);
    }

    void rasterizeNeedsAnImage()
    {
        CImage empty;
        QCOMPARE(CRectangle(0, 0, 2, 2).Rasterize(empty), int(Optra::EOptraResult_EmptyImage));
    }
};

OPTRA_TEST_MAIN(TestGeometryOperations)
#include "tst_GeometryOperations.moc"
