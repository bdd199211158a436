// The project's ROIs kept in step with the image views: what opening an
// image writes (nothing), how new rectangles, moves, deletions, undo and
// redo and re-classing reach the dataset_roi table, which image each view
// writes to, and what is refused while training runs.
#include "common/mvc/CenterView.h"
#include "common/mvc/ImageViewer.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/mvc/MVCManager.h"
#include "common/process/Image2DProcessSobelCtrl.h"
#include "common/process/Image2DProcessSobelDlg.h"
#include "common/process/Image2DProcessSobelModel.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DCtrl.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DToolModel.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ViewsFixture.h"
#include "tests/trainer/DialogInput.h"
#include "tests/trainer/ProjectFixture.h"
#include "trainer/ProjectImage.h"
#include "trainer/mainwindow.h"

#include "optra/geometry/Rectangle.h"

#include <QLabel>
#include <QSqlQuery>

using OptraTest::CDialogScript;
using OptraTest::CMessageRecorder;

namespace
{
const char* const ROI_SQL = "SELECT X, Y, WIDTH, HEIGHT, CATEGORY_ID, IMAGE_ID FROM dataset_roi ORDER BY ID";
} // namespace

class TestProjectRoi : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<OptraTest::CProjectOnDisk> m_pProject;
    std::unique_ptr<OptraTest::SImageViews> m_pViews;
    int m_nCar = -1;
    int m_nPerson = -1;

    CProjectController* Controller() { return m_pProject->Controller(); }
    CMVCManager* Manager() { return m_pViews->pManager.get(); }
    CImageView2D* View(int nView) { return m_pViews->View(nView); }
    std::vector<std::shared_ptr<CDrawableObject>> Drawables(int nView)
    {
        return Manager()->GetUnit(nView)->Get2DDrawableObjects();
    }
    QPoint At(int nView, const QPointF& ptImage) { return m_pViews->At(nView, ptImage); }
    // Where the view puts a drag between two image points, as it maps them.
    QRectF Dragged(int nView, const QPointF& ptFrom, const QPointF& ptTo)
    {
        return QRectF(View(nView)->MapToImage(QPointF(At(nView, ptFrom))),
                      View(nView)->MapToImage(QPointF(At(nView, ptTo))))
            .normalized();
    }
    void Draw(int nView, const QPointF& ptFrom, const QPointF& ptTo,
              EImageView2DMode eTool = EImageView2DMode_Drawing_Rectanlge)
    {
        Manager()->GetModeModel()->SetViewMode(eTool);
        m_pViews->Drag(nView, ptFrom, ptTo);
    }
    void Open(const QString& strName)
    {
        Controller()->slot_OpenImage(m_pProject->ImageID(strName), "Images/" + strName);
    }
    // Every stored ROI: x, y, width, height, category, image (row order).
    QList<QList<double>> Rows()
    {
        QList<QList<double>> lstRows;
        OptraTest::WithSqliteFile(m_pProject->Folder() + "/demo.data",
                                  [&](QSqlDatabase& db)
                                  {
                                      QSqlQuery query(db);
                                      query.exec(ROI_SQL);
                                      while (query.next())
                                      {
                                          QList<double> lstRow;
                                          for (int c = 0; c < 6; ++c)
                                              lstRow << query.value(c).toDouble();
                                          lstRows << lstRow;
                                      }
                                  });
        return lstRows;
    }
    static QList<double> Row(const QRectF& rc, int nCategory, int nImage)
    {
        return {rc.x(), rc.y(), rc.width(), rc.height(), double(nCategory), double(nImage)};
    }
    static bool SameRows(const QList<QList<double>>& lstA, const QList<QList<double>>& lstB)
    {
        if (lstA.size() != lstB.size())
            return false;
        for (int r = 0; r < lstA.size(); ++r)
            for (int c = 0; c < 6; ++c)
                if (std::abs(lstA[r][c] - lstB[r][c]) > 1e-4)
                    return false;
        return true;
    }
    // What the program wrote to dataset_roi since the last call.
    QStringList Writes() { return m_pProject->TakeRoiWrites(); }
    std::shared_ptr<CDrawableObject> Named(int nView, const QString& strName)
    {
        for (const auto& pObject : Drawables(nView))
            if (pObject->GetName() == strName)
                return pObject;
        return nullptr;
    }
    void SelectOnly(int nView, const std::shared_ptr<CDrawableObject>& pObject)
    {
        Manager()->GetModeModel()->SetViewMode(EImageView2DMode_Selecting);
        OptraTest::ClickOn(View(nView), At(nView, pObject->GetBoundary().center()));
    }

private slots:
    void init()
    {
        m_pProject = std::make_unique<OptraTest::CProjectOnDisk>();
        m_pProject->AddImages(
            {m_pProject->MakeImage("a.png", 200, 100), m_pProject->MakeImage("b.png", 160, 120)});
        m_nCar = m_pProject->AddCategory("car");
        m_nPerson = m_pProject->AddCategory("person");
        m_pProject->TrackRoiWrites();
        m_pViews = std::make_unique<OptraTest::SImageViews>();
        MainWindow::ConnectImageViews(m_pViews->pArea, Manager(), Controller());
    }
    void cleanup()
    {
        m_pViews.reset();
        m_pProject.reset();
        OptraTest::InstallNonBlockingDialogs();
    }

    void openingShowsStoredRoisAndWritesNothing()
    {
        const int nA = m_pProject->ImageID("a.png");
        m_pProject->AddRoi(nA, m_nCar, 10, 10, 50, 40);
        m_pProject->AddRoi(nA, 99, 100, 20, 30, 30);
        // stored by an older version: drawn up and to the left
        m_pProject->AddRoi(nA, m_nPerson, 190, 90, -40, -20);
        Writes();
        CDialogScript script;
        Open("a.png");
        Open("a.png");
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(Writes(), QStringList());
        QStringList lstNames;
        for (const auto& pObject : Drawables(0))
            lstNames << pObject->GetName();
        lstNames.sort();
        QCOMPARE(lstNames, QStringList({"(no class)", "car", "person"}));
        QCOMPARE(Named(0, "person")->GetBoundary(), QRectF(150, 70, 40, 20));
        QVERIFY(m_pViews->pManager->GetUnit(0)->GetFrame()->GetTitleLabel()->text().endsWith("[a.png]"));
        QCOMPARE(Controller()->GetViewImageID(0), nA);
        QVERIFY(!m_pProject->Model()->GetTrainImage(nA)->GetValidate());
    }

    void newRectangle_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("message");
        QTest::newRow("rectangle, person")
            << int(EImageView2DMode_Drawing_Rectanlge) << "person" << true << "";
        QTest::newRow("ellipse stored as its box")
            << int(EImageView2DMode_Drawing_Ellipse) << "car" << true << "";
        QTest::newRow("chooser cancelled") << int(EImageView2DMode_Drawing_Rectanlge) << "" << false << "";
        QTest::newRow("class deleted while asking")
            << int(EImageView2DMode_Drawing_Rectanlge) << "delete person" << false
            << "Cannot store ROI: there is no class \"person\"";
        QTest::newRow("table cannot be written")
            << int(EImageView2DMode_Drawing_Rectanlge) << "break person" << false
            << "Cannot store ROI: the project file could not be written";
        QTest::newRow("training runs")
            << int(EImageView2DMode_Drawing_Rectanlge) << "training" << false << "Project is still running";
    }
    void newRectangle()
    {
        QFETCH(int, tool);
        QFETCH(QString, answer);
        QFETCH(bool, stored);
        QFETCH(QString, message);
        Open("a.png");
        CMessageRecorder messages;
        CDialogScript script;
        if (answer == "training")
            m_pProject->Model()->SetCommandState(1);
        else
            script.Then(
                [&](QDialog* pDialog)
                {
                    if (answer == "delete person")
                        m_pProject->Exec("DELETE FROM category WHERE NAME='person'");
                    if (answer == "break person")
                        m_pProject->Exec("CREATE TRIGGER refuse BEFORE INSERT ON dataset_roi BEGIN "
                                         "SELECT RAISE(ABORT, 'no'); END");
                    return answer.isEmpty() ? int(QDialog::Rejected)
                                            : OptraTest::ChooseEntry(pDialog, answer.section(' ', -1));
                });
        // drawn up and to the left
        Draw(0, QPointF(120, 70), QPointF(40, 20), EImageView2DMode(tool));
        m_pProject->Model()->SetCommandState(0);
        const QRectF rcBox = Dragged(0, QPointF(120, 70), QPointF(40, 20));
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(messages.Texts(), message.isEmpty() ? QStringList() : QStringList(message));
        QCOMPARE(Drawables(0).size(), size_t(stored ? 1 : 0));
        if (!stored)
        {
            QCOMPARE(Rows().size(), 0);
            // a withdrawn drawing leaves no step to undo or bring back
            QVERIFY(!Manager()->Undo());
            QCOMPARE(Drawables(0).size(), size_t(0));
            return;
        }
        const int nCategory = answer == "car" ? m_nCar : m_nPerson;
        QVERIFY(SameRows(Rows(), {Row(rcBox, nCategory, m_pProject->ImageID("a.png"))}));
        const auto pDrawable = std::dynamic_pointer_cast<CDrawableGeometry>(Drawables(0).front());
        QCOMPARE(pDrawable->GetName(), answer);
        QCOMPARE(pDrawable->GetData()->GetType(), Optra::Geometry::EShapeType_Rectangle);
        QVERIFY(m_pProject->Model()->GetTrainImage(m_pProject->ImageID("a.png"))->GetValidate());
    }

    void movesAreWrittenWhenCommitted()
    {
        const int nA = m_pProject->ImageID("a.png");
        m_pProject->AddRoi(nA, m_nCar, 10, 10, 40, 30);
        m_pProject->AddRoi(nA, m_nPerson, 100, 50, 40, 30);
        Open("a.png");
        Writes();
        const auto pCar = Named(0, "car");
        SelectOnly(0, pCar);
        // a drag in progress and a plain selection write nothing
        QTest::mousePress(View(0), Qt::LeftButton, Qt::NoModifier, At(0, QPointF(30, 25)));
        QTest::mouseMove(View(0), At(0, QPointF(40, 35)));
        QTest::mouseMove(View(0), At(0, QPointF(50, 45)));
        QCOMPARE(Writes(), QStringList());
        QTest::mouseRelease(View(0), Qt::LeftButton, Qt::NoModifier, At(0, QPointF(50, 45)));
        QCOMPARE(Writes(), QStringList({"UPDATE"}));
        const QRectF rcMoved = pCar->GetBoundary();
        QVERIFY(SameRows(Rows().mid(0, 1), {Row(rcMoved, m_nCar, nA)}));

        // both boxes in one drag: one notification, one transaction
        QSignalSpy commits(m_pViews->pArea,
                           &CViewLayoutWidget::signal_CommitDrawableObjectGeometryWithViewID);
        OptraTest::ClickOn(View(0), At(0, QPointF(120, 65)), Qt::ControlModifier);
        OptraTest::DragOn(View(0), At(0, QPointF(120, 65)), At(0, QPointF(110, 75)));
        QCOMPARE(commits.count(), 1);
        QCOMPARE(Writes(), QStringList({"UPDATE", "UPDATE"}));
        QVERIFY(Manager()->Undo());
        QCOMPARE(Writes(), QStringList({"UPDATE", "UPDATE"}));
        QVERIFY(SameRows(Rows(), {Row(rcMoved, m_nCar, nA), Row(QRectF(100, 50, 40, 30), m_nPerson, nA)}));
    }

    void undoAndRedoKeepRowsAndView()
    {
        const int nA = m_pProject->ImageID("a.png");
        m_pProject->AddRoi(nA, 99, 10, 10, 40, 30);
        Open("a.png");
        const auto pOld = Named(0, "(no class)");
        SelectOnly(0, pOld);
        QTest::keyClick(View(0), Qt::Key_Delete);
        QCOMPARE(Rows().size(), 0);
        QVERIFY(Manager()->Undo());
        // back with its class, even though that class is gone, under a new ID
        QVERIFY(SameRows(Rows(), {Row(QRectF(10, 10, 40, 30), 99, nA)}));
        QCOMPARE(pOld->GetExtraInfo().toInt(),
                 m_pProject->Column("SELECT ID FROM dataset_roi").first().toInt());

        CDialogScript script;
        script.Then([](QDialog* pDialog) { return OptraTest::ChooseEntry(pDialog, "car"); });
        Draw(0, QPointF(100, 20), QPointF(150, 80));
        QCOMPARE(Rows().size(), 2);
        QVERIFY(Manager()->Undo());
        QCOMPARE(Rows().size(), 1);
        QVERIFY(Manager()->Redo());
        QCOMPARE(script.Unexpected(), 0);
        QVERIFY(SameRows(Rows().mid(1), {Row(Dragged(0, QPointF(100, 20), QPointF(150, 80)), m_nCar, nA)}));
        QCOMPARE(Drawables(0).size(), size_t(2));
    }

    void eachViewWritesToItsOwnImage()
    {
        Manager()->ChangeLayout(1, 2);
        CDialogScript script;
        script.Then([](QDialog* pDialog) { return OptraTest::ChooseEntry(pDialog, "Image View [0]"); });
        Open("a.png");
        script.Then([](QDialog* pDialog) { return OptraTest::ChooseEntry(pDialog, "Image View [1]"); });
        Open("b.png");
        script.Then([](QDialog* pDialog) { return OptraTest::ChooseEntry(pDialog, "car"); });
        Draw(0, QPointF(10, 10), QPointF(60, 50));
        script.Then([](QDialog* pDialog) { return OptraTest::ChooseEntry(pDialog, "person"); });
        Draw(1, QPointF(20, 20), QPointF(90, 70));
        QCOMPARE(script.Unexpected(), 0);
        QVERIFY(SameRows(
            Rows(),
            {Row(Dragged(0, QPointF(10, 10), QPointF(60, 50)), m_nCar, m_pProject->ImageID("a.png")),
             Row(Dragged(1, QPointF(20, 20), QPointF(90, 70)), m_nPerson, m_pProject->ImageID("b.png"))}));
        // a cancelled choice opens nothing and keeps both bindings
        script.Then([](QDialog*) { return int(QDialog::Rejected); });
        Open("a.png");
        QCOMPARE(Controller()->GetViewImageID(1), m_pProject->ImageID("b.png"));
    }

    void bindingEnds_data()
    {
        QTest::addColumn<QString>("change");
        for (const char* szChange : {"other file", "next image", "rotation", "closed", "cleared",
                                     "project closed", "image removed", "failed open"})
            QTest::newRow(szChange) << szChange;
    }
    void bindingEnds()
    {
        QFETCH(QString, change);
        const int nA = m_pProject->ImageID("a.png");
        m_pProject->AddRoi(nA, m_nCar, 10, 10, 40, 30);
        Open("a.png");
        CImageViewUnit* pUnit = Manager()->GetUnit(0);
        const QString strOther = m_pProject->MakeImage("other.png", 50, 50);
        if (change == "other file")
            pUnit->LoadFile(strOther);
        else if (change == "next image")
            pUnit->Get2DController()->AddImage(strOther);
        else if (change == "rotation")
            pUnit->Get2DController()->RotateLeft();
        else if (change == "closed")
            pUnit->CloseCurrentImage();
        else if (change == "cleared")
            pUnit->Get2DController()->slot_ClearImage();
        else if (change == "project closed")
            Controller()->CloseCurrentProject();
        else if (change == "image removed")
            Controller()->slot_RemoveTrainImage(nA);
        else if (change == "failed open")
        {
            CMessageRecorder messages;
            QFile::remove(m_pProject->Folder() + "/Images/b.png");
            Open("b.png");
        }
        QCOMPARE(Controller()->GetViewImageID(0), -1);
        QVERIFY(!pUnit->GetFrame()->GetTitleLabel()->text().contains("[a.png]"));
        if (change == "image removed")
            QVERIFY(!pUnit->GetImage());
        Writes();
        // whatever is left or drawn there now is no ROI: nothing asked, nothing written
        CDialogScript script;
        if (!Drawables(0).empty())
        {
            Controller()->UpdateClassName(0, Drawables(0).front()->GetUID());
            SelectOnly(0, Drawables(0).front());
            QTest::keyClick(View(0), Qt::Key_Delete);
        }
        if (pUnit->GetImage())
            Draw(0, QPointF(5, 5), QPointF(30, 30));
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(Writes(), QStringList());
    }

    // A tool's result is not the project image: the view's binding ends
    // visibly, and the image's file and stored ROIs stay as they were.
    void toolResultKeepsStoredRois()
    {
        const int nA = m_pProject->ImageID("a.png");
        m_pProject->AddRoi(nA, m_nCar, 10, 10, 40, 30);
        Open("a.png");
        Writes();
        const auto lstRows = Rows();
        const QByteArray file = OptraTest::ReadBytes(m_pProject->Folder() + "/Images/a.png");
        CImage2DProcessSobelModel model;
        auto* pDialog = new CImage2DProcessSobelDlg;
        CImage2DProcessSobelCtrl tool(&model, pDialog);
        pDialog->SetSourceROIIndex(1);
        QCOMPARE(pDialog->GetSourceROIName(), QString("car"));
        const auto pBefore = Manager()->GetUnit(0)->GetImage();
        emit pDialog->signal_Run();
        QVERIFY(Manager()->GetUnit(0)->GetImage() != pBefore);
        QCOMPARE(Controller()->GetViewImageID(0), -1);
        QVERIFY(!Manager()->GetUnit(0)->GetFrame()->GetTitleLabel()->text().contains("[a.png]"));
        QCOMPARE(Writes(), QStringList());
        QVERIFY(SameRows(Rows(), lstRows));
        QCOMPARE(OptraTest::ReadBytes(m_pProject->Folder() + "/Images/a.png"), file);
        Open("a.png");
        QCOMPARE(Named(0, "car")->GetBoundary(), QRectF(10, 10, 40, 30));
        delete pDialog;
    }

    void editsAreRefusedWhileTraining()
    {
        const int nA = m_pProject->ImageID("a.png");
        m_pProject->AddRoi(nA, m_nCar, 10, 10, 40, 30);
        Open("a.png");
        Writes();
        const auto pCar = Named(0, "car");
        m_pProject->Model()->SetCommandState(1);
        CMessageRecorder messages;
        CDialogScript script;
        SelectOnly(0, pCar);
        OptraTest::DragOn(View(0), At(0, QPointF(30, 25)), At(0, QPointF(60, 45)));
        QCOMPARE(pCar->GetBoundary(), QRectF(10, 10, 40, 30));
        // one message per edit, each edit an event of its own
        QCoreApplication::processEvents();
        QTest::keyClick(View(0), Qt::Key_Delete);
        QCOMPARE(Drawables(0).size(), size_t(1));
        QCoreApplication::processEvents();
        Controller()->UpdateClassName(0, pCar->GetUID());
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(Writes(), QStringList());
        QCOMPARE(messages.Texts(), QStringList({"Project is still running", "Project is still running",
                                                "Project is still running"}));
        m_pProject->Model()->SetCommandState(0);
    }

    void updateGivesALostClassBack()
    {
        const int nA = m_pProject->ImageID("a.png");
        m_pProject->AddRoi(nA, 99, 10, 10, 40, 30);
        Open("a.png");
        const auto pLost = Named(0, "(no class)");
        CDialogScript script;
        script.Then([](QDialog*) { return int(QDialog::Rejected); });
        Controller()->UpdateClassName(0, pLost->GetUID());
        QCOMPARE(Rows().size(), 1);
        script.Then([](QDialog* pDialog) { return OptraTest::ChooseEntry(pDialog, "person"); });
        Controller()->UpdateClassName(0, pLost->GetUID());
        QVERIFY(SameRows(Rows(), {Row(QRectF(10, 10, 40, 30), m_nPerson, nA)}));
        QCOMPARE(pLost->GetName(), QString("person"));
        QVERIFY(m_pProject->Model()->GetTrainImage(nA)->GetValidate());
    }
};

OPTRA_TEST_MAIN(TestProjectRoi)
#include "tst_ProjectRoi.moc"
