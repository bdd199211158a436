#include "optra/OptraResult.h"
#include "tests/optra/geometry/GeometryTestHelpers.h"
#include "tests/support/TestSupport.h"

#include <cmath>

using namespace Optra::Geometry;
using namespace OptraTest;

class TestGeometry : public QObject
{
    Q_OBJECT

private slots:
    void handlesComeInDrawingOrder_data()
    {
        QTest::addColumn<ShapePtr>("shape");
        QTest::addColumn<int>("type");
        QTest::addColumn<QVector<QPointF>>("handles");
        QTest::addColumn<int>("edges");
        QTest::newRow("point") << ShapePtr(std::make_shared<CPoint>(3, 4)) << 0 << QVector<QPointF>{{3, 4}}
                               << 0;
        QTest::newRow("line") << ShapePtr(std::make_shared<CLine>(1, 2, 5, 7)) << 1
                              << QVector<QPointF>{{1, 2}, {5, 7}} << 1;
        QTest::newRow("rectangle") << ShapePtr(std::make_shared<CRectangle>(10, 20, 30, 40)) << 2
                                   << QVector<QPointF>{{10, 20}, {40, 20}, {40, 60}, {10, 60}} << 4;
        // A rectangle dragged up and to the left names its corners after its stored origin.
        QTest::newRow("rectangle drawn upwards to the left")
            << ShapePtr(std::make_shared<CRectangle>(40, 60, -30, -40)) << 2
            << QVector<QPointF>{{40, 60}, {10, 60}, {10, 20}, {40, 20}} << 4;
        QTest::newRow("ellipse") << ShapePtr(std::make_shared<CEllipse>(0, 0, 8, 6)) << 4
                                 << QVector<QPointF>{{0, 0}, {8, 0}, {8, 6}, {0, 6}} << CEllipse::EDGE_COUNT;
        QTest::newRow("polygon") << MakePolygon({{0, 0}, {4, 0}, {2, 3}}) << 6
                                 << QVector<QPointF>{{0, 0}, {4, 0}, {2, 3}} << 3;
        QTest::newRow("polygon of two vertices")
            << MakePolygon({{0, 0}, {4, 0}}) << 6 << QVector<QPointF>{{0, 0}, {4, 0}} << 1;
        QTest::newRow("geometry array")
            << MakeArray({std::make_shared<CPoint>(1, 1), std::make_shared<CLine>(2, 2, 3, 3)}) << 7
            << QVector<QPointF>{{1, 1}, {2, 2}, {3, 3}} << 1;
    }

    void handlesComeInDrawingOrder()
    {
        QFETCH(ShapePtr, shape);
        QFETCH(int, type);
        QFETCH(QVector<QPointF>, handles);
        QFETCH(int, edges);
        QCOMPARE(int(shape->GetType()), type);
        CPointSet edgeSet;
        CPointSet handleSet;
        // Leftovers in the sets must not survive.
        edgeSet.Add(std::make_shared<CPoint>(99, 99));
        handleSet.Add(std::make_shared<CPoint>(99, 99));
        QCOMPARE(shape->Segmentize(edgeSet, handleSet), 0);
        QCOMPARE(PointsOf(handleSet), handles);
        QCOMPARE(int(handleSet.Size()), handles.size());
        QCOMPARE(int(edgeSet.Size()), edges);
        for (size_t i = 0; i < edgeSet.Size(); ++i)
        {
            QCOMPARE(int(edgeSet.At(i)->GetType()), int(EShapeType_Line));
            // Every edge lies on the outline.
            const auto* pEdge = static_cast<const CLine*>(edgeSet.At(i));
            QVERIFY(shape->GetOrthogonalDistance(pEdge->start()) < 1e-9);
            QVERIFY(shape->GetOrthogonalDistance(pEdge->end()) < 1e-9);
        }
    }

    void closedOutlinesChain()
    {
        // The drawing layer fills and strokes edge after edge; a closed shape must end where it began.
        for (const ShapePtr& pShape : {ShapePtr(std::make_shared<CRectangle>(1, 2, 3, 4)),
                                       ShapePtr(std::make_shared<CEllipse>(-3, 5, 7, 2)),
                                       MakePolygon({{0, 0}, {4, 0}, {4, 4}, {1, 5}})})
        {
            CPointSet edges;
            CPointSet handles;
            QCOMPARE(pShape->Segmentize(edges, handles), 0);
            for (size_t i = 0; i < edges.Size(); ++i)
            {
                const auto* pEdge = static_cast<const CLine*>(edges.At(i));
                const auto* pNext = static_cast<const CLine*>(edges.At((i + 1) % edges.Size()));
                QVERIFY(pEdge->end() == pNext->start());
            }
        }
    }

    void emptyShapesCannotBeSegmentized()
    {
        CPointSet edges;
        CPointSet handles;
        QCOMPARE(CPolygon().Segmentize(edges, handles), int(Optra::EOptraResult_EmptyRegion));
        QCOMPARE(CGeometryArray().Segmentize(edges, handles), int(Optra::EOptraResult_EmptyRegion));
        QCOMPARE(edges.Size(), size_t(0));
        QCOMPARE(handles.Size(), size_t(0));
    }

    void boundaries_data()
    {
        QTest::addColumn<ShapePtr>("shape");
        QTest::addColumn<QRectF>("boundary");
        QTest::newRow("point") << ShapePtr(std::make_shared<CPoint>(3, 4)) << QRectF(3, 4, 0, 0);
        QTest::newRow("rectangle") << ShapePtr(std::make_shared<CRectangle>(1, 2, 3, 4))
                                   << QRectF(1, 2, 3, 4);
        QTest::newRow("negative rectangle kept as stored")
            << ShapePtr(std::make_shared<CRectangle>(10, 10, -5, -3)) << QRectF(10, 10, -5, -3);
        QTest::newRow("negative ellipse kept as stored")
            << ShapePtr(std::make_shared<CEllipse>(10, 10, -6, 4)) << QRectF(10, 10, -6, 4);
        QTest::newRow("line drawn backwards")
            << ShapePtr(std::make_shared<CLine>(5, 7, 1, 2)) << QRectF(1, 2, 4, 5);
        QTest::newRow("polygon") << MakePolygon({{3, 1}, {-2, 4}, {6, 9}}) << QRectF(-2, 1, 8, 8);
        QTest::newRow("array joins normalised members")
            << MakeArray({std::make_shared<CRectangle>(10, 10, -5, -5), std::make_shared<CPoint>(12, 1)})
            << QRectF(5, 1, 7, 9);
    }

    void boundaries()
    {
        QFETCH(ShapePtr, shape);
        QFETCH(QRectF, boundary);
        QCOMPARE(BoundaryOf(*shape), boundary);
    }

    void moveTopLeftToKeepsTheSize_data()
    {
        QTest::addColumn<ShapePtr>("shape");
        QTest::addColumn<QVector<QPointF>>("handlesAfter");
        QTest::newRow("point") << ShapePtr(std::make_shared<CPoint>(3, 4)) << QVector<QPointF>{{100, 50}};
        QTest::newRow("line") << ShapePtr(std::make_shared<CLine>(5, 9, 1, 2))
                              << QVector<QPointF>{{104, 57}, {100, 50}};
        QTest::newRow("rectangle") << ShapePtr(std::make_shared<CRectangle>(1, 2, 3, 4))
                                   << QVector<QPointF>{{100, 50}, {103, 50}, {103, 54}, {100, 54}};
        // The stored origin follows the point, as the drag offsets taken from GetBoundary expect.
        QTest::newRow("negative rectangle") << ShapePtr(std::make_shared<CRectangle>(10, 10, -5, -3))
                                            << QVector<QPointF>{{100, 50}, {95, 50}, {95, 47}, {100, 47}};
        QTest::newRow("ellipse") << ShapePtr(std::make_shared<CEllipse>(-4, -4, 8, 2))
                                 << QVector<QPointF>{{100, 50}, {108, 50}, {108, 52}, {100, 52}};
        QTest::newRow("polygon") << MakePolygon({{3, 1}, {-2, 4}, {6, 9}})
                                 << QVector<QPointF>{{105, 50}, {100, 53}, {108, 58}};
        QTest::newRow("geometry array")
            << MakeArray({std::make_shared<CPoint>(2, 2), std::make_shared<CLine>(4, 3, 6, 8)})
            << QVector<QPointF>{{100, 50}, {102, 51}, {104, 56}};
    }

    void moveTopLeftToKeepsTheSize()
    {
        QFETCH(ShapePtr, shape);
        QFETCH(QVector<QPointF>, handlesAfter);
        const QSizeF size = BoundaryOf(*shape).size();
        shape->MoveTopLeftTo(CPoint(100, 50));
        QCOMPARE(BoundaryOf(*shape).topLeft(), QPointF(100, 50));
        QCOMPARE(BoundaryOf(*shape).size(), size);
        CPointSet edges;
        CPointSet handles;
        QCOMPARE(shape->Segmentize(edges, handles), 0);
        QCOMPARE(PointsOf(handles), handlesAfter);
    }

    void cornerSettersKeepTheOppositeCorner_data()
    {
        QTest::addColumn<int>("corner");
        QTest::addColumn<QPointF>("target");
        QTest::addColumn<QRectF>("result");
        QTest::newRow("top left") << 0 << QPointF(5, 5) << QRectF(5, 5, 25, 25);
        QTest::newRow("top right") << 1 << QPointF(40, 0) << QRectF(10, 0, 30, 30);
        QTest::newRow("bottom right") << 2 << QPointF(15, 12) << QRectF(10, 10, 5, 2);
        QTest::newRow("bottom left") << 3 << QPointF(0, 40) << QRectF(0, 10, 30, 30);
        QTest::newRow("bottom right dragged past the origin")
            << 2 << QPointF(0, 4) << QRectF(10, 10, -10, -6);
    }

    void cornerSettersKeepTheOppositeCorner()
    {
        QFETCH(int, corner);
        QFETCH(QPointF, target);
        QFETCH(QRectF, result);
        CRectangle rectangle(10, 10, 20, 20);
        CEllipse ellipse(10, 10, 20, 20);
        for (CBoxShape* pBox : {static_cast<CBoxShape*>(&rectangle), static_cast<CBoxShape*>(&ellipse)})
        {
            const CPoint point(target.x(), target.y());
            switch (corner)
            {
            case 0:
                pBox->SetTopLeft(point);
                QVERIFY(pBox->topLeft() == point);
                break;
            case 1:
                pBox->SetTopRight(point);
                QVERIFY(pBox->topRight() == point);
                break;
            case 2:
                pBox->SetBottomRight(point);
                QVERIFY(pBox->bottomRight() == point);
                break;
            default:
                pBox->SetBottomLeft(point);
                QVERIFY(pBox->bottomLeft() == point);
            }
            QCOMPARE(BoundaryOf(*pBox), result);
        }
    }

    void ellipseCentreAndRadii()
    {
        const CEllipse ellipse(2, 4, 10, 6);
        QCOMPARE(ellipse.centerX(), 7.0);
        QCOMPARE(ellipse.centerY(), 7.0);
        QCOMPARE(ellipse.radiusA(), 5.0);
        QCOMPARE(ellipse.radiusB(), 3.0);
        const CEllipse flipped(12, 10, -10, -6);
        QCOMPARE(flipped.centerX(), 7.0);
        QCOMPARE(flipped.centerY(), 7.0);
        QCOMPARE(flipped.radiusA(), 5.0);
        QCOMPARE(flipped.radiusB(), 3.0);
        // The circle tool: centred on the press point with the drag length as radius.
        const double dRadius = CPoint(50, 50).GetDistance(CPoint(53, 54));
        const CEllipse circle(50 - dRadius, 50 - dRadius, 2 * dRadius, 2 * dRadius);
        QCOMPARE(circle.centerX(), 50.0);
        QCOMPARE(circle.radiusA(), 5.0);
        QCOMPARE(circle.radiusB(), 5.0);
    }

    void rulerLengthFollowsItsEnds()
    {
        CLine line(0, 0, 3, 4);
        QCOMPARE(line.GetLength(), 5.0);
        line.SetEnd(CPoint(3, -4));
        line.SetStart(CPoint(3, 2));
        QCOMPARE(line.GetLength(), 6.0);
    }

    void deepAndShallowCopies()
    {
        auto pMember = std::make_shared<CRectangle>(0, 0, 2, 2);
        const ShapePtr pArray = MakeArray({pMember});
        const ShapePtr pDeep = pArray->CopyDeep();
        const ShapePtr pShallow = pArray->CopyShallow();
        QCOMPARE(int(pDeep->GetType()), int(EShapeType_GeometryArray));
        QVERIFY(pDeep->GetUID() != pArray->GetUID());
        // Moving a shallow copy moves the shared member; the deep copy stays put.
        pShallow->Translate(5, 0);
        QCOMPARE(pMember->x(), 5.0);
        QCOMPARE(BoundaryOf(*pDeep), QRectF(0, 0, 2, 2));
        pDeep->Translate(0, 7);
        QCOMPARE(pMember->y(), 0.0);

        const CRectangle rectangle(1, 2, -3, 4);
        const ShapePtr pCopy = rectangle.CopyDeep();
        QCOMPARE(int(pCopy->GetType()), int(EShapeType_Rectangle));
        QCOMPARE(BoundaryOf(*pCopy), QRectF(1, 2, -3, 4));
        pCopy->Translate(1, 1);
        QCOMPARE(rectangle.x(), 1.0);
    }

    void pointSetOwnsSharedElements()
    {
        CPointSet set;
        set.Add(nullptr);
        QCOMPARE(set.Size(), size_t(0));
        auto pPoint = std::make_shared<CPoint>(1, 2);
        set.Add(pPoint);
        QCOMPARE(set.At(0), static_cast<CShape*>(pPoint.get()));
        QVERIFY(!set.At(1));
        QVERIFY(!set.At(size_t(-1)));
        const CPointSet deep = set.CopyDeep();
        QVERIFY(deep.At(0) != set.At(0));
        pPoint->SetX(9);
        QCOMPARE(static_cast<const CPoint*>(deep.At(0))->x(), 1.0);
    }

    void polygonSetPointsFromEditedHandles()
    {
        // The resize of a polygon: segmentize, move one handle, rebuild from the handle set.
        const ShapePtr pShape = MakePolygon({{0, 0}, {10, 0}, {5, 8}});
        auto* pPolygon = static_cast<CPolygon*>(pShape.get());
        CPointSet edges;
        CPointSet handles;
        QCOMPARE(pPolygon->Segmentize(edges, handles), 0);
        auto* pHandle = static_cast<CPoint*>(handles.At(1));
        pHandle->SetX(12);
        pHandle->SetY(-3);
        QCOMPARE(pPolygon->SetPoints(handles), 0);
        QCOMPARE(pPolygon->Size(), size_t(3));
        QCOMPARE(pPolygon->Segmentize(edges, handles), 0);
        QCOMPARE(PointsOf(handles), (QVector<QPointF>{{0, 0}, {12, -3}, {5, 8}}));
    }

    void polygonSetPointsRejectsOtherShapes()
    {
        const ShapePtr pShape = MakePolygon({{0, 0}, {10, 0}, {5, 8}});
        auto* pPolygon = static_cast<CPolygon*>(pShape.get());
        CPointSet mixed;
        mixed.Add(std::make_shared<CPoint>(1, 1));
        mixed.Add(std::make_shared<CLine>(0, 0, 1, 1));
        QCOMPARE(pPolygon->SetPoints(mixed), int(Optra::EOptraResult_InvalidArgument));
        QCOMPARE(pPolygon->Size(), size_t(3));
        QCOMPARE(pPolygon->SetPoints(CPointSet()), 0);
        QCOMPARE(pPolygon->Size(), size_t(0));
    }

    void polygonFromDrawnEdges_data()
    {
        QTest::addColumn<QPointF>("release");
        QTest::addColumn<int>("vertices");
        // Four clicks: the first makes a zero-length edge, the last releases near the start.
        QTest::newRow("closed a little off the start") << QPointF(0.5, -0.5) << 4;
        QTest::newRow("closed exactly on the start") << QPointF(0, 0) << 3;
    }

    void polygonFromDrawnEdges()
    {
        QFETCH(QPointF, release);
        const CPoint p0(0, 0);
        const CPoint p1(10, 0);
        const CPoint p2(5, 8);
        const CPoint closing(release.x(), release.y());
        CPolygon polygon;
        for (const CLine& edge : {CLine(p0, p0), CLine(p0, p1), CLine(p1, p2), CLine(p2, closing)})
            QCOMPARE(polygon.AddGeometry(edge.CopyDeep()), 0);
        QTEST(int(polygon.Size()), "vertices");
        QVERIFY(polygon.GetPoints()[0] == p0);
        QVERIFY(polygon.GetPoints()[1] == p1);
        QVERIFY(polygon.GetPoints()[2] == p2);
        QVERIFY(polygon.Contained(CPoint(5, 3)));
    }

    void polygonAddGeometryOfOtherShapes()
    {
        CPolygon polygon;
        QCOMPARE(polygon.AddGeometry(std::shared_ptr<CShape>()), int(Optra::EOptraResult_InvalidArgument));
        QCOMPARE(polygon.AddGeometry(CPolygon()), int(Optra::EOptraResult_EmptyRegion));
        QCOMPARE(polygon.AddGeometry(CRectangle(0, 0, 4, 2)), 0);
        CPointSet edges;
        CPointSet handles;
        QCOMPARE(polygon.Segmentize(edges, handles), 0);
        QCOMPARE(PointsOf(handles), (QVector<QPointF>{{0, 0}, {4, 0}, {4, 2}, {0, 2}}));
        QCOMPARE(polygon.AddGeometry(CPoint(9, 9)), 0);
        QCOMPARE(polygon.Size(), size_t(5));
    }
};

OPTRA_TEST_MAIN(TestGeometry)
#include "tst_Geometry.moc"
