#include "tests/support/TestSupport.h"
#include "trainer/DarknetConfigCheck.h"

#include <QFile>

namespace
{
// A two-scale network like the ones users write: [yolo] after a convolution.
QString TwoScales(int nClasses, int nFilters, const QString& strMask = "mask=0,1,2")
{
    return QString(
               "[net]\nwidth=416\n\n[convolutional]\nfilters=%2\nsize=1\n\n[yolo]\n%3\nclasses=%1\nnum=6\n"
               "[route]\nlayers=-4\n[convolutional]\nfilters=%2\n[yolo]\n%3\nclasses=%1\nnum=6\n")
        .arg(nClasses)
        .arg(nFilters)
        .arg(strMask);
}
} // namespace

class TestDarknetConfigCheck : public QObject
{
    Q_OBJECT

private slots:
    void check_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<int>("categories");
        QTest::addColumn<QStringList>("problems");
        const QString strClasses =
            "Configuration: [yolo] section %1 has classes=%2, the project has %3 categories";
        const QString strFilters = "Configuration: the convolution before [yolo] section %1 has filters=%2, "
                                   "(classes + 5) x masks is %3";

        QTest::newRow("fits") << TwoScales(2, 21) << 2 << QStringList{};
        QTest::newRow("classes not adapted")
            << TwoScales(80, 255) << 2
            << QStringList{strClasses.arg(1).arg(80).arg(2), strClasses.arg(2).arg(80).arg(2)};
        QTest::newRow("filters not adapted")
            << TwoScales(2, 255) << 2
            << QStringList{strFilters.arg(1).arg(255).arg(21), strFilters.arg(2).arg(255).arg(21)};
        QTest::newRow("no mask counts num") << TwoScales(1, 36, "") << 1 << QStringList{};
        QTest::newRow("two masks") << TwoScales(3, 16, "mask = 0, 1") << 3 << QStringList{};
        QTest::newRow("spaces, tabs, comments and CR")
            << "[net]\r\n# classes=5\r\n[convolutional]\r\n filters = 18 "
               "\r\n;filters=99\r\n[yolo]\r\n\tmask=0,1,2\r\n"
               "classes= 1\r\n"
            << 1 << QStringList{};
        QTest::newRow("missing classes is 20") << "[net]\n[conv]\nfilters=75\n[yolo]\nmask=1,2,3\n"
                                               << 2 << QStringList{strClasses.arg(1).arg(20).arg(2)};
        QTest::newRow("no convolution before") << "[net]\n[route]\nlayers=-1\n[yolo]\nclasses=2\n"
                                               << 2 << QStringList{};
        QTest::newRow("garbage numbers read like atoi")
            << "[net]\n[conv]\nfilters=21abc\n[yolo]\nmask=0,1,2\n"
               "classes=2x\n"
            << 2 << QStringList{};
        QTest::newRow("no yolo") << "[net]\n[convolutional]\nfilters=21\n"
                                 << 2 << QStringList{"Configuration has no [yolo] section"};
        QTest::newRow("empty") << "" << 0 << QStringList{"Configuration has no [yolo] section"};
    }

    void check()
    {
        QFETCH(QString, config);
        QFETCH(int, categories);
        QFETCH(QStringList, problems);
        QCOMPARE(CDarknetConfigCheck::Check(config, categories), problems);
    }

    // The template of new projects is the 80-class YOLOv3 network.
    void projectTemplate()
    {
        QFile file(":/Files/yolov3.cfg");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString strConfig = QString::fromUtf8(file.readAll());
        QCOMPARE(CDarknetConfigCheck::Check(strConfig, 80), QStringList());
        const std::vector<SDarknetYoloLayer> vctLayers = CDarknetConfigCheck::YoloLayers(strConfig);
        QCOMPARE(vctLayers.size(), size_t(3));
        for (const SDarknetYoloLayer& layer : vctLayers)
        {
            QCOMPARE(layer.nClasses, 80);
            QCOMPARE(layer.nMasks, 3);
            QVERIFY(layer.bConvolutionBefore);
            QCOMPARE(layer.nFilters, 255);
        }
    }
};

OPTRA_TEST_MAIN(TestDarknetConfigCheck)
#include "tst_DarknetConfigCheck.moc"
