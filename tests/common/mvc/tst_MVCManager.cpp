// The four image views as one framework: the grid, the choice of a view,
// opening files, the relays with view and image ids, the frame's side list,
// labels and buttons, undo on the active view and the registry.
#include "common/log/Logger.h"
#include "common/mvc/ImageView2DModel.h"
#include "common/mvc/ImageViewer.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/mvc/ProgressView.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DCtrl.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DToolModel.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ViewsFixture.h"

#include "optra/geometry/Rectangle.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTemporaryDir>

using OptraTest::SImageViews;

namespace
{
QString WriteImage(const QString& strPath, int nWidth, int nHeight,
                   QImage::Format format = QImage::Format_RGB888)
{
    QImage image(nWidth, nHeight, format);
    image.fill(QColor(10, 20, 30));
    return image.save(strPath) ? strPath : QString();
}

// Answers the view choice with an entry, or cancels it (empty text).
void AnswerViewChoice(const QString& strView, QStringList* pOffered = nullptr)
{
    CInteraction::SetExecHandler(
        [strView, pOffered](QDialog* pDialog)
        {
            auto* pCombo = pDialog->findChild<QComboBox*>();
            for (int i = 0; pOffered && i < pCombo->count(); ++i)
                *pOffered << pCombo->itemText(i);
            pCombo->setCurrentText(strView);
            return strView.isEmpty() ? int(QDialog::Rejected) : int(QDialog::Accepted);
        });
}
} // namespace

class TestMVCManager : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SImageViews> m_pViews;

    QString Image(const QString& strName, int nWidth = 200, int nHeight = 100)
    {
        return WriteImage(m_dir.path() + "/" + strName, nWidth, nHeight);
    }
    std::shared_ptr<CDrawableGeometry> Box(double x, double y, double w, double h)
    {
        return std::make_shared<CDrawableGeometry>(std::make_shared<Optra::Geometry::CRectangle>(x, y, w, h));
    }

private slots:
    void init() { m_pViews = std::make_unique<SImageViews>(); }
    void cleanup()
    {
        m_pViews.reset();
        OptraTest::InstallNonBlockingDialogs();
    }

    void gridShowsTheFirstViews_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::newRow("1x1") << 1 << 1;
        QTest::newRow("2x1") << 1 << 2;
        QTest::newRow("2x2") << 2 << 2;
    }
    void gridShowsTheFirstViews()
    {
        QFETCH(int, rows);
        QFETCH(int, columns);
        m_pViews->pManager->ChangeLayout(rows, columns);
        const QRect rcArea = m_pViews->pArea->contentsRect();
        const int nWidth = rcArea.width() / columns;
        const int nHeight = rcArea.height() / rows;
        for (int k = 0; k < CMVCManager::VIEW_COUNT; ++k)
        {
            CImageViewFrame* pFrame = m_pViews->Frame(k);
            QCOMPARE(pFrame->isVisible(), k < rows * columns);
            QCOMPARE(pFrame->windowTitle(), QString("Image View [%1]").arg(k));
            if (k < rows * columns)
                QCOMPARE(pFrame->geometry(), QRect((k % 2) * nWidth, (k / 2) * nHeight, nWidth, nHeight));
        }
    }

    void changingTheLayoutLogsOnce()
    {
        OptraTest::CLogCapture capture;
        QSignalSpy spy(&m_pViews->layout, &CViewLayout::signal_ChangedSize);
        m_pViews->pManager->ChangeLayout(1, 2);
        m_pViews->pManager->ChangeLayout(1, 2);
        capture.Flush();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(capture.Count(ELogLevel::NORMAL, "ChangeSize(2, 1)"), 1);
        QCOMPARE(m_pViews->layout.GetColumn(), 2);
    }

    void openingReportsViewAndImage_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<int>("view");
        QTest::newRow("1x1 asks nothing") << 1 << "" << true << 0;
        QTest::newRow("2x2, third view") << 2 << "Image View [2]" << true << 2;
        QTest::newRow("2x2, choice cancelled") << 2 << "" << true << -1;
        QTest::newRow("file not readable") << 1 << "" << false << -1;
    }
    void openingReportsViewAndImage()
    {
        QFETCH(int, rows);
        QFETCH(QString, answer);
        QFETCH(bool, readable);
        QFETCH(int, view);
        OptraTest::CMessageRecorder messages;
        m_pViews->pManager->ChangeLayout(rows, rows);
        QStringList lstOffered;
        AnswerViewChoice(answer, &lstOffered);
        const QString strFile = readable ? Image("a.png") : m_dir.path() + "/missing.png";
        int nView = 7;
        unsigned int nImage = 7;
        m_pViews->pManager->OpenFileWithViewIDImageID(strFile, nView, nImage);
        QCOMPARE(nView, view);
        QCOMPARE(lstOffered.size(), rows == 1 ? 0 : 4);
        if (view < 0)
        {
            QCOMPARE(nImage, Optra::COptraObject::INVALID_UID);
            for (int k = 0; k < CMVCManager::VIEW_COUNT; ++k)
                QVERIFY(!m_pViews->Unit(k)->GetImage());
            return;
        }
        QCOMPARE(nImage, m_pViews->Unit(view)->GetImage()->GetUID());
        QCOMPARE(m_pViews->pManager->GetActiveViewID(), view);
        QCOMPARE(m_pViews->pManager->FindImage(CMVCManager::ViewTitle(view)),
                 m_pViews->Unit(view)->GetImage());
    }

    void filesFromTheExplorerOpenTheFirstFile()
    {
        const std::vector<QFileInfo> vctFiles{QFileInfo(m_dir.path()), QFileInfo(Image("first.png", 30, 20)),
                                              QFileInfo(Image("second.png", 40, 20))};
        m_pViews->pManager->slot_SelectFiles(vctFiles);
        QCOMPARE(m_pViews->Unit(0)->GetImage()->GetWidth(), 30);
        QCOMPARE(m_pViews->Unit(0)->GetImageList()->GetImageCount(), size_t(1));
    }

    void drawableEventsCarryViewAndImage()
    {
        m_pViews->pManager->ChangeLayout(1, 2);
        AnswerViewChoice("Image View [1]");
        m_pViews->pManager->OpenFile(Image("a.png"));
        const unsigned int nImage = m_pViews->Unit(1)->GetImageID();
        QSignalSpy adds(m_pViews->pArea, &CViewLayoutWidget::signal_AddDrawableObjectWithViewID);
        QSignalSpy commits(m_pViews->pArea,
                           &CViewLayoutWidget::signal_CommitDrawableObjectGeometryWithViewID);
        m_pViews->pManager->GetModeModel()->SetViewMode(EImageView2DMode_Drawing_Rectanlge);
        m_pViews->Drag(1, QPointF(20, 20), QPointF(80, 60));
        const auto pDrawn = m_pViews->Unit(1)->Get2DDrawableObjects().front();
        QCOMPARE(adds.count(), 1);
        QCOMPARE(adds[0], QVariantList({1, nImage, pDrawn->GetUID(), pDrawn->GetName()}));
        m_pViews->Drag(1, QPointF(50, 40), QPointF(60, 45));
        QCOMPARE(commits.count(), 1);
        QCOMPARE(commits[0][0].toInt(), 1);
        QCOMPARE(commits[0][1].toUInt(), nImage);
        QCOMPARE(commits[0][2].value<QVector<unsigned int>>(), QVector<unsigned int>{pDrawn->GetUID()});
        QCOMPARE(m_pViews->pManager->Get2DDrawableObject(1, pDrawn->GetUID()), pDrawn);

        // a view with no image reports none
        m_pViews->pManager->AddRectangle(3, Box(1, 1, 5, 5));
        QCOMPARE(adds.last()[0].toInt(), 3);
        QCOMPARE(adds.last()[1].toUInt(), Optra::COptraObject::INVALID_UID);
        for (const int nView : {-1, 4})
        {
            QVERIFY(!m_pViews->pManager->Get2DDrawableObject(nView, pDrawn->GetUID()));
            QVERIFY(!m_pViews->pManager->Delete2DDrawableObject(nView, pDrawn->GetUID()));
        }
    }

    void undoActsOnTheActiveView()
    {
        m_pViews->pManager->ChangeLayout(1, 2);
        for (const char* szView : {"Image View [0]", "Image View [1]"})
        {
            AnswerViewChoice(szView);
            m_pViews->pManager->OpenFile(Image("a.png"));
        }
        m_pViews->pManager->GetModeModel()->SetViewMode(EImageView2DMode_Drawing_Rectanlge);
        m_pViews->Drag(0, QPointF(10, 10), QPointF(50, 50));
        m_pViews->pManager->GetModeModel()->SetViewMode(EImageView2DMode_Drawing_Rectanlge);
        m_pViews->Drag(1, QPointF(10, 10), QPointF(50, 50));
        QCOMPARE(m_pViews->pManager->GetActiveViewID(), 1);
        QVERIFY(m_pViews->Frame(1)->IsActive());
        // the keyboard is elsewhere, as after a click on the menu
        QLineEdit elsewhere(&m_pViews->window);
        elsewhere.show();
        elsewhere.setFocus();
        QVERIFY(!m_pViews->Unit(1)->Undo());
        QVERIFY(m_pViews->pManager->Undo());
        QCOMPARE(m_pViews->Unit(1)->Get2DDrawableObjects().size(), size_t(0));
        QCOMPARE(m_pViews->Unit(0)->Get2DDrawableObjects().size(), size_t(1));
        QVERIFY(m_pViews->pManager->Redo());
        QCOMPARE(m_pViews->Unit(1)->Get2DDrawableObjects().size(), size_t(1));
    }

    void sideListShowsEveryImage()
    {
        CImageViewUnit* pUnit = m_pViews->Unit(0);
        pUnit->LoadFile(Image("a.png"));
        pUnit->Get2DController()->AddImage(Image("b.png", 120, 90));
        pUnit->Get2DController()->AddImage(Image("c.png", 90, 120));
        CImageViewFrame* pFrame = m_pViews->Frame(0);
        auto* pList = qobject_cast<QStandardItemModel*>(pFrame->GetSideList()->model());
        QCOMPARE(pList->rowCount(), 3);
        QCOMPARE(pList->item(0)->text(), QString("1. a.png"));
        QCOMPARE(pList->item(2)->text(), QString("3. c.png"));
        QVERIFY(!pList->item(1)->data(Qt::DecorationRole).value<QImage>().isNull());

        QSignalSpy select(pFrame, &CImageViewFrame::signal_SelectImage);
        pFrame->GetSideList()->setCurrentIndex(pList->index(1, 0));
        QCOMPARE(select.count(), 1);
        QCOMPARE(select[0][0].toInt(), 1);
        QCOMPARE(pUnit->GetImageList()->GetCurrentIndex(), 1);

        // thumbnails are scaled once per image and width
        const size_t nScaled = pFrame->GetThumbnails().GetScaleCount();
        pUnit->Get2DController()->AddImage(Image("d.png", 60, 60));
        QCOMPARE(pFrame->GetThumbnails().GetScaleCount(), nScaled + 1);
        m_pViews->window.resize(m_pViews->window.width(), m_pViews->window.height() + 40);
        QCOMPARE(pFrame->GetThumbnails().GetScaleCount(), nScaled + 1);
        m_pViews->window.resize(m_pViews->window.width() + 200, m_pViews->window.height());
        QTRY_COMPARE(pFrame->GetThumbnails().GetScaleCount(), nScaled + 5);
    }

    void labelsFollowTheImage_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("position");
        QTest::newRow("colour") << int(QImage::Format_RGB888) << "[X=5; Y=6] [V=10;20;30]";
        QTest::newRow("grey") << int(QImage::Format_Grayscale8) << "[X=5; Y=6] [V=%1]";
    }
    void labelsFollowTheImage()
    {
        QFETCH(int, format);
        QFETCH(QString, position);
        CImageViewUnit* pUnit = m_pViews->Unit(0);
        pUnit->LoadFile(WriteImage(m_dir.path() + "/l.png", 40, 30, QImage::Format(format)));
        CImageViewFrame* pFrame = m_pViews->Frame(0);
        const int nChannels = pUnit->GetImage()->GetChannel();
        QCOMPARE(pFrame->GetTitleLabel()->text(), QString("[View-0][40x30x%1x8]").arg(nChannels));
        pFrame->SetCaption("a.png");
        QVERIFY(pFrame->GetTitleLabel()->text().endsWith("[a.png]"));
        pUnit->GetImageList()->SetMousePosition(QPointF(5.7, 6.2));
        QTRY_COMPARE(pFrame->GetPositionLabel()->text(), position.arg(pUnit->GetImage()->GetPixel(5, 6)[0]));
        pUnit->Get2DController()->RotateLeft();
        QVERIFY(!pFrame->GetTitleLabel()->text().contains("a.png"));
        // the thumbnail of the image replaced is not kept
        QCOMPARE(pFrame->GetThumbnails().GetImageCount(), size_t(1));
        pUnit->CloseCurrentImage();
        QCOMPARE(pFrame->GetTitleLabel()->text(), QString("[View-0]"));
    }

    void twoChannelImagesClearThePosition()
    {
        auto pImage = std::make_shared<Optra::Algorithms::CImage>();
        QCOMPARE(pImage->Create(8, 8, 2), 0);
        CImageViewUnit* pUnit = m_pViews->Unit(0);
        pUnit->GetImageList()->SetImages({pImage});
        m_pViews->Frame(0)->GetPositionLabel()->setText("old");
        pUnit->GetImageList()->SetMousePosition(QPointF(2, 2));
        QTRY_VERIFY(m_pViews->Frame(0)->GetPositionLabel()->text().isEmpty());
    }

    void checkableButtonsExcludeEachOther()
    {
        CImageViewFrame* pFrame = m_pViews->Frame(0);
        using B = EImageViewFrameButton;
        QVERIFY(pFrame->GetButton(B::Select)->isChecked());
        QTest::mouseClick(pFrame->GetButton(B::Move), Qt::LeftButton);
        QCOMPARE(m_pViews->pManager->GetModeModel()->GetViewMode(), EImageView2DMode_Panning);
        QVERIFY(!pFrame->GetButton(B::Select)->isChecked());
        QTest::mouseClick(pFrame->GetButton(B::View3D), Qt::LeftButton);
        QVERIFY(!pFrame->GetButton(B::Move)->isChecked());
        QVERIFY(pFrame->GetView3D()->isVisible());
        QVERIFY(!pFrame->GetView2D()->isVisible());
        // the 2D view's menu switches as the button does, and back
        QTest::mouseClick(pFrame->GetButton(B::View2D), Qt::LeftButton);
        QAction* pSwitch = m_pViews->View(0)->GetMenu()->actions().last();
        QCOMPARE(pSwitch->text(), QString("Switch To 3D View"));
        pSwitch->trigger();
        QVERIFY(pFrame->GetView3D()->isVisible());
        int nChecked = 0;
        for (const B eButton : {B::Select, B::Move, B::Ruler, B::View2D, B::View3D})
            nChecked += pFrame->GetButton(eButton)->isChecked();
        QVERIFY(nChecked <= 1);
    }

    void progressShowsWhileATaskRuns()
    {
        CImageViewUnit* pUnit = m_pViews->Unit(0);
        pUnit->slot_ChangeProgressMaxRange(40);
        pUnit->slot_ChangeProgressValue(10);
        QVERIFY(pUnit->GetProgressView()->isVisible());
        QCOMPARE(pUnit->GetProgressView()->maximum(), 40);
        pUnit->slot_ChangeProgressValue(0);
        QVERIFY(!pUnit->GetProgressView()->isVisible());
    }

    void theRegistryForgetsAManagerThatWent()
    {
        QCOMPARE(CMVCRegistry::FindController<CMVCManager>(), m_pViews->pManager.get());
        QCOMPARE(CMVCRegistry::FindController<CImageViewUnit>(), m_pViews->Unit(0));
        m_pViews.reset();
        QVERIFY(!CMVCRegistry::FindController<CMVCManager>());
        QVERIFY(!CMVCRegistry::FindController<CImageViewUnit>());
    }
};

OPTRA_TEST_MAIN(TestMVCManager)
#include "tst_MVCManager.moc"
