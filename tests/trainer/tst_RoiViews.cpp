// Every box a view shows over a project image is a row of the project file,
// and only there: the same image in two views, rotation and a paste undone
// or left through the side list, the project closed, a class deleted, boxes
// at the image's edge, a replaced image file and edits while training, all
// driven through the real main window with the mouse and keys. After each
// step the boxes of every view are compared with the rows read through a
// connection of the test's own.
#include "common/mvc/ImageViewer.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/mvc/MVCManager.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DCtrl.h"
#include "common/view2d/ImageView2DDrawableObject.h"
#include "common/view2d/ImageView2DToolModel.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ViewsFixture.h"
#include "tests/trainer/DialogInput.h"
#include "tests/trainer/MainWindowDriver.h"
#include "tests/trainer/ProjectFixture.h"
#include "trainer/ClassEditorDlg.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectItem.h"
#include "trainer/ProjectView.h"
#include "trainer/mainwindow.h"

#include <QClipboard>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>

using OptraTest::CDialogScript;

namespace
{
constexpr int WIDTH = 200;
constexpr int HEIGHT = 100;
const QRectF CAR(20, 20, 40, 30);
const QRectF PERSON(120, 40, 50, 40);
} // namespace

class TestRoiViews : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_pWindow;
    std::unique_ptr<OptraTest::CProjectOnDisk> m_pProject;
    std::unique_ptr<CDialogScript> m_pScript;
    int m_nImage = -1;
    int m_nCar = -1;
    int m_nPerson = -1;

    CProjectController* Controller() { return m_pWindow->GetProjectController(); }
    CMVCManager* Manager() { return m_pWindow->GetMVCManager(); }
    CImageView2D* View(int nView) { return Manager()->GetUnit(nView)->Get2DView(); }
    CImageViewFrame* Frame(int nView) { return Manager()->GetUnit(nView)->GetFrame(); }
    QString Title(int nView) { return Frame(nView)->GetTitleLabel()->text(); }
    const CUndoStack& History(int nView)
    {
        return Manager()->GetUnit(nView)->Get2DController()->GetUndoStack();
    }
    QPoint At(int nView, const QPointF& ptImage) { return View(nView)->MapToWidget(ptImage).toPoint(); }

    // "ID x y w h class" of every row of the image, by ID.
    QStringList Rows()
    {
        return m_pProject->Column(
            QString("SELECT printf('%d %.1f %.1f %.1f %.1f %s', r.ID, X, Y, WIDTH, HEIGHT, "
                    "IFNULL(c.NAME, '(no class)')) FROM dataset_roi r LEFT JOIN category c ON c.ID = "
                    "r.CATEGORY_ID WHERE IMAGE_ID=%1 ORDER BY r.ID")
                .arg(m_nImage));
    }
    // The box of the nth row (in ID order).
    QRectF RowBox(int nRow)
    {
        const QStringList lstFields = Rows().value(nRow).split(' ');
        return lstFields.size() < 5 ? QRectF()
                                    : QRectF(lstFields[1].toDouble(), lstFields[2].toDouble(),
                                             lstFields[3].toDouble(), lstFields[4].toDouble());
    }
    // Mouse positions land on whole screen pixels: a fraction of an image
    // pixel off where the box was aimed.
    static bool Near(const QRectF& rcActual, const QRectF& rcExpected)
    {
        constexpr double TOLERANCE = 0.7;
        const bool bNear = std::abs(rcActual.left() - rcExpected.left()) < TOLERANCE &&
                           std::abs(rcActual.top() - rcExpected.top()) < TOLERANCE &&
                           std::abs(rcActual.right() - rcExpected.right()) < TOLERANCE &&
                           std::abs(rcActual.bottom() - rcExpected.bottom()) < TOLERANCE;
        if (!bNear)
            qWarning("box %g,%g %gx%g, expected %g,%g %gx%g", rcActual.x(), rcActual.y(), rcActual.width(),
                     rcActual.height(), rcExpected.x(), rcExpected.y(), rcExpected.width(),
                     rcExpected.height());
        return bNear;
    }
    // The same for the boxes a view shows, worked out from the drawables.
    QStringList Shown(int nView)
    {
        QStringList lstShown;
        for (const auto& pObject : Manager()->GetUnit(nView)->Get2DDrawableObjects())
        {
            const QRectF rc = pObject->GetBoundary().normalized();
            lstShown << QString::asprintf("%d %.1f %.1f %.1f %.1f %s", pObject->GetExtraInfo().toInt(),
                                          rc.x(), rc.y(), rc.width(), rc.height(),
                                          qPrintable(pObject->GetName()));
        }
        std::sort(lstShown.begin(), lstShown.end(),
                  [](const QString& a, const QString& b)
                  { return a.section(' ', 0, 0).toInt() < b.section(' ', 0, 0).toInt(); });
        return lstShown;
    }
    // Both views show exactly the rows, and that many.
    void ExpectViewsShowRows(int nCount)
    {
        const QStringList lstRows = Rows();
        QCOMPARE(lstRows.size(), nCount);
        QCOMPARE(Shown(0), lstRows);
        QCOMPARE(Shown(1), lstRows);
    }
    void Answer(const QString& strEntry) { OptraTest::AnswerWith(*m_pScript, strEntry); }
    void Focus(int nView) { QVERIFY(OptraTest::GiveFocus(m_pWindow.get(), View(nView))); }
    void Key(int nView, int nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Focus(nView);
        QTest::keyClick(View(nView), Qt::Key(nKey), modifiers);
    }
    void SelectTool(EImageView2DMode eMode) { Manager()->GetModeModel()->SetViewMode(eMode); }
    // Clicks the box's middle with the Select tool and presses Delete.
    void DeleteBox(int nView, const QRectF& rcBox)
    {
        SelectTool(EImageView2DMode_Selecting);
        OptraTest::ClickOn(View(nView), At(nView, rcBox.center()));
        Key(nView, Qt::Key_Delete);
    }
    void Draw(int nView, const QPointF& ptFrom, const QPointF& ptTo)
    {
        SelectTool(EImageView2DMode_Drawing_Rectanlge);
        OptraTest::DragOn(View(nView), At(nView, ptFrom), At(nView, ptTo));
    }
    void Move(int nView, const QPointF& ptFrom, const QPointF& ptTo)
    {
        SelectTool(EImageView2DMode_Selecting);
        OptraTest::DragOn(View(nView), At(nView, ptFrom), At(nView, ptTo));
    }
    void OpenIn(int nView)
    {
        Answer(CMVCManager::ViewTitle(nView));
        OptraTest::OpenTrainImage(m_pWindow->GetProjectExplorer(), 0);
        QVERIFY(m_pScript->Done());
        QTRY_COMPARE(Controller()->GetViewImageID(nView), m_nImage);
    }
    void ClickButton(int nView, EImageViewFrameButton eButton)
    {
        QTest::mouseClick(Frame(nView)->GetButton(eButton), Qt::LeftButton);
    }
    void ClickThumbnail(int nView, int nRow)
    {
        QListView* pList = Frame(nView)->GetSideList();
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, Qt::NoModifier,
                          pList->visualRect(pList->model()->index(nRow, 0)).center());
    }

private slots:
    void initTestCase()
    {
        m_pWindow = OptraTest::ShowMainWindow();
        QVERIFY(m_pWindow);
    }
    void cleanupTestCase() { m_pWindow.reset(); }

    // One image with a car and a person, open in both views of the 2x1 grid.
    void init()
    {
        m_pProject = std::make_unique<OptraTest::CProjectOnDisk>("views");
        m_pProject->AddImages({m_pProject->MakeImage("p.png", WIDTH, HEIGHT)});
        m_nImage = m_pProject->ImageID("p.png");
        m_nCar = m_pProject->AddCategory("car");
        m_nPerson = m_pProject->AddCategory("person");
        m_pProject->AddRoi(m_nImage, m_nCar, CAR.x(), CAR.y(), CAR.width(), CAR.height());
        m_pProject->AddRoi(m_nImage, m_nPerson, PERSON.x(), PERSON.y(), PERSON.width(), PERSON.height());
        // Made after the project, whose making answers dialogs its own way.
        m_pScript = std::make_unique<CDialogScript>();
        m_pWindow->GetRecentMenu()->actions().first()->trigger();
        m_pWindow->GetProjectExplorer()->GetTreeView()->expandAll();
        OptraTest::FindAction(m_pWindow.get(), "[2x1]")->trigger();
        OpenIn(0);
        OpenIn(1);
        ExpectViewsShowRows(2);
    }
    void cleanup()
    {
        m_pWindow->GetProjectModel()->SetCommandState(0);
        Controller()->CloseCurrentProject();
        QCOMPARE(m_pScript->Unexpected(), 0);
        m_pScript.reset();
        m_pProject.reset();
    }

    void sameImageInTwoViews()
    {
        const QStringList lstBoth = Rows();
        // Each deletes the box in the other view too; the undos bring back
        // each box once, under its own ID.
        DeleteBox(0, CAR);
        ExpectViewsShowRows(1);
        DeleteBox(1, PERSON);
        ExpectViewsShowRows(0);
        Key(0, Qt::Key_Z, Qt::ControlModifier);
        ExpectViewsShowRows(1);
        Key(1, Qt::Key_Z, Qt::ControlModifier);
        ExpectViewsShowRows(2);
        QCOMPARE(Rows(), lstBoth);
        // Redone and undone again, in the other order: still one box each.
        Key(1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        ExpectViewsShowRows(1);
        Key(0, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        ExpectViewsShowRows(0);
        Key(0, Qt::Key_Z, Qt::ControlModifier);
        Key(1, Qt::Key_Z, Qt::ControlModifier);
        ExpectViewsShowRows(2);

        // A move, a new box and its undo, seen in the other view at once,
        // without a step of that view.
        const size_t nStepsOfView1 = History(1).GetUndoCount();
        Move(0, CAR.center(), CAR.center() + QPointF(10, 5));
        ExpectViewsShowRows(2);
        QVERIFY(Near(RowBox(0), CAR.translated(10, 5)));
        Answer("person");
        Draw(1, QPointF(70, 10), QPointF(100, 60));
        ExpectViewsShowRows(3);
        Key(1, Qt::Key_Z, Qt::ControlModifier);
        ExpectViewsShowRows(2);
        Key(0, Qt::Key_Z, Qt::ControlModifier);
        ExpectViewsShowRows(2);
        QVERIFY(Near(RowBox(0), CAR));
        QCOMPARE(History(1).GetUndoCount(), nStepsOfView1);
    }

    void reclassShownEverywhere()
    {
        Answer("person");
        SelectTool(EImageView2DMode_Selecting);
        QTest::mouseClick(View(1), Qt::RightButton, Qt::NoModifier, At(1, CAR.center()));
        QMenu* pMenu = View(1)->GetMenuDrawable();
        QTRY_VERIFY(pMenu->isVisible());
        for (QAction* pAction : pMenu->actions())
            if (pAction->text() == "Update")
                pAction->trigger();
        pMenu->hide();
        ExpectViewsShowRows(2);
        QVERIFY(Rows().first().endsWith(" person"));

        // Renamed and deleted classes: every view names them at once.
        m_pProject->Exec(QString("UPDATE category SET NAME='walker' WHERE ID=%1").arg(m_nPerson));
        Controller()->slot_CheckValidateROI();
        ExpectViewsShowRows(2);
        QVERIFY(Rows().last().endsWith(" walker"));
        CClassEditorView* pEditor = Controller()->GetClassEditorView();
        QVERIFY(pEditor);
        OptraTest::CMessageRecorder messages(QMessageBox::Yes);
        emit pEditor->signal_Delete(m_nPerson);
        ExpectViewsShowRows(2);
        QVERIFY(Rows().last().endsWith(" (no class)"));
    }

    void rotationThenUndoBindsAgain()
    {
        DeleteBox(0, PERSON);
        ClickButton(0, EImageViewFrameButton::RotateRight);
        QVERIFY(Title(0).contains("not a project image"));
        QVERIFY(Shown(0).isEmpty());
        // Drawn over the turned pixels: a drawing, not a box of the image.
        Draw(0, QPointF(10, 10), QPointF(60, 60));
        QCOMPARE(Rows().size(), 1);
        Key(0, Qt::Key_Z, Qt::ControlModifier);
        Key(0, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(Title(0).endsWith("[p.png]"));
        ExpectViewsShowRows(1);
        // The older deletion undone brings its row back, and what is drawn
        // now is stored.
        Key(0, Qt::Key_Z, Qt::ControlModifier);
        ExpectViewsShowRows(2);
        Answer("car");
        Draw(0, QPointF(70, 10), QPointF(100, 60));
        ExpectViewsShowRows(3);
    }

    void backThroughTheSideList()
    {
        QImage pasted(64, 48, QImage::Format_RGB32);
        pasted.fill(Qt::green);
        QGuiApplication::clipboard()->setImage(pasted);
        Key(0, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(Frame(0)->GetSideList()->model()->rowCount(), 2);
        QVERIFY(Title(0).contains("not a project image"));
        QVERIFY(Shown(0).isEmpty());
        ClickThumbnail(0, 0);
        QTRY_COMPARE(Controller()->GetViewImageID(0), m_nImage);
        QVERIFY(Title(0).endsWith("[p.png]"));
        ExpectViewsShowRows(2);
        Move(0, PERSON.center(), PERSON.center() - QPointF(20, 10));
        ExpectViewsShowRows(2);
        QVERIFY(Near(RowBox(1), PERSON.translated(-20, -10)));
    }

    void closingTheProjectClearsItsViews()
    {
        QVERIFY(Controller()->CloseCurrentProject());
        for (int nView : {0, 1})
        {
            QVERIFY(Shown(nView).isEmpty());
            QCOMPARE(Title(nView), QString("[View-%1]").arg(nView));
        }
    }

    void keysWaitForTheGesture()
    {
        // Keys pressed while a box is dragged are dropped: the drag ends as
        // one move, and nothing is nudged, deleted, undone, copied or walked
        // away from in the middle of it.
        const size_t nSteps = History(0).GetUndoCount();
        SelectTool(EImageView2DMode_Selecting);
        Focus(0);
        const QPoint ptFrom = At(0, CAR.center());
        const QPoint ptTo = At(0, CAR.center() + QPointF(10, 5));
        QTest::mouseMove(View(0), ptFrom);
        QTest::mousePress(View(0), Qt::LeftButton, Qt::NoModifier, ptFrom);
        QTest::mouseMove(View(0), (ptFrom + ptTo) / 2);
        const QList<QKeySequence> lstKeys = {
            QKeySequence(Qt::Key_Right), QKeySequence(Qt::Key_Delete),
            QKeySequence::Undo,          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V),
            QKeySequence(Qt::Key_D),     QKeySequence(Qt::Key_N),
            QKeySequence(Qt::Key_Escape)};
        for (const QKeySequence& key : lstKeys)
            QTest::keySequence(View(0), key);
        QTest::mouseMove(View(0), ptTo);
        QTest::mouseRelease(View(0), Qt::LeftButton, Qt::NoModifier, ptTo);
        QCOMPARE(Controller()->GetViewImageID(0), m_nImage);
        ExpectViewsShowRows(2);
        QVERIFY(Near(RowBox(0), CAR.translated(10, 5)));
        QCOMPARE(History(0).GetUndoCount(), nSteps + 1);

        // Once it ended they count again.
        Key(0, Qt::Key_Right);
        QVERIFY(Near(RowBox(0), CAR.translated(11, 5)));
        Key(0, Qt::Key_Z, Qt::ControlModifier);
        Key(0, Qt::Key_Z, Qt::ControlModifier);
        ExpectViewsShowRows(2);
        QVERIFY(Near(RowBox(0), CAR));
    }

    void boxesStayOnTheImage()
    {
        // From the margin above the image to inside it.
        Answer("car");
        Draw(0, QPointF(70, -20), QPointF(110, 30));
        ExpectViewsShowRows(3);
        QVERIFY(Near(RowBox(2), QRectF(70, 0, 40, 30)));
        QCOMPARE(RowBox(2).top(), 0.0);
        // Dragged and nudged past the right edge: it stops there.
        Move(1, PERSON.center(), PERSON.center() + QPointF(80, 0));
        ExpectViewsShowRows(3);
        QCOMPARE(RowBox(1), QRectF(150, 40, 50, 40));
        const size_t nSteps = History(1).GetUndoCount();
        Key(1, Qt::Key_Right);
        QCOMPARE(History(1).GetUndoCount(), nSteps);
        ExpectViewsShowRows(3);
        QCOMPARE(RowBox(1), QRectF(150, 40, 50, 40));

        // A row from elsewhere that lies off the image makes it invalid.
        QVERIFY(Controller()->ValidateImageROI(m_nImage));
        m_pProject->AddRoi(m_nImage, m_nCar, 300, 10, 20, 20);
        QVERIFY(!Controller()->ValidateImageROI(m_nImage));
    }

    void changedImageFileIsFoundAndAccepted()
    {
        // The file is replaced by one of twice the size.
        QImage bigger(WIDTH * 2, HEIGHT * 2, QImage::Format_RGB32);
        bigger.fill(Qt::gray);
        QVERIFY(bigger.save(m_pProject->Folder() + "/Images/p.png"));
        OptraTest::CLogCapture capture;
        QVERIFY(!Controller()->ValidateImageROI(m_nImage));
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::ERROR, "Image p.png has changed since it was added: the file is "
                                                   "400x200, the project holds 200x100"));
        {
            OptraTest::CMessageRecorder messages;
            OpenIn(0);
            OpenIn(0);
            QCOMPARE(messages.Messages().size(), size_t(1));
            QVERIFY(messages.Texts().first().contains("Accept New Image Size"));
        }
        const QStringList lstBefore = Rows();
        CProjectExplorerView* pExplorer = m_pWindow->GetProjectExplorer();
        pExplorer->GetTreeView()->setCurrentIndex(pExplorer->GetTrainImagesNode()->child(0)->index());
        pExplorer->GetMenu(CProjectItem::TYPE_TRAIN_IMAGE)->actions().last()->trigger();
        QCOMPARE(m_pProject->Column(
                     QString("SELECT WIDTH || 'x' || HEIGHT FROM dataset_image WHERE ID=%1").arg(m_nImage)),
                 QStringList("400x200"));
        ExpectViewsShowRows(2);
        QCOMPARE(RowBox(0), QRectF(40, 40, 80, 60));
        QVERIFY(Controller()->ValidateImageROI(m_nImage));
        // One undo step of the view takes it all back.
        Key(Manager()->GetActiveViewID(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Rows(), lstBefore);
        ExpectViewsShowRows(2);
        QVERIFY(!Controller()->ValidateImageROI(m_nImage));
    }

    void editsWhileTrainingAreTakenBack()
    {
        DeleteBox(0, CAR);
        Key(0, Qt::Key_Z, Qt::ControlModifier);
        DeleteBox(0, CAR);
        const QStringList lstRows = Rows();
        const size_t nUndo = History(0).GetUndoCount();
        const size_t nRedo = History(0).GetRedoCount();
        m_pWindow->GetProjectModel()->SetCommandState(1);
        OptraTest::CMessageRecorder messages;
        const auto fnRefusedOnce = [&]
        {
            QCOMPARE(messages.Texts(), QStringList("Project is still running"));
            messages.Clear();
            QCOMPARE(Rows(), lstRows);
            ExpectViewsShowRows(1);
            QCOMPARE(History(0).GetUndoCount(), nUndo);
            QCOMPARE(History(0).GetRedoCount(), nRedo);
            // The refusal's flag clears in the next turn of the loop.
            QTest::qWait(1);
        };
        Draw(0, QPointF(70, 10), QPointF(100, 60));
        fnRefusedOnce();
        DeleteBox(0, PERSON);
        fnRefusedOnce();
        Move(0, PERSON.center(), PERSON.center() + QPointF(-10, 10));
        fnRefusedOnce();
        // The undo of the deletion would bring back a row: refused too.
        Key(0, Qt::Key_Z, Qt::ControlModifier);
        fnRefusedOnce();
        m_pWindow->GetProjectModel()->SetCommandState(0);
        Key(0, Qt::Key_Z, Qt::ControlModifier);
        ExpectViewsShowRows(2);
    }
};

OPTRA_TEST_MAIN(TestRoiViews)
#include "tst_RoiViews.moc"
