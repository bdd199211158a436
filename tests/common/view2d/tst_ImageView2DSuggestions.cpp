// Proposed boxes in one 2D view: drawn dashed over the image in their own
// colour, selected by a click, taken with Enter or a double-click, all at
// once with Ctrl+Enter, left with Delete; and none of it touches the
// drawables, which keep their own keys while no proposal is selected.
#include "tests/common/view2d/View2DFixture.h"

#include <QSignalSpy>

using namespace OptraTest;

namespace
{
const QRgb ORANGE = qRgb(255, 140, 0);

using Action = EImageView2DSuggestionAction;

std::vector<SImageView2DSuggestion> TwoSuggestions()
{
    // The second lies inside the first: a click there means the smaller one.
    return {{QRectF(20, 20, 100, 80), QStringLiteral("car 87%")},
            {QRectF(50, 40, 20, 20), QStringLiteral("dog 40%")}};
}

int CountColour(const QImage& image, const QRect& rcArea, QRgb colour)
{
    int nCount = 0;
    for (int y = rcArea.top(); y <= rcArea.bottom(); ++y)
        for (int x = rcArea.left(); x <= rcArea.right(); ++x)
            nCount += image.pixel(x, y) == colour ? 1 : 0;
    return nCount;
}
} // namespace

Q_DECLARE_METATYPE(EImageView2DSuggestionAction)

class TestImageView2DSuggestions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<EImageView2DSuggestionAction>(); }

    void paintedDashedWithLabel()
    {
        SView2D unit;
        const QImage before = unit.Render();
        unit.view.SetSuggestions(TwoSuggestions());
        const QImage after = unit.Render();
        // The left edge of the first box (image x 20 = widget x 40), dashed:
        // some of its pixels are orange, some are the image.
        const QRect rcEdge(39, 60, 3, 140);
        const int nOrange = CountColour(after, rcEdge, ORANGE);
        QVERIFY2(nOrange > 40 && nOrange < 3 * 140, qPrintable(QString::number(nOrange)));
        QCOMPARE(CountColour(before, rcEdge, ORANGE), 0);
        // The label sits on an orange band above the top edge.
        QVERIFY(CountColour(after, QRect(41, 20, 40, 18), ORANGE) > 100);
        // Gone with a new image: they belonged to the old pixels.
        unit.imageList.SetCurrentImage(MakeImage(200, 150, 3, 90));
        QTRY_VERIFY(unit.view.GetSuggestions().empty());
        QCOMPARE(CountColour(unit.Render(), rcEdge, ORANGE), 0);
    }

    void keysActOnTheSelection()
    {
        SView2D unit;
        QSignalSpy spy(&unit.view, &CImageView2D::signal_SuggestionAction);
        unit.view.SetSuggestions(TwoSuggestions());
        // The first is selected without a click: Enter, Enter, ... works.
        QCOMPARE(unit.view.GetSelectedSuggestion(), 0);
        QTest::keyClick(&unit.view, Qt::Key_Return);
        QTest::keyClick(&unit.view, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(&unit.view, Qt::Key_Return, Qt::ControlModifier);
        unit.view.SelectSuggestion(1);
        QTest::keyClick(&unit.view, Qt::Key_Delete);
        QTest::keyClick(&unit.view, Qt::Key_Backspace);
        QCOMPARE(spy.count(), 5);
        const std::pair<Action, int> arrExpected[] = {{Action::Accept, 0},
                                                      {Action::Accept, 0},
                                                      {Action::AcceptAll, -1},
                                                      {Action::Reject, 1},
                                                      {Action::Reject, 1}};
        for (int i = 0; i < 5; ++i)
        {
            QCOMPARE(spy[i][0].value<Action>(), arrExpected[i].first);
            QCOMPARE(spy[i][1].toInt(), arrExpected[i].second);
        }
        // Taking one away keeps the selection at its place, clamped.
        unit.view.SetSuggestions({TwoSuggestions().front()});
        QCOMPARE(unit.view.GetSelectedSuggestion(), 0);
        unit.view.SetSuggestions({});
        QCOMPARE(unit.view.GetSelectedSuggestion(), -1);
        QTest::keyClick(&unit.view, Qt::Key_Return);
        QCOMPARE(spy.count(), 5);
    }

    void clicksSelectAndDoubleClickAccepts()
    {
        SView2D unit;
        unit.view.SetSuggestions(TwoSuggestions());
        QSignalSpy spy(&unit.view, &CImageView2D::signal_SuggestionAction);
        unit.Click(QPointF(60, 50));
        QCOMPARE(unit.view.GetSelectedSuggestion(), 1);
        unit.Click(QPointF(30, 30));
        QCOMPARE(unit.view.GetSelectedSuggestion(), 0);
        QTest::mouseDClick(&unit.view, Qt::LeftButton, Qt::NoModifier, unit.At(QPointF(60, 50)));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].value<Action>(), Action::Accept);
        QCOMPARE(spy[0][1].toInt(), 1);
        // A click beside them leaves no proposal selected; Enter then
        // selects the first rather than accepting anything.
        unit.Click(QPointF(180, 140));
        QCOMPARE(unit.view.GetSelectedSuggestion(), -1);
        QTest::keyClick(&unit.view, Qt::Key_Return);
        QCOMPARE(unit.view.GetSelectedSuggestion(), 0);
        QCOMPARE(spy.count(), 1);
    }

    void drawablesKeepTheirGestures()
    {
        SView2D unit;
        const std::shared_ptr<CDrawableObject> pBox = unit.DrawBox(QPointF(130, 100), QPointF(190, 140));
        QVERIFY(pBox);
        unit.view.SetSuggestions(TwoSuggestions());
        // A press on a proposal starts no move of the box selected before.
        const QRectF rcBefore = pBox->GetBoundary();
        unit.Drag(QPointF(60, 50), QPointF(90, 80));
        QCOMPARE(pBox->GetBoundary(), rcBefore);
        QCOMPARE(unit.geometry.GetObjects().size(), size_t(1));
        // With no proposal selected Delete is the box's again.
        unit.Click(QPointF(150, 120));
        QCOMPARE(unit.view.GetSelectedSuggestion(), -1);
        QTest::keyClick(&unit.view, Qt::Key_Delete);
        QTRY_VERIFY(unit.geometry.GetObjects().empty());
        // While the rectangle tool is on, a drag over a proposal draws.
        QTest::keyClick(&unit.view, Qt::Key_W);
        unit.Drag(QPointF(55, 45), QPointF(65, 58));
        QCOMPARE(unit.geometry.GetObjects().size(), size_t(1));
    }
};

QTEST_MAIN(TestImageView2DSuggestions)
#include "tst_ImageView2DSuggestions.moc"
