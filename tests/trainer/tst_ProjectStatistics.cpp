#include "tests/support/TestSupport.h"
#include "tests/trainer/ProjectFixture.h"
#include "trainer/ProjectStatistics.h"
#include "trainer/StatisticsDlg.h"

#include <QLabel>
#include <QTableWidget>
#include <QTreeWidget>

#include <cmath>

using OptraTest::CProjectOnDisk;

namespace
{
// "name: ROIs images width-range height-range", ranges in percent.
QString ClassLine(const SClassStatistics& statistics)
{
    const auto Range = [](double dMin, double dMax)
    {
        return std::isnan(dMin) ? QString("-") : QString("%1-%2").arg(dMin * 100).arg(dMax * 100);
    };
    return QString("%1: %2 %3 %4 %5")
        .arg(statistics.strName)
        .arg(statistics.nRois)
        .arg(statistics.nImages)
        .arg(Range(statistics.dMinWidth, statistics.dMaxWidth),
             Range(statistics.dMinHeight, statistics.dMaxHeight));
}

QStringList ProblemLines(const std::vector<SImageProblem>& vctProblems)
{
    QStringList lstLines;
    for (const SImageProblem& problem : vctProblems)
        lstLines << problem.strName + ": " + problem.strProblem;
    return lstLines;
}

QStringList GroupRows(QTreeWidget* pTree, int nGroup)
{
    QStringList lstRows;
    const QTreeWidgetItem* pGroup = pTree->topLevelItem(nGroup);
    for (int i = 0; i < pGroup->childCount(); ++i)
        lstRows << pGroup->child(i)->text(0);
    return lstRows;
}
} // namespace

class TestProjectStatistics : public QObject
{
    Q_OBJECT

private slots:
    void countsPerClassAndFindsTheImagesToFix()
    {
        CProjectOnDisk project("stats");
        project.AddImages({project.MakeImage("a.jpg", 100, 50), project.MakeImage("b.jpg", 200, 100),
                           project.MakeImage("c.jpg", 40, 40), project.MakeImage("d.jpg", 10, 10)});
        const int nCar = project.AddCategory("car");
        const int nPerson = project.AddCategory("person");
        const int nA = project.ImageID("a.jpg");
        project.AddRoi(nA, nCar, 0, 0, 50, 25);
        // Half of it lies outside the image: 10 x 10 pixels count.
        project.AddRoi(nA, nCar, 90, 40, 20, 20);
        // Drawn up and to the left.
        project.AddRoi(nA, nPerson, 20, 15, -10, -5);
        project.AddRoi(project.ImageID("c.jpg"), nCar, 1, 1, 5, 5);
        QVERIFY(project.Exec("UPDATE dataset_image SET WIDTH=0 WHERE NAME='c.jpg'"));
        project.AddRoi(project.ImageID("d.jpg"), nCar, 50, 50, 5, 5);
        project.AddRoi(project.ImageID("d.jpg"), nPerson + 100, 1, 1, 2, 2);

        const SProjectStatistics statistics =
            CProjectStatistics::Collect(project.Controller()->GetDatabase());
        QCOMPARE(statistics.nImages, 4);
        QCOMPARE(statistics.nRois, 6);
        QCOMPARE(statistics.vctClasses.size(), size_t(2));
        QCOMPARE(ClassLine(statistics.vctClasses[0]), QString("car: 4 3 10-50 20-50"));
        QCOMPARE(ClassLine(statistics.vctClasses[1]), QString("person: 1 1 10-10 10-10"));
        QCOMPARE(ProblemLines(statistics.vctWithoutRois), QStringList({"b.jpg: no ROIs"}));
        QCOMPARE(
            ProblemLines(statistics.vctInvalid),
            QStringList({"c.jpg: no image size",
                         "d.jpg: 1 box(es) with nothing inside the image, 1 box(es) of a deleted class"}));
        QCOMPARE(statistics.vctInvalid.back().strFullPath, QString("Images/d.jpg"));
    }

    // Boxes drawn and deleted reach the open window through the re-validation
    // every ROI edit ends in; a double-click takes the explorer's way to open.
    void windowFollowsEditsAndOpensImages()
    {
        CProjectOnDisk project("follow");
        project.AddImages({project.MakeImage("a.jpg", 100, 50)});
        const int nCar = project.AddCategory("car");
        CProjectController* pController = project.Controller();
        CStatisticsView* pView = pController->GetStatisticsView();
        pController->slot_ShowStatistics();
        QVERIFY(QTest::qWaitForWindowExposed(pView));
        QCOMPARE(pView->GetSummary()->text(), QString("1 images, 0 ROIs, 1 classes"));
        QCOMPARE(GroupRows(pView->GetImageTree(), 0), QStringList({"a.jpg"}));

        const int nImage = project.ImageID("a.jpg");
        const int nRoi = project.AddRoi(nImage, nCar, 10, 10, 25, 5);
        pController->ValidateImageROI(nImage);
        QTRY_COMPARE(pView->GetClassTable()->item(0, 1)->text(), QString("1"));
        QCOMPARE(pView->GetClassTable()->item(0, 3)->text(), QString("25.0 - 25.0 %"));
        QVERIFY(GroupRows(pView->GetImageTree(), 0).isEmpty());

        QVERIFY(project.Exec(QString("DELETE FROM dataset_roi WHERE ID=%1").arg(nRoi)));
        pController->ValidateImageROI(nImage);
        QTRY_COMPARE(pView->GetClassTable()->item(0, 1)->text(), QString("0"));
        QCOMPARE(GroupRows(pView->GetImageTree(), 0), QStringList({"a.jpg"}));

        project.AddImages({project.MakeImage("b.jpg", 8, 8)});
        QTRY_COMPARE(pView->GetSummary()->text(), QString("2 images, 0 ROIs, 1 classes"));
        QVERIFY(project.Exec("UPDATE category SET NAME='truck'"));
        pController->slot_EditClasses();
        QTRY_COMPARE(pView->GetClassTable()->item(0, 0)->text(), QString("truck"));

        OptraTest::CLogCapture capture;
        QTreeWidget* pTree = pView->GetImageTree();
        const QTreeWidgetItem* pItem = pTree->topLevelItem(0)->child(1);
        const QPoint center = pTree->visualItemRect(pItem).center();
        // Press and release come before the double click, as from a real mouse.
        QTest::mouseClick(pTree->viewport(), Qt::LeftButton, Qt::NoModifier, center);
        QTest::mouseDClick(pTree->viewport(), Qt::LeftButton, Qt::NoModifier, center);
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::DEBUG,
                                 QString("Open Image %1 : Images/b.jpg").arg(project.ImageID("b.jpg"))));

        pController->CloseCurrentProject();
        QVERIFY(!pView->isVisible());
    }
};

OPTRA_TEST_MAIN(TestProjectStatistics)
#include "tst_ProjectStatistics.moc"
