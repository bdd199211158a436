#include "common/log/Logger.h"
#include "common/mvc/CommandArray.h"
#include "common/mvc/CommandContainer.h"
#include "common/view2d/ImageView2DDeleteDrawableCommand.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DMoveDrawableCommand.h"
#include "tests/support/TestSupport.h"

#include "optra/geometry/Rectangle.h"

using ObjectPtr = std::shared_ptr<CDrawableObject>;

namespace
{
std::shared_ptr<CDrawableGeometry> Box(double x = 10, double y = 10)
{
    return std::make_shared<CDrawableGeometry>(std::make_shared<Optra::Geometry::CRectangle>(x, y, 20, 10));
}

// The model's signals in order, with what they carried.
struct SRecorder
{
    QStringList lstSignals;

    explicit SRecorder(CGeometryModel& model)
    {
        const auto fnNamed = [this](const char* szEvent)
        {
            return [this, szEvent](unsigned uid, const QString& strName)
            {
                lstSignals << QString("%1 %2 %3").arg(szEvent).arg(uid).arg(strName);
            };
        };
        QObject::connect(&model, &CGeometryModel::signal_AddDrawableObject, fnNamed("add"));
        QObject::connect(&model, &CGeometryModel::signal_BeforeDeleteDrawableObject, fnNamed("before"));
        QObject::connect(&model, &CGeometryModel::signal_DeleteDrawableObject, fnNamed("delete"));
        QObject::connect(&model, &CGeometryModel::signal_ChangeDrawableObjectProperty,
                         [this](unsigned uid) { lstSignals << QString("property %1").arg(uid); });
        QObject::connect(&model, &CGeometryModel::signal_ChangeDrawingObject,
                         [this] { lstSignals << "drawing"; });
    }
};

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
    // Nothing logged by an earlier test reaches a capture.
    void init() { CLogger::GetInstance()->Flush(); }

    void addAndDelete()
    {
        OptraTest::CLogCapture capture;
        CGeometryModel model;
        SRecorder recorder(model);
        auto pDog = Box();
        auto pOther = Box();
        pDog->SetName("dog");
        pDog->SetMouseOffset(QPointF(4, 4));
        QVERIFY(model.AddObject(pDog));
        QVERIFY(!model.AddObject(pDog));
        QVERIFY(!model.AddObject(nullptr));
        model.AddObject(pOther);
        QCOMPARE(model.GetAt(0), ObjectPtr(pOther));
        QCOMPARE(model.GetAt(1), ObjectPtr(pDog));
        QVERIFY(!model.GetAt(-1));
        QVERIFY(!model.GetAt(2));
        QVERIFY(pDog->GetSelected());
        QCOMPARE(pDog->GetMouseOffset(), QPointF(0, 0));

        QVERIFY(!model.DeleteObject(pOther->GetUID() + 1000));
        QVERIFY(!model.DeleteObject(Box()));
        QVERIFY(model.DeleteObject(pDog->GetUID()));
        QVERIFY(!model.DeleteObject(pDog));
        capture.Flush();
        const QString strDog = QString::number(pDog->GetUID());
        const QString strOther = QString::number(pOther->GetUID());
        QCOMPARE(recorder.lstSignals,
                 (QStringList{"add " + strDog + " dog", "add " + strOther + " Rectangle_" + strOther,
                              "before " + strDog + " dog", "delete " + strDog + " dog"}));
        QCOMPARE(capture.Texts(), (QStringList{"AddObject(" + strDog + ")", "AddObject(" + strOther + ")",
                                               "DeleteObject(" + strDog + ")"}));
    }

    void listenerMayDeleteDuringBeforeDelete()
    {
        CGeometryModel model;
        model.AddObject(Box());
        SRecorder recorder(model);
        connect(&model, &CGeometryModel::signal_BeforeDeleteDrawableObject, &model,
                [&](unsigned uid) { model.DeleteObject(uid); });
        QVERIFY(model.DeleteObject(model.GetAt(0)));
        QCOMPARE(recorder.lstSignals.filter("delete").size(), 1);
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
        SRecorder recorder(model);
        model.SetSelectedObject(pBox->GetUID(), false, 1.5, -2);
        model.SetSelectedObject(pBox->GetUID() + 1000, true, 0, 0);
        model.ClearObjectDrawingWaiting();
        model.AddObjectDrawingWaiting(pBox);
        model.AddObjectDrawingWaiting(pBox);
        model.AddObjectDrawing(pBox);
        capture.Flush();
        QVERIFY(!pBox->GetDisplayName());
        const QString strId = QString::number(pBox->GetUID());
        QCOMPARE(recorder.lstSignals, (QStringList{"property " + strId, "property " + strId, "drawing",
                                                   "property " + strId, "drawing", "drawing"}));
        QCOMPARE(capture.Texts(), (QStringList{"AddObject(" + strId + ")",
                                               "SetSelectedObject(" + strId + ", 0, 1.500000, -2.000000)",
                                               "Clear Object Waiting ", "Add Object Waiting " + strId,
                                               "Add Object " + strId}));
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
        SRecorder recorder(model);
        stack.Redo();
        stack.Undo();
        QVERIFY(recorder.lstSignals.isEmpty());
        stack.Undo();
        QVERIFY(model.Contains(pBox));
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
        QVERIFY(pBox->GetSelected() && !pOther->GetSelected());
        Push(stack, new CDeleteDrawableCommand(&model, pBox));
        SRecorder recorder(model);
        stack.Redo();
        QVERIFY(recorder.lstSignals.isEmpty());
        // Undoing both puts it back once; the second add meets it there.
        stack.Undo();
        stack.Undo();
        QCOMPARE(model.Size(), size_t(2));
        QCOMPARE(recorder.lstSignals.filter("add").size(), 1);
    }

    void macroOfDeletesRestoresInReverse()
    {
        CGeometryModel model;
        CUndoStack stack;
        const std::vector<ObjectPtr> vctBoxes{Box(), Box(), Box()};
        auto* pMacro = new CMacroCommand;
        for (const ObjectPtr& pBox : vctBoxes)
        {
            model.AddObject(pBox);
            pMacro->addCommand(new CDeleteDrawableCommand(&model, pBox));
        }
        Push(stack, pMacro);
        QCOMPARE(model.Size(), size_t(0));
        stack.Undo();
        // Restored last deleted first, so the first deleted is now the newest.
        QCOMPARE(model.GetObjects(), vctBoxes);
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
        model.AddObject(pBox);
        QVERIFY(!model.ResizeObject(pBox, 1, QPointF(20, 15), QPointF(0, 0)));
        QVERIFY(model.ResizeObject(pBox, 1, QPointF(30.5, 20), QPointF(40, 40)));
        QCOMPARE(pBox->GetBoundary(), QRectF(10, 10, 30, 30));
    }
};

OPTRA_TEST_MAIN(TestGeometryModel)
#include "tst_GeometryModel.moc"
