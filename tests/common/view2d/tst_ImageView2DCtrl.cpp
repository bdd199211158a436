#include "tests/common/view2d/View2DFixture.h"

#include "common/view2d/ImageView2DDrawableRuler.h"
#include "common/view2d/ImageView2DToolView.h"

#include "optra/geometry/Polygon.h"

#include <QLayout>
#include <QMenu>
#include <QPushButton>

using namespace OptraTest;

namespace
{
const QPointF A(20, 20);
const QPointF B(80, 20);
const QPointF C(80, 80);

QRectF Box(const std::shared_ptr<CDrawableObject>& pObject)
{
    return pObject ? pObject->GetBoundary() : QRectF();
}

std::vector<QPointF> Vertices(const std::shared_ptr<CDrawableObject>& pObject)
{
    std::vector<QPointF> vctPoints;
    const auto* pDrawable = dynamic_cast<const CDrawableGeometry*>(pObject.get());
    if (const auto* pPolygon =
            pDrawable ? dynamic_cast<const Optra::Geometry::CPolygon*>(pDrawable->GetData().get()) : nullptr)
    {
        for (const auto& point : pPolygon->GetPoints())
            vctPoints.emplace_back(point.x(), point.y());
    }
    return vctPoints;
}

std::vector<unsigned int> Selected(const CGeometryModel& model)
{
    std::vector<unsigned int> vctIds;
    for (const auto& pObject : model.GetObjects())
    {
        if (pObject->GetSelected())
            vctIds.push_back(pObject->GetUID());
    }
    return vctIds;
}
} // namespace

Q_DECLARE_METATYPE(std::vector<QPointF>)

class TestImageView2DCtrl : public QObject
{
    Q_OBJECT

private slots:
    void dragTools_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QRectF>("boundary");
        QTest::newRow("rectangle dragged up-left")
            << int(EImageView2DMode_Drawing_Rectanlge) << QPointF(60, 50) << QPointF(20, 30)
            << QRectF(60, 50, -40, -20);
        QTest::newRow("ellipse") << int(EImageView2DMode_Drawing_Ellipse) << QPointF(10, 20)
                                 << QPointF(40, 60) << QRectF(10, 20, 30, 40);
        QTest::newRow("circle about the press point")
            << int(EImageView2DMode_Drawing_Circle) << QPointF(50, 50) << QPointF(80, 90)
            << QRectF(0, 0, 100, 100);
        QTest::newRow("measuring line") << int(EImageView2DMode_Drawing_Line) << QPointF(40, 50)
                                        << QPointF(10, 10) << QRectF(10, 10, 30, 40);
    }

    // A drag commits one drawable, as one undo step, and goes back to select.
    void dragTools()
    {
        QFETCH(int, mode);
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(QRectF, boundary);
        SView2D unit;
        unit.mode.SetViewMode(EImageView2DMode(mode));
        unit.Drag(from, to);
        QCOMPARE(unit.geometry.Size(), size_t(1));
        QCOMPARE(Box(unit.geometry.GetAt(0)), boundary);
        QCOMPARE(bool(std::dynamic_pointer_cast<CDrawableRuler>(unit.geometry.GetAt(0))),
                 mode == EImageView2DMode_Drawing_Line);
        QVERIFY(unit.geometry.GetObjectDrawing().empty());
        QCOMPARE(unit.mode.GetViewMode(), EImageView2DMode_Selecting);
        QCOMPARE(unit.controller.GetUndoStack().GetUndoCount(), size_t(1));
        QVERIFY(unit.controller.Undo());
        QCOMPARE(unit.geometry.Size(), size_t(0));
    }

    void tinyShapes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<bool>("committed");
        // At 2 screen pixels per image pixel.
        for (int nMode : {EImageView2DMode_Drawing_Rectanlge, EImageView2DMode_Drawing_Ellipse,
                          EImageView2DMode_Drawing_Line})
        {
            const QByteArray mode = CImageView2DModeModel::GetModeKeyName(EImageView2DMode(nMode)).toLatin1();
            QTest::newRow(mode + ", click") << nMode << QPointF(10, 10) << false;
            QTest::newRow(mode + ", 2 pixels") << nMode << QPointF(11, 11) << false;
            QTest::newRow(mode + ", 4 pixels") << nMode << QPointF(12, 12) << true;
        }
        QTest::newRow("box of no height")
            << int(EImageView2DMode_Drawing_Rectanlge) << QPointF(40, 10) << false;
        QTest::newRow("circle, 2 pixels across")
            << int(EImageView2DMode_Drawing_Circle) << QPointF(10.5, 10) << false;
        QTest::newRow("circle, 4 pixels across")
            << int(EImageView2DMode_Drawing_Circle) << QPointF(11, 10) << true;
    }

    // A click, or a slip smaller than 3 screen pixels, commits nothing and
    // leaves the tool ready for a real drag.
    void tinyShapes()
    {
        QFETCH(int, mode);
        QFETCH(QPointF, to);
        QFETCH(bool, committed);
        SView2D unit;
        unit.mode.SetViewMode(EImageView2DMode(mode));
        if (to == QPointF(10, 10))
            unit.Click(to);
        else
            unit.Drag(QPointF(10, 10), to);
        QCOMPARE(unit.geometry.Size(), size_t(committed ? 1 : 0));
        QCOMPARE(unit.controller.GetUndoStack().GetUndoCount(), size_t(committed ? 1 : 0));
        QCOMPARE(int(unit.mode.GetViewMode()), committed ? int(EImageView2DMode_Selecting) : mode);
    }

    void polygon_data()
    {
        QTest::addColumn<QList<QPointF>>("clicks");
        QTest::addColumn<int>("closingClick");
        QTest::addColumn<std::vector<QPointF>>("vertices");
        QTest::newRow("triangle in four clicks")
            << QList<QPointF>{A, B, C, A + QPointF(3, 3)} << 4 << std::vector<QPointF>{A, B, C};
        QTest::newRow("near the start too early") << QList<QPointF>{A, B, A + QPointF(2, 0), C, A} << 5
                                                  << std::vector<QPointF>{A, B, A + QPointF(2, 0), C};
        QTest::newRow("not near the start")
            << QList<QPointF>{A, B, C, A + QPointF(6, 0)} << 0 << std::vector<QPointF>{};
    }

    // The first click makes a zero-length edge; a release within ten
    // screen pixels of the first vertex closes once three edges exist.
    void polygon()
    {
        QFETCH(QList<QPointF>, clicks);
        QFETCH(int, closingClick);
        QFETCH(std::vector<QPointF>, vertices);
        SView2D unit;
        unit.mode.SetViewMode(EImageView2DMode_Drawing_Polygon);
        for (int i = 0; i < clicks.size(); ++i)
        {
            unit.Click(clicks[i]);
            QCOMPARE(unit.geometry.Size(), size_t(i + 1 >= closingClick && closingClick > 0 ? 1 : 0));
        }
        if (closingClick == 0)
        {
            QCOMPARE(unit.geometry.GetObjectDrawing().size(), size_t(clicks.size()));
            QVERIFY(unit.geometry.GetObjectDrawingWaiting());
            // A rotation clears the pieces: the next click starts anew.
            QVERIFY(unit.controller.RotateRight());
            unit.Click(B);
            QCOMPARE(unit.geometry.GetObjectDrawing().size(), size_t(1));
            QCOMPARE(Box(unit.geometry.GetObjectDrawing().front()), QRectF(B, QSizeF(0, 0)));
            // Another tool drops the half-drawn polygon.
            unit.mode.SetViewMode(EImageView2DMode_Selecting);
            QVERIFY(unit.geometry.GetObjectDrawing().empty());
            return;
        }
        QCOMPARE(Vertices(unit.geometry.GetAt(0)), vertices);
        QVERIFY(unit.geometry.GetObjectDrawing().empty());
        QVERIFY(!unit.geometry.GetObjectDrawingWaiting());
        QCOMPARE(unit.controller.GetUndoStack().GetUndoCount(), size_t(1));
    }

    // Ctrl-click adds to the selection; dragging one of them moves both as
    // one undo step.
    void ctrlClickAndGroupMove()
    {
        SView2D unit;
        const auto pFirst = unit.DrawBox(QPointF(10, 10), QPointF(30, 30));
        const auto pSecond = unit.DrawBox(QPointF(50, 10), QPointF(70, 30));
        unit.Click(QPointF(20, 20));
        QCOMPARE(Selected(unit.geometry), std::vector<unsigned int>{pFirst->GetUID()});
        unit.Click(QPointF(60, 20), Qt::ControlModifier);
        QCOMPARE(Selected(unit.geometry).size(), size_t(2));
        const size_t nSteps = unit.controller.GetUndoStack().GetUndoCount();
        unit.Drag(QPointF(60, 20), QPointF(65, 40));
        QCOMPARE(Box(pFirst), QRectF(15, 30, 20, 20));
        QCOMPARE(Box(pSecond), QRectF(55, 30, 20, 20));
        QCOMPARE(unit.controller.GetUndoStack().GetUndoCount(), nSteps + 1);
        QVERIFY(unit.controller.Undo());
        QCOMPARE(Box(pFirst), QRectF(10, 10, 20, 20));
        QCOMPARE(Box(pSecond), QRectF(50, 10, 20, 20));
    }

    // A band selects what has a corner inside; a plain drag on a member
    // then moves the group; a click beside them ends the selection.
    void rubberBand()
    {
        SView2D unit;
        const auto pFirst = unit.DrawBox(QPointF(10, 10), QPointF(30, 30));
        const auto pSecond = unit.DrawBox(QPointF(50, 10), QPointF(70, 30));
        const auto pOutside = unit.DrawBox(QPointF(10, 100), QPointF(30, 120));
        unit.Drag(QPointF(25, 5), QPointF(55, 50));
        QCOMPARE(Selected(unit.geometry).size(), size_t(2));
        QVERIFY(!pOutside->GetSelected());
        QVERIFY(unit.geometry.GetObjectDrawing().empty());
        unit.Drag(QPointF(20, 20), QPointF(20, 40));
        QCOMPARE(Box(pFirst), QRectF(10, 30, 20, 20));
        QCOMPARE(Box(pSecond), QRectF(50, 30, 20, 20));
        QCOMPARE(Box(pOutside), QRectF(10, 100, 20, 20));
        unit.Drag(QPointF(20, 110), QPointF(25, 110));
        QCOMPARE(Selected(unit.geometry), std::vector<unsigned int>{pOutside->GetUID()});
        QCOMPARE(Box(pFirst), QRectF(10, 30, 20, 20));
    }

    // Grabbing a handle resizes and moves nothing else: one undo step.
    void resizeByHandle()
    {
        SView2D unit;
        const auto pBox = unit.DrawBox(QPointF(20, 20), QPointF(60, 50));
        unit.Hover(QPointF(61, 51));
        QCOMPARE(unit.view.cursor().shape(), Qt::CrossCursor);
        const size_t nSteps = unit.controller.GetUndoStack().GetUndoCount();
        unit.Drag(QPointF(61, 51), QPointF(81, 71));
        QCOMPARE(Box(pBox), QRectF(20, 20, 60, 50));
        QCOMPARE(unit.controller.GetUndoStack().GetUndoCount(), nSteps + 1);
        QVERIFY(unit.controller.Undo());
        QCOMPARE(Box(pBox), QRectF(20, 20, 40, 30));
        QVERIFY(unit.controller.Redo());
        QCOMPARE(Box(pBox), QRectF(20, 20, 60, 50));
        unit.Hover(QPointF(40, 35));
        QCOMPARE(unit.view.cursor().shape(), Qt::ArrowCursor);
    }

    // Drawing, moving, resizing and nudging end at the image's edge.
    void editsStayOnTheImage()
    {
        SView2D unit;
        const auto pBox = unit.DrawBox(QPointF(150, 100), QPointF(260, 190));
        QCOMPARE(Box(pBox), QRectF(150, 100, 50, 50));
        unit.controller.slot_ChangeSelectMode();
        unit.Drag(QPointF(170, 120), QPointF(100, 60));
        QCOMPARE(Box(pBox), QRectF(80, 40, 50, 50));
        unit.Drag(QPointF(100, 60), QPointF(-50, -50));
        QCOMPARE(Box(pBox), QRectF(0, 0, 50, 50));
        unit.Hover(QPointF(50, 50));
        unit.Drag(QPointF(50, 50), QPointF(400, 300));
        QCOMPARE(Box(pBox), QRectF(0, 0, 200, 150));
        const size_t nSteps = unit.controller.GetUndoStack().GetUndoCount();
        QVERIFY(!unit.controller.Nudge(Qt::Key_Left, Qt::NoModifier));
        QVERIFY(!unit.controller.Nudge(Qt::Key_Right, Qt::ControlModifier));
        QCOMPARE(unit.controller.GetUndoStack().GetUndoCount(), nSteps);
        QCOMPARE(Box(pBox), QRectF(0, 0, 200, 150));
    }

    // Delete and Backspace remove the selection as one step; with nothing
    // selected nothing is pushed, so the next Undo still undoes an edit.
    void deleteKeys()
    {
        SView2D unit;
        unit.DrawBox(QPointF(10, 10), QPointF(30, 30));
        unit.DrawBox(QPointF(50, 10), QPointF(70, 30));
        unit.geometry.UnSelectedAll();
        QTest::keyClick(&unit.view, Qt::Key_Delete);
        QCOMPARE(unit.geometry.Size(), size_t(2));
        QCOMPARE(unit.controller.GetUndoStack().GetUndoCount(), size_t(2));
        unit.Drag(QPointF(5, 5), QPointF(90, 40));
        QTest::keyClick(&unit.view, Qt::Key_Backspace);
        QCOMPARE(unit.geometry.Size(), size_t(0));
        QCOMPARE(unit.controller.GetUndoStack().GetUndoCount(), size_t(3));
        QTest::keyClick(&unit.view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(unit.geometry.Size(), size_t(2));
    }

    void undoNeedsFocus()
    {
        SView2D unit;
        QLineEdit other;
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        unit.DrawBox(QPointF(10, 10), QPointF(30, 30));
        QApplication::setActiveWindow(&other);
        other.setFocus();
        QTRY_VERIFY(!unit.view.hasFocus());
        QVERIFY(!unit.controller.Undo());
        QCOMPARE(unit.geometry.Size(), size_t(1));
        QApplication::setActiveWindow(&unit.view);
        unit.view.setFocus();
        QTRY_VERIFY(unit.view.hasFocus());
        QVERIFY(unit.controller.Undo());
        QCOMPARE(unit.geometry.Size(), size_t(0));
        QVERIFY(!unit.controller.Undo());
        QVERIFY(unit.controller.Redo());
        QCOMPARE(unit.geometry.Size(), size_t(1));
    }

    // The right-clicked drawable becomes the only selection unless it is
    // part of it, so the menu's Delete removes what was clicked.
    void contextMenuSelection()
    {
        SView2D unit;
        const auto pFirst = unit.DrawBox(QPointF(10, 10), QPointF(30, 30));
        const auto pSecond = unit.DrawBox(QPointF(50, 10), QPointF(70, 30));
        QVERIFY(pSecond->GetSelected());
        unit.Hover(QPointF(20, 20));
        QTest::mouseClick(&unit.view, Qt::RightButton, Qt::NoModifier, unit.At(QPointF(20, 20)));
        QTRY_VERIFY(unit.view.GetMenuDrawable()->isVisible());
        QCOMPARE(Selected(unit.geometry), std::vector<unsigned int>{pFirst->GetUID()});
        unit.view.GetMenuDrawable()->actions().at(0)->trigger();
        unit.view.GetMenuDrawable()->hide();
        QCOMPARE(unit.geometry.Size(), size_t(1));
        QCOMPARE(unit.geometry.GetAt(0), pSecond);

        const auto pThird = unit.DrawBox(QPointF(10, 50), QPointF(30, 70));
        unit.Drag(QPointF(5, 5), QPointF(90, 90));
        unit.Hover(QPointF(20, 60));
        QTest::mouseClick(&unit.view, Qt::RightButton, Qt::NoModifier, unit.At(QPointF(20, 60)));
        QTRY_VERIFY(unit.view.GetMenuDrawable()->isVisible());
        QCOMPARE(Selected(unit.geometry).size(), size_t(2));
        unit.view.GetMenuDrawable()->hide();

        unit.Hover(QPointF(150, 120));
        QTest::mouseClick(&unit.view, Qt::RightButton, Qt::NoModifier, unit.At(QPointF(150, 120)));
        QTRY_VERIFY(unit.view.GetMenu()->isVisible());
        unit.view.GetMenu()->hide();
    }

    // The history belongs to the image shown: showing another one, adding
    // or closing one empties it.
    void historyPerImage()
    {
        SView2D unit;
        unit.imageList.PushImage(MakeImage(100, 100));
        unit.DrawBox(QPointF(10, 10), QPointF(30, 30));
        QCOMPARE(unit.controller.GetUndoStack().GetUndoCount(), size_t(1));
        unit.controller.slot_Previous();
        QCOMPARE(unit.controller.GetUndoStack().GetUndoCount(), size_t(0));
        QVERIFY(!unit.controller.Undo());
        QCOMPARE(unit.geometry.Size(), size_t(1));

        unit.DrawBox(QPointF(40, 10), QPointF(60, 30));
        QVERIFY(unit.controller.Undo());
        unit.controller.CloseCurrentImage();
        QCOMPARE(unit.controller.GetUndoStack().GetRedoCount(), size_t(0));
        QVERIFY(!unit.controller.Redo());
    }

    // Activating a view puts its pages into the panels; another view's
    // activation hands them back without deleting them.
    void panelsAndToolBox()
    {
        SView2D unit;
        unit.controller.slot_Active();
        CImageView2DToolBox* pToolBox = unit.controller.GetToolBox();
        QCOMPARE(unit.toolPanel.GetWidget(), pToolBox);
        QVERIFY(unit.propertyPanel.GetWidget());
        QVERIFY(unit.bottomPanel.GetWidget());
        CImageView2D otherView(&unit.imageList, &unit.geometry, &unit.mode, 1);
        CImageView2DController other(&unit.imageList, &unit.geometry, &unit.mode, &otherView, &unit.toolPanel,
                                     &unit.propertyPanel, &unit.bottomPanel);
        other.slot_Active();
        QCOMPARE(unit.toolPanel.GetWidget(), other.GetToolBox());
        QVERIFY(unit.controller.GetToolBox());
        QVERIFY(!pToolBox->parent());

        // Another kind of view puts its page into the panel's layout itself.
        unit.controller.slot_Active();
        QWidget* pPage = unit.propertyPanel.GetWidget();
        QWidget foreign;
        delete unit.propertyPanel.layout()->takeAt(0);
        pPage->hide();
        unit.propertyPanel.layout()->addWidget(&foreign);
        unit.controller.slot_Active();
        QCOMPARE(unit.propertyPanel.layout()->count(), 1);
        QCOMPARE(unit.propertyPanel.layout()->itemAt(0)->widget(), pPage);
        QVERIFY(!foreign.parent());

        unit.toolPanel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&unit.toolPanel));
        const QList<QPushButton*> lstButtons = pToolBox->findChildren<QPushButton*>();
        QCOMPARE(lstButtons.size(), 6);
        QPushButton* pCircle = nullptr;
        for (QPushButton* pButton : lstButtons)
        {
            if (pButton->text() == "Circle")
                pCircle = pButton;
        }
        QVERIFY(pCircle);
        QTest::mouseClick(pCircle, Qt::LeftButton);
        QCOMPARE(unit.mode.GetViewMode(), EImageView2DMode_Drawing_Circle);
        unit.controller.slot_DrawRuler();
        for (QPushButton* pButton : lstButtons)
            QVERIFY(!pButton->isChecked());
        QTest::keyClick(&unit.view, Qt::Key_Escape);
        QCOMPARE(unit.mode.GetViewMode(), EImageView2DMode_Selecting);
        QVERIFY(lstButtons.at(0)->isChecked());
    }
};

OPTRA_TEST_MAIN(TestImageView2DCtrl)
#include "tst_ImageView2DCtrl.moc"
