#include "optra/Image.h"
#include "optra/OptraOCR.h"
#include "optra/OptraResult.h"
#include "optra/geometry/Rectangle.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>

#include <clocale>
#include <memory>

using Optra::COptraOCR;
using Optra::Algorithms::CImage;
using Optra::Geometry::CRectangle;
using Optra::Geometry::CShape;
using ShapePtr = std::shared_ptr<CShape>;
Q_DECLARE_METATYPE(ShapePtr)

namespace
{
// Debian's tesseract-ocr-* packages put their data here.
QString LanguageFolder()
{
    for (const QString& strFolder :
         {QString("/usr/share/tesseract-ocr/5/tessdata"), QString("/usr/share/tesseract-ocr/4.00/tessdata")})
    {
        if (QFileInfo::exists(strFolder + "/eng.traineddata"))
            return strFolder;
    }
    return QString();
}

// Black text on white, large and far apart: "HELLO" on the left, "123" on the right.
QImage Page()
{
    QImage page(1000, 200, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    QFont font("DejaVu Sans");
    font.setPixelSize(72);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(40, 40, 420, 120), Qt::AlignLeft | Qt::AlignVCenter, "HELLO");
    painter.drawText(QRect(640, 40, 320, 120), Qt::AlignLeft | Qt::AlignVCenter, "123");
    return page;
}

QString Simplified(const std::string& strText)
{
    return QString::fromStdString(strText).simplified();
}
} // namespace

class TestOptraOCR : public QObject
{
    Q_OBJECT

private:
    QString m_strFolder;

    std::string Folder() const { return m_strFolder.toStdString(); }

private slots:
    void initTestCase()
    {
        m_strFolder = LanguageFolder();
        QVERIFY2(!m_strFolder.isEmpty(), "tesseract-ocr-eng is installed by scripts/install-deps.sh");
    }

    void readsRenderedText_data()
    {
        QTest::addColumn<int>("channels");
        QTest::newRow("grey") << 1;
        QTest::newRow("grey with alpha") << 2;
        QTest::newRow("rgb") << 3;
        QTest::newRow("rgba") << 4;
    }

    void readsRenderedText()
    {
        QFETCH(int, channels);
        CImage image;
        if (channels == 2)
        {
            CImage grey;
            QCOMPARE(grey.FromQImage(Page(), 1), 0);
            QCOMPARE(image.Create(grey.GetWidth(), grey.GetHeight(), 2), 0);
            for (int y = 0; y < grey.GetHeight(); ++y)
                for (int x = 0; x < grey.GetWidth(); ++x)
                {
                    image.GetPixel(x, y)[0] = grey.GetPixel(x, y)[0];
                    image.GetPixel(x, y)[1] = 255;
                }
        }
        else
            QCOMPARE(image.FromQImage(Page(), channels), 0);
        COptraOCR ocr;
        QCOMPARE(ocr.SetLanguageData(Folder(), "eng"), 0);
        QCOMPARE(ocr.SetUserDefinedDpi(144), 0);
        QCOMPARE(ocr.Decode(image, nullptr), 0);
        QCOMPARE(Simplified(ocr.GetText()), QString("HELLO 123"));
    }

    void readsOnlyTheRegion_data()
    {
        QTest::addColumn<ShapePtr>("region");
        QTest::addColumn<QString>("text");
        QTest::newRow("left word") << ShapePtr(std::make_shared<CRectangle>(0, 0, 500, 200)) << "HELLO";
        QTest::newRow("right number") << ShapePtr(std::make_shared<CRectangle>(600, 0, 400, 200)) << "123";
        QTest::newRow("drawn backwards")
            << ShapePtr(std::make_shared<CRectangle>(1000, 200, -400, -200)) << "123";
        QTest::newRow("reaching out of the image")
            << ShapePtr(std::make_shared<CRectangle>(600, -500, 4000, 4000)) << "123";
    }

    void readsOnlyTheRegion()
    {
        QFETCH(ShapePtr, region);
        QFETCH(QString, text);
        CImage image;
        QCOMPARE(image.FromQImage(Page()), 0);
        COptraOCR ocr;
        QCOMPARE(ocr.SetLanguageData(Folder(), "eng"), 0);
        QCOMPARE(ocr.Decode(image, region.get()), 0);
        QCOMPARE(Simplified(ocr.GetText()), text);
    }

    void regionOutsideTheImageFails()
    {
        CImage image;
        QCOMPARE(image.FromQImage(Page()), 0);
        COptraOCR ocr;
        QCOMPARE(ocr.SetLanguageData(Folder(), "eng"), 0);
        QCOMPARE(ocr.Decode(image, nullptr), 0);
        const CRectangle beside(1200, 0, 100, 100);
        QCOMPARE(ocr.Decode(image, &beside), int(Optra::EOptraResult_EmptyRegion));
        QVERIFY(ocr.GetText().empty());
    }

    void languageDataMustExist_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("result");
        const int nMissing = Optra::EOptraResult_DataMissing;
        const int nInvalid = Optra::EOptraResult_InvalidArgument;
        QTest::newRow("no such folder") << "/nonexistent/tessdata"
                                        << "eng" << nMissing;
        QTest::newRow("empty folder name") << ""
                                           << "eng" << nMissing;
        QTest::newRow("empty folder") << "EMPTY"
                                      << "eng" << nMissing;
        QTest::newRow("language not installed") << "DATA"
                                                << "xyz" << nMissing;
        QTest::newRow("one of two missing") << "DATA"
                                            << "eng+xyz" << nMissing;
        QTest::newRow("code leaving the folder") << "DATA"
                                                 << "../tessdata/eng" << nInvalid;
        QTest::newRow("empty code") << "DATA"
                                    << "" << nInvalid;
        QTest::newRow("dangling plus") << "DATA"
                                       << "eng+" << nInvalid;
    }

    void languageDataMustExist()
    {
        QFETCH(QString, folder);
        QFETCH(QString, code);
        QFETCH(int, result);
        QTemporaryDir empty;
        if (folder == "EMPTY")
            folder = empty.path();
        else if (folder == "DATA")
            folder = m_strFolder;
        COptraOCR ocr;
        QCOMPARE(ocr.SetLanguageData(folder.toStdString(), code.toStdString()), result);
        CImage image;
        QCOMPARE(image.FromQImage(Page()), 0);
        QCOMPARE(ocr.Decode(image, nullptr), int(Optra::EOptraResult_NotReady));
    }

    void failedSwitchLeavesNoLanguage()
    {
        COptraOCR ocr;
        QCOMPARE(ocr.SetLanguageData(Folder(), "eng"), 0);
        QCOMPARE(ocr.SetLanguageData(Folder(), "xyz"), int(Optra::EOptraResult_DataMissing));
        CImage image;
        QCOMPARE(image.FromQImage(Page()), 0);
        QCOMPARE(ocr.Decode(image, nullptr), int(Optra::EOptraResult_NotReady));
    }

    void offeredLanguagesLoad_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("english") << "eng";
        QTest::newRow("vietnamese") << "vie";
        QTest::newRow("korean") << "kor";
        QTest::newRow("two at once") << "eng+vie";
    }

    void offeredLanguagesLoad()
    {
        QFETCH(QString, code);
        COptraOCR ocr;
        QCOMPARE(ocr.SetLanguageData(Folder(), code.toStdString()), 0);
    }

    void decodeNeedsLanguageAndImage()
    {
        COptraOCR ocr;
        CImage image;
        QCOMPARE(image.FromQImage(Page()), 0);
        QCOMPARE(ocr.Decode(image, nullptr), int(Optra::EOptraResult_NotReady));
        QCOMPARE(ocr.SetLanguageData(Folder(), "eng"), 0);
        const CImage empty;
        QCOMPARE(ocr.Decode(empty, nullptr), int(Optra::EOptraResult_EmptyImage));
    }

    void dpiOutsideTheEngineRangeIsRefused()
    {
        COptraOCR ocr;
        QCOMPARE(ocr.SetUserDefinedDpi(0), int(Optra::EOptraResult_InvalidArgument));
        QCOMPARE(ocr.SetUserDefinedDpi(2401), int(Optra::EOptraResult_InvalidArgument));
        QCOMPARE(ocr.SetUserDefinedDpi(1024), 0);
    }

    void readsUnderADecimalCommaLocale()
    {
        // The program runs under the user's locale; the engine's own number parsing must not care.
        const std::string strPrevious = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            QSKIP("the de_DE.UTF-8 locale is generated by scripts/install-deps.sh");
        CImage image;
        QCOMPARE(image.FromQImage(Page()), 0);
        COptraOCR ocr;
        const int nSet = ocr.SetLanguageData(Folder(), "eng");
        const int nDecoded = nSet == 0 ? ocr.Decode(image, nullptr) : -1;
        std::setlocale(LC_ALL, strPrevious.c_str());
        QCOMPARE(nSet, 0);
        QCOMPARE(nDecoded, 0);
        QCOMPARE(Simplified(ocr.GetText()), QString("HELLO 123"));
    }
};

OPTRA_TEST_MAIN(TestOptraOCR)
#include "tst_OptraOCR.moc"
