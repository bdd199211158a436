// Labelling quickly through the real program, as a user does it: digits and
// Enter in the class chooser, "Keep class", walking the image lists from
// the explorer and from the view (ends, images without ROIs, valid counts),
// the next image decoded ahead and dropped when the list or the file
// changes, the previous image's ROIs copied and undone in one step, boxes
// nudged with the arrow keys. Rows are read from the project file through a
// connection of the test's own.
#include "common/mvc/ImageViewer.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/mvc/MVCManager.h"
#include "common/mvc/ToolPanel.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DDrawableObject.h"
#include "common/view2d/ImageView2DPrefetch.h"
#include "common/view2d/ImageView2DToolModel.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ViewsFixture.h"
#include "tests/trainer/DialogInput.h"
#include "tests/trainer/MainWindowDriver.h"
#include "tests/trainer/ProjectFixture.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectItem.h"
#include "trainer/ProjectView.h"
#include "trainer/mainwindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>

using OptraTest::CDialogScript;

class TestFastAnnotation : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_pWindow;
    std::unique_ptr<OptraTest::CProjectOnDisk> m_pProject;

    CProjectController* Controller() { return m_pWindow->GetProjectController(); }
    CMVCManager* Manager() { return m_pWindow->GetMVCManager(); }
    CImageView2D* View() { return Manager()->GetUnit(0)->Get2DView(); }
    CProjectExplorerView* Explorer() { return m_pWindow->GetProjectExplorer(); }
    CImageView2DPrefetcher* Prefetcher() { return Manager()->GetPrefetcher(); }
    std::vector<std::shared_ptr<CDrawableObject>> Drawables()
    {
        return Manager()->GetUnit(0)->Get2DDrawableObjects();
    }
    int Id(const QString& strName) { return m_pProject->ImageID(strName); }
    QString File(const QString& strName) { return m_pProject->Folder() + "/Images/" + strName; }
    // The image the view is bound to, by name ("" for none).
    QString Shown()
    {
        const int nImageID = Controller()->GetViewImageID(0);
        auto pImage = m_pWindow->GetProjectModel()->GetTrainImage(nImageID);
        return pImage ? pImage->GetName() : QString();
    }
    QStringList TrainNames()
    {
        QStringList lstNames;
        for (const auto& pImage : m_pWindow->GetProjectModel()->GetTrainImages())
            lstNames << pImage->GetName();
        return lstNames;
    }
    // "x y w h category" rows of an image, in row order.
    QStringList Rows(const QString& strImage)
    {
        return m_pProject->Column(QString("SELECT printf('%g %g %g %g %d', X, Y, WIDTH, HEIGHT, CATEGORY_ID) "
                                          "FROM dataset_roi WHERE IMAGE_ID=%1 ORDER BY ID")
                                      .arg(Id(strImage)));
    }
    QStringList Writes() { return m_pProject->TakeRoiWrites(); }
    void OpenFromExplorer(int nRow)
    {
        QTreeView* pTree = Explorer()->GetTreeView();
        const QRect rc = pTree->visualRect(Explorer()->GetTrainImagesNode()->child(nRow)->index());
        QTest::mouseClick(pTree->viewport(), Qt::LeftButton, Qt::NoModifier, rc.center());
    }
    void Focus(QWidget* pWidget)
    {
        QApplication::setActiveWindow(m_pWindow.get());
        pWidget->setFocus();
        QTRY_VERIFY(pWidget->hasFocus());
    }
    // A rectangle drawn in the view between two fractions of the image.
    void Draw(double dFrom, double dTo)
    {
        Manager()->GetModeModel()->SetViewMode(EImageView2DMode_Drawing_Rectanlge);
        Drag(dFrom, dTo);
    }
    // With whatever tool is chosen.
    void Drag(double dFrom, double dTo)
    {
        const QSize size = ShownSize();
        const auto At = [&](double d)
        {
            return QPointF(d * size.width(), d * size.height());
        };
        OptraTest::DragOn(View(), View()->MapToWidget(At(dFrom)).toPoint(),
                          View()->MapToWidget(At(dTo)).toPoint());
    }
    // A step that presses a key in the class chooser, as the user does.
    static CDialogScript::Step PressInChooser(int nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        return [nKey, modifiers](QDialog* pDialog)
        {
            QTest::keyClick(pDialog->findChild<QComboBox*>(), Qt::Key(nKey), modifiers);
            // A key that chose nothing leaves the chooser open; the user cancels.
            if (pDialog->isVisible())
                QTest::keyClick(pDialog->findChild<QComboBox*>(), Qt::Key_Escape);
            return pDialog->result();
        };
    }
    // On its box, at the left end (the text ends well before the widget).
    void ClickKeepClass() { ClickBox("Keep class"); }
    void ClickBox(const QString& strText)
    {
        for (QCheckBox* pBox : m_pWindow->GetToolPanel()->findChildren<QCheckBox*>())
            if (pBox->text() == strText && pBox->isVisible())
                return QTest::mouseClick(pBox, Qt::LeftButton, Qt::NoModifier, QPoint(8, pBox->height() / 2));
        QFAIL(qPrintable("no box " + strText));
    }
    QSize ShownSize()
    {
        const auto pImage = View()->GetCurrentImage();
        return pImage ? QSize(pImage->GetWidth(), pImage->GetHeight()) : QSize();
    }
    QString Title() { return Manager()->GetUnit(0)->GetFrame()->GetTitleLabel()->text(); }

private slots:
    void initTestCase()
    {
        m_pWindow = OptraTest::ShowMainWindow();
        QVERIFY(m_pWindow);
    }
    void cleanupTestCase() { m_pWindow.reset(); }
    // Train list c, a, d, b (d larger), test list t; classes car and person.
    void init()
    {
        m_pProject = std::make_unique<OptraTest::CProjectOnDisk>();
        QStringList lstFiles;
        for (const char* szName : {"c.png", "a.png", "d.png", "b.png"})
            lstFiles << m_pProject->MakeImage(szName, szName[0] == 'd' ? 400 : 200,
                                              szName[0] == 'd' ? 300 : 100);
        m_pProject->AddImages(lstFiles);
        m_pProject->AddImages({m_pProject->MakeImage("t.png", 50, 50)}, false);
        m_pProject->AddCategory("car");
        m_pProject->AddCategory("person");
        m_pProject->TrackRoiWrites();
        m_pWindow->GetRecentMenu()->actions().first()->trigger();
        QCOMPARE(TrainNames(), QStringList({"c.png", "a.png", "d.png", "b.png"}));
        Explorer()->GetTreeView()->expandAll();
        OptraTest::InstallNonBlockingDialogs();
    }
    void cleanup()
    {
        Manager()->GetModeModel()->SetKeepClass(false);
        Manager()->GetModeModel()->SetDrawContinuously(false);
        Controller()->CloseCurrentProject();
        m_pProject.reset();
    }

    void chooserKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("stored");
        QTest::newRow("1") << int(Qt::Key_1) << int(Qt::NoModifier) << "car";
        QTest::newRow("keypad 2") << int(Qt::Key_2) << int(Qt::KeypadModifier) << "person";
        QTest::newRow("Enter: the class chosen last")
            << int(Qt::Key_Return) << int(Qt::NoModifier) << "person";
        QTest::newRow("3: no third class") << int(Qt::Key_3) << int(Qt::NoModifier) << "";
        QTest::newRow("Ctrl+1 is no class key") << int(Qt::Key_1) << int(Qt::ControlModifier) << "";
    }
    void chooserKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, stored);
        OpenFromExplorer(1);
        CDialogScript script;
        script.Then(PressInChooser(Qt::Key_2));
        Draw(0.1, 0.3);
        script.Then(PressInChooser(key, Qt::KeyboardModifiers(modifiers)));
        Draw(0.5, 0.7);
        QVERIFY(script.Done());
        QCOMPARE(script.Unexpected(), 0);
        QStringList lstClasses{"2"};
        if (!stored.isEmpty())
            lstClasses << (stored == "car" ? "1" : "2");
        QStringList lstStored;
        for (const QString& strRow : Rows("a.png"))
            lstStored << strRow.section(' ', -1);
        QCOMPARE(lstStored, lstClasses);
    }

    void keepClassStoresWithoutAsking()
    {
        OpenFromExplorer(1);
        CDialogScript script;
        script.Then(PressInChooser(Qt::Key_1));
        Draw(0.1, 0.2);
        ClickKeepClass();
        QVERIFY(Manager()->GetModeModel()->GetKeepClass());
        QVERIFY(Title().contains("Keep class: car"));
        Draw(0.3, 0.4);
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(Rows("a.png").size(), 2);
        QVERIFY(Rows("a.png").last().endsWith(" 1"));
        // "Update" still asks, and what it chose is kept from then on
        script.Then(PressInChooser(Qt::Key_2));
        Controller()->UpdateClassName(0, Drawables().back()->GetUID());
        QVERIFY(Title().contains("Keep class: person"));
        Draw(0.5, 0.6);
        QVERIFY(Rows("a.png").last().endsWith(" 2"));
        ClickKeepClass();
        QVERIFY(!Title().contains("Keep class"));
        script.Then([](QDialog*) { return int(QDialog::Rejected); });
        Draw(0.7, 0.8);
        QVERIFY(script.Done());
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(Rows("a.png").size(), 3);
    }

    // Box after box from the keyboard: W, then drag, drag, drag; each one
    // asks its class and is a row of its own.
    void drawingContinuouslyStoresEachBox()
    {
        OpenFromExplorer(1);
        ClickBox("Draw continuously");
        QVERIFY(Manager()->GetModeModel()->GetDrawContinuously());
        Focus(View());
        QTest::keyClick(View(), Qt::Key_W);
        CDialogScript script;
        for (int nKey : {Qt::Key_1, Qt::Key_2, Qt::Key_1})
            script.Then(PressInChooser(nKey));
        Drag(0.1, 0.2);
        Drag(0.3, 0.4);
        Drag(0.5, 0.6);
        QVERIFY(script.Done());
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(Manager()->GetModeModel()->GetViewMode(), EImageView2DMode_Drawing_Rectanlge);
        const QStringList lstRows = Rows("a.png");
        QCOMPARE(lstRows.size(), 3);
        QVERIFY(lstRows[0].endsWith(" 1") && lstRows[1].endsWith(" 2") && lstRows[2].endsWith(" 1"));
        QCOMPARE(Drawables().size(), size_t(3));
        // A box whose class is refused is taken back; the tool stays for the next.
        script.Then([](QDialog*) { return int(QDialog::Rejected); });
        Drag(0.7, 0.8);
        QVERIFY(script.Done());
        QCOMPARE(Rows("a.png").size(), 3);
        QCOMPARE(Drawables().size(), size_t(3));
        QCOMPARE(Manager()->GetModeModel()->GetViewMode(), EImageView2DMode_Drawing_Rectanlge);
        QTest::keyClick(View(), Qt::Key_Escape);
        QCOMPARE(Manager()->GetModeModel()->GetViewMode(), EImageView2DMode_Selecting);
    }

    void walking_data()
    {
        QTest::addColumn<bool>("fromView");
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("previous");
        QTest::newRow("explorer, Page keys") << false << int(Qt::Key_PageDown) << int(Qt::Key_PageUp);
        QTest::newRow("explorer, D and A") << false << int(Qt::Key_D) << int(Qt::Key_A);
        QTest::newRow("view, Page keys") << true << int(Qt::Key_PageDown) << int(Qt::Key_PageUp);
        QTest::newRow("view, D and A") << true << int(Qt::Key_D) << int(Qt::Key_A);
    }
    void walking()
    {
        QFETCH(bool, fromView);
        QFETCH(int, next);
        QFETCH(int, previous);
        OpenFromExplorer(0);
        QWidget* pTarget = fromView ? static_cast<QWidget*>(View()) : Explorer()->GetTreeView();
        Focus(pTarget);
        QStringList lstSeen;
        for (int nKey : {next, next, next, next, previous, previous, previous, previous})
        {
            QTest::keyClick(pTarget, Qt::Key(nKey));
            lstSeen << Shown();
            QCOMPARE(Explorer()->GetCurrentImageID(), Id(Shown()));
        }
        // the ends stop the walk
        QCOMPARE(lstSeen,
                 QStringList({"a.png", "d.png", "b.png", "b.png", "d.png", "a.png", "c.png", "c.png"}));
        QVERIFY(pTarget->hasFocus());
    }

    void nextWithoutRois_data()
    {
        QTest::addColumn<bool>("fromView");
        QTest::newRow("explorer") << false;
        QTest::newRow("view") << true;
    }
    void nextWithoutRois()
    {
        QFETCH(bool, fromView);
        m_pProject->AddRoi(Id("a.png"), 1, 1, 1, 5, 5);
        m_pProject->AddRoi(Id("d.png"), 2, 1, 1, 5, 5);
        OpenFromExplorer(0);
        QWidget* pTarget = fromView ? static_cast<QWidget*>(View()) : Explorer()->GetTreeView();
        Focus(pTarget);
        QTest::keyClick(pTarget, Qt::Key_N);
        QCOMPARE(Shown(), QString("b.png"));
        QTest::keyClick(pTarget, Qt::Key_N);
        QCOMPARE(Shown(), QString("b.png"));
    }

    void keysLeaveTypingAlone()
    {
        OpenFromExplorer(0);
        auto* pEdit = new QLineEdit(m_pWindow.get());
        pEdit->show();
        Focus(pEdit);
        QTest::keyClicks(pEdit, "dan wrfhl+-");
        QTest::keyClick(pEdit, Qt::Key_PageDown);
        QCOMPARE(pEdit->text(), QString("dan wrfhl+-"));
        QCOMPARE(Shown(), QString("c.png"));
        // Nor do the view's own keys act on the view.
        QCOMPARE(Manager()->GetModeModel()->GetViewMode(), EImageView2DMode_Selecting);
        QVERIFY(View()->GetShowNames() && !View()->GetGuideLines());
        QCOMPARE(View()->GetScale(), 1.0);
        delete pEdit;
        // a view showing some other file keeps it
        const QString strOther = m_pProject->MakeImage("other.png", 30, 30);
        QVERIFY(Manager()->GetUnit(0)->LoadFile(strOther));
        Focus(View());
        QTest::keyClick(View(), Qt::Key_D);
        QCOMPARE(ShownSize(), QSize(30, 30));
    }

    void validCounts()
    {
        CProjectItem* pTrain = Explorer()->GetTrainImagesNode();
        QTRY_COMPARE(pTrain->text(), QString("Train Images (0 / 4)"));
        QCOMPARE(Explorer()->GetTestImagesNode()->text(), QString("Test Images (0 / 1)"));
        OpenFromExplorer(2);
        CDialogScript script;
        script.Then(PressInChooser(Qt::Key_1));
        Draw(0.2, 0.4);
        QTRY_COMPARE(pTrain->text(), QString("Train Images (1 / 4)"));
    }

    void prefetch_data()
    {
        QTest::addColumn<QString>("change");
        for (const char* szChange : {"none", "sort", "shuffle", "removal", "changed file"})
            QTest::newRow(szChange) << szChange;
    }
    void prefetch()
    {
        QFETCH(QString, change);
        OpenFromExplorer(0);
        Focus(View());
        QTest::keyClick(View(), Qt::Key_D);
        QCOMPARE(Shown(), QString("a.png"));
        // forward first
        QCOMPARE(Prefetcher()->GetWanted(), QStringList({File("d.png"), File("c.png")}));
        QTRY_VERIFY(Prefetcher()->Peek(File("d.png")));
        const auto pStale = Prefetcher()->Peek(File("d.png"));
        if (change == "sort")
            Controller()->slot_SortTrainImage();
        else if (change == "shuffle")
            Controller()->slot_ShuffleTrainImage();
        else if (change == "removal")
            Controller()->slot_RemoveTrainImage(Id("d.png"));
        else if (change == "changed file")
            QVERIFY(QImage(300, 200, QImage::Format_RGB32).save(File("d.png")));
        // the neighbours in the list as it is now, and nothing else
        const QStringList lstNames = TrainNames();
        const int nAt = lstNames.indexOf("a.png");
        QStringList lstWanted;
        for (int nNeighbour : {nAt + 1, nAt - 1})
            if (nNeighbour >= 0 && nNeighbour < lstNames.size())
                lstWanted << File(lstNames[nNeighbour]);
        QCOMPARE(Prefetcher()->GetWanted(), lstWanted);
        if (lstWanted.isEmpty())
            return;
        QTRY_VERIFY(Prefetcher()->Peek(lstWanted.first()));
        const auto pPrepared = Prefetcher()->Peek(lstWanted.first());
        // a shuffle may have made a.png the last image
        const bool bForward = nAt + 1 < lstNames.size();
        QTest::keyClick(View(), bForward ? Qt::Key_D : Qt::Key_A);
        QCOMPARE(File(Shown()), lstWanted.first());
        const auto pShown = Manager()->GetUnit(0)->GetImage();
        if (change == "changed file")
        {
            QVERIFY(pShown != pStale);
            QCOMPARE(ShownSize(), QSize(300, 200));
            return;
        }
        QCOMPARE(pShown, pPrepared);
        QCOMPARE(ShownSize(), QImage(lstWanted.first()).size());
        if (change != "none")
            return;
        // walking back, the image behind is wanted first
        QTest::keyClick(View(), Qt::Key_A);
        QCOMPARE(Prefetcher()->GetWanted(), QStringList({File("c.png"), File("d.png")}));
    }

    void prefetchIsBounded()
    {
        CImageView2DPrefetcher* pPrefetcher = Prefetcher();
        pPrefetcher->Prefetch({File("b.png"), File("b.png"), File("c.png"), File("d.png"), File("a.png")});
        QCOMPARE(pPrefetcher->GetWanted(), QStringList({File("b.png"), File("c.png"), File("d.png")}));
        QTRY_VERIFY(pPrefetcher->Peek(File("d.png")));
        QTRY_VERIFY(pPrefetcher->Peek(File("b.png")) && pPrefetcher->Peek(File("c.png")));
        const size_t nHeld = pPrefetcher->GetHeldBytes();
        // at least the three images' pixels
        QVERIFY(nHeld >= size_t(200 * 100 * 3 * 2 + 400 * 300 * 3));
        QVERIFY(nHeld <= CImageView2DPrefetcher::MEMORY_BUDGET);
        // taken once: the view owns it from then on
        QVERIFY(pPrefetcher->Take(File("c.png")).pImage);
        QVERIFY(!pPrefetcher->Take(File("c.png")).pImage);
        QVERIFY(pPrefetcher->GetHeldBytes() < nHeld);
        pPrefetcher->Prefetch({});
        QCOMPARE(pPrefetcher->GetHeldBytes(), size_t(0));
    }

    // Walking and copying are shortcuts of the window: while the mouse
    // button is held in the view they do nothing, and act again once it is
    // let go.
    void walkingAndCopyingWaitForTheGesture()
    {
        m_pProject->AddRoi(Id("a.png"), 1, 10, 10, 40, 20);
        OpenFromExplorer(0);
        Focus(View());
        QTest::keyClick(View(), Qt::Key_D);
        QTest::keyClick(View(), Qt::Key_D);
        QCOMPARE(Shown(), QString("d.png"));
        Manager()->GetModeModel()->SetViewMode(EImageView2DMode_Selecting);
        const QPoint ptEmpty = View()->MapToWidget(QPointF(ShownSize().width() - 5, 5)).toPoint();
        QTest::mouseMove(View(), ptEmpty);
        QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, ptEmpty);
        QTest::keyClick(View(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(View(), Qt::Key_D);
        QTest::keyClick(View(), Qt::Key_PageUp);
        QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, ptEmpty);
        QCOMPARE(Shown(), QString("d.png"));
        QCOMPARE(Rows("d.png"), QStringList());
        QTest::keyClick(View(), Qt::Key_D);
        QCOMPARE(Shown(), QString("b.png"));
    }

    void copyFromPreviousImage()
    {
        m_pProject->AddRoi(Id("a.png"), 1, 10, 10, 40, 20);
        m_pProject->AddRoi(Id("a.png"), 2, 100, 50, 50, 25);
        const QStringList lstA = Rows("a.png");
        OpenFromExplorer(0);
        Focus(View());
        // nothing comes before the first image
        QTest::keyClick(View(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Rows("c.png"), QStringList());
        QTest::keyClick(View(), Qt::Key_D);
        QTest::keyClick(View(), Qt::Key_D);
        QCOMPARE(Shown(), QString("d.png"));
        Writes();
        // twice the width, three times the height
        const QStringList lstCopies{"20 30 80 60 1", "200 150 100 75 2"};
        QTest::keyClick(View(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Rows("d.png"), lstCopies);
        QCOMPARE(Writes(), QStringList({"INSERT", "INSERT"}));
        QCOMPARE(Drawables().size(), size_t(2));
        QVERIFY(Drawables().front()->GetSelected() && Drawables().back()->GetSelected());
        QTest::keyClick(View(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Rows("d.png"), QStringList());
        QCOMPARE(Writes(), QStringList({"DELETE", "DELETE"}));
        QCOMPARE(Rows("a.png"), lstA);
        QTest::keyClick(View(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Rows("d.png"), lstCopies);
        // also from the view's menu
        QVERIFY(OptraTest::FindAction(View(), "Copy ROIs from previous image"));
    }

    void nudging_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("row");
        const int nCtrl = Qt::ControlModifier;
        const int nShift = Qt::ShiftModifier;
        QTest::newRow("right") << int(Qt::Key_Right) << 0 << "11 10 40 20 1";
        QTest::newRow("up") << int(Qt::Key_Up) << 0 << "10 9 40 20 1";
        QTest::newRow("Shift+left: ten") << int(Qt::Key_Left) << nShift << "0 10 40 20 1";
        QTest::newRow("Shift+down: ten") << int(Qt::Key_Down) << nShift << "10 20 40 20 1";
        QTest::newRow("Ctrl+right grows") << int(Qt::Key_Right) << nCtrl << "10 10 41 20 1";
        QTest::newRow("Ctrl+down grows") << int(Qt::Key_Down) << nCtrl << "10 10 40 21 1";
        QTest::newRow("Ctrl+Shift+left shrinks") << int(Qt::Key_Left) << (nCtrl | nShift) << "10 10 39 20 1";
        QTest::newRow("Ctrl+Shift+up shrinks") << int(Qt::Key_Up) << (nCtrl | nShift) << "10 10 40 19 1";
        QTest::newRow("training runs") << int(Qt::Key_Right) << -1 << "";
    }
    void nudging()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, row);
        m_pProject->AddRoi(Id("a.png"), 1, 10, 10, 40, 20);
        m_pProject->AddRoi(Id("a.png"), 2, 100, 50, 40, 20);
        OpenFromExplorer(1);
        Focus(View());
        const QStringList lstBefore = Rows("a.png");
        // nothing selected, nothing moves
        QTest::keyClick(View(), Qt::Key_Right);
        Manager()->GetModeModel()->SetViewMode(EImageView2DMode_Selecting);
        OptraTest::ClickOn(View(), View()->MapToWidget(QPointF(30, 20)).toPoint());
        Writes();
        OptraTest::CMessageRecorder messages;
        m_pWindow->GetProjectModel()->SetCommandState(modifiers < 0 ? 1 : 0);
        QTest::keyClick(View(), Qt::Key(key), Qt::KeyboardModifiers(qMax(modifiers, 0)));
        m_pWindow->GetProjectModel()->SetCommandState(0);
        if (row.isEmpty())
        {
            QCOMPARE(messages.Texts(), QStringList("Project is still running"));
            QCOMPARE(Rows("a.png"), lstBefore);
            const auto vctObjects = Drawables();
            QVERIFY(std::any_of(vctObjects.begin(), vctObjects.end(),
                                [](const auto& pObject)
                                { return pObject->GetBoundary() == QRectF(10, 10, 40, 20); }));
            return;
        }
        QCOMPARE(Writes(), QStringList("UPDATE"));
        QCOMPARE(Rows("a.png"), QStringList({row, lstBefore.last()}));
        QTest::keyClick(View(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Writes(), QStringList("UPDATE"));
        QCOMPARE(Rows("a.png"), lstBefore);
    }
};

OPTRA_TEST_MAIN(TestFastAnnotation)
#include "tst_FastAnnotation.moc"
