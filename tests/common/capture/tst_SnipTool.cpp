#include "tests/common/view2d/View2DFixture.h"

#include "common/capture/SnipTool.h"
#include "common/mvc/ImageViewer.h"
#include "tests/support/ViewsFixture.h"

#include <QClipboard>
#include <QPushButton>
#include <QScreen>

using namespace OptraTest;

namespace
{
// A plain red window under the area the tests grab, so a grab can be told
// from the dimming.
struct SBackdrop : QWidget
{
    SBackdrop()
    {
        setWindowFlags(Qt::FramelessWindowHint);
        QPalette palette;
        palette.setColor(QPalette::Window, Qt::red);
        setPalette(palette);
        setAutoFillBackground(true);
        setGeometry(60, 60, 300, 200);
        show();
        if (!QTest::qWaitForWindowExposed(this))
            qWarning("The backdrop was not shown");
        // Exposed is not yet painted: the grab must find red on the screen.
        const auto bOnScreen = []
        {
            const QImage pixel = QGuiApplication::primaryScreen()->grabWindow(0, 100, 100, 1, 1).toImage();
            return pixel.pixelColor(0, 0) == QColor(Qt::red);
        };
        if (!QTest::qWaitFor(bOnScreen))
            qWarning("The backdrop is not on the screen");
    }
};

CSnipTool* FindSnipTool()
{
    for (QWidget* pWidget : QApplication::topLevelWidgets())
    {
        if (auto* pTool = qobject_cast<CSnipTool*>(pWidget))
            return pTool;
    }
    return nullptr;
}

CSnipTool* OpenSnipTool(SView2D& unit)
{
    unit.controller.slot_OpenSnipTool();
    CSnipTool* pTool = FindSnipTool();
    if (pTool && !QTest::qWaitForWindowExposed(pTool))
        qWarning("The snip window was not shown");
    return pTool;
}
} // namespace

class TestSnipTool : public QObject
{
    Q_OBJECT

private slots:
    void grabsTheDraggedArea_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QSize>("size");
        QTest::newRow("down and right") << QPoint(100, 100) << QPoint(199, 149) << QSize(100, 50);
        QTest::newRow("up and left") << QPoint(199, 149) << QPoint(100, 100) << QSize(100, 50);
        QTest::newRow("release without moving") << QPoint(100, 100) << QPoint(100, 100) << QSize(1, 1);
        QTest::newRow("one pixel to the left") << QPoint(100, 100) << QPoint(99, 100) << QSize(2, 1);
    }

    // The grab becomes the view's current image and the clipboard's, and
    // shows the screen under the snip window, not its dimming.
    void grabsTheDraggedArea()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QSize, size);
        SView2D unit;
        SBackdrop backdrop;
        CSnipTool* pTool = OpenSnipTool(unit);
        QVERIFY(pTool);
        QCOMPARE(pTool->geometry(), QGuiApplication::primaryScreen()->geometry());
        QVERIFY(unit.view.isMinimized());
        QTest::mousePress(pTool, Qt::LeftButton, Qt::NoModifier, from);
        if (from != to)
        {
            QTest::mouseMove(pTool, (from + to) / 2);
            QTest::mouseMove(pTool, to);
        }
        QTest::mouseRelease(pTool, Qt::LeftButton, Qt::NoModifier, to);
        QVERIFY(!pTool->isVisible());
        QTRY_COMPARE(unit.imageList.GetImageCount(), size_t(2));
        const ImagePtr pGrab = unit.imageList.GetCurrentImage();
        QCOMPARE(QSize(pGrab->GetWidth(), pGrab->GetHeight()), size);
        const uint8_t* pPixel = pGrab->GetPixel(size.width() - 1, size.height() - 1);
        QCOMPARE(QColor(pPixel[0], pPixel[1], pPixel[2]), QColor(Qt::red));
        QCOMPARE(QGuiApplication::clipboard()->image().size(), size);
        QVERIFY(!unit.view.isMinimized());
        QVERIFY(unit.view.isVisible());
    }

    void escapeBringsTheWindowBack()
    {
        SView2D unit;
        CSnipTool* pTool = OpenSnipTool(unit);
        QVERIFY(pTool);
        QTest::mousePress(pTool, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QTest::keyClick(pTool, Qt::Key_Return);
        QVERIFY(pTool->isVisible());
        QTest::keyClick(pTool, Qt::Key_Escape);
        QVERIFY(!pTool->isVisible());
        QVERIFY(!unit.view.isMinimized());
        QCOMPARE(unit.imageList.GetImageCount(), size_t(1));
    }

    // The capture button of a view's frame opens the snip window for that view.
    void captureButtonOpensIt()
    {
        OptraTest::SImageViews views;
        QTest::mousePress(views.Frame(0)->GetButton(EImageViewFrameButton::Capture), Qt::LeftButton);
        CSnipTool* pTool = FindSnipTool();
        QVERIFY(pTool && pTool->isVisible());
        QVERIFY(views.window.isMinimized());
        QTest::keyClick(pTool, Qt::Key_Escape);
        QVERIFY(!views.window.isMinimized());
    }

    // The selection shows undimmed inside a green frame one pixel outside it.
    void paintsTheSelection()
    {
        SView2D unit;
        CSnipTool* pTool = OpenSnipTool(unit);
        QVERIFY(pTool);
        QTest::mousePress(pTool, Qt::LeftButton, Qt::NoModifier, QPoint(140, 130));
        QTest::mouseMove(pTool, QPoint(100, 100));
        QCOMPARE(pTool->GetSelection(), QRect(100, 100, 41, 31));
        QVERIFY(!pTool->mask().contains(QPoint(120, 115)));
        QImage image(200, 200, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        pTool->render(&image);
        QCOMPARE(image.pixelColor(99, 110), QColor(0, 255, 0));
        QCOMPARE(image.pixelColor(141, 110), QColor(0, 255, 0));
        QCOMPARE(image.pixelColor(120, 131), QColor(0, 255, 0));
        QCOMPARE(qAlpha(image.pixel(120, 115)), 0);
        // Grey at half opacity, up to the rounding of premultiplied alpha.
        QCOMPARE(qAlpha(image.pixel(50, 50)), 127);
        QVERIFY(qAbs(image.pixelColor(50, 50).red() - 127) <= 1);
        QTest::keyClick(pTool, Qt::Key_Escape);
    }
};

OPTRA_TEST_MAIN(TestSnipTool)
#include "tst_SnipTool.moc"
