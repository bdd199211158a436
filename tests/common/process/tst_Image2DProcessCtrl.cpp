// The image tools on real views: the source view following the layout,
// the region list following the view's drawables, and the Sobel, median
// and OCR runs with their timing and failures.
#include "common/log/Logger.h"
#include "common/mvc/ImageView2DModel.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/process/Image2DProcessMedianCtrl.h"
#include "common/process/Image2DProcessMedianDlg.h"
#include "common/process/Image2DProcessMedianModel.h"
#include "common/process/Image2DProcessOCRCtrl.h"
#include "common/process/Image2DProcessOCRDlg.h"
#include "common/process/Image2DProcessOCRModel.h"
#include "common/process/Image2DProcessSobelCtrl.h"
#include "common/process/Image2DProcessSobelDlg.h"
#include "common/process/Image2DProcessSobelModel.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DCtrl.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DToolModel.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ViewsFixture.h"

#include "optra/geometry/Rectangle.h"

#include <QComboBox>
#include <QPainter>
#include <QSpinBox>
#include <QTreeView>

#include <cstring>
#include <memory>

using Optra::Algorithms::CImage;
using ImagePtr = std::shared_ptr<CImage>;

namespace
{
// The four views with a way to show an image in one.
struct SViews : OptraTest::SImageViews
{
    ImagePtr Image(int nView = 0) const { return Unit(nView)->GetImage(); }
    void Show(const ImagePtr& pImage, int nView = 0) { Unit(nView)->GetImageList()->SetImages({pImage}); }
};

// A grey image; fnValue gives each pixel's value.
template <typename Fn>
ImagePtr GreyImage(int nWidth, int nHeight, Fn fnValue)
{
    auto pImage = std::make_shared<CImage>();
    pImage->Create(nWidth, nHeight, 1);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            *pImage->GetPixel(x, y) = uint8_t(fnValue(x, y));
    return pImage;
}

int Pixel(const ImagePtr& pImage, int x, int y)
{
    return *pImage->GetPixel(x, y);
}

std::shared_ptr<CDrawableGeometry> AddBox(CImageViewUnit* pUnit, const QString& strName, const QRectF& rc)
{
    auto pBox = std::make_shared<CDrawableGeometry>(
        std::make_shared<Optra::Geometry::CRectangle>(rc.x(), rc.y(), rc.width(), rc.height()));
    pBox->SetName(strName);
    pUnit->AddRectangle(pBox);
    return pBox;
}

// A tool as the main window opens it.
template <typename TModel, typename TDialog, typename TCtrl>
struct STool
{
    TModel model;
    TDialog* pDialog = new TDialog;
    std::unique_ptr<TCtrl> pCtrl{new TCtrl(&model, pDialog)};

    STool() { pDialog->show(); }
    ~STool()
    {
        pCtrl.reset();
        delete pDialog;
    }
};
using SSobel = STool<CImage2DProcessSobelModel, CImage2DProcessSobelDlg, CImage2DProcessSobelCtrl>;
using SMedian = STool<CImage2DProcessMedianModel, CImage2DProcessMedianDlg, CImage2DProcessMedianCtrl>;
using SOCR = STool<CImage2DProcessOCRModel, CImage2DProcessOCRDlg, CImage2DProcessOCRCtrl>;

// Black text on white: "HELLO 123".
ImagePtr TextImage()
{
    QImage page(800, 160, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    QFont font("DejaVu Sans");
    font.setPixelSize(64);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(page.rect(), Qt::AlignCenter, "HELLO 123");
    painter.end();
    auto pImage = std::make_shared<CImage>();
    pImage->FromQImage(page, 3);
    return pImage;
}
} // namespace

class TestImage2DProcessCtrl : public QObject
{
    Q_OBJECT

private slots:
    void init() { CLogger::GetInstance()->Flush(); }

    void sourceFollowsTheLayout()
    {
        SViews views;
        SSobel sobel;
        auto* pCombo = sobel.pDialog->findChild<QComboBox*>();
        QCOMPARE(pCombo->count(), 1);
        QCOMPARE(sobel.pCtrl->GetSourceViewCtrl(), views.Unit(0));
        views.pManager->ChangeLayout(2, 2);
        QCOMPARE(pCombo->count(), 4);
        QCOMPARE(pCombo->itemText(3), QString("Image View [3]"));
        pCombo->setCurrentIndex(3);
        emit pCombo->activated(3);
        QCOMPARE(sobel.pCtrl->GetSourceViewCtrl(), views.Unit(3));
        views.pManager->ChangeLayout(1, 1);
        QCOMPARE(pCombo->count(), 1);
        QCOMPARE(sobel.pCtrl->GetSourceViewCtrl(), views.Unit(0));
    }

    // Drawn, deleted, undone and cleared drawables reach the region list.
    void regionsFollowTheView()
    {
        SViews views;
        views.Show(GreyImage(200, 100, [](int, int) { return 30; }));
        SSobel sobel;
        views.pManager->GetModeModel()->SetViewMode(EImageView2DMode_Drawing_Rectanlge);
        views.Drag(0, QPointF(20, 20), QPointF(80, 60));
        QCOMPARE(views.Unit(0)->Get2DDrawableObjects().size(), size_t(1));
        const auto pDrawn = views.Unit(0)->Get2DDrawableObjects().front();
        QCOMPARE(sobel.pDialog->GetSourceROITexts(), QStringList({"Whole Image", pDrawn->GetName()}));
        QTest::keyClick(views.View(0), Qt::Key_Delete);
        QCOMPARE(sobel.pDialog->GetSourceROITexts(), QStringList({"Whole Image"}));
        QVERIFY(views.Unit(0)->UndoInView());
        QCOMPARE(sobel.pDialog->GetSourceROITexts(), QStringList({"Whole Image", pDrawn->GetName()}));
        AddBox(views.Unit(0), "dog", QRectF(5, 5, 10, 10));
        QCOMPARE(sobel.pDialog->GetSourceROITexts().size(), 3);
        views.Unit(0)->GetGeometryModel()->ClearObject();
        QCOMPARE(sobel.pDialog->GetSourceROITexts(), QStringList({"Whole Image"}));
    }

    void sobelReplacesTheImage()
    {
        OptraTest::CLogCapture capture;
        SViews views;
        const ImagePtr pStep = GreyImage(40, 20, [](int x, int) { return x < 20 ? 0 : 200; });
        views.Show(pStep);
        SSobel sobel;
        emit sobel.pDialog->signal_Run();
        const ImagePtr pResult = views.Image();
        QVERIFY(pResult != pStep);
        // 3x3 Sobel across a step of 200: 4 x 200, saturated, on both sides of it
        QCOMPARE(Pixel(pResult, 19, 10), 255);
        QCOMPARE(Pixel(pResult, 20, 10), 255);
        QCOMPARE(Pixel(pResult, 5, 10), 0);
        QCOMPARE(Pixel(pResult, 35, 10), 0);
        QCOMPARE(Pixel(pStep, 19, 10), 0);
        QVERIFY(
            QRegularExpression("^Processing Time \\d+ ms$").match(sobel.pDialog->GetMessage()).hasMatch());
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::NORMAL, sobel.pDialog->GetMessage()));
    }

    // Of two regions with one name, the chosen one is filtered, and only
    // inside it; a second run on it, gone with the old image, is refused.
    void medianInsideTheChosenRegion()
    {
        SViews views;
        views.Show(GreyImage(60, 30,
                             [](int x, int y) {
                                 return (x == 10 && y == 10) || (x == 40 && y == 10) || (x == 40 && y == 25)
                                            ? 255
                                            : 50;
                             }));
        SMedian median;
        AddBox(views.Unit(0), "dog", QRectF(5, 5, 10, 10));
        AddBox(views.Unit(0), "dog", QRectF(35, 5, 10, 10));
        QCOMPARE(median.pDialog->GetSourceROITexts(), QStringList({"Whole Image", "dog", "dog"}));
        median.pDialog->SetSourceROIIndex(2);
        const unsigned int uidChosen = median.pDialog->GetSourceROIID();
        QCOMPARE(uidChosen, views.Unit(0)->Get2DDrawableObjects().front()->GetUID());
        emit median.pDialog->signal_Run();
        ImagePtr pResult = views.Image();
        QCOMPARE(Pixel(pResult, 40, 10), 50);
        QCOMPARE(Pixel(pResult, 10, 10), 255);
        QCOMPARE(Pixel(pResult, 40, 25), 255);
        QCOMPARE(median.pDialog->GetSourceROITexts(), QStringList({"Whole Image", "dog (deleted)"}));
        emit median.pDialog->signal_Run();
        QCOMPARE(views.Image(), pResult);
        QVERIFY(median.pDialog->GetMessage().contains("\"dog\" is no longer in Image View [0]"));
    }

    void ocrFillsTheResult()
    {
        SViews views;
        views.Show(TextImage());
        SOCR ocr;
        emit ocr.pDialog->signal_Run();
        QCOMPARE(ocr.pDialog->GetResultText().simplified(), QString("HELLO 123"));
        QVERIFY(ocr.pDialog->GetMessage().startsWith("Processing Time"));
        // a folder without the language's data: refused, and nothing of the last run stays
        QTemporaryDir empty;
        ocr.pDialog->SetParameterValue(1, empty.path());
        emit ocr.pDialog->signal_ChangeData(1, empty.path());
        emit ocr.pDialog->signal_Run();
        QCOMPARE(ocr.pDialog->GetResultText(), QString());
        QVERIFY(ocr.pDialog->GetMessage().contains(QDir(empty.path()).filePath("eng.traineddata")));
    }

    void resolutionEditorOpensAtTheModelsValue()
    {
        SViews views;
        CImage2DProcessOCRModel model;
        model.SetUserDefinedDpi(300);
        auto* pDialog = new CImage2DProcessOCRDlg;
        CImage2DProcessOCRCtrl ctrl(&model, pDialog);
        pDialog->show();
        QCOMPARE(pDialog->GetParameterValue(1), CImage2DProcessOCRModel::DefaultLanguagePath());
        QTreeView* pTree = pDialog->GetParameterView();
        pTree->edit(pTree->model()->index(2, 1));
        auto* pSpin = pTree->viewport()->findChild<QSpinBox*>();
        QVERIFY(pSpin);
        QCOMPARE(pSpin->value(), 300);
        pSpin->setValue(96);
        QTest::keyClick(pSpin, Qt::Key_Return);
        QTRY_COMPARE(model.GetUserDefinedDpi(), 96);
        delete pDialog;
    }
};

OPTRA_TEST_MAIN(TestImage2DProcessCtrl)
#include "tst_Image2DProcessCtrl.moc"
