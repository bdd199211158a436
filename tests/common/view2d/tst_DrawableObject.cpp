#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DDrawableRuler.h"
#include "tests/support/TestSupport.h"

#include "optra/geometry/Ellipse.h"
#include "optra/geometry/Line.h"
#include "optra/geometry/Polygon.h"
#include "optra/geometry/Rectangle.h"

using namespace Optra::Geometry;

namespace
{
std::shared_ptr<CShape> MakeShape(const QString& strKind)
{
    if (strKind == "point")
        return std::make_shared<CPoint>(5, 6);
    if (strKind == "line")
        return std::make_shared<CLine>(10, 10, 30, 20);
    if (strKind == "rectangle")
        return std::make_shared<CRectangle>(10, 10, 20, 20);
    if (strKind == "zero-width rectangle")
        return std::make_shared<CRectangle>(10, 10, 0, 20);
    if (strKind == "ellipse")
        return std::make_shared<CEllipse>(10, 10, 20, 20);
    if (strKind == "polygon")
    {
        auto pPolygon = std::make_shared<CPolygon>();
        pPolygon->AddGeometry(CLine(10, 10, 30, 10));
        pPolygon->AddGeometry(CLine(30, 10, 20, 30));
        return pPolygon;
    }
    return nullptr;
}
} // namespace

class TestDrawableObject : public QObject
{
    Q_OBJECT

private slots:
    void defaultNameByShape_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("line") << "line"
                              << "Line_";
        QTest::newRow("rectangle") << "rectangle"
                                   << "Rectangle_";
        QTest::newRow("polygon") << "polygon"
                                 << "Polygon_";
        QTest::newRow("no shape") << "none"
                                  << "";
    }

    void defaultNameByShape()
    {
        QFETCH(QString, kind);
        QFETCH(QString, prefix);
        CDrawableGeometry object(MakeShape(kind));
        QCOMPARE(object.GetName(), prefix.isEmpty() ? QString() : prefix + QString::number(object.GetUID()));
        object.SetName("");
        QCOMPARE(object.GetName(), prefix.isEmpty() ? QString() : prefix + QString::number(object.GetUID()));
        object.SetName("dog");
        QCOMPARE(object.GetName(), QString("dog"));
    }

    // Each setter is called twice with the same value.
    void propertySignalOnChangeOnly_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<int>("notifications");
        QTest::newRow("selected") << "selected" << 1;
        QTest::newRow("name") << "name" << 1;
        QTest::newRow("offset within fuzzy equality") << "fuzzy offset" << 1;
        QTest::newRow("pen always") << "pen" << 2;
        QTest::newRow("brush always") << "brush" << 2;
        QTest::newRow("extra info never") << "extra" << 0;
    }

    void propertySignalOnChangeOnly()
    {
        QFETCH(QString, property);
        QFETCH(int, notifications);
        CDrawableGeometry object(MakeShape("rectangle"));
        QSignalSpy spy(&object, &CDrawableObject::signal_ChangeDrawableObjectProperty);
        for (int i = 0; i < 2; ++i)
        {
            if (property == "selected")
                object.SetSelected(true);
            else if (property == "name")
                object.SetName("cat");
            else if (property == "fuzzy offset")
                object.SetMouseOffset(QPointF(3, 4 + i * 1e-13));
            else if (property == "pen")
                object.SetPen(QPen(Qt::red));
            else if (property == "brush")
                object.SetBrushFilled(QBrush(Qt::red));
            else
                object.SetExtraInfo(42);
        }
        QCOMPARE(spy.count(), notifications);
        if (notifications > 0)
            QCOMPARE(spy.first().first().toUInt(), object.GetUID());
    }

    void withoutShapeNothingMoves()
    {
        CDrawableGeometry object;
        QSignalSpy spy(&object, &CDrawableObject::signal_ChangeDrawableObjectProperty);
        QCOMPARE(object.GetBoundary(), QRectF(0, 0, 0, 0));
        object.MoveTopLeftTo(QPointF(5, 5));
        QPointF ptHandle;
        QVERIFY(!object.FindResizePoint(100, QPointF(0, 0), ptHandle));
        object.MoveResizePoint(QPointF(0, 0), QPointF(5, 5));
        QCOMPARE(spy.count(), 0);
    }

    void findResizePoint_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<double>("tolerance");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QPointF>("handle");
        QTest::newRow("exactly at the tolerance")
            << "rectangle" << 5.0 << QPointF(13, 14) << true << QPointF(10, 10);
        QTest::newRow("just beyond it") << "rectangle" << 4.999 << QPointF(13, 14) << false << QPointF();
        QTest::newRow("two in reach: the first in order")
            << "rectangle" << 30.0 << QPointF(20, 11) << true << QPointF(10, 10);
        QTest::newRow("polygon vertex") << "polygon" << 1.0 << QPointF(20, 30) << true << QPointF(20, 30);
        QTest::newRow("empty polygon") << "empty polygon" << 100.0 << QPointF(0, 0) << false << QPointF();
    }

    void findResizePoint()
    {
        QFETCH(QString, kind);
        QFETCH(double, tolerance);
        QFETCH(QPointF, point);
        QFETCH(bool, found);
        QFETCH(QPointF, handle);
        CDrawableGeometry object(kind == "empty polygon" ? std::make_shared<CPolygon>() : MakeShape(kind));
        QPointF ptHandle(-1, -1);
        QCOMPARE(object.FindResizePoint(tolerance, point, ptHandle), found);
        if (found)
            QCOMPARE(ptHandle, handle);
    }

    void moveResizePoint_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QPointF>("handle");
        QTest::addColumn<QPointF>("target");
        QTest::addColumn<QRectF>("boundary");
        QTest::newRow("rectangle top-right")
            << "rectangle" << QPointF(30, 10) << QPointF(40, 0) << QRectF(10, 0, 30, 30);
        QTest::newRow("zero width: the top-left corner moves")
            << "zero-width rectangle" << QPointF(10, 10) << QPointF(5, 5) << QRectF(5, 5, 5, 25);
        QTest::newRow("ellipse bottom-right")
            << "ellipse" << QPointF(30, 30) << QPointF(50, 40) << QRectF(10, 10, 40, 30);
        QTest::newRow("line start") << "line" << QPointF(10, 10) << QPointF(0, 40) << QRectF(0, 20, 30, 20);
        QTest::newRow("polygon vertex")
            << "polygon" << QPointF(20, 30) << QPointF(20, 50) << QRectF(10, 10, 20, 40);
        QTest::newRow("no matching handle")
            << "rectangle" << QPointF(11, 10) << QPointF(0, 0) << QRectF(10, 10, 20, 20);
        QTest::newRow("a point does not resize")
            << "point" << QPointF(5, 6) << QPointF(0, 0) << QRectF(5, 6, 0, 0);
    }

    void moveResizePoint()
    {
        QFETCH(QString, kind);
        QFETCH(QPointF, handle);
        QFETCH(QPointF, target);
        QFETCH(QRectF, boundary);
        CDrawableGeometry object(MakeShape(kind));
        const QRectF rcBefore = object.GetBoundary();
        QSignalSpy spy(&object, &CDrawableObject::signal_ChangeDrawableObjectProperty);
        object.MoveResizePoint(handle, target);
        QCOMPARE(object.GetBoundary(), boundary);
        QCOMPARE(spy.count(), boundary == rcBefore ? 0 : 1);
    }

    void rulerTextAtTheLineEnd()
    {
        CDrawableRuler ruler(std::make_shared<CLine>(1, 2, 7, 10));
        QCOMPARE(ruler.GetType(), EImageView2DDrawbleObjectType_Ruler);
        QCOMPARE(ruler.GetPointText(), QPointF(7, 10));
        ruler.SetData(MakeShape("rectangle"));
        QCOMPARE(ruler.GetPointText(), QPointF(0, 0));
        QCOMPARE(CDrawableRuler().GetPointText(), QPointF(0, 0));
    }
};

OPTRA_TEST_MAIN(TestDrawableObject)
#include "tst_DrawableObject.moc"
