#include "tests/support/TestSupport.h"
#include "trainer/DarknetBuildWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

Q_DECLARE_METATYPE(SDarknetBox)

namespace
{
void WriteFile(const QString& strPath, const QByteArray& baContent)
{
    QFile file(strPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(baContent);
}

SDarknetImage Image(const QString& strName, int nWidth, int nHeight, std::vector<SDarknetBox> vctBoxes = {})
{
    return SDarknetImage{strName, nWidth, nHeight, std::move(vctBoxes)};
}

const char* const DETECTOR_TWO_CLASSES = "classes=2\n"
                                         "train=train.txt\n"
                                         "test=test.txt\n"
                                         "names=custom.names\n"
                                         "backup=Backup\n"
                                         "valid=test.txt\n";

// Everything a build of TwoClassProject() leaves, folder by folder: no temporary files.
const QStringList ENTRIES_OF_TWO_CLASS_PROJECT = {"Backup",       "Images",   "config.txt", "custom.names",
                                                  "detector.txt", "test.txt", "train.txt",  "a.txt",
                                                  "b.txt",        "c.txt"};

// Switches C and Qt to German number formatting for one scope, as a
// QApplication started under LANG=de_DE.UTF-8 does.
class CGermanLocale
{
public:
    CGermanLocale() : m_bActive(std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr)
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    ~CGermanLocale()
    {
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
    }
    bool IsActive() const { return m_bActive; }

private:
    bool m_bActive;
};
} // namespace

class TestDarknetBuildWriter : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_pTemp;
    QString m_strDir;

    QString Path(const QString& strFile) const { return m_strDir + "/" + strFile; }

    // Categories car (ID 7) and person (ID 3) in this select order, so class
    // indices follow the select order, not the IDs.
    SDarknetProject TwoClassProject() const
    {
        SDarknetProject project;
        project.strProjectDir = m_strDir;
        project.vctCategories = {{7, "car"}, {3, "person"}};
        project.vctImages = {Image("a.jpg", 640, 480, {{0, 0, 320, 480, 3}, {0, 0, 640, 480, 7}}),
                             Image("b.png", 200, 100, {{0, 0, 100, 50, 7}}), Image("c.jpg", 10, 10)};
        project.lstTrainNames = QStringList{"c.jpg", "a.jpg"};
        project.lstTestNames = QStringList{"b.png"};
        project.strConfiguration = "[net]\nwidth=416\n";
        return project;
    }

    QStringList ProjectEntries() const
    {
        return QDir(m_strDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name) +
               QDir(Path("Images"))
                   .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }

private slots:
    void init()
    {
        // Messages still queued from an earlier test must not reach this test's capture.
        CLogger::GetInstance()->Flush();
        m_pTemp = std::make_unique<QTemporaryDir>();
        m_strDir = m_pTemp->path() + "/project";
        QVERIFY(QDir().mkpath(m_strDir + "/Images"));
    }

    void labelLine_data()
    {
        QTest::addColumn<SDarknetBox>("box");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QByteArray>("line");
        const double dNaN = std::numeric_limits<double>::quiet_NaN();
        const double dInf = std::numeric_limits<double>::infinity();

        QTest::newRow("left half of 640x480, class 2")
            << SDarknetBox{0, 0, 320, 480, 2} << 640 << 480
            << QByteArray("2 0.250000 0.500000 0.500000 1.000000\n");
        QTest::newRow("100x50 at the origin of 200x100, class 0")
            << SDarknetBox{0, 0, 100, 50, 0} << 200 << 100
            << QByteArray("0 0.250000 0.250000 0.500000 0.500000\n");
        QTest::newRow("drawn up and to the left") << SDarknetBox{320, 480, -320, -480, 2} << 640 << 480
                                                  << QByteArray("2 0.250000 0.500000 0.500000 1.000000\n");
        QTest::newRow("negative width only") << SDarknetBox{100, 0, -100, 50, 0} << 200 << 100
                                             << QByteArray("0 0.250000 0.250000 0.500000 0.500000\n");
        QTest::newRow("fractional pixels") << SDarknetBox{10.5, 20.25, 30.5, 40.75, 1} << 100 << 100
                                           << QByteArray("1 0.257500 0.406250 0.305000 0.407500\n");
        QTest::newRow("rounded to six decimals")
            << SDarknetBox{0, 0, 1, 1, 4} << 3 << 7 << QByteArray("4 0.166667 0.071429 0.333333 0.142857\n");
        QTest::newRow("past the right and bottom edges")
            << SDarknetBox{150, 50, 100, 100, 0} << 200 << 100
            << QByteArray("0 0.875000 0.750000 0.250000 0.500000\n");
        QTest::newRow("left of and above the image") << SDarknetBox{-50, -20, 100, 60, 0} << 200 << 100
                                                     << QByteArray("0 0.125000 0.200000 0.250000 0.400000\n");
        QTest::newRow("larger than the image") << SDarknetBox{-10, -10, 1000, 1000, 1} << 640 << 480
                                               << QByteArray("1 0.500000 0.500000 1.000000 1.000000\n");
        QTest::newRow("wholly right of the image")
            << SDarknetBox{300, 0, 50, 50, 0} << 200 << 100 << QByteArray();
        QTest::newRow("wholly above the image")
            << SDarknetBox{0, -60, 50, 50, 0} << 200 << 100 << QByteArray();
        QTest::newRow("touching the right edge from outside")
            << SDarknetBox{200, 0, 10, 10, 0} << 200 << 100 << QByteArray();
        QTest::newRow("zero width") << SDarknetBox{10, 10, 0, 20, 0} << 200 << 100 << QByteArray();
        QTest::newRow("too small to print")
            << SDarknetBox{0, 0, 0.0001, 0.0001, 0} << 640 << 480 << QByteArray();
        QTest::newRow("image width 0") << SDarknetBox{0, 0, 10, 10, 0} << 0 << 480 << QByteArray();
        QTest::newRow("image height 0") << SDarknetBox{0, 0, 10, 10, 0} << 640 << 0 << QByteArray();
        QTest::newRow("not a number") << SDarknetBox{dNaN, 0, 10, 10, 0} << 640 << 480 << QByteArray();
        QTest::newRow("infinite width") << SDarknetBox{0, 0, dInf, 10, 0} << 640 << 480 << QByteArray();
    }

    void labelLine()
    {
        QFETCH(SDarknetBox, box);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QByteArray, line);
        QCOMPARE(CDarknetBuildWriter::FormatLabelLine(box.nCategoryID, box, width, height), line);
    }

    void writesEveryFile()
    {
        OptraTest::CLogCapture log;
        SDarknetProject project = TwoClassProject();
        project.strConfiguration = QString::fromUtf8("# Gr\u00f6\u00dfe\r\n[net]\r\nwidth=416\rheight=416");
        QVERIFY(CDarknetBuildWriter().Write(project));
        log.Flush();

        QCOMPARE(OptraTest::ReadBytes(Path("custom.names")), QByteArray("car\nperson\n"));
        QCOMPARE(
            OptraTest::ReadBytes(Path("Images/a.txt")),
            QByteArray("1 0.250000 0.500000 0.500000 1.000000\n0 0.500000 0.500000 1.000000 1.000000\n"));
        QCOMPARE(OptraTest::ReadBytes(Path("Images/b.txt")),
                 QByteArray("0 0.250000 0.250000 0.500000 0.500000\n"));
        QCOMPARE(OptraTest::ReadBytes(Path("Images/c.txt")), QByteArray());
        QCOMPARE(OptraTest::ReadBytes(Path("train.txt")), QByteArray("Images/c.jpg\nImages/a.jpg\n"));
        QCOMPARE(OptraTest::ReadBytes(Path("test.txt")), QByteArray("Images/b.png\n"));
        QVERIFY(QFileInfo(Path("Backup")).isDir());
        QCOMPARE(OptraTest::ReadBytes(Path("detector.txt")), QByteArray(DETECTOR_TWO_CLASSES));
        QCOMPARE(OptraTest::ReadBytes(Path("config.txt")), QByteArray("# Gr\xc3\xb6\xc3\x9f"
                                                                      "e\n[net]\nwidth=416\nheight=416"));
        QCOMPARE(ProjectEntries(), ENTRIES_OF_TWO_CLASS_PROJECT);

        QCOMPARE(log.Count(ELogLevel::NORMAL, "Created custom.names"), 1);
        QCOMPARE(log.Count(ELogLevel::NORMAL, "Build Completed"), 1);
        QCOMPARE(log.Texts().filter("Configuration").size(), 1); // no [yolo] in this configuration
    }

    void emptyProject()
    {
        SDarknetProject project;
        project.strProjectDir = m_strDir;
        QVERIFY(CDarknetBuildWriter().Write(project));
        QCOMPARE(OptraTest::ReadBytes(Path("custom.names")), QByteArray());
        QCOMPARE(OptraTest::ReadBytes(Path("train.txt")), QByteArray());
        QCOMPARE(OptraTest::ReadBytes(Path("test.txt")), QByteArray());
        QCOMPARE(OptraTest::ReadBytes(Path("config.txt")), QByteArray());
        QVERIFY(OptraTest::ReadBytes(Path("detector.txt")).startsWith("classes=0\ntrain=train.txt\n"));
    }

    // The program runs under the user's locale; Darknet reads no box of a line with "0,5".
    void germanLocaleKeepsDecimalPoints()
    {
        CGermanLocale german;
        QVERIFY2(german.IsActive(), "de_DE.UTF-8 is missing; scripts/install-deps.sh generates it");
        char szProbe[16];
        std::snprintf(szProbe, sizeof(szProbe), "%.1f", 0.5);
        QCOMPARE(QByteArray(szProbe), QByteArray("0,5"));

        SDarknetProject project = TwoClassProject();
        project.vctImages[1].vctBoxes.push_back({10.5, 20.25, 30.5, 40.75, 3});
        QVERIFY(CDarknetBuildWriter().Write(project));
        QCOMPARE(
            OptraTest::ReadBytes(Path("Images/b.txt")),
            QByteArray("0 0.250000 0.250000 0.500000 0.500000\n1 0.128750 0.406250 0.152500 0.407500\n"));
        QCOMPARE(OptraTest::ReadBytes(Path("detector.txt")), QByteArray(DETECTOR_TWO_CLASSES));
    }

    void warnings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("warnings");
        const QString strSuffix =
            "Darknet cannot find the label file of image %1: it knows only the suffixes "
            ".jpg .jpeg .png .bmp .ppm .tiff in lower or upper case";
        const QString strDecode = "Darknet cannot decode image %1 without OpenCV";
        const QString strShell =
            "Image name %1 holds shell characters that Darknet passes unquoted to a shell";

        QTest::newRow("gif") << "x.gif" << QStringList{strSuffix.arg("x.gif"), strDecode.arg("x.gif")};
        QTest::newRow("tif") << "x.TIF" << QStringList{strSuffix.arg("x.TIF"), strDecode.arg("x.TIF")};
        QTest::newRow("tiff") << "x.tiff" << QStringList{strDecode.arg("x.tiff")};
        QTest::newRow("mixed case jpg") << "x.Jpg" << QStringList{strSuffix.arg("x.Jpg")};
        QTest::newRow("no extension") << "photo" << QStringList{strSuffix.arg("photo")};
        QTest::newRow("apostrophe") << "it's.jpg" << QStringList{strShell.arg("it's.jpg")};
        QTest::newRow("command substitution")
            << "$(rm -rf ~).png" << QStringList{strShell.arg("$(rm -rf ~).png")};
        QTest::newRow("semicolon and gif")
            << "a;b.gif"
            << QStringList{strSuffix.arg("a;b.gif"), strDecode.arg("a;b.gif"), strShell.arg("a;b.gif")};
        QTest::newRow("upper case jpeg") << "X.JPEG" << QStringList{};
        QTest::newRow("non-ASCII and spaces")
            << QString::fromUtf8("K\u00e4se br\u00f6tchen.jpg") << QStringList{};
        QTest::newRow("several dots") << "cat.01.bmp" << QStringList{};
    }

    // Warned about, yet written: the user decides.
    void warnings()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, warnings);
        OptraTest::CLogCapture log;
        SDarknetProject project = TwoClassProject();
        project.vctImages = {Image(name, 200, 100, {{0, 0, 100, 50, 7}})};
        project.lstTrainNames = QStringList{name};
        project.strConfiguration.clear();
        QVERIFY(CDarknetBuildWriter().Write(project));
        log.Flush();

        QStringList lstWarnings;
        for (const SLogMessage& message : log.Messages())
        {
            if (message.level == ELogLevel::WARNING && !message.text.startsWith("Configuration"))
                lstWarnings << message.text;
        }
        QCOMPARE(lstWarnings, warnings);
        const int nDot = name.lastIndexOf('.');
        const QString strLabel = (nDot < 0 ? name : name.left(nDot)) + ".txt";
        QCOMPARE(OptraTest::ReadBytes(Path("Images/" + strLabel)),
                 QByteArray("0 0.250000 0.250000 0.500000 0.500000\n"));
        QCOMPARE(OptraTest::ReadBytes(Path("train.txt")), "Images/" + name.toUtf8() + "\n");
    }

    void configurationWarnings()
    {
        OptraTest::CLogCapture log;
        SDarknetProject project = TwoClassProject();
        project.strConfiguration = "[net]\n[convolutional]\nfilters=255\n[yolo]\nmask=0,1,2\nclasses=80\n";
        QVERIFY(CDarknetBuildWriter().Write(project));
        log.Flush();
        QVERIFY(log.Contains(ELogLevel::WARNING,
                             "Configuration: [yolo] section 1 has classes=80, the project has 2 "
                             "categories"));
        QCOMPARE(OptraTest::ReadBytes(Path("config.txt")), project.strConfiguration.toUtf8());
    }

    void skippedBoxesAndImages()
    {
        OptraTest::CLogCapture log;
        SDarknetProject project = TwoClassProject();
        project.vctImages = {
            Image("a.jpg", 200, 100, {{300, 0, 50, 50, 7}, {0, 0, 100, 50, 3}, {0, 0, 10, 10, 99}}),
            Image("zero.jpg", 0, 100, {{0, 0, 10, 10, 7}})};
        QVERIFY(CDarknetBuildWriter().Write(project));
        log.Flush();

        QCOMPARE(OptraTest::ReadBytes(Path("Images/a.txt")),
                 QByteArray("1 0.250000 0.250000 0.500000 0.500000\n"));
        QVERIFY(log.Contains(ELogLevel::WARNING,
                             "Skipped a box of image a.jpg: it has no area inside the image"));
        QVERIFY(log.Contains(ELogLevel::WARNING,
                             "Skipped a box of image a.jpg: category 99 is not in custom.names"));
        QVERIFY(!QFile::exists(Path("Images/zero.txt")));
        QVERIFY(
            log.Contains(ELogLevel::WARNING, "Image zero.jpg has no size; its label file is not written"));
    }

    void unsafeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent folder") << "../victim.jpg";
        QTest::newRow("deeper parent folder") << "../../project/victim.jpg";
        QTest::newRow("absolute") << "<outside>/victim.jpg";
        QTest::newRow("sub folder") << "sub/victim.jpg";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("line feed") << "a\nvictim.jpg";
        QTest::newRow("empty") << "";
    }

    // Names from a hostile project file never reach outside "Images".
    void unsafeNames()
    {
        QFETCH(QString, name);
        name.replace("<outside>", m_pTemp->path());
        WriteFile(m_pTemp->path() + "/victim.txt", "keep");
        WriteFile(m_strDir + "/victim.txt", "keep");
        QVERIFY(QDir().mkpath(Path("Images/sub")));
        OptraTest::CLogCapture log;
        SDarknetProject project = TwoClassProject();
        project.vctImages = {Image(name, 200, 100, {{0, 0, 100, 50, 7}}), Image("a.jpg", 200, 100)};
        project.lstTrainNames = QStringList{name, "a.jpg"};
        project.lstTestNames = QStringList{name};
        QVERIFY(CDarknetBuildWriter().Write(project));
        log.Flush();

        QCOMPARE(OptraTest::ReadBytes(m_pTemp->path() + "/victim.txt"), QByteArray("keep"));
        QCOMPARE(OptraTest::ReadBytes(m_strDir + "/victim.txt"), QByteArray("keep"));
        QCOMPARE(QDir(Path("Images/sub")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(QDir(Path("Images")).entryList(QDir::Files), QStringList{"a.txt"});
        QCOMPARE(OptraTest::ReadBytes(Path("train.txt")), QByteArray("Images/a.jpg\n"));
        QCOMPARE(OptraTest::ReadBytes(Path("test.txt")), QByteArray());
        QVERIFY(
            log.Contains(ELogLevel::WARNING,
                         QString("Image name %1 is not a plain file name; the image is skipped").arg(name)));
    }

    void labelFilesThatWouldCollide()
    {
        WriteFile(Path("Images/notes.txt"), "image bytes");
        WriteFile(Path("Images/a.txt.tmp"), "an image named like a temporary file");
        OptraTest::CLogCapture log;
        SDarknetProject project = TwoClassProject();
        project.vctImages = {Image("notes", 200, 100, {{0, 0, 100, 50, 7}}), Image("notes.txt", 200, 100),
                             Image("a.jpg", 200, 100, {{0, 0, 100, 50, 7}}), Image("a.png", 200, 100),
                             Image("a.txt.tmp", 200, 100)};
        QVERIFY(CDarknetBuildWriter().Write(project));
        log.Flush();

        QCOMPARE(OptraTest::ReadBytes(Path("Images/notes.txt")), QByteArray("image bytes"));
        QVERIFY(log.Contains(ELogLevel::WARNING,
                             "The label file of image notes would replace an image of the "
                             "project; it is not written"));
        QVERIFY(
            log.Contains(ELogLevel::WARNING,
                         "Images a.jpg and a.png share one label file; Darknet gives both the same boxes"));
        QCOMPARE(OptraTest::ReadBytes(Path("Images/a.txt.tmp")),
                 QByteArray("an image named like a temporary file"));
    }

    void secondWriteReplacesEveryFile()
    {
        SDarknetProject project = TwoClassProject();
        QVERIFY(CDarknetBuildWriter().Write(project));
        const QByteArray baOldB = OptraTest::ReadBytes(Path("Images/b.txt"));

        project.vctCategories = {{3, "person"}};
        project.vctImages = {Image("a.jpg", 640, 480, {{0, 0, 64, 48, 3}})};
        project.lstTrainNames = QStringList{"a.jpg"};
        project.lstTestNames = QStringList{};
        project.strConfiguration = "[net]\nwidth=608\n";
        QVERIFY(CDarknetBuildWriter().Write(project));

        QCOMPARE(OptraTest::ReadBytes(Path("custom.names")), QByteArray("person\n"));
        QCOMPARE(OptraTest::ReadBytes(Path("Images/a.txt")),
                 QByteArray("0 0.050000 0.050000 0.100000 0.100000\n"));
        QCOMPARE(OptraTest::ReadBytes(Path("Images/b.txt")), baOldB);
        QCOMPARE(OptraTest::ReadBytes(Path("train.txt")), QByteArray("Images/a.jpg\n"));
        QCOMPARE(OptraTest::ReadBytes(Path("test.txt")), QByteArray());
        QVERIFY(OptraTest::ReadBytes(Path("detector.txt")).startsWith("classes=1\n"));
        QCOMPARE(OptraTest::ReadBytes(Path("config.txt")), QByteArray("[net]\nwidth=608\n"));
    }

    void failedFileStopsTheBuild_data()
    {
        QTest::addColumn<QString>("blocked");
        QTest::addColumn<QStringList>("updated");
        QTest::addColumn<QStringList>("untouched");
        QTest::newRow("custom.names")
            << "custom.names" << QStringList{}
            << QStringList{"Images/a.txt", "train.txt", "test.txt", "detector.txt", "config.txt"};
        QTest::newRow("train.txt") << "train.txt" << QStringList{"custom.names", "Images/a.txt"}
                                   << QStringList{"test.txt", "detector.txt", "config.txt"};
        QTest::newRow("test.txt") << "test.txt" << QStringList{"custom.names", "Images/a.txt", "train.txt"}
                                  << QStringList{"detector.txt", "config.txt"};
        QTest::newRow("Backup") << "Backup" << QStringList{"custom.names", "test.txt"}
                                << QStringList{"detector.txt", "config.txt"};
        QTest::newRow("detector.txt")
            << "detector.txt" << QStringList{"custom.names", "test.txt"} << QStringList{"config.txt"};
        QTest::newRow("config.txt") << "config.txt" << QStringList{"custom.names", "detector.txt"}
                                    << QStringList{};
        // A label file that fails does not stop the rest, but the build is not complete.
        QTest::newRow("label file") << "Images/b.txt"
                                    << QStringList{"Images/a.txt", "train.txt", "detector.txt", "config.txt"}
                                    << QStringList{};
    }

    // Root ignores file permissions, so the failures are made structural: a
    // folder where a file goes (or a file where the folder "Backup" goes).
    void failedFileStopsTheBuild()
    {
        QFETCH(QString, blocked);
        QFETCH(QStringList, updated);
        QFETCH(QStringList, untouched);
        SDarknetProject project = TwoClassProject();
        QVERIFY(CDarknetBuildWriter().Write(project));
        if (QFileInfo(Path(blocked)).isDir())
            QVERIFY(QDir(Path(blocked)).removeRecursively());
        else
            QVERIFY(QFile::remove(Path(blocked)));
        if (blocked == "Backup")
            WriteFile(Path(blocked), "a file");
        else
            QVERIFY(QDir().mkpath(Path(blocked + "/inside")));
        QMap<QString, QByteArray> mapBefore;
        for (const QString& strFile : updated + untouched)
            mapBefore.insert(strFile, OptraTest::ReadBytes(Path(strFile)));

        project.vctCategories = {{3, "person"}, {7, "car"}, {8, "bus"}};
        project.vctImages[0].vctBoxes.push_back({1, 1, 2, 2, 8});
        project.lstTrainNames << "b.png";
        project.lstTestNames << "a.jpg";
        project.strConfiguration += "height=416\n";
        CLogger::GetInstance()->Flush();
        OptraTest::CLogCapture log;
        QVERIFY(!CDarknetBuildWriter().Write(project));
        log.Flush();

        for (const QString& strFile : updated)
            QVERIFY2(OptraTest::ReadBytes(Path(strFile)) != mapBefore.value(strFile), qPrintable(strFile));
        for (const QString& strFile : untouched)
            QVERIFY2(OptraTest::ReadBytes(Path(strFile)) == mapBefore.value(strFile), qPrintable(strFile));
        QCOMPARE(log.Count(ELogLevel::NORMAL, "Build Completed"), 0);
        const QString strFailure = blocked == "Backup" ? "Failed to create folder " : "Failed to write ";
        QVERIFY(log.Contains(ELogLevel::ERROR, strFailure + Path(blocked)));
        QVERIFY(QFileInfo(Path(blocked)).exists());
        QCOMPARE(ProjectEntries(), ENTRIES_OF_TWO_CLASS_PROJECT);
    }

    // A project without images may not have an "Images" folder yet.
    void missingImagesFolder()
    {
        QVERIFY(QDir(Path("Images")).removeRecursively());
        SDarknetProject project = TwoClassProject();
        OptraTest::CLogCapture log;
        QVERIFY(!CDarknetBuildWriter().Write(project));
        log.Flush();
        QVERIFY(log.Contains(ELogLevel::ERROR, "Failed to open folder " + Path("Images")));
        QCOMPARE(OptraTest::ReadBytes(Path("train.txt")), QByteArray("Images/c.jpg\nImages/a.jpg\n"));
        QVERIFY(!QFileInfo::exists(Path("Images")));

        project.vctImages.clear();
        QVERIFY(CDarknetBuildWriter().Write(project));
    }

    void missingProjectFolder()
    {
        SDarknetProject project = TwoClassProject();
        project.strProjectDir = m_pTemp->path() + "/gone";
        QVERIFY(!CDarknetBuildWriter().Write(project));
        QVERIFY(!QFileInfo::exists(project.strProjectDir));
        project.strProjectDir.clear();
        QVERIFY(!CDarknetBuildWriter().Write(project));
    }
};

OPTRA_TEST_MAIN(TestDarknetBuildWriter)
#include "tst_DarknetBuildWriter.moc"
