#include "tests/common/view2d/View2DFixture.h"
#include "tests/optra/support/ImageFixtures.h"

#include "common/setting/SettingManager.h"

#include <QClipboard>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

using namespace OptraTest;

namespace
{
// Pages of 2 x 1 inches, each with a different grey.
bool WriteGreyPdf(const QString& strPath, int nPages)
{
    return WritePdf(strPath, nPages,
                    [](QPainter& painter, int i)
                    { painter.fillRect(QRectF(0, 0, 144, 72), QColor(i % 256, i % 256, i % 256)); });
}

bool WritePng(const QString& strPath, int nWidth = 30, int nHeight = 20)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB888);
    image.fill(QColor(10, 20, 30));
    image.setPixelColor(0, 0, QColor(255, 0, 0));
    return image.save(strPath, "PNG");
}

// Answers the password prompt and counts how often it was asked.
struct SPasswordPrompt
{
    int nAsked = 0;
    explicit SPasswordPrompt(const QString& strAnswer, bool bOk = true)
    {
        CInteraction::SetTextHandler(
            [this, strAnswer, bOk](QWidget*, const QString& strTitle, const QString&,
                                   QLineEdit::EchoMode echo, bool& bAnswered)
            {
                ++nAsked;
                if (strTitle != "Input the password" || echo != QLineEdit::Password)
                    qWarning("Unexpected prompt %s", qPrintable(strTitle));
                bAnswered = bOk;
                return strAnswer;
            });
    }
    ~SPasswordPrompt() { InstallNonBlockingDialogs(); }
};
} // namespace

class TestImageView2DFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString Path(const QString& strName) const { return m_dir.filePath(strName); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkdir("pdfs"));
        QVERIFY(WritePng(Path("photo.png")));
        QVERIFY(WritePng(Path("pdfs/photo.png")));
        QVERIFY(WritePng(Path("a.pdf.png")));
        QVERIFY(WritePng(Path("not-a-pdf.pdf")));
        QVERIFY(WriteGreyPdf(Path("scan.PDF"), 3));
        QVERIFY(WriteFileBytes(Path("notes.txt"), "not an image\n"));
        QVERIFY(WriteFileBytes(Path("empty.png"), QByteArray()));
        CSetting::Set("GENERAL_PDF_RESOLUTION_X", 72.0);
        CSetting::Set("GENERAL_PDF_RESOLUTION_Y", 72.0);
    }

    void pdfBySuffix_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("images");
        QTest::addColumn<QString>("message");
        QTest::newRow("scan.PDF") << "scan.PDF" << 3 << QString();
        QTest::newRow("png in a folder named pdfs") << "pdfs/photo.png" << 1 << QString();
        QTest::newRow("a.pdf.png") << "a.pdf.png" << 1 << QString();
        QTest::newRow("png named .pdf") << "not-a-pdf.pdf" << 0 << "Cannot load pdf file";
        QTest::newRow("text file") << "notes.txt" << 0 << "Cannot load image";
        QTest::newRow("0-byte file") << "empty.png" << 0 << "Cannot load image";
        QTest::newRow("folder") << "pdfs" << 0 << "Cannot load image";
        QTest::newRow("missing file") << "gone.png" << 0 << "Cannot load image";
    }

    // Only the suffix ".pdf", in any case, sends a file to the PDF reader;
    // a file that cannot be read is reported by name and with the reason.
    // Loading replaces the list and the drawables; on failure the view is
    // left empty.
    void pdfBySuffix()
    {
        QFETCH(QString, name);
        QFETCH(int, images);
        QFETCH(QString, message);
        SView2D unit;
        unit.DrawBox(QPointF(10, 10), QPointF(30, 30));
        CMessageRecorder messages;
        QCOMPARE(unit.controller.LoadFile(Path(name)), images > 0);
        QCOMPARE(unit.imageList.GetImageCount(), size_t(images));
        QCOMPARE(unit.geometry.Size(), size_t(0));
        QCOMPARE(messages.Texts().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY(messages.Texts().first().startsWith(message + " " + Path(name) + "\n"));
    }

    // Adding keeps the drawables; a file that is no image (dropped, added
    // or pasted) leaves the list as it was.
    void addKeepsAndRefuses()
    {
        SView2D unit;
        unit.DrawBox(QPointF(10, 10), QPointF(30, 30));
        CMessageRecorder messages;
        emit unit.view.signal_AddImage(Path("photo.png"));
        QCOMPARE(unit.imageList.GetImageCount(), size_t(2));
        QCOMPARE(unit.geometry.Size(), size_t(1));
        for (const char* szName : {"notes.txt", "empty.png", "pdfs"})
            emit unit.view.signal_AddImage(Path(szName));
        QCOMPARE(unit.imageList.GetImageCount(), size_t(2));
        QCOMPARE(messages.Texts().size(), 3);

        QMimeData* pData = new QMimeData;
        pData->setUrls({QUrl::fromLocalFile(Path("photo.png")), QUrl::fromLocalFile(Path("notes.txt"))});
        QGuiApplication::clipboard()->setMimeData(pData);
        unit.controller.slot_Paste();
        QCOMPARE(unit.imageList.GetImageCount(), size_t(3));
        QCOMPARE(unit.imageList.GetCurrentImage()->GetWidth(), 30);
        QCOMPARE(messages.Texts().size(), 4);
        QGuiApplication::clipboard()->setText("plain text");
        unit.controller.slot_Paste();
        QCOMPARE(unit.imageList.GetImageCount(), size_t(3));
    }

    // The context menu's loaders keep what is shown when the file fails.
    void menuLoadKeepsOnFailure()
    {
        SView2D unit;
        unit.DrawBox(QPointF(10, 10), QPointF(30, 30));
        const ImagePtr pShown = unit.imageList.GetCurrentImage();
        CMessageRecorder messages;
        QString strAnswer = Path("notes.txt");
        CInteraction::SetOpenFileHandler([&](auto...) { return strAnswer; });
        unit.controller.slot_LoadImage();
        QCOMPARE(unit.imageList.GetCurrentImage(), pShown);
        QCOMPARE(unit.geometry.Size(), size_t(1));
        strAnswer = Path("not-a-pdf.pdf");
        unit.controller.slot_LoadPdf();
        QCOMPARE(unit.imageList.GetCurrentImage(), pShown);
        QCOMPARE(messages.Texts().size(), 2);
        strAnswer = Path("scan.PDF");
        unit.controller.slot_LoadPdf();
        QCOMPARE(unit.imageList.GetImageCount(), size_t(3));
        QCOMPARE(unit.geometry.Size(), size_t(0));
        InstallNonBlockingDialogs();
    }

    void save_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("png") << Path("saved.png") << QString();
        QTest::newRow("unknown suffix") << Path("saved.xyz") << "The suffix names no image format";
        QTest::newRow("missing folder") << Path("missing/saved.png") << "does not exist";
    }

    // A failed save says so, with the reason; nothing is left on disk.
    void save()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        SView2D unit;
        CMessageRecorder messages;
        QString strSuffix;
        CInteraction::SetSaveFileHandler(
            [&](QWidget*, const QString&, const QString&, const QString&, const QString& strDefaultSuffix)
            {
                strSuffix = strDefaultSuffix;
                return path;
            });
        unit.controller.slot_SaveImage();
        InstallNonBlockingDialogs();
        QCOMPARE(strSuffix, QString("bmp"));
        QCOMPARE(QFileInfo::exists(path), reason.isEmpty());
        QCOMPARE(messages.Texts().size(), reason.isEmpty() ? 0 : 1);
        if (!reason.isEmpty())
        {
            QVERIFY(messages.Texts().first().startsWith("Cannot save image " + path + "\n"));
            QVERIFY(messages.Texts().first().contains(reason));
        }
    }

    void pdfPassword_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("messages");
        QTest::newRow("right password") << "secret" << true << 3 << 0;
        QTest::newRow("wrong password") << "guess" << true << 0 << 1;
        QTest::newRow("prompt cancelled") << "secret" << false << 0 << 0;
    }

    // A protected document asks once; every page carries the document's
    // name and folder.
    void pdfPassword()
    {
        QFETCH(QString, password);
        QFETCH(bool, answered);
        QFETCH(int, pages);
        QFETCH(int, messages);
        const QString strLocked = Path("locked.pdf");
        if (!QFileInfo::exists(strLocked))
        {
            QProcess qpdf;
            qpdf.start(QStandardPaths::findExecutable("qpdf"),
                       {"--encrypt", "secret", "master", "256", "--", Path("scan.PDF"), strLocked});
            QVERIFY(qpdf.waitForFinished(30000));
            QVERIFY2(qpdf.exitCode() == 0, qpdf.readAllStandardError().constData());
        }
        SView2D unit(nullptr);
        SPasswordPrompt prompt(password, answered);
        CMessageRecorder recorder;
        const std::vector<ImagePtr> vctPages = unit.controller.LoadPDF(strLocked);
        QCOMPARE(prompt.nAsked, 1);
        QCOMPARE(int(vctPages.size()), pages);
        QCOMPARE(recorder.Texts().size(), messages);
        for (const ImagePtr& pPage : vctPages)
        {
            QCOMPARE(QString::fromStdWString(pPage->GetName()), QString("locked.pdf"));
            QCOMPARE(QString::fromStdWString(pPage->GetFolder()), m_dir.path());
            QCOMPARE(pPage->GetWidth(), 144);
        }
    }

    // Cancelling keeps the pages rendered until then.
    void pdfCancel()
    {
        QVERIFY(WriteGreyPdf(Path("long.pdf"), 50));
        SView2D unit(nullptr);
        QTimer timer;
        connect(&timer, &QTimer::timeout,
                [&]
                {
                    auto* pProgress = unit.view.findChild<QProgressDialog*>();
                    if (pProgress && pProgress->value() >= 1)
                        pProgress->findChild<QPushButton*>()->click();
                });
        timer.start(1);
        QVERIFY(unit.controller.LoadFile(Path("long.pdf")));
        const size_t nPages = unit.imageList.GetImageCount();
        QVERIFY2(nPages >= 1 && nPages < 50, qPrintable(QString::number(nPages)));
        QCOMPARE(unit.imageList.GetImage(int(nPages) - 1)->GetPixel(0, 0)[0], uint8_t(nPages - 1));
    }

    // A document whose pages would not fit the memory budget is refused
    // before anything is rendered.
    void pdfBudget()
    {
        QVERIFY(WriteFileBytes(Path("huge.pdf"), HandMadePdf("[0 0 7200 7200]", 4)));
        SView2D unit;
        CMessageRecorder messages;
        // Four pages of 14400 x 14400 pixels: 2.3 GB.
        CSetting::Set("GENERAL_PDF_RESOLUTION_X", 144.0);
        CSetting::Set("GENERAL_PDF_RESOLUTION_Y", 144.0);
        const bool bAdded = unit.controller.AddImage(Path("huge.pdf"));
        CSetting::Set("GENERAL_PDF_RESOLUTION_X", 72.0);
        CSetting::Set("GENERAL_PDF_RESOLUTION_Y", 72.0);
        QVERIFY(!bAdded);
        QCOMPARE(unit.imageList.GetImageCount(), size_t(1));
        QCOMPARE(messages.Texts().size(), 1);
        QVERIFY(messages.Texts().first().contains("Lower the PDF resolution"));
    }

    // A quarter turn swaps width and height, moves the top-left pixel to
    // the top right, and undoes; only the last five image changes stay.
    void rotation()
    {
        SView2D unit;
        QVERIFY(unit.controller.LoadFile(Path("photo.png")));
        QVERIFY(unit.controller.RotateRight());
        ImagePtr pImage = unit.imageList.GetCurrentImage();
        QCOMPARE(QSize(pImage->GetWidth(), pImage->GetHeight()), QSize(20, 30));
        QCOMPARE(pImage->GetPixel(19, 0)[0], uint8_t(255));
        QVERIFY(unit.controller.Undo());
        pImage = unit.imageList.GetCurrentImage();
        QCOMPARE(QSize(pImage->GetWidth(), pImage->GetHeight()), QSize(30, 20));
        QCOMPARE(pImage->GetPixel(0, 0)[0], uint8_t(255));

        for (int i = 0; i < 7; ++i)
            QVERIFY(unit.controller.RotateLeft());
        QCOMPARE(unit.controller.GetUndoStack().GetUndoCount(), CImageView2DController::MAX_IMAGE_STATES);
        while (unit.controller.Undo())
        {
        }
        // Two left turns could not be undone: the image stands on its head.
        pImage = unit.imageList.GetCurrentImage();
        QCOMPARE(pImage->GetPixel(29, 19)[0], uint8_t(255));
    }

    void clipboard()
    {
        SView2D unit(MakeImage(40, 30, 3, 77));
        QVERIFY(unit.controller.CopyToClipBoard());
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(40, 30));
        QGuiApplication::clipboard()->setImage(QImage(12, 8, QImage::Format_RGB32));
        unit.controller.slot_Paste();
        QCOMPARE(unit.imageList.GetImageCount(), size_t(2));
        QCOMPARE(unit.imageList.GetCurrentImage()->GetChannel(), 4);
        QCOMPARE(unit.imageList.GetCurrentImage()->GetWidth(), 12);
    }
};

OPTRA_TEST_MAIN(TestImageView2DFiles)
#include "tst_ImageView2DFiles.moc"
