#include "tests/common/view2d/View2DFixture.h"

#include "common/view2d/ImageView2DGotoDialog.h"
#include "common/view2d/ImageView2DPyramid.h"

#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>

#include <cmath>

using namespace OptraTest;

namespace
{
const QRgb GREY = qRgb(120, 120, 120);
const QRgb GRID = qRgb(0, 100, 255);

QWheelEvent Wheel(const QPoint& ptWidget, int nDelta)
{
    return QWheelEvent(QPointF(ptWidget), QPointF(ptWidget), QPoint(), QPoint(0, nDelta), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
}

bool ImageHas(const QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
    {
        for (int x = 0; x < image.width(); ++x)
        {
            if (image.pixel(x, y) == colour)
                return true;
        }
    }
    return false;
}

QPointF Point(const QSignalSpy& spy, int nCall, int nArgument)
{
    return spy.at(nCall).at(nArgument).toPointF();
}
} // namespace

class TestImageView2D : public QObject
{
    Q_OBJECT

private slots:
    void toolSignals_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("doing");
        QTest::addColumn<QByteArray>("end");
        const QList<QPair<int, QByteArray>> lstTools{{EImageView2DMode_Selecting, "SelectMoving"},
                                                     {EImageView2DMode_Drawing_Rectanlge, "DrawRectangle"},
                                                     {EImageView2DMode_Drawing_Ellipse, "DrawEllipse"},
                                                     {EImageView2DMode_Drawing_Circle, "DrawCircle"},
                                                     {EImageView2DMode_Drawing_Polygon, "DrawPolygon"},
                                                     {EImageView2DMode_Drawing_Line, "DrawLine"}};
        // What SIGNAL() makes of the signatures.
        for (const auto& tool : lstTools)
            QTest::newRow(tool.second.constData())
                << tool.first << "2signal_" + tool.second + "Start(QPointF)"
                << "2signal_" + tool.second + "Doing(QPointF,QPointF)"
                << "2signal_" + tool.second + "End(QPointF,QPointF)";
    }

    // Each tool reports its gesture in image pixels: start at the press,
    // doing per move from the press, end at the release.
    void toolSignals()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, doing);
        QFETCH(QByteArray, end);
        SView2D unit;
        unit.mode.SetViewMode(EImageView2DMode(mode));
        unit.Hover(QPointF(20, 30));
        QSignalSpy spyStart(&unit.view, start.constData());
        QSignalSpy spyDoing(&unit.view, doing.constData());
        QSignalSpy spyEnd(&unit.view, end.constData());
        QSignalSpy spyActive(&unit.view, &CImageView2D::signal_Active);
        QSignalSpy spyPosition(&unit.view, &CImageView2D::signal_ChangeMousePosition);
        unit.Drag(QPointF(20, 30), QPointF(60, 50));
        QCOMPARE(spyActive.count(), 1);
        QCOMPARE(spyStart.count(), 1);
        QCOMPARE(spyStart.at(0).at(0).toPointF(), QPointF(20, 30));
        QCOMPARE(spyDoing.count(), 2);
        QCOMPARE(Point(spyDoing, 0, 0), QPointF(20, 30));
        QCOMPARE(Point(spyDoing, 1, 1), QPointF(60, 50));
        QCOMPARE(spyEnd.count(), 1);
        QCOMPARE(Point(spyEnd, 0, 0), QPointF(20, 30));
        QCOMPARE(Point(spyEnd, 0, 1), QPointF(60, 50));
        QCOMPARE(spyPosition.count(), 2);
        QCOMPARE(spyPosition.at(1).at(0).toPointF(), QPointF(60, 50));
    }

    // A click is no move; moves without the button ask for handles (select)
    // or follow with the polygon's waiting edge; a move inside the pressed
    // pixel is no move at all.
    void clicksAndHover()
    {
        SView2D unit;
        unit.Hover(QPointF(50, 50));
        QSignalSpy spyStart(&unit.view, &CImageView2D::signal_SelectMovingStart);
        QSignalSpy spyDoing(&unit.view, &CImageView2D::signal_SelectMovingDoing);
        QSignalSpy spyEnd(&unit.view, &CImageView2D::signal_SelectMovingEnd);
        QSignalSpy spyCheck(&unit.view, &CImageView2D::signal_CheckResizeRotate);
        unit.Click(QPointF(50, 50));
        QCOMPARE(spyStart.count(), 1);
        QCOMPARE(spyEnd.count(), 0);

        QTest::mousePress(&unit.view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QMouseEvent within(QEvent::MouseMove, QPointF(100.3, 99.8), Qt::NoButton, Qt::LeftButton,
                           Qt::NoModifier);
        QApplication::sendEvent(&unit.view, &within);
        QCOMPARE(spyDoing.count(), 0);
        QTest::mouseMove(&unit.view, QPoint(101, 100));
        QCOMPARE(spyDoing.count(), 1);
        QTest::mouseRelease(&unit.view, Qt::LeftButton, Qt::NoModifier, QPoint(101, 100));
        QCOMPARE(spyEnd.count(), 1);

        unit.Hover(QPointF(70, 70));
        QCOMPARE(spyCheck.count(), 1);
        QCOMPARE(spyCheck.at(0).at(0).toPointF(), QPointF(70, 70));
        unit.mode.SetViewMode(EImageView2DMode_Drawing_Polygon);
        QSignalSpy spyWaiting(&unit.view, &CImageView2D::signal_DrawPolygonWaiting);
        unit.Hover(QPointF(80, 70));
        QCOMPARE(spyWaiting.count(), 1);
    }

    // Wheel steps zoom about the mouse; the zoom factor never reaches 0.1
    // and one image pixel never covers more than 256 screen pixels.
    void wheelLimits()
    {
        SView2D unit;
        const QPoint ptMouse = unit.At(QPointF(50, 40));
        for (int i = 0; i < 5; ++i)
        {
            QWheelEvent wheel = Wheel(ptMouse, 120);
            QApplication::sendEvent(&unit.view, &wheel);
        }
        // Within a screen pixel: the viewport is whole pixels.
        const QPointF ptError = unit.view.MapToImage(QPointF(ptMouse)) - QPointF(50, 40);
        QVERIFY(std::abs(ptError.x()) * unit.view.GetSizePixel() <= 1);
        QVERIFY(std::abs(ptError.y()) * unit.view.GetSizePixel() <= 1);
        QVERIFY(std::abs(unit.view.GetSizePixel() - 2 * std::pow(1.12, 5)) < 0.01);

        unit.view.ZoomFit();
        for (int i = 0; i < 40; ++i)
        {
            QWheelEvent wheel = Wheel(ptMouse, -120);
            QApplication::sendEvent(&unit.view, &wheel);
        }
        // 0.88^18 is just above 0.1, 0.88^19 below.
        QVERIFY(std::abs(unit.view.GetScale() - std::pow(0.88, 18)) < 1e-9);
        QWheelEvent huge = Wheel(ptMouse, -1000);
        QApplication::sendEvent(&unit.view, &huge);
        QVERIFY(std::abs(unit.view.GetScale() - std::pow(0.88, 18)) < 1e-9);

        for (int i = 0; i < 300; ++i)
        {
            QWheelEvent wheel = Wheel(ptMouse, 120);
            QApplication::sendEvent(&unit.view, &wheel);
        }
        QCOMPARE(unit.view.GetSizePixel(), CImageView2D::MAX_SIZE_PIXEL);
        QVERIFY(unit.view.GetViewPort().width() > 0);
    }

    // Panning moves the image with the mouse, whatever the zoom.
    void pan()
    {
        SView2D unit;
        unit.view.ZoomAt(3, QPointF(100, 100));
        const QPointF ptBefore = unit.view.MapToWidget(QPointF(40, 40));
        unit.mode.SetViewMode(EImageView2DMode_Panning);
        QTest::mousePress(&unit.view, Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
        QTest::mouseMove(&unit.view, QPoint(215, 155));
        QTest::mouseMove(&unit.view, QPoint(230, 170));
        QTest::mouseRelease(&unit.view, Qt::LeftButton, Qt::NoModifier, QPoint(230, 170));
        const QPointF ptShift = unit.view.MapToWidget(QPointF(40, 40)) - ptBefore;
        QVERIFY2(std::abs(ptShift.x() - 30) <= 1 && std::abs(ptShift.y() - 20) <= 1,
                 qPrintable(QString("%1 %2").arg(ptShift.x()).arg(ptShift.y())));
    }

    void gotoCentres_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("origin at fit") << 1.0 << 0 << 0;
        QTest::newRow("origin zoomed") << 4.0 << 0 << 0;
        QTest::newRow("far corner zoomed") << 4.0 << 199 << 149;
        QTest::newRow("inside, far zoom") << 60.0 << 120 << 40;
    }

    // "GoTo" brings the pixel asked for to the middle of the view at the
    // zoom it has.
    void gotoCentres()
    {
        QFETCH(double, scale);
        QFETCH(int, x);
        QFETCH(int, y);
        SView2D unit;
        unit.view.ZoomAt(scale, QPointF(37, 211));
        const double dSizePixel = unit.view.GetSizePixel();
        CDialogScript script;
        script.Then(
            [x, y](QDialog* pDialog)
            {
                const QList<QSpinBox*> lstSpins = pDialog->findChildren<QSpinBox*>();
                lstSpins.at(0)->setValue(x);
                lstSpins.at(1)->setValue(y);
                QTest::mouseClick(pDialog->findChild<QPushButton*>(), Qt::LeftButton);
                return pDialog->result();
            });
        unit.view.slot_Goto();
        QVERIFY(script.Done());
        const QPointF ptShown = unit.view.MapToWidget(QPointF(x + 0.5, y + 0.5));
        QVERIFY2(std::abs(ptShown.x() - 200) <= 2 && std::abs(ptShown.y() - 150) <= 2,
                 qPrintable(QString("%1 %2").arg(ptShown.x()).arg(ptShown.y())));
        QCOMPARE(unit.view.GetSizePixel(), dSizePixel);
    }

    // Grey alone without an image; the image's pixels nearest-neighbour
    // when zoomed in; and a smooth copy when zoomed out, where a one-pixel
    // checkerboard turns mid-grey instead of aliasing.
    void painting()
    {
        SView2D empty(nullptr);
        QCOMPARE(empty.view.GetImageUID(), Optra::COptraObject::INVALID_UID);
        QImage image = empty.Render();
        QCOMPARE(image.pixel(0, 0), GREY);
        QCOMPARE(image.pixel(200, 150), GREY);

        SView2D unit(MakeImage(200, 100, 3, 200));
        image = unit.Render();
        QCOMPARE(image.pixel(200, 150), qRgb(200, 200, 200));
        QCOMPARE(image.pixel(200, 40), GREY);

        ImagePtr pChecker = MakeImage(1600, 1200, 1, 0);
        for (int y = 0; y < 1200; ++y)
        {
            for (int x = (y % 2); x < 1600; x += 2)
                pChecker->GetPixel(x, y)[0] = 255;
        }
        SView2D fine(pChecker);
        image = fine.Render();
        for (const QPoint& pt : {QPoint(10, 10), QPoint(201, 150), QPoint(390, 290)})
            QVERIFY(std::abs(qGray(image.pixel(pt)) - 128) <= 2);
    }

    // From 50 screen pixels per image pixel on, the pixel grid and the
    // sample values show; just below, neither does.
    void pixelGrid()
    {
        SView2D unit(MakeImage(200, 150, 1, 10));
        unit.view.ZoomAt(24.5, QPointF(200, 150));
        QCOMPARE(unit.view.GetSizePixel(), 49.0);
        QImage image = unit.Render();
        QVERIFY(!ImageHas(image, GRID));
        QVERIFY(!ImageHas(image, qRgb(255, 255, 255)));

        unit.view.ZoomFit();
        unit.view.ZoomAt(25, QPointF(200, 150));
        QCOMPARE(unit.view.GetSizePixel(), 50.0);
        image = unit.Render();
        QVERIFY(ImageHas(image, GRID));
        QVERIFY(ImageHas(image, qRgb(255, 255, 255)));
        QVERIFY(ImageHas(image, qRgb(0, 0, 0)));
    }

    void keysAndDrops()
    {
        SView2D unit;
        QSignalSpy spyKey(&unit.view, &CImageView2D::signal_PressKey);
        QSignalSpy spyUndo(&unit.view, &CImageView2D::signal_Undo);
        QSignalSpy spyRedo(&unit.view, &CImageView2D::signal_Redo);
        QSignalSpy spyCopy(&unit.view, &CImageView2D::signal_Copy);
        QSignalSpy spyPaste(&unit.view, &CImageView2D::signal_Paste);
        QTest::keyClick(&unit.view, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&unit.view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(&unit.view, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(&unit.view, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&unit.view, Qt::Key_Delete);
        // Modifier keys are keys too.
        QCOMPARE(spyKey.count(), 10);
        QCOMPARE(spyKey.last().at(0).toInt(), int(Qt::Key_Delete));
        QCOMPARE(spyUndo.count(), 1);
        QCOMPARE(spyRedo.count(), 1);
        QCOMPARE(spyCopy.count(), 1);
        QCOMPARE(spyPaste.count(), 1);

        // The controller tries to load the dropped file.
        CMessageRecorder messages;
        QSignalSpy spyAdd(&unit.view, &CImageView2D::signal_AddImage);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile("/tmp/a b.png"), QUrl("https://example.org/c.png")});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&unit.view, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&unit.view, &drop);
        QCOMPARE(spyAdd.count(), 1);
        QCOMPARE(spyAdd.at(0).at(0).toString(), QString("/tmp/a b.png"));
        QCOMPARE(messages.Texts().size(), 1);
    }

    // A registered action of the drawable menu calls back with the view's
    // id and the drawable the menu was opened for.
    void geometryAction()
    {
        SView2D unit;
        int nView = -1;
        unsigned int nObject = 0;
        unit.view.RegisterGeometryAction("Update", QIcon(),
                                         [&](int nViewId, unsigned int nObjectId)
                                         {
                                             nView = nViewId;
                                             nObject = nObjectId;
                                         });
        unit.view.ShowContextMenuDrawableObject(QPointF(10, 10), 42);
        QTRY_VERIFY(unit.view.GetMenuDrawable()->isVisible());
        const QList<QAction*> lstActions = unit.view.GetMenuDrawable()->actions();
        QCOMPARE(lstActions.size(), 2);
        QCOMPARE(lstActions.at(0)->text(), QString("Delete"));
        lstActions.at(1)->trigger();
        QCOMPARE(nView, 0);
        QCOMPARE(nObject, 42u);
        unit.view.GetMenuDrawable()->hide();
    }

    void pyramidHalving_data()
    {
        QTest::addColumn<QImage>("source");
        QTest::addColumn<QRgb>("first");
        QTest::addColumn<QRgb>("last");
        QImage grey(3, 1, QImage::Format_Grayscale8);
        grey.scanLine(0)[0] = 0;
        grey.scanLine(0)[1] = 255;
        grey.scanLine(0)[2] = 90;
        QTest::newRow("grey, odd width") << grey << qRgb(128, 128, 128) << qRgb(90, 90, 90);
        QImage rgba(2, 2, QImage::Format_RGBA8888);
        rgba.fill(QColor(0, 0, 255, 255));
        rgba.setPixelColor(0, 0, QColor(255, 0, 0, 0));
        // The invisible red must not tint the average.
        QTest::newRow("straight alpha") << rgba << qRgba(0, 0, 191, 191) << qRgba(0, 0, 191, 191);
    }

    void pyramidHalving()
    {
        QFETCH(QImage, source);
        QFETCH(QRgb, first);
        QFETCH(QRgb, last);
        const QImage half = CImageView2DPyramid::Halve(source);
        QCOMPARE(half.size(), QSize((source.width() + 1) / 2, (source.height() + 1) / 2));
        QCOMPARE(half.pixel(0, 0), first);
        QCOMPARE(half.pixel(half.width() - 1, 0), last);
    }

    void pyramidLevels()
    {
        CImageView2DPyramid pyramid;
        pyramid.Build(*MakeImage(100, 60));
        QCOMPARE(pyramid.GetLevelCount(), 3);
        QCOMPARE(pyramid.GetLevel(2).size(), QSize(25, 15));
        QCOMPARE(pyramid.GetAtLeast(QSizeF(30, 20)).size(), QSize(50, 30));
        QCOMPARE(pyramid.GetAtLeast(QSizeF(51, 20)).size(), QSize(100, 60));
        QCOMPARE(pyramid.GetAtLeast(QSizeF(1, 1)).size(), QSize(25, 15));
    }

    // Only the visible pixels of a level are handed to the painter: as a
    // view on a 32-bit level's own pixels, converted for the image's own
    // RGB or grey pixels, and never for a part outside the level.
    void paintablePart()
    {
        QImage rgb(7, 5, QImage::Format_RGB888);
        for (int y = 0; y < rgb.height(); ++y)
            for (int x = 0; x < rgb.width(); ++x)
                rgb.setPixel(x, y, qRgb(x * 30, y * 40, (x * y) % 256));
        const QRect rcPart(2, 1, 4, 3);
        const QImage part = CImageView2DPyramid::PaintablePart(rgb, rcPart);
        QCOMPARE(part.format(), QImage::Format_RGB32);
        QCOMPARE(part, rgb.copy(rcPart).convertToFormat(QImage::Format_RGB32));

        const QImage level = rgb.convertToFormat(QImage::Format_RGB32);
        const QImage shared = CImageView2DPyramid::PaintablePart(level, rcPart);
        QCOMPARE(shared, level.copy(rcPart));
        QCOMPARE(shared.constBits(), level.constBits() + rcPart.y() * level.bytesPerLine() + 4 * rcPart.x());

        QImage grey(5, 3, QImage::Format_Grayscale8);
        grey.fill(77);
        QCOMPARE(CImageView2DPyramid::PaintablePart(grey, QRect(1, 1, 2, 2)).pixel(1, 1), qRgb(77, 77, 77));
        QVERIFY(CImageView2DPyramid::PaintablePart(rgb, QRect(5, 0, 4, 2)).isNull());
        QVERIFY(CImageView2DPyramid::PaintablePart(rgb, QRect()).isNull());
        QVERIFY(CImageView2DPyramid::PaintablePart(QImage(8, 8, QImage::Format_Mono), QRect(0, 0, 2, 2))
                    .isNull());
    }

    // Zoomed in and panned, every screen pixel shows the image pixel under
    // it: the visible part is cut from the right place of the right copy.
    void zoomedInShowsThePixelUnderEachPoint_data()
    {
        QTest::addColumn<double>("scale");
        // Fitted at 0.4 screen pixels per image pixel; from 50 on the grid
        // and the sample values cover the pixels.
        QTest::newRow("just above 1:1") << 2.6;
        QTest::newRow("2 per pixel") << 5.3;
        QTest::newRow("25 per pixel") << 64.0;
        QTest::newRow("40 per pixel") << 100.0;
    }
    void zoomedInShowsThePixelUnderEachPoint()
    {
        QFETCH(double, scale);
        ImagePtr pImage = MakeImage(997, 751);
        for (int y = 0; y < 751; ++y)
            for (int x = 0; x < 997; ++x)
            {
                uint8_t* p = pImage->GetPixel(x, y);
                p[0] = uint8_t(x * 7);
                p[1] = uint8_t(y * 13);
                p[2] = uint8_t((x + y) * 3);
            }
        SView2D unit(pImage);
        unit.view.ZoomAt(scale, QPointF(137, 91));
        const QImage shown = unit.Render();
        int nChecked = 0;
        for (int y = 3; y < shown.height(); y += 37)
            for (int x = 5; x < shown.width(); x += 41)
            {
                const QPointF ptImage = unit.view.MapToImage(QPointF(x + 0.5, y + 0.5));
                const int nX = int(std::floor(ptImage.x()));
                const int nY = int(std::floor(ptImage.y()));
                // Points on a pixel's edge may show either neighbour.
                if (nX < 0 || nY < 0 || nX >= 997 || nY >= 751 || std::abs(ptImage.x() - nX - 0.5) > 0.45 ||
                    std::abs(ptImage.y() - nY - 0.5) > 0.45)
                    continue;
                const uint8_t* p = pImage->GetPixel(nX, nY);
                QCOMPARE(shown.pixel(x, y), qRgb(p[0], p[1], p[2]));
                ++nChecked;
            }
        QVERIFY(nChecked > 20);
    }

    // Zoomed out between two copies, the smooth scale of the visible part
    // matches the smooth scale of the whole copy.
    void zoomedOutMatchesTheWholeCopy()
    {
        ImagePtr pImage = MakeImage(1000, 800);
        for (int y = 0; y < 800; ++y)
            for (int x = 0; x < 1000; ++x)
                pImage->GetPixel(x, y)[0] = uint8_t((x / 3 + y / 5) * 9);
        SView2D unit(pImage);
        unit.view.ZoomAt(1.7, QPointF(300, 100));
        const QImage shown = unit.Render();
        // The same source rectangle painted from the whole image.
        const QImage whole = pImage->ToQImage().convertToFormat(QImage::Format_RGB32);
        QImage expected(shown.size(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(qRgb(120, 120, 120));
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRectF rcImage(0, 0, 1000, 800);
        painter.drawImage(unit.view.MapToWidget(rcImage), whole, rcImage);
        painter.end();
        int nWorst = 0;
        for (int y = 1; y < shown.height() - 1; y += 7)
            for (int x = 1; x < shown.width() - 1; x += 7)
                nWorst = std::max(nWorst, std::abs(qRed(shown.pixel(x, y)) - qRed(expected.pixel(x, y))));
        QVERIFY2(nWorst <= 2, qPrintable(QString::number(nWorst)));
    }
};

OPTRA_TEST_MAIN(TestImageView2D)
#include "tst_ImageView2D.moc"
