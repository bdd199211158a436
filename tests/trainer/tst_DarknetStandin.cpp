// Built projects read by the Darknet stand-in, which reads them the way
// Darknet does: proof that a build is accepted, and that the stand-in really
// rejects what Darknet rejects, so tests that rely on it mean something.
#include "tests/support/TestSupport.h"
#include "trainer/DarknetBuildWriter.h"
#include "trainer/ProcessOutputBuffer.h"
#include "trainer/detect/DetectorInput.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <clocale>
#include <memory>

namespace
{
const QStringList TRAIN_ARGUMENTS = {"detector", "train", "detector.txt", "config.txt"};
const QString ONE_CLASS_CONFIG =
    "[net]\nwidth=416\n[convolutional]\nfilters=18\n[yolo]\nmask=0,1,2\nclasses=1\n";

void WriteFile(const QString& strPath, const QByteArray& baContent)
{
    QFile file(strPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(baContent);
}

QByteArray Sample(const QString& strName)
{
    return OptraTest::ReadBytes(QStringLiteral(OPTRA_DARKNET_OUTPUT_DIR "/") + strName);
}

// The layout of an output: every number (and nan, inf) with the padding
// before it becomes " #", the sample's class names "NAME", and a run of
// lines of one shape a single line. What is left, spaces, tabs and carriage
// returns included, is what the stand-in must print exactly as Darknet does.
QByteArrayList Shape(const QByteArray& baOutput)
{
    QString strText = QString::fromUtf8(baOutput);
    strText.replace(QRegularExpression(" *-?(?:\\d+(?:\\.\\d+)?|nan|inf)"), " #");
    strText.replace(QRegularExpression("^(car|person's): ", QRegularExpression::MultilineOption), "NAME: ");
    strText.replace(QRegularExpression("\"name\":\"(car|person's)\""), "\"name\":\"NAME\"");
    QByteArrayList lstShape;
    for (const QString& strLine : strText.split('\n'))
    {
        if (lstShape.isEmpty() || lstShape.back() != strLine.toUtf8())
            lstShape << strLine.toUtf8();
    }
    return lstShape;
}

// A finished stand-in run: its report and its output as log lines.
struct SRun
{
    int nExitCode = -1;
    QProcess::ExitStatus status = QProcess::NormalExit;
    QJsonObject report;
    QStringList lstOut;
    QStringList lstErr;
    // Standard output as printed.
    QByteArray baOut;
};

class CStandinProcess
{
public:
    CStandinProcess(const QString& strDir, const QString& strReport, const QStringList& lstEnvironment)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DARKNET_STANDIN_REPORT", strReport);
        for (const QString& strVariable : lstEnvironment)
            environment.insert(strVariable.section('=', 0, 0), strVariable.section('=', 1));
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(strDir);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput,
                         [this]
                         {
                             const QByteArray baChunk = m_process.readAllStandardOutput();
                             m_run.baOut += baChunk;
                             m_run.lstOut += m_out.Append(baChunk);
                         });
        QObject::connect(&m_process, &QProcess::readyReadStandardError,
                         [this] { m_run.lstErr += m_err.Append(m_process.readAllStandardError()); });
        m_strReport = strReport;
    }

    QProcess& Process() { return m_process; }
    void Start(const QStringList& lstArguments, const QByteArray& baInput = QByteArray())
    {
        m_process.start(QCoreApplication::applicationDirPath() + "/darknet_standin", lstArguments);
        m_process.write(baInput);
        m_process.closeWriteChannel();
    }

    SRun Finish()
    {
        m_process.waitForFinished(60000);
        m_run.lstOut += m_out.Finish();
        m_run.lstErr += m_err.Finish();
        m_run.nExitCode = m_process.exitCode();
        m_run.status = m_process.exitStatus();
        QFile file(m_strReport);
        if (file.open(QIODevice::ReadOnly))
            m_run.report = QJsonDocument::fromJson(file.readAll()).object();
        return m_run;
    }

private:
    QProcess m_process;
    CProcessOutputBuffer m_out;
    CProcessOutputBuffer m_err;
    QString m_strReport;
    SRun m_run;
};
} // namespace

class TestDarknetStandin : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_pTemp;
    QString m_strDir;

    QString Path(const QString& strFile) const { return m_strDir + "/" + strFile; }
    QString ReportPath() const { return m_pTemp->path() + "/report.json"; }

    SRun Run(const QStringList& lstArguments = TRAIN_ARGUMENTS, const QStringList& lstEnvironment = {},
             const QString& strDir = QString(), const QByteArray& baInput = QByteArray())
    {
        CStandinProcess standin(strDir.isEmpty() ? m_strDir : strDir, ReportPath(), lstEnvironment);
        standin.Start(lstArguments, baInput);
        return standin.Finish();
    }

    // The project the recorded samples came from, as far as their output
    // shows it: classes "car" and "person's", three [yolo] layers, a train
    // list of two images with two boxes each and a test list with one box.
    void BuildSampleProject()
    {
        SDarknetProject project;
        project.strProjectDir = m_strDir;
        project.vctCategories = {{3, "car"}, {7, "person's"}};
        project.vctImages = {{"t.png", 200, 100, {{20, 10, 40, 30, 3}, {100, 40, 80, 50, 7}}},
                             {"a.jpg", 200, 100, {{0, 0, 150, 100, 7}, {120, 20, 30, 60, 3}}},
                             {"v.png", 200, 100, {{50, 50, 20, 20, 3}}}};
        project.lstTrainNames = QStringList{"t.png", "a.jpg"};
        project.lstTestNames = QStringList{"v.png"};
        const QString strYolo = "[convolutional]\nfilters=21\n[yolo]\nmask=0,1,2\nclasses=2\n";
        project.strConfiguration = "[net]\nwidth=416\n" + strYolo + strYolo + strYolo;
        for (const SDarknetImage& image : project.vctImages)
        {
            QImage pixels(image.nWidth, image.nHeight, QImage::Format_RGB32);
            pixels.fill(Qt::gray);
            QVERIFY(pixels.save(Path("Images/" + image.strName)));
        }
        QVERIFY(CDarknetBuildWriter().Write(project));
        WriteFile(Path("Backup/config_final.weights"), "weights");
    }

    SRun Detect(const QByteArray& baInput, const QStringList& lstEnvironment = {})
    {
        return Run({"detector", "test", "detector.txt", "config.txt", "Backup/config_final.weights",
                    "-dont_show", "-ext_output", "-out", "result.json", "-thresh", "0.02"},
                   lstEnvironment, QString(), baInput);
    }

    // Image files exist on disk; the stand-in checks that, not their content.
    void AddImageFiles(const SDarknetProject& project)
    {
        for (const SDarknetImage& image : project.vctImages)
            WriteFile(Path("Images/" + image.strName), "image");
    }

    SDarknetProject OneClassProject() const
    {
        SDarknetProject project;
        project.strProjectDir = m_strDir;
        project.vctCategories = {{4, "person"}};
        project.vctImages = {{"a.jpg", 640, 480, {{10, 20, 100, 200, 4}}},
                             {"b.jpg", 640, 480, {{0, 0, 64, 48, 4}}}};
        project.lstTrainNames = QStringList{"a.jpg"};
        project.lstTestNames = QStringList{"b.jpg"};
        project.strConfiguration = ONE_CLASS_CONFIG;
        return project;
    }

    void BuildOneClassProject()
    {
        const SDarknetProject project = OneClassProject();
        AddImageFiles(project);
        QVERIFY(CDarknetBuildWriter().Write(project));
    }

private slots:
    void init()
    {
        m_pTemp = std::make_unique<QTemporaryDir>();
        m_strDir = m_pTemp->path() + "/project";
        QVERIFY(QDir().mkpath(m_strDir + "/Images"));
    }

    void builtProjectIsAccepted_data()
    {
        QTest::addColumn<bool>("german");
        QTest::newRow("C locale") << false;
        QTest::newRow("German locale") << true;
    }

    // Every box a user can draw, in names users give, reaches Darknet.
    void builtProjectIsAccepted()
    {
        QFETCH(bool, german);
        if (german)
        {
            QVERIFY2(std::setlocale(LC_ALL, "de_DE.UTF-8"),
                     "de_DE.UTF-8 is missing; run scripts/install-deps.sh");
            QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        }
        SDarknetProject project;
        project.strProjectDir = m_strDir;
        project.vctCategories = {{9, "car"}, {5, "person"}};
        const QString strCheese = QString::fromUtf8("K\u00e4se's \u65e5\u672c.png");
        project.vctImages = {
            {"a.jpg", 640, 480, {{0, 0, 320, 480, 5}, {600, 400, -200, -100, 9}, {-30, -30, 100, 100, 9}}},
            {strCheese, 200, 100, {{150, 50, 100, 100, 5}, {10.5, 20.25, 30.5, 40.75, 9}}},
            {"cat.01.jpeg", 300, 300, {{299, 299, 1, 1, 9}}},
            {"X.BMP", 1920, 1080, {{1919, 0, -1919, 1080, 5}}}};
        project.lstTrainNames = QStringList{"cat.01.jpeg", strCheese, "a.jpg"};
        project.lstTestNames = QStringList{"X.BMP"};
        project.strConfiguration =
            "[net]\r\nwidth=416\r\n[convolutional]\r\nfilters=21\r\n[yolo]\r\nmask=0,1,2\r\n"
            "classes=2\r\n[route]\r\nlayers=-4\r\n[conv]\r\nfilters=21\r\n[yolo]\r\n"
            "mask=3,4,5\r\nclasses=2\r\n";
        AddImageFiles(project);
        const bool bWritten = CDarknetBuildWriter().Write(project);
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
        QVERIFY(bWritten);

        const SRun run = Run({"detector", "train", "detector.txt", "config.txt", "-dont_show"});
        QCOMPARE(run.status, QProcess::NormalExit);
        QCOMPARE(run.nExitCode, 0);
        const QJsonObject& report = run.report;
        QCOMPARE(report.value("error").toString(), QString());
        QCOMPARE(report.value("cwd").toString(), QDir(m_strDir).canonicalPath());
        QCOMPARE(report.value("train_images").toInt(), 3);
        QCOMPARE(report.value("valid_images").toInt(), 1);
        QVERIFY(report.value("valid_from_key").toBool());
        QCOMPARE(report.value("valid_list").toString(), QString("test.txt"));
        QCOMPARE(report.value("classes").toInt(), 2);
        QCOMPARE(report.value("data_classes").toInt(), 2);
        QCOMPARE(report.value("names").toInt(), 2);
        QCOMPARE(report.value("yolo_layers").toArray().size(), 2);
        QCOMPARE(report.value("boxes_accepted").toInt(), 7);
        QCOMPARE(report.value("boxes_rejected").toArray(), QJsonArray());
        for (const char* szList : {"missing_images", "undecodable_images", "label_name_failures",
                                   "missing_labels", "unparsed_labels"})
            QVERIFY2(report.value(szList).toArray().isEmpty(), szList);
        QVERIFY(QFile::exists(Path("Backup/config_final.weights")));
    }

    void standinRejectsWhatDarknetRejects_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("decimal comma") << "Images/a.txt" << QByteArray("0 0,5 0,5 0,2 0,2\n")
                                       << "unparsed_labels" << QVariant(QVariantList{"Images/a.txt"});
        QTest::newRow("line after a bad line is not read")
            << "Images/a.txt" << QByteArray("0 0.5 0.5 0.2 0.2\nx\n0 0.5 0.5 0.2 0.2\n") << "boxes_accepted"
            << QVariant(2);
        QTest::newRow("CRLF list") << "train.txt" << QByteArray("Images/a.jpg\r\n") << "label_name_failures"
                                   << QVariant(QVariantList{"Images/a.jpg\r"});
        QTest::newRow("CRLF data file")
            << "detector.txt"
            << QByteArray("classes=1\r\ntrain=train.txt\r\nvalid=test.txt\r\nnames=custom.names\r\n")
            << "error" << QVariant("Couldn't open file: custom.names\r");
        QTest::newRow("CRLF configuration")
            << "config.txt" << ONE_CLASS_CONFIG.toUtf8().replace("\n", "\r\n") << "error"
            << QVariant("First section must be [net] or [network]");
        QTest::newRow("filters not adapted")
            << "config.txt" << ONE_CLASS_CONFIG.toUtf8().replace("18", "255") << "error"
            << QVariant("Error: filters=255 in the [convolutional] layer before "
                        "[yolo] does not fit classes=1 and 3 masks, expected 18");
        QTest::newRow("no valid key")
            << "detector.txt"
            << QByteArray("classes=1\ntrain=train.txt\ntest=test.txt\nnames=custom.names\n"
                          "backup=Backup\n")
            << "valid_list" << QVariant("train.txt");
        QTest::newRow("gif") << "train.txt" << QByteArray("Images/a.gif\n") << "label_name_failures"
                             << QVariant(QVariantList{"Images/a.gif"});
    }

    void standinRejectsWhatDarknetRejects()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(QVariant, expected);
        BuildOneClassProject();
        WriteFile(Path(file), content);
        const SRun run = Run();
        QCOMPARE(run.report.value(key).toVariant(), expected);
    }

    void boxesDarknetDrops_data()
    {
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<QString>("reason");
        QTest::newRow("centre on the left edge")
            << QByteArray("0 0.000000 0.5 0.1 0.1\n") << "wrong annotation";
        QTest::newRow("centre below the image")
            << QByteArray("0 0.5 1.000001 0.1 0.1\n") << "wrong annotation";
        QTest::newRow("class beyond the configuration")
            << QByteArray("1 0.5 0.5 0.1 0.1\n") << "class out of range";
        QTest::newRow("negative class") << QByteArray("-1 0.5 0.5 0.1 0.1\n") << "negative class";
        QTest::newRow("negative width") << QByteArray("0 0.5 0.5 -0.1 0.1\n") << "negative size";
        QTest::newRow("very small") << QByteArray("0 0.5 0.5 0.0001 0.1\n") << "too small";
    }

    void boxesDarknetDrops()
    {
        QFETCH(QByteArray, label);
        QFETCH(QString, reason);
        BuildOneClassProject();
        WriteFile(Path("Images/a.txt"), label);
        const SRun run = Run();
        QCOMPARE(run.report.value("boxes_accepted").toInt(), 1); // the test image's box
        const QJsonArray arrRejected = run.report.value("boxes_rejected").toArray();
        QCOMPARE(arrRejected.size(), 1);
        QCOMPARE(arrRejected[0].toObject().value("reason").toString(), reason);
    }

    void arguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("inProject");
        QTest::addColumn<QString>("error");
        QTest::newRow("detector train with weights")
            << TRAIN_ARGUMENTS + QStringList{"Backup/start.weights"} << true << "";
        QTest::newRow("empty first argument")
            << QStringList{"", "detector.txt", "config.txt"} << true << "usage";
        QTest::newRow("missing weights")
            << TRAIN_ARGUMENTS + QStringList{"none.weights"} << true << "Couldn't open file: none.weights";
        QTest::newRow("wrong working directory")
            << TRAIN_ARGUMENTS << false << "Couldn't open file: detector.txt";
    }

    void arguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, inProject);
        QFETCH(QString, error);
        BuildOneClassProject();
        WriteFile(Path("Backup/start.weights"), "weights");
        const SRun run = Run(arguments, {}, inProject ? m_strDir : m_pTemp->path());
        QCOMPARE(run.report.value("error").toString(), error);
        QCOMPARE(run.report.value("arguments").toVariant().toStringList(), arguments);
        QCOMPARE(run.nExitCode, error.isEmpty() ? 0 : 1);
    }

    // Output and result file have the recorded Darknet's layout, byte for byte.
    void detectorTestLooksLikeDarknet()
    {
        BuildSampleProject();
        const SRun run = Detect("Images/t.png\nImages/a.jpg\n");
        QCOMPARE(run.status, QProcess::NormalExit);
        QCOMPARE(run.nExitCode, 0);
        QCOMPARE(Shape(run.baOut), Shape(Sample("darknet-detector-test-stdout.txt")));
        QCOMPARE(run.baOut.count("Enter Image Path: "), 3);
        QVERIFY(run.baOut.endsWith("\nEnter Image Path: "));
        QVERIFY(
            run.baOut.contains("person's: 90%\t(left_x:  100   top_y:   40   width:   80   height:   50)\n"));
        const QByteArray baJson = OptraTest::ReadBytes(Path("result.json"));
        QCOMPARE(Shape(baJson), Shape(Sample("darknet-detector-test-result.json")));
        QVERIFY(baJson.endsWith("}\n ] \n}\n]"));
        QVERIFY(
            baJson.contains("{\"class_id\":1, \"name\":\"person's\", \"relative_coordinates\":{\"center_x\":"
                            "0.700000, \"center_y\":0.650000, \"width\":0.400000, \"height\":0.500000}, "
                            "\"confidence\":0.900000}"));
        QCOMPARE(QImage(Path("predictions.jpg")).size(), QSize(200, 100));
    }

    void detectorTestQuirks()
    {
        BuildSampleProject();
        const QString strName = "Images/it's \"q\" \\.png";
        QVERIFY(QFile::copy(Path("Images/t.png"), Path(strName)));
        const QByteArray baName = strName.toUtf8();
        WriteFile(Path("detections.txt"), baName + "\t0 -nan 0.25 inf 0 1\n" + baName +
                                              "\t1 0.5 0.5 0.1 0.1 0.01\n" + baName +
                                              "\t1 0.5 0.5 0.1 0.1 0.5\nImages/t.png\t0 0.5 0.5 0.1 0.1 1\n");
        const SRun run = Detect(baName + "\n", {"DARKNET_STANDIN_DETECTIONS=" + Path("detections.txt")});
        QCOMPARE(run.nExitCode, 0);
        const QByteArray baJson = OptraTest::ReadBytes(Path("result.json"));
        QVERIFY(baJson.contains("\"filename\":\"" + baName + "\", \n"));
        QVERIFY(
            baJson.contains("\"center_x\":-nan, \"center_y\":0.250000, \"width\":inf, \"height\":0.000000}, "
                            "\"confidence\":1.000000}"));
        // Below the threshold of 0.02, and another image's detection.
        QCOMPARE(baJson.count("\"class_id\":"), 2);
        QVERIFY(
            run.baOut.contains("\ncar: 100%\t(left_x: -nan   top_y:   25   width:  inf   height:    0)\n"));
    }

    // fgets with 256 bytes: the first 255 bytes are one path, the rest another.
    void overlongLineIsSplitLikeDarknet()
    {
        BuildSampleProject();
        const QString strFolder = "Images/" + QString(255 - 7 - 6, 'd');
        QVERIFY(QDir().mkpath(Path(strFolder)));
        QVERIFY(QFile::copy(Path("Images/t.png"), Path(strFolder + "/t.png")));
        const QByteArray baFirst = (strFolder + "/t.png").toUtf8();
        QCOMPARE(baFirst.size(), 255);
        const SRun run = Detect(baFirst + "Images/a.jpg\n");
        QCOMPARE(run.nExitCode, 0);
        QCOMPARE(run.baOut.count("Enter Image Path: "), 3);
        QVERIFY(run.baOut.contains("\n" + baFirst + ": Predicted in "));
        QVERIFY(run.baOut.contains("\nImages/a.jpg: Predicted in "));
    }

    // The longest path the program passes reaches Darknet as one image.
    void longestPassablePathIsOneImage()
    {
        BuildSampleProject();
        const QString strFolder = "Images/" + QString(CDetectorInput::MAX_PATH_BYTES - 7 - 6, 'd');
        QVERIFY(QDir().mkpath(Path(strFolder)));
        QVERIFY(QFile::copy(Path("Images/t.png"), Path(strFolder + "/t.png")));
        QStringList lstPassed, lstRefused;
        const SRun run = Detect(CDetectorInput::Lines({strFolder + "/t.png"}, lstPassed, lstRefused));
        QCOMPARE(lstPassed.size(), 1);
        QCOMPARE(run.nExitCode, 0);
        CDetectorInput input;
        QCOMPARE(input.Append(run.baOut), 1);
    }

    void detectorTestCrashKeepsFinishedFrames()
    {
        BuildSampleProject();
        const SRun run =
            Detect("Images/t.png\nImages/a.jpg\nImages/v.png\n", {"DARKNET_STANDIN_CRASH_AFTER=1"});
        QCOMPARE(run.status, QProcess::CrashExit);
        QCOMPARE(run.baOut.count("Enter Image Path: "), 2);
        QCOMPARE(run.baOut.count(": Predicted in "), 1);
        const QByteArray baJson = OptraTest::ReadBytes(Path("result.json"));
        QVERIFY(baJson.startsWith("[\n{\n \"frame_id\":1, \n \"filename\":\"Images/t.png\", \n"));
        QVERIFY(baJson.contains(
            " ] \n}, \n{\n \"frame_id\":2, \n \"filename\":\"Images/a.jpg\", \n \"objects\": [ \n  {"));
        QVERIFY(!baJson.contains("]\n}\n]"));
    }

    void detectorMapPrintsWhatDarknetPrints()
    {
        BuildSampleProject();
        const SRun run = Run({"detector", "map", "detector.txt", "config.txt", "Backup/config_final.weights"},
                             {"DARKNET_STANDIN_AP=0", "DARKNET_STANDIN_FP=28,41"});
        QCOMPARE(run.nExitCode, 0);
        QCOMPARE(run.baOut, Sample("darknet-detector-map-stdout.txt"));
    }

    void calcAnchorsLooksLikeDarknet()
    {
        BuildSampleProject();
        const SRun run = Run({"detector", "calc_anchors", "detector.txt", "-num_of_clusters", "3", "-width",
                              "416", "-height", "416", "-dont_show"});
        QCOMPARE(run.nExitCode, 0);
        QCOMPARE(Shape(run.baOut), Shape(Sample("darknet-calc-anchors-stdout.txt")));
        // The train boxes at 416 x 416 by area: 83.2 x 124.8, 62.4 x 249.6,
        // then 166.4 x 208 and 312 x 416, whose mean is 239.2 x 312.
        const QByteArray baAnchors = OptraTest::ReadBytes(Path("anchors.txt"));
        QCOMPARE(baAnchors, QByteArray(" 83,125,  62,250, 239,312"));
        QVERIFY(run.baOut.endsWith("\nanchors = " + baAnchors + "\n"));
    }

    void calcAnchorsWithFewerBoxesThanClustersCrashes()
    {
        BuildSampleProject();
        const SRun run = Run({"detector", "calc_anchors", "detector.txt", "-num_of_clusters", "9", "-width",
                              "416", "-height", "416"});
        QCOMPARE(run.status, QProcess::CrashExit);
        QCOMPARE(run.baOut, QByteArray());
        QVERIFY(!QFile::exists(Path("anchors.txt")));
    }

    // Darknet trains for hours and fails only when it first saves weights.
    void missingBackupFailsAtTheWeightSave()
    {
        BuildOneClassProject();
        QVERIFY(QDir(Path("Backup")).removeRecursively());
        const SRun run = Run();
        QVERIFY(!run.report.value("backup_exists").toBool());
        QCOMPARE(run.report.value("error").toString(), QString());
        QCOMPARE(run.nExitCode, 1);
        QVERIFY(run.lstErr.contains("Couldn't open file: Backup/config_final.weights"));
    }

    // Progress arrives with escape sequences, bells and a line in two writes.
    void outputBecomesCleanLines()
    {
        BuildOneClassProject();
        const SRun run = Run(TRAIN_ARGUMENTS, {"DARKNET_STANDIN_ITERATIONS=2"});
        QCOMPARE(run.nExitCode, 0);
        const QRegularExpression reIteration("^ 1: \\d+\\.\\d{6}, \\d+\\.\\d{6} avg loss, 0\\.000000 rate, "
                                             "\\d+\\.\\d{6} seconds, 2 images, \\d+\\.\\d{6} hours left$");
        QCOMPARE(run.lstOut.filter(reIteration).size(), 1);
        QCOMPARE(run.lstOut.filter(QRegularExpression("^2/2: loss=\\d+\\.\\d hours left=0\\.0$")).size(), 1);
        QVERIFY(run.lstErr.contains(" OpenCV isn't used - data augmentation will be slow "));
        for (const QString& strLine : run.lstOut + run.lstErr)
            QVERIFY2(!strLine.contains(QRegularExpression("[\\x00-\\x08\\x0a-\\x1f]")), qPrintable(strLine));
    }
};

OPTRA_TEST_MAIN(TestDarknetStandin)
#include "tst_DarknetStandin.moc"
