#include "common/view3d/ImageView3DModel.h"
#include "common/view3d/ImageView3DRunnable.h"
#include "tests/support/TestSupport.h"

#include <QThreadPool>

using Optra::Algorithms::CImage;
using Floats = std::vector<float>;
using Indices = std::vector<uint32_t>;
using Ints = std::vector<int>;
Q_DECLARE_METATYPE(Floats)
Q_DECLARE_METATYPE(Indices)
Q_DECLARE_METATYPE(Ints)

namespace
{
// An image whose pixels are given row by row, channel by channel.
std::shared_ptr<CImage> MakeImage(int nWidth, int nHeight, int nChannels, const std::vector<int>& vctSamples)
{
    auto pImage = std::make_shared<CImage>();
    pImage->Create(nWidth, nHeight, nChannels);
    size_t i = 0;
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            for (int c = 0; c < nChannels; ++c)
                pImage->GetPixel(x, y)[c] = uint8_t(vctSamples[i++]);
    return pImage;
}

std::shared_ptr<CImage> Uniform(int nWidth, int nHeight, int nValue)
{
    return MakeImage(nWidth, nHeight, 1, std::vector<int>(size_t(nWidth) * nHeight, nValue));
}

void CompareFloats(const float* pActual, const Floats& vctExpected)
{
    for (size_t i = 0; i < vctExpected.size(); ++i)
    {
        if (std::abs(pActual[i] - vctExpected[i]) > 1e-6f)
            QFAIL(
                qPrintable(QString("float %1: %2 instead of %3").arg(i).arg(pActual[i]).arg(vctExpected[i])));
    }
}
} // namespace

class TestImageView3DModel : public QObject
{
    Q_OBJECT

private slots:
    // Vertices row by row from the top, x/w, (h-1-r)/h, grey * 0.1/255 and
    // the colour; two triangles per cell.
    void meshOfSmallImage_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<Ints>("samples");
        QTest::addColumn<Floats>("vertices");
        const float g = 0.1f / 255;
        const float c = 1.0f / 255;
        const float t = 1.0f / 3;
        const Floats vctGrey{0,     0.5, 0,       0,       0,       0,       //
                             t,     0.5, 51 * g,  51 * c,  51 * c,  51 * c,  //
                             2 * t, 0.5, 102 * g, 102 * c, 102 * c, 102 * c, //
                             0,     0,   153 * g, 153 * c, 153 * c, 153 * c, //
                             t,     0,   204 * g, 204 * c, 204 * c, 204 * c, //
                             2 * t, 0,   0.1f,    1,       1,       1};
        QTest::newRow("grey") << 1 << Ints{0, 51, 102, 153, 204, 255} << vctGrey;
        // The second channel (alpha) is ignored: grey and colour come from
        // the first.
        QTest::newRow("grey and alpha") << 2 << Ints{0, 9, 51, 9, 102, 9, 153, 9, 204, 9, 255, 9} << vctGrey;
        QTest::newRow("colour of equal channels")
            << 3 << Ints{0, 0, 0, 51, 51, 51, 102, 102, 102, 153, 153, 153, 204, 204, 204, 255, 255, 255}
            << vctGrey;
    }
    void meshOfSmallImage()
    {
        QFETCH(int, channels);
        QFETCH(Ints, samples);
        QFETCH(Floats, vertices);
        CImageView3DModel model;
        QSignalSpy spyFinished(&model, &CImageView3DModel::signal_LoadFinished);
        QSignalSpy spyProgress(&model, &CImageView3DModel::signal_ChangeProgressValue);
        model.LoadImage(MakeImage(3, 2, channels, samples));
        QCOMPARE(spyFinished.count(), 1);
        QCOMPARE(model.GetVerticesSize(), size_t(36));
        CompareFloats(model.GetVerticesBuffer(), vertices);
        const Indices vctExpected{3, 1, 0, 3, 4, 1, 4, 2, 1, 4, 5, 2};
        QCOMPARE(Indices(model.GetIndicesBuffer(), model.GetIndicesBuffer() + model.GetIndicesSize()),
                 vctExpected);
        QList<int> lstProgress;
        for (const QList<QVariant>& args : spyProgress)
            lstProgress << args.at(0).toInt();
        QCOMPARE(lstProgress, (QList<int>{0, 10, 30, 100, 0}));
        model.ClearBufferData();
        QCOMPARE(model.GetVerticesSize() + model.GetIndicesSize(), size_t(0));
    }

    // Rec. 709 luma of RGB for the height, alpha ignored.
    void colourGrey_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<Ints>("pixel");
        QTest::addColumn<float>("grey");
        QTest::newRow("red") << 3 << std::vector<int>{255, 0, 0} << 0.2126f * 255;
        QTest::newRow("green") << 3 << std::vector<int>{0, 255, 0} << 0.7152f * 255;
        QTest::newRow("blue") << 3 << std::vector<int>{0, 0, 255} << 0.0722f * 255;
        QTest::newRow("mixed with alpha")
            << 4 << std::vector<int>{100, 150, 200, 7} << 0.2126f * 100 + 0.7152f * 150 + 0.0722f * 200;
    }
    void colourGrey()
    {
        QFETCH(int, channels);
        QFETCH(Ints, pixel);
        QFETCH(float, grey);
        CImageView3DModel model;
        model.LoadImage(MakeImage(1, 1, channels, pixel));
        QCOMPARE(model.GetVerticesSize(), size_t(6));
        QCOMPARE(model.GetIndicesSize(), size_t(0));
        CompareFloats(model.GetVerticesBuffer(),
                      {0, 0, grey * 0.1f / 255, pixel[0] / 255.0f, pixel[1] / 255.0f, pixel[2] / 255.0f});
    }

    void sampleStride_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("stride");
        QTest::newRow("at the budget") << 2048 << 2048 << 1;
        QTest::newRow("one column over") << 2049 << 2048 << 2;
        QTest::newRow("24 megapixels") << 6000 << 4000 << 3;
        QTest::newRow("largest image") << 16384 << 16384 << 8;
        QTest::newRow("one long row") << 16384 << 1 << 1;
    }
    void sampleStride()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, stride);
        QCOMPARE(CImageView3DModel::SampleStride(width, height, CImageView3DModel::VERTEX_BUDGET), stride);
    }

    // Above the budget every second pixel is kept, at its place in the full
    // image, and the log says so.
    void largeImageIsSampled()
    {
        OptraTest::CLogCapture capture;
        auto pImage = Uniform(2049, 2048, 255);
        pImage->GetPixel(2, 2)[0] = 0;
        CImageView3DModel model;
        model.LoadImage(pImage);
        QCOMPARE(model.GetVerticesSize(), size_t(1025 * 1024 * 6));
        QCOMPARE(model.GetIndicesSize(), size_t(1024 * 1023 * 6));
        const float* pVertex = model.GetVerticesBuffer() + (1025 + 1) * 6;
        CompareFloats(pVertex, {2.0f / 2049, 2045.0f / 2048, 0, 0, 0, 0});
        capture.Flush();
        QVERIFY(capture.Contains(
            ELogLevel::NORMAL,
            "3D mesh: 2049x2048 image sampled every 2 pixels to keep within 4194304 vertices"));
    }

    // No image leaves an empty mesh, so the view shows no stale surface.
    void noImageGivesEmptyMesh()
    {
        CImageView3DModel model;
        model.LoadImage(Uniform(4, 4, 10));
        QSignalSpy spyFinished(&model, &CImageView3DModel::signal_LoadFinished);
        model.LoadImage(nullptr);
        QCOMPARE(spyFinished.count(), 1);
        QCOMPARE(model.GetVerticesSize() + model.GetIndicesSize(), size_t(0));
    }

    // A build that a newer request overtook hands nothing over.
    void staleBuildIsDropped()
    {
        CImageView3DModel model;
        QSignalSpy spyFinished(&model, &CImageView3DModel::signal_LoadFinished);
        const uint64_t nOld = model.RequestBuild();
        const uint64_t nNew = model.RequestBuild();
        model.LoadImage(nOld, Uniform(4, 4, 10));
        model.FinishBuild();
        QCOMPARE(spyFinished.count(), 0);
        model.LoadImage(nNew, Uniform(2, 2, 10));
        model.FinishBuild();
        QCOMPARE(spyFinished.count(), 1);
        QCOMPARE(model.GetVerticesSize(), size_t(4 * 6));
    }

    // Pool jobs hand their mesh over through the model's thread; the model
    // going first waits for them.
    void poolBuildsAndDestruction()
    {
        auto pModel = std::make_unique<CImageView3DModel>();
        QSignalSpy spyFinished(pModel.get(), &CImageView3DModel::signal_LoadFinished);
        QThreadPool::globalInstance()->start(new CInternalRunnable(pModel.get(), Uniform(3, 3, 1)));
        QVERIFY(spyFinished.wait());
        QCOMPARE(pModel->GetVerticesSize(), size_t(9 * 6));
        for (int i = 0; i < 3; ++i)
            QThreadPool::globalInstance()->start(new CInternalRunnable(pModel.get(), Uniform(2048, 2048, i)));
        pModel.reset();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }

    void settersIgnoreEqualValues_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<float>("initial");
        QTest::addColumn<float>("set");
        QTest::addColumn<bool>("changed");
        QTest::newRow("rotate x unchanged") << int(EImageView3DValue::RotateX) << -73.0f << -73.0f << false;
        QTest::newRow("rotate x within tolerance")
            << int(EImageView3DValue::RotateX) << -73.0f << -73.0001f << false;
        QTest::newRow("rotate x changed") << int(EImageView3DValue::RotateX) << -73.0f << -72.5f << true;
        QTest::newRow("camera z unchanged")
            << int(EImageView3DValue::CameraPositionZ) << 5.0f << 5.0f << false;
        QTest::newRow("near changed") << int(EImageView3DValue::Near) << 0.1f << 0.2f << true;
        QTest::newRow("far unchanged") << int(EImageView3DValue::Far) << 100.0f << 100.0f << false;
    }
    void settersIgnoreEqualValues()
    {
        QFETCH(int, value);
        QFETCH(float, initial);
        QFETCH(float, set);
        QFETCH(bool, changed);
        CImageView3DModel model;
        const auto eValue = EImageView3DValue(value);
        QCOMPARE(model.GetValue(eValue), initial);
        QSignalSpy spy(&model, &CImageView3DModel::signal_ChangeTransformMatrix);
        model.SetValue(eValue, set);
        QCOMPARE(spy.count(), changed ? 1 : 0);
        QCOMPARE(model.GetValue(eValue), changed ? set : initial);
    }

    void namedAccessors()
    {
        CImageView3DModel model;
        QCOMPARE(model.GetRotateZ(), 19.0f);
        QCOMPARE(model.GetCameraCenterX(), 0.5f);
        QCOMPARE(model.GetCameraUpY(), 1.0f);
        QCOMPARE(model.GetFOV(), 22.0f);
        model.SetScaleY(3);
        model.SetCameraUpX(0.25f);
        QCOMPARE(model.GetScaleY(), 3.0f);
        QCOMPARE(model.GetCameraUpX(), 0.25f);
    }
};

OPTRA_TEST_MAIN(TestImageView3DModel)
#include "tst_ImageView3DModel.moc"
