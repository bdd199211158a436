#include "common/mvc/ImageView2DModel.h"
#include "common/mvc/ImageView2DPropertyView.h"
#include "tests/support/TestSupport.h"

#include <QLabel>

using Optra::Algorithms::CImage;

namespace
{
constexpr int NEW_IMAGE = -2;

std::shared_ptr<CImage> MakeImage(int nWidth = 4, int nHeight = 3, int nChannels = 3)
{
    auto pImage = std::make_shared<CImage>();
    pImage->Create(nWidth, nHeight, nChannels);
    return pImage;
}

// The model's signals in the order they came.
QStringList* Record(CImageListModel& model, QStringList& lstSignals)
{
    QObject::connect(&model, &CImageListModel::signal_ChangeImageList, [&] { lstSignals << "List"; });
    QObject::connect(&model, &CImageListModel::signal_ChangeCurrentIndex, [&] { lstSignals << "Index"; });
    QObject::connect(&model, &CImageListModel::signal_ChangeCurrentImage, [&] { lstSignals << "Image"; });
    QObject::connect(&model, &CImageListModel::signal_MousePositionChanged, [&] { lstSignals << "Mouse"; });
    return &lstSignals;
}

QString LabelText(const QWidget& view, const QString& strPrefix)
{
    for (const QLabel* pLabel : view.findChildren<QLabel*>())
    {
        if (pLabel->text().startsWith(strPrefix))
            return pLabel->text();
    }
    return QString();
}
} // namespace

class TestImageListModel : public QObject
{
    Q_OBJECT

private slots:
    // start -1: the only image was closed before the operation.
    void operations_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("signalOrder");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("current"); // original position of the current image, -1 none
        QTest::addColumn<QString>("log");
        const QStringList none;
        const QStringList indexImage{"Index", "Image"};
        const QStringList listImage{"List", "Image"};
        QTest::newRow("push") << 2 << 0 << "Push" << QStringList{"List", "Image", "Index"} << 2 << 3
                              << NEW_IMAGE << "Push Image";
        QTest::newRow("set images") << 3 << 2 << "SetImages" << listImage << 0 << 2 << NEW_IMAGE << "";
        QTest::newRow("set the current entry")
            << 2 << 1 << "SetImage 1" << listImage << 1 << 2 << NEW_IMAGE << "Set Image At 1";
        QTest::newRow("set another entry")
            << 2 << 1 << "SetImage 0" << QStringList{"List"} << 1 << 2 << 1 << "Set Image At 0";
        QTest::newRow("current image on a fresh list")
            << 0 << 0 << "SetCurrentImage" << listImage << 0 << 1 << NEW_IMAGE << "";
        QTest::newRow("current image replaced")
            << 2 << 1 << "SetCurrentImage" << QStringList{"Image"} << 1 << 2 << NEW_IMAGE << "";
        QTest::newRow("current image after closing the only one")
            << 1 << -1 << "SetCurrentImage" << QStringList{"List", "Image", "Index"} << 0 << 1 << NEW_IMAGE
            << "";
        QTest::newRow("select index")
            << 3 << 0 << "SetCurrentIndex 2" << indexImage << 2 << 3 << 2 << "Set Current Index 2";
        QTest::newRow("select the current index")
            << 3 << 1 << "SetCurrentIndex 1" << none << 1 << 3 << 1 << "";
        QTest::newRow("next") << 3 << 1 << "Next" << indexImage << 2 << 3 << 2 << "Next Image At 2";
        QTest::newRow("next on the last") << 3 << 2 << "Next" << none << 2 << 3 << 2 << "";
        QTest::newRow("previous") << 3 << 1 << "Previous" << indexImage << 0 << 3 << 0
                                  << "Previous Image At 0";
        QTest::newRow("clear") << 3 << 2 << "Clear" << listImage << 0 << 0 << -1 << "Clear";
        QTest::newRow("close the middle") << 3 << 1 << "Close" << listImage << 1 << 2 << 2 << "";
        QTest::newRow("close the last") << 3 << 2 << "Close" << listImage << 1 << 2 << 1 << "";
        QTest::newRow("close the only one") << 1 << 0 << "Close" << listImage << -1 << 0 << -1 << "";
    }

    void operations()
    {
        QFETCH(int, count);
        QFETCH(int, start);
        QFETCH(QString, operation);
        QFETCH(QStringList, signalOrder);
        QFETCH(int, index);
        QFETCH(int, size);
        QFETCH(int, current);
        QFETCH(QString, log);
        OptraTest::CLogCapture capture;
        CImageListModel model;
        std::vector<std::shared_ptr<CImage>> vctImages;
        for (int i = 0; i < count; ++i)
            vctImages.push_back(MakeImage());
        model.SetImages(vctImages);
        if (start < 0)
            model.CloseCurrentImage();
        else
            model.SetCurrentIndex(start);
        capture.Flush();
        capture.Clear();
        QStringList lstSignals;
        Record(model, lstSignals);

        const std::shared_ptr<CImage> pNew = MakeImage();
        const int nArgument = operation.section(' ', 1).toInt();
        if (operation == "Push")
            model.PushImage(pNew);
        else if (operation == "SetImages")
            model.SetImages({pNew, MakeImage()});
        else if (operation.startsWith("SetImage "))
            model.SetImage(pNew, nArgument);
        else if (operation == "SetCurrentImage")
            model.SetCurrentImage(pNew);
        else if (operation.startsWith("SetCurrentIndex"))
            model.SetCurrentIndex(nArgument);
        else if (operation == "Next")
            model.Next();
        else if (operation == "Previous")
            model.Previous();
        else if (operation == "Clear")
            model.Clear();
        else if (operation == "Close")
            model.CloseCurrentImage();

        capture.Flush();
        QCOMPARE(lstSignals, signalOrder);
        QCOMPARE(model.GetCurrentIndex(), index);
        QCOMPARE(model.GetImageCount(), size_t(size));
        const std::shared_ptr<CImage> pExpected =
            current == NEW_IMAGE ? pNew : (current >= 0 ? vctImages[size_t(current)] : nullptr);
        QCOMPARE(model.GetCurrentImage(), pExpected);
        QCOMPARE(capture.Texts(), log.isEmpty() ? QStringList() : QStringList{log});
    }

    void mousePositionComparedFuzzily_data()
    {
        QTest::addColumn<QPointF>("first");
        QTest::addColumn<QPointF>("second");
        QTest::addColumn<int>("emitted");
        QTest::newRow("within 1e-12 of zero") << QPointF(0, 4) << QPointF(1e-13, 4) << 1;
        QTest::newRow("relative difference below 1e-12") << QPointF(1000, 4) << QPointF(1000 + 1e-10, 4) << 1;
        QTest::newRow("a thousandth of a pixel") << QPointF(1000, 4) << QPointF(1000, 4.001) << 2;
    }

    void mousePositionComparedFuzzily()
    {
        QFETCH(QPointF, first);
        QFETCH(QPointF, second);
        QFETCH(int, emitted);
        CImageListModel model;
        QSignalSpy spy(&model, &CImageListModel::signal_MousePositionChanged);
        model.SetMousePosition(first);
        model.SetMousePosition(second);
        QCOMPARE(spy.count(), emitted);
    }

    void infoViewFollowsImageAndMouse()
    {
        CImageListModel model;
        CImageInfoView view(&model);
        model.SetMousePosition(QPointF(1, 1));
        QCOMPARE(LabelText(view, "X:"), QString("X: "));

        auto pImage = MakeImage(4, 3, 3);
        uint8_t* pPixel = pImage->GetPixel(2, 1);
        pPixel[0] = 12;
        pPixel[1] = 200;
        pPixel[2] = 7;
        model.PushImage(pImage);
        QCOMPARE(LabelText(view, "Width"), QString("Width: 4"));
        QCOMPARE(LabelText(view, "Height"), QString("Height: 3"));
        QCOMPARE(LabelText(view, "Channel"), QString("Channel: 3"));
        QCOMPARE(LabelText(view, "BitDepth"), QString("BitDepth: 8"));
        QCOMPARE(LabelText(view, "ImageType"), QString("ImageType: 0"));

        model.SetMousePosition(QPointF(2.7, 1.25));
        QCOMPARE(LabelText(view, "X:"), QString("X: 2.700"));
        QCOMPARE(LabelText(view, "Y:"), QString("Y: 1.250"));
        QCOMPARE(LabelText(view, "Pixel"), QString("Pixel: [12, 200, 7]"));
        // Off the image the position follows, the pixel value stays.
        model.SetMousePosition(QPointF(7.5, 1));
        QCOMPARE(LabelText(view, "X:"), QString("X: 7.500"));
        QCOMPARE(LabelText(view, "Pixel"), QString("Pixel: [12, 200, 7]"));

        model.Clear();
        QCOMPARE(LabelText(view, "Width"), QString("Width: 4"));
    }
};

OPTRA_TEST_MAIN(TestImageListModel)
#include "tst_ImageListModel.moc"
