#include "common/mvc/CommandArray.h"
#include "common/mvc/CommandContainer.h"
#include "common/view2d/ImageView2DAddDrawableCommand.h"
#include "common/view2d/ImageView2DDeleteDrawableCommand.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DMoveDrawableCommand.h"
#include "tests/support/TestSupport.h"

#include "optra/geometry/Rectangle.h"

namespace
{
std::shared_ptr<CDrawableGeometry> Box(double x = 10, double y = 10)
{
    return std::make_shared<CDrawableGeometry>(std::make_shared<Optra::Geometry::CRectangle>(x, y, 20, 10));
}

// Every signal of the model, in order, with the id it carried.
QStringList* Record(CGeometryModel& model, QStringList& lstSignals)
{
    QObject::connect(&model, &CGeometryModel::signal_AddDrawableObject,
                     [&](unsigned uid, const QString& strName)
                     { lstSignals << QString("add %1 %2").arg(uid).arg(strName); });
    QObject::connect(&model, &CGeometryModel::signal_BeforeDeleteDrawableObject,
                     [&](unsigned uid, const QString& strName)
                     { lstSignals << QString("before %1 %2").arg(uid).arg(strName); });
    QObject::connect(&model, &CGeometryModel::signal_DeleteDrawableObject,
                     [&](unsigned uid, const QString& strName)
                     { lstSignals << QString("delete %1 %2").arg(uid).arg(strName); });
    QObject::connect(&model, &CGeometryModel::signal_ChangeDrawableObjectProperty,
                     [&](unsigned uid) { lstSignals << QString("property %1").arg(uid); });
    QObject::connect(&model, &CGeometryModel::signal_ChangeDrawingObject, [&] { lstSignals << "drawing"; });
    QObject::connect(&model, &CGeometryModel::signal_ClearObject, [&] { lstSignals << "clear"; });
    return &lstSignals;
}

void Push(CUndoStack& stack, CCommand* pCommand)
{
    stack.PushUndo(pCommand);
    pCommand->exec();
}
} // namespace

class TestGeometryModel : public QObject
{
    Q_OBJECT

private slots:
    void addTwiceKeepsOneEntry()
    {
        OptraTest::CLogCapture capture;
        CGeometryModel model;
        QStringList lstSignals;
        Record(model, lstSignals);
        auto pBox = Box();
        pBox->SetName("dog");
        pBox->SetMouseOffset(QPointF(4, 4));
        QVERIFY(model.AddObject(pBox));
        QVERIFY(!model.AddObject(pBox));
        QVERIFY(!model.AddObject(nullptr));
        capture.Flush();
        QCOMPARE(model.Size(), size_t(1));
        QVERIFY(pBox->GetSelected());
        QCOMPARE(pBox->GetMouseOffset(), QPointF(0, 0));
        QCOMPARE(lstSignals, QStringList{QString("add %1 dog").arg(pBox->GetUID())});
        QCOMPARE(capture.Texts(), QStringList{QString("AddObject(%1)").arg(pBox->GetUID())});
    }

    void newestFirstAndBounds()
    {
        CGeometryModel model;
        auto pFirst = Box();
        auto pSecond = Box();
        model.AddObject(pFirst);
        model.AddObject(pSecond);
        QCOMPARE(model.GetAt(0), std::shared_ptr<CDrawableObject>(pSecond));
        QCOMPARE(model.GetAt(1), std::shared_ptr<CDrawableObject>(pFirst));
        QVERIFY(!model.GetAt(-1));
        QVERIFY(!model.GetAt(int(model.Size())));
        QCOMPARE(model.FindObject(pFirst->GetUID()), std::shared_ptr<CDrawableObject>(pFirst));
        QVERIFY(!model.FindObject(pFirst->GetUID() + 1000));
    }

    void deleteAnnouncesBeforeAndAfter()
    {
        OptraTest::CLogCapture capture;
        CGeometryModel model;
        auto pBox = Box();
        model.AddObject(pBox);
        capture.Flush();
        capture.Clear();
        QStringList lstSignals;
        Record(model, lstSignals);
        QVERIFY(!model.DeleteObject(pBox->GetUID() + 1000));
        QVERIFY(!model.DeleteObject(Box()));
        QVERIFY(lstSignals.isEmpty());
        QVERIFY(model.DeleteObject(pBox->GetUID()));
        QVERIFY(!model.DeleteObject(pBox));
        capture.Flush();
        const QString strId = QString::number(pBox->GetUID());
        QCOMPARE(lstSignals, (QStringList{"before " + strId + " Rectangle_" + strId,
                                          "delete " + strId + " Rectangle_" + strId}));
        QCOMPARE(capture.Texts(), QStringList{"DeleteObject(" + strId + ")"});
        QCOMPARE(model.Size(), size_t(0));
    }

    void listenerMayDeleteDuringBeforeDelete()
    {
        CGeometryModel model;
        model.AddObject(Box());
        QStringList lstSignals;
        Record(model, lstSignals);
        connect(&model, &CGeometryModel::signal_BeforeDeleteDrawableObject, &model,
                [&](unsigned uid) { model.DeleteObject(uid); });
        QVERIFY(model.DeleteObject(model.GetAt(0)));
        QCOMPARE(lstSignals.filter("delete").size(), 1);
        QCOMPARE(model.Size(), size_t(0));
    }

    // However often a drawable came and went, one change is one notification,
    // and a drawable out of the model notifies nobody.
    void propertyRelayedOnceWhileInside()
    {
        CGeometryModel model;
        auto pBox = Box();
        for (int i = 0; i < 3; ++i)
        {
            model.AddObject(pBox);
            model.DeleteObject(pBox);
        }
        model.AddObject(pBox);
        QSignalSpy spy(&model, &CGeometryModel::signal_ChangeDrawableObjectProperty);
        pBox->MoveTopLeftTo(QPointF(1, 1));
        QCOMPARE(spy.count(), 1);
        model.DeleteObject(pBox);
        pBox->MoveTopLeftTo(QPointF(2, 2));
        model.AddObject(pBox);
        model.ClearObject();
        pBox->MoveTopLeftTo(QPointF(3, 3));
        QCOMPARE(spy.count(), 1);
    }

    void selectionAndDrawingLists()
    {
        OptraTest::CLogCapture capture;
        CGeometryModel model;
        auto pBox = Box();
        model.AddObject(pBox);
        model.UnSelectedAll();
        QVERIFY(!pBox->GetSelected());
        model.SetSelectedObject(pBox->GetUID(), true, 1.5, -2);
        model.SetSelectedObject(pBox->GetUID() + 1000, true, 0, 0);
        QVERIFY(pBox->GetSelected());
        QCOMPARE(pBox->GetMouseOffset(), QPointF(1.5, -2));

        capture.Flush();
        QCOMPARE(capture.Texts().last(),
                 QString("SetSelectedObject(%1, 1, 1.500000, -2.000000)").arg(pBox->GetUID()));
        capture.Clear();

        auto pPiece = Box();
        QStringList lstSignals;
        Record(model, lstSignals);
        model.ClearObjectDrawingWaiting();
        model.AddObjectDrawingWaiting(pPiece);
        model.AddObjectDrawingWaiting(pPiece);
        model.AddObjectDrawing(pBox);
        model.ClearObjectDrawing();
        capture.Flush();
        QVERIFY(!pPiece->GetDisplayName());
        QCOMPARE(model.GetObjectDrawingWaiting(), std::shared_ptr<CDrawableObject>(pPiece));
        QVERIFY(model.GetObjectDrawing().empty());
        QCOMPARE(lstSignals, (QStringList{"drawing", "drawing", "drawing", "drawing"}));
        QCOMPARE(capture.Texts(),
                 (QStringList{"Clear Object Waiting ", QString("Add Object Waiting %1").arg(pPiece->GetUID()),
                              QString("Add Object %1").arg(pBox->GetUID()), "Clear Object"}));
    }

    // A redo that meets a drawable a newer edit removed changes nothing, and
    // undoing the newer edit brings the drawable back where it was.
    void moveUndoDeleteRedo()
    {
        CGeometryModel model;
        CUndoStack stack;
        auto pBox = Box(10, 10);
        Push(stack, new CAddDrawableCommand(&model, pBox));
        Push(stack, new CMoveDrawableCommand(&model, pBox, QPointF(12, 12), QPointF(52, 32), QPointF(2, 2)));
        QCOMPARE(pBox->GetBoundary().topLeft(), QPointF(50, 30));
        stack.Undo();
        Push(stack, new CDeleteDrawableCommand(&model, pBox));
        QStringList lstSignals;
        Record(model, lstSignals);
        stack.Redo();
        stack.Undo();
        QVERIFY(lstSignals.isEmpty());
        QCOMPARE(pBox->GetBoundary().topLeft(), QPointF(10, 10));
        stack.Undo();
        QCOMPARE(model.Size(), size_t(1));
        QCOMPARE(pBox->GetBoundary().topLeft(), QPointF(10, 10));
    }

    void deleteUndoDeleteRedo()
    {
        CGeometryModel model;
        CUndoStack stack;
        auto pBox = Box();
        auto pOther = Box(40, 40);
        model.AddObject(pBox);
        model.AddObject(pOther);
        Push(stack, new CDeleteDrawableCommand(&model, pBox));
        stack.Undo();
        QVERIFY(model.Contains(pBox));
        QVERIFY(!pOther->GetSelected());
        pOther->SetSelected(true);
        Push(stack, new CDeleteDrawableCommand(&model, pBox));
        QStringList lstSignals;
        Record(model, lstSignals);
        stack.Redo();
        QVERIFY(lstSignals.isEmpty());
        QCOMPARE(model.Size(), size_t(1));
        // Undoing both puts it back once; the second add meets it there.
        stack.Undo();
        stack.Undo();
        QCOMPARE(model.Size(), size_t(2));
        QCOMPARE(lstSignals.filter("add").size(), 1);
    }

    void macroOfDeletesRestoresInReverse()
    {
        CGeometryModel model;
        CUndoStack stack;
        std::vector<std::shared_ptr<CDrawableGeometry>> vctBoxes{Box(), Box(), Box()};
        auto* pMacro = new CMacroCommand;
        for (const auto& pBox : vctBoxes)
        {
            model.AddObject(pBox);
            pMacro->addCommand(new CDeleteDrawableCommand(&model, pBox));
        }
        Push(stack, pMacro);
        QCOMPARE(model.Size(), size_t(0));
        QStringList lstSignals;
        Record(model, lstSignals);
        stack.Undo();
        QCOMPARE(lstSignals.filter("add"),
                 (QStringList{QString("add %1 ").arg(vctBoxes[2]->GetUID()),
                              QString("add %1 ").arg(vctBoxes[1]->GetUID()),
                              QString("add %1 ").arg(vctBoxes[0]->GetUID())})
                     .replaceInStrings(QRegularExpression("add (\\d+) "), "add \\1 Rectangle_\\1"));
        // Newest first: the order of the list before the deletes.
        QCOMPARE(model.GetAt(0), std::shared_ptr<CDrawableObject>(vctBoxes[0]));
    }

    void commandsOutliveTheirModel()
    {
        CUndoStack stack;
        auto pBox = Box();
        {
            CGeometryModel model;
            Push(stack, new CAddDrawableCommand(&model, pBox));
        }
        stack.Undo();
        stack.Redo();
        pBox->MoveTopLeftTo(QPointF(1, 1));
    }

    void moveAndResizeOnlyInside()
    {
        CGeometryModel model;
        auto pBox = Box(10, 10);
        QVERIFY(!model.MoveObject(pBox, QPointF(0, 0)));
        QVERIFY(!model.ResizeObject(pBox, 1, QPointF(10, 10), QPointF(0, 0)));
        QCOMPARE(pBox->GetBoundary(), QRectF(10, 10, 20, 10));
        model.AddObject(pBox);
        QVERIFY(!model.ResizeObject(pBox, 1, QPointF(20, 15), QPointF(0, 0)));
        QVERIFY(model.ResizeObject(pBox, 1, QPointF(30.5, 20), QPointF(40, 40)));
        QCOMPARE(pBox->GetBoundary(), QRectF(10, 10, 30, 30));
    }
};

OPTRA_TEST_MAIN(TestGeometryModel)
#include "tst_GeometryModel.moc"
