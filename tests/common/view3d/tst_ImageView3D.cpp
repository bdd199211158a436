#include "common/mvc/ImageView2DModel.h"
#include "common/view3d/ImageView3D.h"
#include "common/view3d/ImageView3DCtrl.h"
#include "common/view3d/ImageView3DNotSupported.h"
#include "common/view3d/ImageView3DPropertyView.h"
#include "tests/support/TestSupport.h"

#include <QAbstractSpinBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QThreadPool>

using Optra::Algorithms::CImage;

namespace
{
std::shared_ptr<CImage> Uniform(int nSize, QRgb colour)
{
    auto pImage = std::make_shared<CImage>();
    pImage->Create(nSize, nSize, 3);
    for (int y = 0; y < nSize; ++y)
        for (int x = 0; x < nSize; ++x)
        {
            uint8_t* p = pImage->GetPixel(x, y);
            p[0] = uint8_t(qRed(colour));
            p[1] = uint8_t(qGreen(colour));
            p[2] = uint8_t(qBlue(colour));
        }
    return pImage;
}

// Stands in for the view unit: records the progress it is given.
class CUnitStandIn : public QObject
{
public:
    void slot_ChangeProgressMaxRange(int nMaximum) { nMax = nMaximum; }
    void slot_ChangeProgressValue(int nValue) { lstValues << nValue; }
    int nMax = 0;
    QList<int> lstValues;
};

// The 3D side of one view as the unit builds it, beside a property panel
// that shows another view's widget at first.
struct SFixture
{
    QWidget window;
    QWidget* pPanel = new QWidget(&window);
    QWidget* pOtherProperties = new QLabel(QStringLiteral("2D properties"));
    CImageListModel imageList;
    CUnitStandIn unit;
    SImageView3DParts parts;

    SFixture()
    {
        auto* pLayout = new QHBoxLayout(&window);
        pLayout->addWidget(pPanel);
        (new QVBoxLayout(pPanel))->addWidget(pOtherProperties);
        parts = CImageView3DController::Create(&imageList, &window, pPanel, &unit);
        pLayout->addWidget(parts.pView, 1);
        window.resize(1200, 900);
        window.show();
    }
    ~SFixture()
    {
        delete parts.pModel;
        delete parts.pController;
    }
    CImageView3D* View() const { return qobject_cast<CImageView3D*>(parts.pView); }
    // Waits for the mesh of the current image and says whether it came.
    bool ShowAndWait()
    {
        QSignalSpy spy(parts.pModel, &CImageView3DModel::signal_LoadFinished);
        parts.pView->show();
        return spy.wait();
    }
};

// Where a point of the mesh's space lands in a frame, by the documented
// matrices.
QPoint Project(const CImageView3DModel& m, const QSize& size, const QVector3D& point)
{
    QMatrix4x4 model;
    model.rotate(m.GetRotateX(), 1, 0, 0);
    model.rotate(m.GetRotateY(), 0, 1, 0);
    model.rotate(m.GetRotateZ(), 0, 0, 1);
    model.translate(m.GetTranslateX(), m.GetTranslateY(), m.GetTranslateZ());
    model.scale(m.GetScaleX(), m.GetScaleY(), m.GetScaleZ());
    QMatrix4x4 view;
    view.lookAt({m.GetCameraPositionX(), m.GetCameraPositionY(), m.GetCameraPositionZ()},
                {m.GetCameraCenterX(), m.GetCameraCenterY(), m.GetCameraCenterZ()},
                {m.GetCameraUpX(), m.GetCameraUpY(), m.GetCameraUpZ()});
    QMatrix4x4 projection;
    projection.perspective(m.GetFOV(), float(size.width()) / size.height(), m.GetNear(), m.GetFar());
    const QVector3D ndc = (projection * view * model).map(point);
    return QPoint(int((ndc.x() + 1) / 2 * size.width()), int((1 - ndc.y()) / 2 * size.height()));
}

// Whether the colour is within two pixels of the point (lines are one
// pixel wide and may round either way).
bool ColourNear(const QImage& frame, const QPoint& pt, QRgb colour)
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
        {
            const QPoint ptSample = pt + QPoint(dx, dy);
            if (frame.valid(ptSample) && (frame.pixel(ptSample) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
        }
    return false;
}

QDoubleSpinBox* SpinBox(const QWidget& panel, const QString& strLabel)
{
    for (QLabel* pLabel : panel.findChildren<QLabel*>())
    {
        if (pLabel->text() == strLabel)
            return qobject_cast<QDoubleSpinBox*>(pLabel->buddy());
    }
    return nullptr;
}

void Drain()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
}

#define REQUIRE_OPENGL()                                                                                     \
    if (!CImageView3D::IsSupported())                                                                        \
    QSKIP("No OpenGL 3.3 context can be made on this display")
} // namespace

class TestImageView3D : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The main window asks for this format at start-up.
        CImageView3D::SetDefaultSurfaceFormat();
    }

    void hiddenViewBuildsNothing()
    {
        REQUIRE_OPENGL();
        SFixture fixture;
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.window));
        QSignalSpy spy(fixture.parts.pModel, &CImageView3DModel::signal_LoadFinished);
        fixture.imageList.SetCurrentImage(Uniform(5, qRgb(10, 20, 30)));
        Drain();
        QCOMPARE(spy.count(), 0);
        QVERIFY(fixture.ShowAndWait());
        QCOMPARE(fixture.View()->GetVertexCount(), 5 * 5 * 6);
        QCOMPARE(fixture.View()->GetIndexCount(), 4 * 4 * 6);
        QCOMPARE(fixture.unit.nMax, 100);
        QCOMPARE(fixture.unit.lstValues, (QList<int>{0, 10, 30, 100, 0}));
    }

    // Axes red, green and blue beyond the image's square, the surface in
    // the image's colour, the rest background.
    void renderedFrame()
    {
        REQUIRE_OPENGL();
        SFixture fixture;
        const QRgb colour = qRgb(200, 100, 50);
        fixture.imageList.SetCurrentImage(Uniform(16, colour));
        QVERIFY(fixture.ShowAndWait());
        const QImage frame = fixture.View()->grabFramebuffer();
        const CImageView3DModel& model = *fixture.parts.pModel;
        const QSize size = frame.size();
        QVERIFY(ColourNear(frame, Project(model, size, {1.1f, 0, 0}), qRgb(255, 0, 0)));
        QVERIFY(ColourNear(frame, Project(model, size, {0, 1.1f, 0}), qRgb(0, 255, 0)));
        QVERIFY(ColourNear(frame, Project(model, size, {0, 0, 0.6f}), qRgb(0, 0, 255)));
        QCOMPARE(frame.pixel(Project(model, size, {0.5f, 0.5f, 0.05f})), colour);
        QCOMPARE(frame.pixel(2, 2), qRgb(51, 51, 51));
    }

    // Only the last of quick changes reaches the view.
    void tenChangesEndWithTheLastImage()
    {
        REQUIRE_OPENGL();
        SFixture fixture;
        QVERIFY(fixture.ShowAndWait());
        QSignalSpy spy(fixture.parts.pModel, &CImageView3DModel::signal_LoadFinished);
        for (int i = 0; i < 10; ++i)
            fixture.imageList.PushImage(Uniform(8 + 8 * i, qRgb(20 * i, 100, 200 - 10 * i)));
        QVERIFY(spy.wait());
        Drain();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(fixture.View()->GetIndexCount(), 79 * 79 * 6);
        const QImage frame = fixture.View()->grabFramebuffer();
        QCOMPARE(frame.pixel(Project(*fixture.parts.pModel, frame.size(), {0.5f, 0.5f, 0.05f})),
                 qRgb(180, 100, 110));
    }

    void propertyPanelDrivesTheModel_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("typed"); // empty: one step up
        QTest::addColumn<int>("value");
        QTest::addColumn<float>("expected");
        QTest::newRow("rotate z typed") << "Rotate Z: "
                                        << "45" << int(EImageView3DValue::RotateZ) << 45.0f;
        QTest::newRow("translate x stepped") << "Translate X: "
                                             << "" << int(EImageView3DValue::TranslateX) << 0.1f;
        QTest::newRow("camera position z") << "CamPos Z: "
                                           << "7.5" << int(EImageView3DValue::CameraPositionZ) << 7.5f;
        QTest::newRow("camera up x stepped") << "CamUp X: "
                                             << "" << int(EImageView3DValue::CameraUpX) << 0.1f;
        QTest::newRow("field of view") << "FOV: "
                                       << "30" << int(EImageView3DValue::FOV) << 30.0f;
        QTest::newRow("far below zero") << "Far: "
                                        << "-5" << int(EImageView3DValue::Far) << -5.0f;
        QTest::newRow("scale clamped to its maximum") << "Scale Y: "
                                                      << "250" << int(EImageView3DValue::ScaleY) << 25.0f;
    }
    void propertyPanelDrivesTheModel()
    {
        REQUIRE_OPENGL();
        QFETCH(QString, label);
        QFETCH(QString, typed);
        QFETCH(int, value);
        QFETCH(float, expected);
        SFixture fixture;
        QVERIFY(fixture.ShowAndWait());
        QVERIFY(fixture.pOtherProperties->isHidden());
        QDoubleSpinBox* pSpin = SpinBox(*fixture.pPanel, label);
        QVERIFY(pSpin && pSpin->isVisible());
        QSignalSpy spy(fixture.parts.pModel, &CImageView3DModel::signal_ChangeTransformMatrix);
        pSpin->setFocus();
        if (typed.isEmpty())
        {
            QTest::keyClick(pSpin, Qt::Key_Up);
        }
        else
        {
            pSpin->selectAll();
            QTest::keyClicks(pSpin, typed);
            QTest::keyClick(pSpin, Qt::Key_Enter);
        }
        QCOMPARE(fixture.parts.pModel->GetValue(EImageView3DValue(value)), expected);
        QVERIFY(spy.count() >= 1);
    }

    // Dragging turns the surface, the wheel zooms within the field of view
    // the property view shows, and the property view follows the model.
    void gestures()
    {
        REQUIRE_OPENGL();
        SFixture fixture;
        QVERIFY(fixture.ShowAndWait());
        CImageView3D* pView = fixture.View();
        const CImageView3DModel& model = *fixture.parts.pModel;
        QTest::mousePress(pView, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QMouseEvent move(QEvent::MouseMove, QPointF(110, 90), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pView, &move);
        QTest::mouseRelease(pView, Qt::LeftButton, Qt::NoModifier, QPoint(110, 90));
        QCOMPARE(model.GetRotateX(), -72.0f);
        QCOMPARE(model.GetRotateY(), 1.0f);
        QMouseEvent freeMove(QEvent::MouseMove, QPointF(150, 50), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pView, &freeMove);
        QCOMPARE(model.GetRotateY(), 1.0f);

        const auto wheel = [pView](int nDelta)
        {
            QWheelEvent event(QPointF(50, 50), QPointF(pView->mapToGlobal(QPoint(50, 50))), QPoint(),
                              QPoint(0, nDelta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(pView, &event);
        };
        wheel(120);
        QCOMPARE(model.GetFOV(), 20.8f);
        QCOMPARE(SpinBox(*fixture.pPanel, "FOV: ")->value(), 20.8);
        wheel(120 * 40);
        QCOMPARE(model.GetFOV(), 1.0f);
        wheel(-120 * 200);
        QCOMPARE(model.GetFOV(), 90.0f);
    }

    void contextMenuSwitchesTo2D()
    {
        REQUIRE_OPENGL();
        SFixture fixture;
        QVERIFY(fixture.ShowAndWait());
        QSignalSpy spy(fixture.View(), &CImageView3D::signal_Switch3DTo2D);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20));
        QApplication::sendEvent(fixture.View(), &event);
        QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QCOMPARE(pMenu->actions().size(), 1);
        QCOMPARE(pMenu->actions().at(0)->text(), QString("Switch To 2D View"));
        pMenu->actions().at(0)->trigger();
        pMenu->close();
        QCOMPARE(spy.count(), 1);
    }

    // Without a context (run with QT_XCB_GL_INTEGRATION=none) the unit
    // gets the placeholder; a view made all the same neither paints nor
    // fails.
    void withoutOpenGL()
    {
        if (CImageView3D::IsSupported())
            QSKIP("OpenGL works on this display; tst_ImageView3DNoOpenGL runs this case");
        SFixture fixture;
        QVERIFY(!fixture.parts.pModel && !fixture.parts.pController);
        QVERIFY(qobject_cast<COpenGLUnsupportedWidget*>(fixture.parts.pView));
        QCOMPARE(fixture.parts.pView->findChild<QLabel*>()->text(), QString("System doesnot support OpenGL"));

        CImageView3DModel model;
        auto* pView = new CImageView3D(&model, &fixture.window);
        CImageView3DController controller(&model, &fixture.imageList, pView, fixture.pPanel);
        fixture.window.layout()->addWidget(pView);
        pView->show();
        fixture.imageList.SetCurrentImage(Uniform(4, qRgb(1, 2, 3)));
        Drain();
        QCOMPARE(pView->GetIndexCount(), 0);
        QVERIFY(pView->grabFramebuffer().isNull());
    }
};

OPTRA_TEST_MAIN(TestImageView3D)
#include "tst_ImageView3D.moc"
