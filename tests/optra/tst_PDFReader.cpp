#include "optra/Image.h"
#include "optra/OptraResult.h"
#include "optra/PDFReader.h"
#include "tests/optra/support/ImageFixtures.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <limits>

using Optra::Algorithms::CImage;
using Optra::Utils::CPDFReader;
using OptraTest::HandMadePdf;
using OptraTest::WriteFileBytes;

namespace
{
// Three pages of 2 x 1 inches: red, green on the left half, blue on the right half.
bool WriteSamplePdf(const QString& strPath)
{
    return OptraTest::WritePdf(strPath, 3,
                               [](QPainter& painter, int nPage)
                               {
                                   if (nPage == 0)
                                       painter.fillRect(QRectF(0, 0, 144, 72), Qt::red);
                                   else if (nPage == 1)
                                       painter.fillRect(QRectF(0, 0, 72, 72), Qt::green);
                                   else
                                       painter.fillRect(QRectF(72, 0, 72, 72), Qt::blue);
                               });
}

QRgb PixelOf(const CImage& image, int x, int y)
{
    const uint8_t* pPixel = image.GetPixel(x, y);
    return qRgb(pPixel[0], pPixel[1], pPixel[2]);
}
} // namespace

class TestPDFReader : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_strSample;

    std::wstring Wide(const QString& strName) const { return m_dir.filePath(strName).toStdWString(); }

    // qpdf writes the encrypted copy; the reader never sees how it was made.
    void Encrypt(const QString& strTarget, const QStringList& lstEncryption)
    {
        const QString strQpdf = QStandardPaths::findExecutable("qpdf");
        QVERIFY2(!strQpdf.isEmpty(), "qpdf is installed by scripts/install-deps.sh");
        QProcess qpdf;
        // RC4 is refused unless weak crypto is allowed; the tests need it for old-style passwords.
        qpdf.start(strQpdf, QStringList{"--allow-weak-crypto", "--encrypt"} + lstEncryption +
                                QStringList{"--", m_strSample, strTarget});
        QVERIFY(qpdf.waitForFinished(30000));
        QVERIFY2(qpdf.exitCode() == 0, qpdf.readAllStandardError().constData());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_strSample = m_dir.filePath("sample.pdf");
        QVERIFY(WriteSamplePdf(m_strSample));
    }

    void readsEveryPage()
    {
        CPDFReader reader;
        QCOMPARE(reader.GetPageNumber(), 0);
        QCOMPARE(reader.Read(Wide("sample.pdf"), L""), 0);
        QCOMPARE(reader.GetPageNumber(), 3);
        const QRgb expected[3][2] = {{qRgb(255, 0, 0), qRgb(255, 0, 0)},
                                     {qRgb(0, 255, 0), qRgb(255, 255, 255)},
                                     {qRgb(255, 255, 255), qRgb(0, 0, 255)}};
        for (int nPage = 0; nPage < 3; ++nPage)
        {
            CImage image;
            QCOMPARE(reader.RenderPage(nPage, image), 0);
            // 2 x 1 inches at the default 144 dots per inch, on white paper.
            QCOMPARE(image.GetWidth(), 288);
            QCOMPARE(image.GetHeight(), 144);
            QCOMPARE(image.GetChannel(), 3);
            QCOMPARE(PixelOf(image, 20, 72), expected[nPage][0]);
            QCOMPARE(PixelOf(image, 268, 72), expected[nPage][1]);
        }
    }

    void resolutionsScaleEachAxis_data()
    {
        QTest::addColumn<double>("resolutionX");
        QTest::addColumn<double>("resolutionY");
        QTest::addColumn<QSize>("size");
        QTest::newRow("72 dpi") << 72.0 << 72.0 << QSize(144, 72);
        QTest::newRow("300 dpi") << 300.0 << 300.0 << QSize(600, 300);
        QTest::newRow("separate axes") << 100.0 << 50.0 << QSize(200, 50);
    }

    void resolutionsScaleEachAxis()
    {
        QFETCH(double, resolutionX);
        QFETCH(double, resolutionY);
        QFETCH(QSize, size);
        CPDFReader reader;
        QCOMPARE(reader.SetResolutionX(resolutionX), 0);
        QCOMPARE(reader.SetResolutionY(resolutionY), 0);
        QCOMPARE(reader.Read(Wide("sample.pdf"), L""), 0);
        int nWidth = 0;
        int nHeight = 0;
        QCOMPARE(reader.GetPageSize(2, nWidth, nHeight), 0);
        QCOMPARE(QSize(nWidth, nHeight), size);
        CImage image;
        QCOMPARE(reader.RenderPage(0, image), 0);
        QCOMPARE(QSize(image.GetWidth(), image.GetHeight()), size);
    }

    void invalidResolutionsAreRefused_data()
    {
        QTest::addColumn<double>("resolution");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("negative") << -72.0;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("beyond the maximum") << CPDFReader::MAX_RESOLUTION + 1;
    }

    void invalidResolutionsAreRefused()
    {
        QFETCH(double, resolution);
        CPDFReader reader;
        QCOMPARE(reader.SetResolutionX(resolution), int(Optra::EOptraResult_InvalidArgument));
        QCOMPARE(reader.SetResolutionY(resolution), int(Optra::EOptraResult_InvalidArgument));
        QCOMPARE(reader.GetResolutionX(), CPDFReader::DEFAULT_RESOLUTION);
        QCOMPARE(reader.GetResolutionY(), CPDFReader::DEFAULT_RESOLUTION);
    }

    void passwords_data()
    {
        QTest::addColumn<QStringList>("encryption");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("result");
        const QStringList aes{"secret", "master", "256"};
        const int nPassword = Optra::EOptraResult_PasswordRequired;
        QTest::newRow("aes-256 without password") << aes << QString() << nPassword;
        QTest::newRow("aes-256 wrong password") << aes << QString("guess") << nPassword;
        QTest::newRow("aes-256 user password") << aes << QString("secret") << 0;
        QTest::newRow("aes-256 owner password") << aes << QString("master") << 0;
        // Older encryption keeps passwords in Latin-1, AES-256 in UTF-8.
        const QString strAccented = QString::fromUtf8("café");
        QTest::newRow("rc4-128 accented password")
            << QStringList{strAccented, "master", "128", "--use-aes=n"} << strAccented << 0;
        QTest::newRow("aes-256 accented password")
            << QStringList{strAccented, "master", "256"} << strAccented << 0;
        QTest::newRow("aes-256 accented password, wrong accent")
            << QStringList{strAccented, "master", "256"} << QString::fromUtf8("cafè") << nPassword;
    }

    void passwords()
    {
        QFETCH(QStringList, encryption);
        QFETCH(QString, password);
        QFETCH(int, result);
        const QString strName = QString("locked_%1.pdf").arg(QTest::currentDataTag()).replace(' ', '_');
        Encrypt(m_dir.filePath(strName), encryption);
        if (QTest::currentTestFailed())
            return;
        CPDFReader reader;
        QCOMPARE(reader.Read(Wide(strName), password.toStdWString()), result);
        QCOMPARE(reader.GetPageNumber(), result == 0 ? 3 : 0);
        if (result != 0)
            return;
        CImage image;
        QCOMPARE(reader.RenderPage(0, image), 0);
        QCOMPARE(PixelOf(image, 20, 72), qRgb(255, 0, 0));
    }

    void badDocumentsFailRead_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("result");
        const int nDamaged = Optra::EOptraResult_DecodeFailed;
        QFile sample(m_strSample);
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QByteArray pdf = sample.readAll();
        QTest::newRow("zero bytes") << QByteArray() << nDamaged;
        QTest::newRow("plain text") << QByteArray("no document here\n") << nDamaged;
        QTest::newRow("header then garbage")
            << QByteArray("%PDF-1.7\n") + QByteArray(4000, '\x9c') << nDamaged;
        QTest::newRow("first tenth only") << pdf.left(pdf.size() / 10) << nDamaged;
        QTest::newRow("pages tree without pages")
            << HandMadePdf("[0 0 100 100]").replace("/Count 1", "/Count 0").replace("[3 0 R]", "[]")
            << nDamaged;
        QTest::newRow("png renamed to pdf")
            << QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(64, '\0') << nDamaged;
    }

    void badDocumentsFailRead()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, result);
        CPDFReader reader;
        QCOMPARE(reader.Read(Wide("sample.pdf"), L""), 0);
        QVERIFY(WriteFileBytes(m_dir.filePath("bad.pdf"), content));
        QCOMPARE(reader.Read(Wide("bad.pdf"), L""), result);
        // The document read before is closed, not mixed with the failed one.
        QCOMPARE(reader.GetPageNumber(), 0);
        CImage image;
        QCOMPARE(reader.RenderPage(0, image), int(Optra::EOptraResult_NotReady));
    }

    void missingFilesFailRead()
    {
        CPDFReader reader;
        QCOMPARE(reader.Read(Wide("absent.pdf"), L""), int(Optra::EOptraResult_FileNotFound));
        QCOMPARE(reader.Read(m_dir.path().toStdWString(), L""), int(Optra::EOptraResult_FileNotFound));
    }

    void hostilePageSizeIsNotRendered()
    {
        QVERIFY(WriteFileBytes(m_dir.filePath("huge.pdf"), HandMadePdf("[0 0 14400 14400]")));
        CPDFReader reader;
        QCOMPARE(reader.Read(Wide("huge.pdf"), L""), 0);
        QCOMPARE(reader.GetPageNumber(), 1);
        CImage image;
        QCOMPARE(image.Create(2, 2, 1), 0);
        // 200 inches at 144 dots per inch exceed the largest image.
        int nWidth = 0;
        int nHeight = 0;
        QCOMPARE(reader.GetPageSize(0, nWidth, nHeight), int(Optra::EOptraResult_TooLarge));
        QCOMPARE(reader.RenderPage(0, image), int(Optra::EOptraResult_TooLarge));
        QCOMPARE(image.GetWidth(), 2);
        // A resolution that brings it into range renders it.
        QCOMPARE(reader.SetResolutionX(1), 0);
        QCOMPARE(reader.SetResolutionY(1), 0);
        QCOMPARE(reader.RenderPage(0, image), 0);
        QCOMPARE(image.GetWidth(), 200);
        QCOMPARE(reader.GetPageSize(0, nWidth, nHeight), 0);
        QCOMPARE(nWidth, 200);
    }

    void pageIndexOutOfRange()
    {
        CPDFReader reader;
        CImage image;
        QCOMPARE(reader.RenderPage(0, image), int(Optra::EOptraResult_NotReady));
        QCOMPARE(reader.Read(Wide("sample.pdf"), L""), 0);
        QCOMPARE(reader.RenderPage(-1, image), int(Optra::EOptraResult_OutOfRange));
        QCOMPARE(reader.RenderPage(3, image), int(Optra::EOptraResult_OutOfRange));
        QVERIFY(image.IsEmpty());
        int nWidth = 0;
        int nHeight = 0;
        QCOMPARE(reader.GetPageSize(3, nWidth, nHeight), int(Optra::EOptraResult_OutOfRange));
        QCOMPARE(nWidth, 0);
    }

    void readsUnicodePaths()
    {
        const QString strFolder = m_dir.filePath(QString::fromUtf8("tài liệu"));
        QVERIFY(QDir().mkpath(strFolder));
        const QString strPath = strFolder + QString::fromUtf8("/báo cáo.pdf");
        QVERIFY(QFile::copy(m_strSample, strPath));
        CPDFReader reader;
        QCOMPARE(reader.Read(strPath.toStdWString(), L""), 0);
        QCOMPARE(reader.GetPageNumber(), 3);
    }
};

OPTRA_TEST_MAIN(TestPDFReader)
#include "tst_PDFReader.moc"
