#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DDrawableRuler.h"
#include "common/view2d/ImageView2DDrawableWidget.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DLayer.h"
#include "tests/support/TestSupport.h"

#include "optra/geometry/Line.h"
#include "optra/geometry/Polygon.h"
#include "optra/geometry/Rectangle.h"

#include <QPainter>

#include <algorithm>

using namespace Optra::Geometry;

namespace
{
const QRgb BLACK = qRgb(0, 0, 0);
const QRgb RED = qRgb(255, 0, 0);
const QRgb GREEN = qRgb(0, 255, 0);
const QRgb LABEL = qRgb(10, 10, 10);

std::shared_ptr<CDrawableGeometry> Box(double x, double y, double dWidth, double dHeight)
{
    return std::make_shared<CDrawableGeometry>(std::make_shared<CRectangle>(x, y, dWidth, dHeight));
}

// A kind of drawable the layer does not know.
class COtherDrawable : public CDrawableObject
{
public:
    COtherDrawable() : CDrawableObject(EImageView2DDrawbleObjectType(2)) {}
    QRectF GetBoundary() const override { return QRectF(10, 10, 20, 20); }
    void MoveTopLeftTo(const QPointF&) override {}
    bool FindResizePoint(double, const QPointF&, QPointF&) override { return false; }
    void MoveResizePoint(const QPointF&, const QPointF&) override {}
};

// A layer of 320x240 widget pixels showing image pixels at the given zoom.
struct SLayer
{
    CGeometryLayer layer;

    explicit SLayer(int nZoom = 4)
    {
        layer.resize(320, 240);
        layer.SetViewPort(QRect(0, 0, 320, 240));
        layer.SetWindow(QRect(0, 0, 320 / nZoom, 240 / nZoom));
    }

    QImage Render()
    {
        QImage image(layer.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        layer.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        return image;
    }
};

// The right end of the label in a row: the last pixel that is not background.
int LabelRight(const QImage& image, int y, int xFrom)
{
    int nRight = -1;
    for (int x = xFrom; x < image.width(); ++x)
    {
        if (image.pixel(x, y) != BLACK)
            nRight = x;
    }
    return nRight;
}

bool RowHas(const QImage& image, int y, int xFrom, int xTo, QRgb colour)
{
    for (int x = xFrom; x < xTo; ++x)
    {
        if (image.pixel(x, y) == colour)
            return true;
    }
    return false;
}

QFont LabelFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(16);
    return font;
}
} // namespace

class TestGeometryLayer : public QObject
{
    Q_OBJECT

private slots:
    void mapping_data()
    {
        QTest::addColumn<QRect>("viewport");
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QPointF>("image");
        QTest::addColumn<QPointF>("widget");
        QTest::newRow("zoom 2") << QRect(0, 0, 200, 200) << QRect(0, 0, 100, 100) << QPointF(10, 20)
                                << QPointF(20, 40);
        QTest::newRow("shifted viewport")
            << QRect(50, 30, 200, 100) << QRect(0, 0, 100, 50) << QPointF(10, 10) << QPointF(70, 50);
        QTest::newRow("viewport left of the widget")
            << QRect(-150, 0, 300, 100) << QRect(0, 0, 100, 100) << QPointF(50, 50) << QPointF(0, 50);
        QTest::newRow("unequal scales")
            << QRect(0, 0, 300, 100) << QRect(0, 0, 100, 100) << QPointF(10, 10) << QPointF(30, 10);
    }

    void mapping()
    {
        QFETCH(QRect, viewport);
        QFETCH(QRect, window);
        QFETCH(QPointF, image);
        QFETCH(QPointF, widget);
        CGeometryLayer layer;
        layer.SetViewPort(viewport);
        layer.SetWindow(window);
        QCOMPARE(layer.MapToWidget(image), widget);
        QCOMPARE(layer.MapToImage(widget), image);
    }

    // A 20x10 box at (10, 10) shown four times enlarged: widget (40, 40) to (120, 80).
    void outlineColourAndWidth_data()
    {
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("selected is red") << true << RED;
        QTest::newRow("others are green") << false << GREEN;
    }

    void outlineColourAndWidth()
    {
        QFETCH(bool, selected);
        QFETCH(QRgb, colour);
        SLayer fixture;
        auto pBox = Box(10, 10, 20, 10);
        pBox->SetSelected(selected);
        pBox->SetDisplayName(false);
        fixture.layer.DrawObject(pBox);
        const QImage image = fixture.Render();
        QCOMPARE(image.pixel(80, 80), colour);
        QCOMPARE(image.pixel(40, 60), colour);
        // One screen pixel wide at this zoom.
        QCOMPARE(image.pixel(80, 81), BLACK);
        QCOMPARE(image.pixel(39, 60), BLACK);
        // The inside is tinted with the colour at alpha 50.
        QCOMPARE(image.pixel(80, 60), qRgb(qRed(colour) * 50 / 255, qGreen(colour) * 50 / 255, 0));
        // A handle circle of three pixels about the bottom-right corner.
        QCOMPARE(image.pixel(123, 80), colour);
        QCOMPARE(image.pixel(125, 80), BLACK);
    }

    // The label sits on its anchor as on a text baseline: a box's top-left
    // corner, a measuring line's end.
    void labels_data()
    {
        QTest::addColumn<bool>("ruler");
        QTest::addColumn<QPoint>("anchor");
        QTest::addColumn<QString>("text");
        QTest::newRow("name of a box") << false << QPoint(40, 40) << "dog";
        QTest::newRow("length of a measuring line") << true << QPoint(140, 180) << "50.000 pixel";
    }

    void labels()
    {
        QFETCH(bool, ruler);
        QFETCH(QPoint, anchor);
        QFETCH(QString, text);
        SLayer fixture;
        if (ruler)
            fixture.layer.DrawObject(std::make_shared<CDrawableRuler>(std::make_shared<CLine>(5, 5, 35, 45)));
        else
            fixture.layer.DrawObject(Box(10, 10, 20, 10));
        fixture.layer.GetDrawableObjects().front()->SetName(text);
        const QImage image = fixture.Render();
        // Whichever font the machine gives for the label, its box starts at
        // the anchor and ends just after the text drawn in it.
        const QFontMetricsF metrics(LabelFont(), &image);
        const int nRow = anchor.y() - int(metrics.ascent()) + 1;
        QCOMPARE(image.pixel(anchor.x() + 1, nRow), LABEL);
        QCOMPARE(image.pixel(anchor.x() - 1, nRow), BLACK);
        const int nLabelRight = LabelRight(image, nRow, anchor.x());
        int nTextLeft = image.width();
        int nTextRight = -1;
        for (int y = nRow; y < anchor.y() + int(metrics.descent()); ++y)
        {
            // Right of the anchor: a ruler's handle sits on its left.
            for (int x = anchor.x(); x < image.width(); ++x)
            {
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    continue;
                nTextLeft = std::min(nTextLeft, x);
                nTextRight = std::max(nTextRight, x);
            }
        }
        QVERIFY(nTextRight > nTextLeft);
        QVERIFY(nTextRight <= nLabelRight);
        QVERIFY(nLabelRight - nTextRight <= metrics.averageCharWidth());
        QVERIFY(RowHas(image, anchor.y() - 2, anchor.x(), nLabelRight, qRgb(255, 255, 255)));
        QCOMPARE(image.pixel(80, 100), ruler ? GREEN : BLACK);
    }

    void drawsNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("shape that cannot be segmentized") << "empty polygon";
        QTest::newRow("no shape") << "none";
        QTest::newRow("unknown kind of drawable") << "other";
    }

    void drawsNothing()
    {
        QFETCH(QString, kind);
        SLayer fixture;
        std::shared_ptr<CDrawableObject> pObject;
        if (kind == "other")
            pObject = std::make_shared<COtherDrawable>();
        else
            pObject =
                std::make_shared<CDrawableGeometry>(kind == "none" ? nullptr : std::make_shared<CPolygon>());
        pObject->SetName("named");
        fixture.layer.DrawObject(pObject);
        const QImage image = fixture.Render();
        QCOMPARE(image, SLayer().Render());
    }

    // Only what can touch the painted part is drawn, labels reaching into it included.
    void paintsTheExposedPartOnly()
    {
        SLayer fixture(1);
        auto pInside = Box(100, 100, 20, 20);
        auto pOutside = Box(10, 150, 20, 20);
        auto pLabelReaching = Box(60, 40, 10, 10);
        pInside->SetDisplayName(false);
        pOutside->SetDisplayName(false);
        pLabelReaching->SetName("a rather long name");
        for (const auto& pBox : {pInside, pOutside, pLabelReaching})
            fixture.layer.DrawObject(pBox);
        QImage image(fixture.layer.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        QPainter painter(&image);
        fixture.layer.PaintDrawables(painter, QTransform(), QRect(90, 30, 60, 100));
        painter.end();
        QCOMPARE(image.pixel(110, 120), GREEN);
        QCOMPARE(image.pixel(20, 170), BLACK);
        QCOMPARE(image.pixel(60, 60), BLACK);
        // Label pixels are its background or its text, never the canvas.
        QVERIFY(image.pixel(95, 38) != BLACK);
    }

    void cursorFollowsTheTool()
    {
        CImageView2DModeModel modes;
        CGeometryLayer layer;
        layer.SetViewModeModel(&modes);
        const std::vector<std::pair<EImageView2DMode, Qt::CursorShape>> vctSteps{
            {EImageView2DMode_Panning, Qt::SizeAllCursor},
            {EImageView2DMode_Drawing_Rectanlge, Qt::CrossCursor},
            {EImageView2DMode_Selecting, Qt::ArrowCursor},
            {EImageView2DMode_Drawing_Line, Qt::CrossCursor}};
        for (const auto& [eMode, eShape] : vctSteps)
        {
            modes.SetViewMode(eMode);
            QCOMPARE(layer.cursor().shape(), eShape);
        }
    }

    void overlayMirrorsTheDrawingInProgress()
    {
        CGeometryModel model;
        CLayerDrawing overlay(0);
        overlay.SetGeometryModel(&model);
        QVERIFY(overlay.testAttribute(Qt::WA_TransparentForMouseEvents));
        auto pEdge = Box(0, 0, 1, 1);
        auto pPreview = Box(1, 1, 1, 1);
        model.AddObjectDrawing(pEdge);
        model.AddObjectDrawingWaiting(pPreview);
        using List = std::vector<CGeometryLayer::ObjectPtr>;
        QVERIFY(overlay.GetDrawableObjects() == (List{pEdge, pPreview}));
        model.ClearObjectDrawing();
        QVERIFY(overlay.GetDrawableObjects() == (List{pPreview}));
        model.ClearObjectDrawingWaiting();
        QVERIFY(overlay.GetDrawableObjects().empty());
    }
};

OPTRA_TEST_MAIN(TestGeometryLayer)
#include "tst_GeometryLayer.moc"
