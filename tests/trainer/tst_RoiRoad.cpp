// The road of an ROI through the real program, as a user takes it: open a
// project from the Recent menu, open its image from the explorer, draw,
// classify, move, re-class, delete and undo rectangles in the image view,
// Build the label file; two images side by side; a class deleted while
// used. Rows are checked in the project file through a connection of the
// test's own, against rectangles worked out from the fitted view's geometry.
#include "common/mvc/CenterView.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/mvc/MVCManager.h"
#include "common/mvc/ToolPanel.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DDrawableObject.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ViewsFixture.h"
#include "tests/trainer/DialogInput.h"
#include "tests/trainer/MainWindowDriver.h"
#include "tests/trainer/ProjectFixture.h"
#include "trainer/ProjectItem.h"
#include "trainer/ProjectView.h"
#include "trainer/mainwindow.h"

#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTreeView>

#include <cmath>

namespace
{
constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;
} // namespace

class TestRoiRoad : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<OptraTest::CProjectOnDisk> m_pProject;
    std::unique_ptr<MainWindow> m_pWindow;
    OptraTest::CDialogScript* m_pScript = nullptr;

    CImageView2D* View(int nView) { return m_pWindow->GetMVCManager()->GetUnit(nView)->Get2DView(); }
    size_t DrawableCount(int nView)
    {
        return m_pWindow->GetMVCManager()->GetUnit(nView)->Get2DDrawableObjects().size();
    }
    // The fitted image's place in the view, worked out from the sizes: the
    // image scaled to fit, centred.
    QRectF Fitted(int nView)
    {
        const QSize sizeView = View(nView)->size();
        const QSize sizeFitted = QSize(WIDTH, HEIGHT).scaled(sizeView, Qt::KeepAspectRatio);
        return QRectF(std::floor(sizeView.width() / 2.0 - sizeFitted.width() / 2.0),
                      std::floor(sizeView.height() / 2.0 - sizeFitted.height() / 2.0), sizeFitted.width(),
                      sizeFitted.height());
    }
    // A widget pixel at a fraction of the fitted image, and its image point.
    QPoint WidgetAt(int nView, double dFx, double dFy)
    {
        const QRectF rc = Fitted(nView);
        return QPoint(int(rc.left() + dFx * rc.width()), int(rc.top() + dFy * rc.height()));
    }
    QPointF ImageAt(int nView, const QPoint& ptWidget)
    {
        const QRectF rc = Fitted(nView);
        return QPointF((ptWidget.x() - rc.left()) * WIDTH / rc.width(),
                       (ptWidget.y() - rc.top()) * HEIGHT / rc.height());
    }
    // The ROI rows of an image: "x y w h category" with three decimals.
    QStringList Rows(int nImage)
    {
        return m_pProject->Column(
            QString("SELECT printf('%.3f %.3f %.3f %.3f %d', X, Y, WIDTH, HEIGHT, CATEGORY_ID) "
                    "FROM dataset_roi WHERE IMAGE_ID=%1 ORDER BY ID")
                .arg(nImage));
    }
    static QString Row(const QRectF& rc, int nCategory)
    {
        return QString::asprintf("%.3f %.3f %.3f %.3f %d", rc.x(), rc.y(), rc.width(), rc.height(),
                                 nCategory);
    }
    QStringList Writes() { return m_pProject->TakeRoiWrites(); }
    void PressToolButton(const QString& strText)
    {
        for (QPushButton* pButton : m_pWindow->GetToolPanel()->findChildren<QPushButton*>())
            if (pButton->text() == strText && pButton->isVisible())
                return QTest::mouseClick(pButton, Qt::LeftButton);
        QFAIL(qPrintable("no tool button " + strText));
    }
    void DoubleClickImage(int nRow) { OptraTest::OpenTrainImage(m_pWindow->GetProjectExplorer(), nRow); }
    void Answer(const QString& strEntry) { OptraTest::AnswerWith(*m_pScript, strEntry); }
    // Gives the window and the view the keyboard, as the user's click does.
    void Focus(int nView) { QVERIFY(OptraTest::GiveFocus(m_pWindow.get(), View(nView))); }

private slots:
    void initTestCase()
    {
        m_pWindow = OptraTest::ShowMainWindow();
        QVERIFY(m_pWindow);
        // Made by another session of the program; it is on the Recent list.
        m_pProject = std::make_unique<OptraTest::CProjectOnDisk>("road");
        m_pProject->AddImages({m_pProject->MakeImage("street.png", WIDTH, HEIGHT)});
        m_pProject->AddCategory("car");
        m_pProject->AddCategory("person");
        m_pProject->TrackRoiWrites();
        m_pScript = new OptraTest::CDialogScript;
    }
    void cleanupTestCase()
    {
        delete m_pScript;
        m_pWindow.reset();
        m_pProject.reset();
    }

    void drawClassifyMoveDeleteUndo()
    {
        m_pWindow->GetRecentMenu()->actions().first()->trigger();
        DoubleClickImage(0);
        QVERIFY(View(0)->GetCurrentImage());
        const int nImage = m_pProject->ImageID("street.png");

        PressToolButton("Rect");
        const QPoint ptFrom = WidgetAt(0, 0.2, 0.25);
        const QPoint ptTo = WidgetAt(0, 0.55, 0.7);
        QRectF rcBox(ImageAt(0, ptFrom), ImageAt(0, ptTo));
        Answer("person");
        OptraTest::DragOn(View(0), ptFrom, ptTo);
        QCOMPARE(Rows(nImage), QStringList(Row(rcBox, 2)));

        PressToolButton("Select");
        const QPoint ptGrab = WidgetAt(0, 0.4, 0.5);
        OptraTest::DragOn(View(0), ptGrab, ptGrab + QPoint(30, -20));
        rcBox.translate(ImageAt(0, ptGrab + QPoint(30, -20)) - ImageAt(0, ptGrab));
        QCOMPARE(Rows(nImage), QStringList(Row(rcBox, 2)));

        Answer("car");
        QTest::mouseClick(View(0), Qt::RightButton, Qt::NoModifier, WidgetAt(0, 0.4, 0.5));
        QMenu* pMenu = View(0)->GetMenuDrawable();
        QTRY_VERIFY(pMenu->isVisible());
        for (QAction* pAction : pMenu->actions())
            if (pAction->text() == "Update")
                pAction->trigger();
        pMenu->hide();
        QCOMPARE(Rows(nImage), QStringList(Row(rcBox, 1)));

        OptraTest::ClickOn(View(0), WidgetAt(0, 0.4, 0.5));
        Focus(0);
        QTest::keyClick(View(0), Qt::Key_Delete);
        QCOMPARE(Rows(nImage), QStringList());
        QTest::keyClick(View(0), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Rows(nImage), QStringList(Row(rcBox, 1)));

        PressToolButton("Rect");
        Answer("");
        OptraTest::DragOn(View(0), WidgetAt(0, 0.7, 0.1), WidgetAt(0, 0.9, 0.3));
        QCOMPARE(Rows(nImage).size(), 1);
        QCOMPARE(DrawableCount(0), size_t(1));

        Writes();
        DoubleClickImage(0);
        QCOMPARE(DrawableCount(0), size_t(1));
        QCOMPARE(Writes(), QStringList());
        QVERIFY(m_pScript->Done());
        QCOMPARE(m_pScript->Unexpected(), 0);

        OptraTest::FindAction(m_pWindow.get(), "Build")->trigger();
        const QString strExpected = QString::asprintf(
            "0 %f %f %f %f\n", (rcBox.x() + rcBox.width() / 2) / WIDTH,
            (rcBox.y() + rcBox.height() / 2) / HEIGHT, rcBox.width() / WIDTH, rcBox.height() / HEIGHT);
        QCOMPARE(QString(OptraTest::ReadBytes(m_pProject->Folder() + "/Images/street.txt")), strExpected);
    }

    void twoViewsStoreOnTheirOwnImages()
    {
        CInteraction::SetOpenFilesHandler(
            [this](auto...) { return QStringList(m_pProject->MakeImage("yard.png", WIDTH, HEIGHT)); });
        m_pWindow->GetProjectController()->slot_AddTrainImage();
        CInteraction::SetOpenFilesHandler({});
        OptraTest::FindAction(m_pWindow.get(), "[2x1]")->trigger();
        Answer("Image View [0]");
        DoubleClickImage(0);
        Answer("Image View [1]");
        DoubleClickImage(1);
        const int nStreet = m_pProject->ImageID("street.png");
        const int nYard = m_pProject->ImageID("yard.png");
        const QStringList lstStreet = Rows(nStreet);

        QRectF arrBoxes[2];
        for (int nView : {0, 1})
        {
            PressToolButton("Rect");
            Answer(nView == 0 ? "car" : "person");
            const QPoint ptFrom = WidgetAt(nView, 0.1, 0.1);
            const QPoint ptTo = WidgetAt(nView, 0.3, 0.4);
            arrBoxes[nView] = QRectF(ImageAt(nView, ptFrom), ImageAt(nView, ptTo));
            OptraTest::DragOn(View(nView), ptFrom, ptTo);
        }
        QCOMPARE(Rows(nStreet), lstStreet + QStringList(Row(arrBoxes[0], 1)));
        QCOMPARE(Rows(nYard), QStringList(Row(arrBoxes[1], 2)));
        QCOMPARE(m_pScript->Unexpected(), 0);
    }

    void aDeletedClassAsksNothingAndLosesNothing()
    {
        m_pProject->Exec("DELETE FROM category WHERE NAME='person'");
        const QStringList lstAll = m_pProject->Column("SELECT ID FROM dataset_roi ORDER BY ID");
        Answer("Image View [1]");
        DoubleClickImage(1);
        QVERIFY(m_pScript->Done());
        const auto vctObjects = m_pWindow->GetMVCManager()->GetUnit(1)->Get2DDrawableObjects();
        QCOMPARE(vctObjects.size(), size_t(1));
        QCOMPARE(vctObjects.front()->GetName(), QString("(no class)"));
        Focus(1);
        QTest::keyClick(View(1), Qt::Key_Escape);
        QTest::keyClick(m_pWindow->GetProjectExplorer()->GetTreeView(), Qt::Key_Escape);
        QTest::keyClick(m_pWindow.get(), Qt::Key_Escape);
        QCOMPARE(m_pProject->Column("SELECT ID FROM dataset_roi ORDER BY ID"), lstAll);
        QCOMPARE(m_pScript->Unexpected(), 0);
    }
};

OPTRA_TEST_MAIN(TestRoiRoad)
#include "tst_RoiRoad.moc"
