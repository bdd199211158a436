#include "common/log/Logger.h"
#include "common/process/Image2DProcessMedianDlg.h"
#include "common/process/Image2DProcessMedianModel.h"
#include "common/process/Image2DProcessOCRDlg.h"
#include "common/process/Image2DProcessOCRModel.h"
#include "common/process/Image2DProcessSobelDlg.h"
#include "common/process/Image2DProcessSobelModel.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DDrawableRuler.h"
#include "tests/support/TestSupport.h"

#include "optra/geometry/Line.h"
#include "optra/geometry/Rectangle.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeView>

#include <memory>

using Optra::COptraObject;

namespace
{
std::shared_ptr<CDrawableGeometry> Box(const QString& strName, double x = 10)
{
    auto pBox =
        std::make_shared<CDrawableGeometry>(std::make_shared<Optra::Geometry::CRectangle>(x, 5, 20, 10));
    pBox->SetName(strName);
    return pBox;
}

// Opens the value editor of a row as a double click would.
template <typename T>
T* OpenEditor(CImage2DProcessBaseDlg& dialog, int nRow)
{
    QTreeView* pView = dialog.GetParameterView();
    pView->edit(pView->model()->index(nRow, 1));
    return pView->viewport()->findChild<T*>();
}

std::unique_ptr<CImage2DProcessBaseDlg> MakeDialog(const QString& strTool)
{
    std::unique_ptr<CImage2DProcessBaseDlg> pDialog;
    if (strTool == "Sobel")
        pDialog = std::make_unique<CImage2DProcessSobelDlg>();
    else if (strTool == "Median")
        pDialog = std::make_unique<CImage2DProcessMedianDlg>();
    else
        pDialog = std::make_unique<CImage2DProcessOCRDlg>();
    pDialog->show();
    if (!QTest::qWaitForWindowExposed(pDialog.get()))
        qWarning("The dialog was not shown");
    return pDialog;
}
} // namespace

class TestImage2DProcessDlg : public QObject
{
    Q_OBJECT

private slots:
    void init() { CLogger::GetInstance()->Flush(); }

    void enumerations()
    {
        using CSobel = CImage2DProcessSobelModel;
        using CMedian = CImage2DProcessMedianModel;
        QCOMPARE(CImage2DProcessBase::EnumKeys<CSobel::EImage2DProcessSobel>(),
                 QStringList({"EImage2DProcessSobelX", "EImage2DProcessSobelY", "EImage2DProcessSobelXY"}));
        QCOMPARE(CImage2DProcessBase::EnumKeys<CMedian::EImage2DProcessMedian>(),
                 QStringList(
                     {"EImage2DProcessMedian3x3", "EImage2DProcessMedian5x5", "EImage2DProcessMedianNxN"}));
        QCOMPARE(CImage2DProcessBase::EnumValue<CSobel::EImage2DProcessSobel>("EImage2DProcessSobelXY"), 2);
        QCOMPARE(CImage2DProcessBase::EnumValue<CSobel::EImage2DProcessSobel>("SobelXY"), -1);
        CSobel sobel;
        QCOMPARE(sobel.GetType(), 0);
        QVERIFY(!sobel.SetType(3));
        QVERIFY(sobel.SetType(1));
        QCOMPARE(sobel.GetType(), 1);
    }

    void medianWindow_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("radius");
        QTest::newRow("3x3") << 0 << 9 << 1;
        QTest::newRow("5x5") << 1 << 9 << 2;
        QTest::newRow("9x9") << 2 << 9 << 4;
        QTest::newRow("even size refused") << 2 << 8 << 3;
        QTest::newRow("size too large refused") << 2 << 257 << 3;
    }

    void medianWindow()
    {
        QFETCH(int, type);
        QFETCH(int, size);
        QFETCH(int, radius);
        CImage2DProcessMedianModel model;
        QVERIFY(model.SetType(type));
        model.SetSize(size);
        QCOMPARE(model.GetRadius(), radius);
    }

    void ocrSettersLog()
    {
        OptraTest::CLogCapture capture;
        CImage2DProcessOCRModel model;
        QCOMPARE(model.GetLanguageCode(), QString("eng"));
        QCOMPARE(model.GetUserDefinedDpi(), 144);
        QVERIFY(model.SetLanguageCode("vie"));
        model.SetLanguagePath("/data");
        QVERIFY(model.SetUserDefinedDpi(300));
        QVERIFY(!model.SetUserDefinedDpi(0));
        QVERIFY(!model.SetLanguageCode(" "));
        capture.Flush();
        QCOMPARE(capture.Texts(), QStringList({"Image2DProcessOCRModel: SetLanguageCode(vie)",
                                               "Image2DProcessOCRModel: SetLanguagePath(/data)",
                                               "Image2DProcessOCRModel: SetUserDefinedDpi(300)"}));
    }

    void missingLanguageData_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("emptyPath");
        QTest::addColumn<QStringList>("missing");
        QTest::newRow("present") << "eng" << false << QStringList();
        QTest::newRow("absent") << "vie" << false << QStringList({"vie.traineddata"});
        QTest::newRow("one of two absent") << "eng+kor" << false << QStringList({"kor.traineddata"});
        QTest::newRow("no folder") << "eng" << true << QStringList({"eng.traineddata"});
    }

    void missingLanguageData()
    {
        QFETCH(QString, code);
        QFETCH(bool, emptyPath);
        QFETCH(QStringList, missing);
        QTemporaryDir folder;
        QFile file(folder.filePath("eng.traineddata"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        CImage2DProcessOCRModel model;
        QVERIFY(model.GetMissingLanguageFiles().isEmpty());
        model.SetLanguageCode(code);
        model.SetLanguagePath(emptyPath ? QString() : folder.path());
        QStringList lstNames;
        for (const QString& strPath : model.GetMissingLanguageFiles())
            lstNames << QFileInfo(strPath).fileName();
        QCOMPARE(lstNames, missing);
    }

    // Regions are geometry drawables known by id, whatever their names.
    void regionsById()
    {
        auto pFirst = Box("dog", 0);
        auto pSecond = Box("dog", 50);
        auto pRuler = std::make_shared<CDrawableRuler>(std::make_shared<Optra::Geometry::CLine>(0, 0, 5, 5));
        // as a geometry model holds them: the newest first
        const std::vector<std::shared_ptr<CDrawableObject>> vctObjects{pSecond, pRuler, pFirst};
        const auto vctRois = CImage2DProcessBase::CollectRois(vctObjects);
        QCOMPARE(vctRois.size(), size_t(2));
        QCOMPARE(vctRois[0].uid, pFirst->GetUID());
        QCOMPARE(vctRois[1].uid, pSecond->GetUID());
        QCOMPARE(CImage2DProcessBase::FindRegion(vctObjects, pSecond->GetUID()), pSecond->GetData());
        QVERIFY(!CImage2DProcessBase::FindRegion(vctObjects, pRuler->GetUID()));
        QVERIFY(!CImage2DProcessBase::FindRegion(vctObjects, COptraObject::INVALID_UID));
    }

    // The chosen region never silently becomes another one.
    void regionList()
    {
        CImage2DProcessSobelDlg dialog;
        QCOMPARE(dialog.GetSourceROITexts(), QStringList({"Whole Image"}));
        QCOMPARE(dialog.GetSourceROIID(), COptraObject::INVALID_UID);
        dialog.SetSourceROITitle({{7, "dog"}, {8, "cat"}, {9, "dog"}});
        dialog.SetSourceROIIndex(3);
        QCOMPARE(dialog.GetSourceROIID(), 9u);
        dialog.DeleteSourceROI(8);
        dialog.DeleteSourceROI(9);
        QCOMPARE(dialog.GetSourceROITexts(), QStringList({"Whole Image", "dog", "dog (deleted)"}));
        QVERIFY(dialog.IsSourceROIDeleted());
        QCOMPARE(dialog.GetSourceROIName(), QString("dog"));
        dialog.AddSourceROI({9, "bird"});
        QCOMPARE(dialog.GetSourceROITexts(), QStringList({"Whole Image", "dog", "bird"}));
        QVERIFY(!dialog.IsSourceROIDeleted());
        dialog.ClearSourceROI();
        QCOMPARE(dialog.GetSourceROITexts(), QStringList({"Whole Image", "bird (deleted)"}));
        dialog.SetSourceROITitle({{10, "fox"}});
        QCOMPARE(dialog.GetSourceROITexts(), QStringList({"Whole Image", "fox", "bird (deleted)"}));
        QCOMPARE(dialog.GetSourceROIID(), 9u);
        dialog.SetSourceROIIndex(0);
        QCOMPARE(dialog.GetSourceROITexts(), QStringList({"Whole Image", "fox"}));
        QCOMPARE(dialog.GetSourceROIName(), QString());
    }

    void sourceViews()
    {
        CImage2DProcessSobelDlg dialog;
        QSignalSpy spy(&dialog, &CImage2DProcessBaseDlg::signal_ChangeSourceImageView);
        dialog.SetImageViewCount(4);
        QCOMPARE(dialog.GetSourceImage(), QString("Image View [0]"));
        auto* pCombo = dialog.findChild<QComboBox*>();
        QCOMPARE(pCombo->count(), 4);
        pCombo->setCurrentIndex(3);
        dialog.SetImageViewCount(2);
        QCOMPARE(pCombo->count(), 2);
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy.last().at(0).toString(), QString("Image View [0]"));
    }

    void editorsOpenAtTheShownValue_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("value");
        QTest::newRow("Sobel type") << "Sobel" << 0 << "EImage2DProcessSobelXY";
        QTest::newRow("median type") << "Median" << 0 << "EImage2DProcessMedian5x5";
        QTest::newRow("median size") << "Median" << 1 << "11";
        QTest::newRow("OCR language") << "OCR" << 0 << "kor";
        QTest::newRow("OCR folder") << "OCR" << 1 << "/opt/tessdata";
        QTest::newRow("OCR resolution") << "OCR" << 2 << "144";
    }

    // Opening an editor and closing it unchanged keeps the value.
    void editorsOpenAtTheShownValue()
    {
        QFETCH(QString, tool);
        QFETCH(int, row);
        QFETCH(QString, value);
        auto pDialog = MakeDialog(tool);
        pDialog->SetParameterValue(row, value);
        QSignalSpy spy(pDialog.get(), &CImage2DProcessBaseDlg::signal_ChangeData);
        QWidget* pEditor = OpenEditor<QWidget>(*pDialog, row);
        QVERIFY(pEditor);
        if (auto* pCombo = qobject_cast<QComboBox*>(pEditor))
            QCOMPARE(pCombo->currentText(), value);
        else if (auto* pSpin = qobject_cast<QSpinBox*>(pEditor))
            QCOMPARE(pSpin->value(), value.toInt());
        else
            QCOMPARE(pEditor->findChild<QLineEdit*>()->text(), value);
        QPointer<QWidget> pOpen(pEditor);
        QTest::keyClick(pEditor->focusProxy() ? pEditor->focusProxy() : pEditor, Qt::Key_Return);
        // The delegate commits and closes after the key press was handled.
        QTRY_VERIFY(!pOpen);
        QCOMPARE(pDialog->GetParameterValue(row), value);
        QCOMPARE(spy.size(), 0);
    }

    void committedValueIsAnnounced()
    {
        auto pDialog = MakeDialog("OCR");
        pDialog->SetParameterValue(2, "144");
        QSignalSpy spy(pDialog.get(), &CImage2DProcessBaseDlg::signal_ChangeData);
        auto* pSpin = OpenEditor<QSpinBox>(*pDialog, 2);
        QVERIFY(pSpin);
        QCOMPARE(pSpin->maximum(), 1024);
        pSpin->setValue(300);
        QTest::keyClick(pSpin, Qt::Key_Return);
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 2);
        QCOMPARE(spy.at(0).at(1).toString(), QString("300"));
    }

    void folderIsPicked_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("value");
        QTest::newRow("folder chosen") << "/usr/share/tessdata"
                                       << "/usr/share/tessdata";
        QTest::newRow("cancelled") << ""
                                   << "/old";
    }

    void folderIsPicked()
    {
        QFETCH(QString, answer);
        QFETCH(QString, value);
        auto pDialog = MakeDialog("OCR");
        pDialog->SetParameterValue(1, "/old");
        QString strAskedFrom;
        CInteraction::SetDirectoryHandler(
            [&](QWidget*, const QString&, const QString& strDir, QFileDialog::Options options)
            {
                strAskedFrom = strDir;
                return options.testFlag(QFileDialog::ShowDirsOnly) ? answer : QString("not a folder");
            });
        auto* pEditor = OpenEditor<QWidget>(*pDialog, 1);
        QTest::mouseClick(pEditor->findChild<QToolButton*>(), Qt::LeftButton);
        OptraTest::InstallNonBlockingDialogs();
        QCOMPARE(strAskedFrom, QString("/old"));
        QCOMPARE(pDialog->GetParameterValue(1), value);
    }
};

OPTRA_TEST_MAIN(TestImage2DProcessDlg)
#include "tst_Image2DProcessDlg.moc"
