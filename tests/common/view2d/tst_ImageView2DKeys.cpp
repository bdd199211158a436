// The keys of one 2D view as a user presses them: the rectangle tool and
// back, drawing box after box, fit and zoom about the cursor, panning while
// Space is held (also let go in mid-drag), names and guide lines shown and
// hidden, and nothing of it while a drag is under way.
#include "tests/common/view2d/View2DFixture.h"

#include "common/view2d/ImageView2DToolView.h"

#include <QCheckBox>

using namespace OptraTest;

namespace
{
const QRgb GUIDE = qRgb(255, 220, 0);
const QRgb LABEL = qRgb(10, 10, 10);

int CountInRow(const QImage& image, int y, QRgb colour, int nFrom, int nTo)
{
    int nCount = 0;
    for (int x = std::max(0, nFrom); x < std::min(image.width(), nTo); ++x)
        nCount += image.pixel(x, y) == colour ? 1 : 0;
    return nCount;
}

int CountAll(const QImage& image, QRgb colour)
{
    int nCount = 0;
    for (int y = 0; y < image.height(); ++y)
        nCount += CountInRow(image, y, colour, 0, image.width());
    return nCount;
}

void SendKey(QWidget* pWidget, QEvent::Type type, int nKey, bool bAutoRepeat)
{
    QKeyEvent event(type, nKey, Qt::NoModifier, nKey == Qt::Key_Space ? QStringLiteral(" ") : QString(),
                    bAutoRepeat);
    QApplication::sendEvent(pWidget, &event);
}
} // namespace

class TestImageView2DKeys : public QObject
{
    Q_OBJECT

private slots:
    void toolKeys()
    {
        SView2D unit;
        QTest::keyClick(&unit.view, Qt::Key_W);
        QCOMPARE(unit.mode.GetViewMode(), EImageView2DMode_Drawing_Rectanlge);
        QTest::keyClick(&unit.view, Qt::Key_Escape);
        QCOMPARE(unit.mode.GetViewMode(), EImageView2DMode_Selecting);
        QTest::keyClick(&unit.view, Qt::Key_R);
        QCOMPARE(unit.mode.GetViewMode(), EImageView2DMode_Drawing_Rectanlge);
        unit.mode.SetViewMode(EImageView2DMode_Selecting);
        // With a modifier the letters belong to someone else.
        QTest::keyClick(&unit.view, Qt::Key_W, Qt::ControlModifier);
        QTest::keyClick(&unit.view, Qt::Key_R, Qt::ShiftModifier);
        QCOMPARE(unit.mode.GetViewMode(), EImageView2DMode_Selecting);

        // One box, then the tool falls back to selecting.
        QTest::keyClick(&unit.view, Qt::Key_W);
        unit.Drag(QPointF(10, 10), QPointF(40, 30));
        QCOMPARE(unit.geometry.GetObjects().size(), size_t(1));
        QCOMPARE(unit.mode.GetViewMode(), EImageView2DMode_Selecting);
    }

    void drawingContinuously()
    {
        SView2D unit;
        QCheckBox* pContinuous = unit.controller.GetToolBox()->GetDrawContinuouslyBox();
        QCOMPARE(pContinuous->text(), QString("Draw continuously"));
        pContinuous->click();
        QVERIFY(unit.mode.GetDrawContinuously());
        QTest::keyClick(&unit.view, Qt::Key_W);
        unit.Drag(QPointF(10, 10), QPointF(40, 30));
        unit.Drag(QPointF(50, 10), QPointF(80, 30));
        // A drag starting inside a box is a new box, not a move of it.
        unit.Drag(QPointF(20, 15), QPointF(90, 60));
        QCOMPARE(unit.geometry.GetObjects().size(), size_t(3));
        QCOMPARE(unit.mode.GetViewMode(), EImageView2DMode_Drawing_Rectanlge);
        QCOMPARE(unit.controller.GetUndoStack().GetUndoCount(), size_t(3));
        // A click is no box and leaves the tool as it is.
        unit.Click(QPointF(150, 100));
        QCOMPARE(unit.geometry.GetObjects().size(), size_t(3));

        // Keeping the class keeps the tool too, the box unchecked.
        pContinuous->click();
        QVERIFY(!unit.mode.GetDrawContinuously());
        unit.mode.SetKeepClass(true);
        unit.Drag(QPointF(100, 80), QPointF(130, 110));
        QCOMPARE(unit.mode.GetViewMode(), EImageView2DMode_Drawing_Rectanlge);
        unit.mode.SetKeepClass(false);
        unit.Drag(QPointF(140, 80), QPointF(170, 110));
        QCOMPARE(unit.mode.GetViewMode(), EImageView2DMode_Selecting);
        QCOMPARE(unit.geometry.GetObjects().size(), size_t(5));
    }

    void fitAndZoomAboutTheCursor()
    {
        SView2D unit;
        const QPointF ptImage(30, 40);
        unit.Hover(ptImage);
        const QPoint ptCursor = unit.At(ptImage);
        QTest::keyClick(&unit.view, Qt::Key_Plus, Qt::ShiftModifier);
        QTest::keyClick(&unit.view, Qt::Key_Equal);
        QTest::keyClick(&unit.view, Qt::Key_Plus, Qt::KeypadModifier);
        QVERIFY(qFuzzyCompare(unit.view.GetScale(), 1.25 * 1.25 * 1.25));
        // The image point under the cursor stays there.
        const QPointF ptUnder = unit.view.MapToImage(QPointF(ptCursor));
        QVERIFY2(std::abs(ptUnder.x() - ptImage.x()) < 1 && std::abs(ptUnder.y() - ptImage.y()) < 1,
                 qPrintable(QString("%1 %2").arg(ptUnder.x()).arg(ptUnder.y())));
        QTest::keyClick(&unit.view, Qt::Key_Minus);
        QVERIFY(qFuzzyCompare(unit.view.GetScale(), 1.25 * 1.25));

        QTest::keyClick(&unit.view, Qt::Key_F);
        QCOMPARE(unit.view.GetScale(), 1.0);
        QCOMPARE(unit.view.GetViewPort(), QRect(0, 0, 400, 300));

        // Without the cursor over the view, about its middle.
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&unit.view, &leave);
        QTest::keyClick(&unit.view, Qt::Key_Plus, Qt::ShiftModifier);
        const QPointF ptMiddle = unit.view.MapToImage(QPointF(unit.view.rect().center()));
        QVERIFY(std::abs(ptMiddle.x() - 100) < 1 && std::abs(ptMiddle.y() - 75) < 1);
        // Ctrl with '-' is no zoom.
        QTest::keyClick(&unit.view, Qt::Key_Minus, Qt::ControlModifier);
        QVERIFY(qFuzzyCompare(unit.view.GetScale(), 1.25));
    }

    void spaceHeldPans()
    {
        SView2D unit;
        unit.view.ZoomAt(3, QPointF(200, 150));
        unit.mode.SetViewMode(EImageView2DMode_Drawing_Rectanlge);
        const QPointF ptBefore = unit.view.MapToWidget(QPointF(60, 60));
        SendKey(&unit.view, QEvent::KeyPress, Qt::Key_Space, false);
        // A held key repeats as release and press pairs.
        SendKey(&unit.view, QEvent::KeyRelease, Qt::Key_Space, true);
        SendKey(&unit.view, QEvent::KeyPress, Qt::Key_Space, true);
        QTest::mousePress(&unit.view, Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
        QTest::mouseMove(&unit.view, QPoint(220, 160));
        QTest::mouseRelease(&unit.view, Qt::LeftButton, Qt::NoModifier, QPoint(220, 160));
        const QPointF ptShift = unit.view.MapToWidget(QPointF(60, 60)) - ptBefore;
        QVERIFY2(std::abs(ptShift.x() - 20) <= 1 && std::abs(ptShift.y() - 10) <= 1,
                 qPrintable(QString("%1 %2").arg(ptShift.x()).arg(ptShift.y())));
        QVERIFY(unit.geometry.GetObjects().empty());
        QCOMPARE(unit.mode.GetViewMode(), EImageView2DMode_Drawing_Rectanlge);

        // Let go in mid-drag: the gesture goes on panning and ends the pan.
        QTest::mousePress(&unit.view, Qt::LeftButton, Qt::NoModifier, QPoint(220, 160));
        SendKey(&unit.view, QEvent::KeyRelease, Qt::Key_Space, false);
        QTest::mouseMove(&unit.view, QPoint(200, 150));
        QTest::mouseRelease(&unit.view, Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
        QVERIFY(unit.geometry.GetObjects().empty());
        const QPointF ptBack = unit.view.MapToWidget(QPointF(60, 60)) - ptBefore;
        QVERIFY(std::abs(ptBack.x()) <= 1 && std::abs(ptBack.y()) <= 1);
        // The tool draws again.
        unit.Drag(QPointF(40, 40), QPointF(70, 60));
        QCOMPARE(unit.geometry.GetObjects().size(), size_t(1));
    }

    void namesAndGuideLines()
    {
        // Light pixels, so the dark name labels stand out.
        SView2D unit(MakeImage(200, 150, 3, 200));
        const auto pBox = unit.DrawBox(QPointF(40, 40), QPointF(90, 80));
        QVERIFY(pBox);
        pBox->SetName(QStringLiteral("car"));
        unit.view.update();
        QVERIFY(CountAll(unit.Render(), LABEL) > 0);
        QTest::keyClick(&unit.view, Qt::Key_H);
        QVERIFY(!unit.view.GetShowNames());
        QCOMPARE(CountAll(unit.Render(), LABEL), 0);
        QTest::keyClick(&unit.view, Qt::Key_H);
        QVERIFY(CountAll(unit.Render(), LABEL) > 0);

        // Zoomed out, grey lies left and right of the image.
        QTest::keyClick(&unit.view, Qt::Key_Minus);
        QTest::keyClick(&unit.view, Qt::Key_Minus);
        const QRect rcImage = unit.view.MapToWidget(QRectF(0, 0, 200, 150)).toRect();
        QVERIFY(rcImage.left() > 20);
        QTest::keyClick(&unit.view, Qt::Key_L);
        QVERIFY(unit.view.GetGuideLines());
        const QPoint ptCursor = unit.At(QPointF(150, 20));
        QTest::mouseMove(&unit.view, ptCursor);
        QImage shown = unit.Render();
        QVERIFY(CountInRow(shown, ptCursor.y(), GUIDE, rcImage.left(), rcImage.right()) >
                rcImage.width() / 3);
        QCOMPARE(CountInRow(shown, ptCursor.y(), GUIDE, 0, rcImage.left() - 1), 0);
        QCOMPARE(CountInRow(shown, ptCursor.y(), GUIDE, rcImage.right() + 2, shown.width()), 0);
        // Off the image, no lines.
        QTest::mouseMove(&unit.view, QPoint(rcImage.left() / 2, ptCursor.y()));
        QCOMPARE(CountAll(unit.Render(), GUIDE), 0);
        QTest::mouseMove(&unit.view, ptCursor);
        QTest::keyClick(&unit.view, Qt::Key_L);
        QCOMPARE(CountAll(unit.Render(), GUIDE), 0);
    }

    void viewKeysWaitForTheGesture()
    {
        SView2D unit;
        unit.view.ZoomAt(2, QPointF(200, 150));
        QTest::mousePress(&unit.view, Qt::LeftButton, Qt::NoModifier, unit.At(QPointF(20, 20)));
        QTest::mouseMove(&unit.view, unit.At(QPointF(30, 30)));
        for (Qt::Key nKey : {Qt::Key_W, Qt::Key_F, Qt::Key_Minus, Qt::Key_H, Qt::Key_L, Qt::Key_Space})
            QTest::keyClick(&unit.view, nKey);
        QTest::mouseRelease(&unit.view, Qt::LeftButton, Qt::NoModifier, unit.At(QPointF(30, 30)));
        QCOMPARE(unit.mode.GetViewMode(), EImageView2DMode_Selecting);
        QCOMPARE(unit.view.GetScale(), 2.0);
        QVERIFY(unit.view.GetShowNames());
        QVERIFY(!unit.view.GetGuideLines());
    }
};

OPTRA_TEST_MAIN(TestImageView2DKeys)
#include "tst_ImageView2DKeys.moc"
