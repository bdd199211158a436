#include "common/log/LogView.h"
#include "common/setting/SettingManager.h"
#include "common/setting/SettingModel.h"
#include "tests/support/TestSupport.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/TrainingChartView.h"
#include "trainer/TrainingModel.h"
#include "trainer/mainwindow.h"

#include <QDir>
#include <QDockWidget>
#include <QOpenGLContext>
#include <QScrollArea>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStyle>
#include <QSurfaceFormat>
#include <QTabWidget>
#include <QtCharts/QLineSeries>

#include <memory>

namespace
{
QDockWidget* FindDock(QMainWindow* pWindow, const QString& strTitle)
{
    for (QDockWidget* pDock : pWindow->findChildren<QDockWidget*>())
    {
        if (pDock->windowTitle() == strTitle)
            return pDock;
    }
    return nullptr;
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<OptraTest::CLogCapture> m_pCapture;
    std::unique_ptr<MainWindow> m_pWindow;

private slots:
    void initTestCase()
    {
        // No Documents folder yet, as on a fresh installation.
        QVERIFY(!QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).exists());
        m_pCapture = std::make_unique<OptraTest::CLogCapture>();
        m_pWindow = std::make_unique<MainWindow>(nullptr);
        m_pWindow->resize(1200, 800);
        m_pWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pWindow.get()));
        m_pCapture->Flush();
    }

    void cleanupTestCase()
    {
        m_pWindow.reset();
        m_pCapture.reset();
    }

    void sevenKeysRegistered()
    {
        const QString strDocuments = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString strConfig = strDocuments + "/OptraTrainer";
        QCOMPARE(CSetting::GetString("GENERAL_PROGRAME_NAME", ""), QString("OptraTrainer"));
        QCOMPARE(CSetting::GetString("GENERAL_PROGRAME_VERSION", ""), QString("1.0.0"));
        QCOMPARE(CSetting::GetString("GENERAL_PROGRAM_CONFIG_DIR", ""), strConfig);
        QCOMPARE(CSetting::GetString("GENERAL_LOG_DIR", ""), strConfig + "/Log");
        QCOMPARE(CSetting::GetDouble("GENERAL_PDF_RESOLUTION_X", 0), 144.0);
        QCOMPARE(CSetting::GetDouble("GENERAL_PDF_RESOLUTION_Y", 0), 144.0);
        QCOMPARE(CSetting::GetString("GENERAL_PROJECT_DIR", ""), strDocuments);
        QVERIFY(QDir(strConfig).exists());
        QVERIFY(QFile::exists(strConfig + "/settings.data"));
        QCOMPARE(QCoreApplication::applicationName(), QString("OptraTrainer"));
    }

    void darkLook()
    {
        // The style sheet wraps the application style; Fusion sits underneath.
        QStyle* pStyle = QApplication::style();
        QStyle* pBase = pStyle->inherits("QFusionStyle") ? pStyle : pStyle->findChild<QStyle*>();
        QVERIFY(pBase);
        QCOMPARE(QString(pBase->metaObject()->className()), QString("QFusionStyle"));
        const QPalette palette = QApplication::palette();
        QCOMPARE(palette.color(QPalette::Window), QColor(45, 45, 45));
        QCOMPARE(palette.color(QPalette::Base), QColor(18, 18, 18));
        QCOMPARE(palette.color(QPalette::Highlight), QColor(42, 130, 218));
        QCOMPARE(palette.color(QPalette::Active, QPalette::Text), QColor(Qt::white));
        QCOMPARE(palette.color(QPalette::Disabled, QPalette::Text), QColor(127, 127, 127));
        QCOMPARE(palette.color(QPalette::Disabled, QPalette::HighlightedText), QColor(127, 127, 127));
        QCOMPARE(palette.color(QPalette::Active, QPalette::HighlightedText), QColor(Qt::black));
        QCOMPARE(qApp->styleSheet(),
                 QString("QToolTip { color: #ffffff; background-color: #2a82da; border: 1px solid white; } "
                         "QPushButton:checked{background-color: #2d80ed;}"));
    }

    void openGLModuleLogged()
    {
        if (QOpenGLContext::openGLModuleType() == QOpenGLContext::LibGL)
        {
            QVERIFY(m_pCapture->Contains(ELogLevel::DEBUG, "OpenGL Moodule Type is LibGL"));
            const QSurfaceFormat format = QSurfaceFormat::defaultFormat();
            QCOMPARE(format.majorVersion(), 3);
            QCOMPARE(format.minorVersion(), 3);
            QCOMPARE(format.profile(), QSurfaceFormat::CoreProfile);
            QCOMPARE(format.depthBufferSize(), 24);
            QCOMPARE(format.swapBehavior(), QSurfaceFormat::DoubleBuffer);
        }
        else
        {
            QVERIFY(m_pCapture->Contains(ELogLevel::ERROR, "OpenGL Moodule Type isnot LibGL"));
        }
        QVERIFY(m_pCapture->Contains(ELogLevel::NORMAL, "MainWindow: Create()"));
    }

    void docksInTheirAreas()
    {
        QDockWidget* pTool = FindDock(m_pWindow.get(), "Tool Dock");
        QDockWidget* pLeft = FindDock(m_pWindow.get(), "Left Dock");
        QDockWidget* pRight = FindDock(m_pWindow.get(), "Right Dock");
        QDockWidget* pBottom = FindDock(m_pWindow.get(), "Bottom Dock");
        QVERIFY(pTool && pLeft && pRight && pBottom);

        QCOMPARE(m_pWindow->dockWidgetArea(pTool), Qt::LeftDockWidgetArea);
        QCOMPARE(pTool->allowedAreas(), Qt::LeftDockWidgetArea);
        QCOMPARE(pTool->widget()->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(pTool->widget()->sizePolicy().verticalPolicy(), QSizePolicy::Maximum);

        QCOMPARE(m_pWindow->dockWidgetArea(pLeft), Qt::LeftDockWidgetArea);
        QCOMPARE(pLeft->allowedAreas(), Qt::AllDockWidgetAreas);
        QVERIFY(pLeft->geometry().top() > pTool->geometry().top());

        QCOMPARE(m_pWindow->dockWidgetArea(pRight), Qt::RightDockWidgetArea);
        QCOMPARE(pRight->allowedAreas(), Qt::AllDockWidgetAreas);

        QCOMPARE(m_pWindow->dockWidgetArea(pBottom), Qt::BottomDockWidgetArea);
        QCOMPARE(pBottom->allowedAreas(), Qt::BottomDockWidgetArea);
        QCOMPARE(pBottom->widget()->maximumHeight(), 0);

        // The chart of the project's training run sits with the log, closed
        // until there is a run; opened, it shows what came meanwhile.
        QDockWidget* pTraining = FindDock(m_pWindow.get(), "Training");
        QVERIFY(pTraining);
        QCOMPARE(m_pWindow->dockWidgetArea(pTraining), Qt::BottomDockWidgetArea);
        QCOMPARE(pTraining->widget(), m_pWindow->GetTrainingChart());
        QVERIFY(!pTraining->isVisible());
        STrainingPoint point;
        point.nIteration = 1;
        point.dLoss = 2.0;
        m_pWindow->GetProjectController()->GetTrainingModel()->AddIteration(point);
        m_pWindow->GetProjectController()->GetTrainingModel()->Finish();
        pTraining->show();
        QTRY_COMPARE(m_pWindow->GetTrainingChart()->GetLossSeries()->count(), 1);
    }

    void tabsAndTheirPositions()
    {
        auto* pLeftTabs = qobject_cast<QTabWidget*>(FindDock(m_pWindow.get(), "Left Dock")->widget());
        QVERIFY(pLeftTabs);
        QCOMPARE(pLeftTabs->tabPosition(), QTabWidget::West);
        QCOMPARE(pLeftTabs->count(), 2);
        QCOMPARE(pLeftTabs->tabText(0), QString("Project"));
        QCOMPARE(pLeftTabs->tabText(1), QString("File Explorer"));
        auto* pScroll = qobject_cast<QScrollArea*>(pLeftTabs->widget(0));
        QVERIFY(pScroll && pScroll->widgetResizable() && pScroll->widget());

        auto* pRightTabs = qobject_cast<QTabWidget*>(FindDock(m_pWindow.get(), "Right Dock")->widget());
        QVERIFY(pRightTabs);
        QCOMPARE(pRightTabs->tabPosition(), QTabWidget::East);
        QCOMPARE(pRightTabs->count(), 1);
        QCOMPARE(pRightTabs->tabText(0), QString("Property"));
    }

    void splitterGivesTwentyToOne()
    {
        QSplitter* pSplitter = m_pWindow->GetCentralSplitter();
        QCOMPARE(m_pWindow->centralWidget(), pSplitter);
        QCOMPARE(pSplitter->orientation(), Qt::Vertical);
        QCOMPARE(pSplitter->count(), 2);
        QCOMPARE(pSplitter->widget(1), static_cast<QWidget*>(m_pWindow->GetLogView()));

        QCOMPARE(pSplitter->widget(0)->sizePolicy().verticalStretch(), 20);
        QCOMPARE(pSplitter->widget(1)->sizePolicy().verticalStretch(), 1);

        // QSplitter hands added height out in proportion to the stretched sizes,
        // so the view area takes by far the larger part of it.
        const QList<int> lstBefore = pSplitter->sizes();
        m_pWindow->resize(m_pWindow->width(), m_pWindow->height() + 200);
        QTRY_VERIFY(pSplitter->sizes() != lstBefore);
        const QList<int> lstAfter = pSplitter->sizes();
        const int nViewGrowth = lstAfter[0] - lstBefore[0];
        const int nLogGrowth = lstAfter[1] - lstBefore[1];
        QCOMPARE(nViewGrowth + nLogGrowth, 200);
        QVERIFY2(nViewGrowth >= 3 * nLogGrowth,
                 qPrintable(QString("view +%1, log +%2").arg(nViewGrowth).arg(nLogGrowth)));
    }

    void logLinesReachViewAndFile()
    {
        CLog::Write(ELogLevel::ERROR, "visible in the window");
        CLogger::GetInstance()->Flush();
        QStandardItemModel* pModel = m_pWindow->GetLogView()->GetModel();
        QCOMPARE(pModel->item(pModel->rowCount() - 1, 2)->text(), QString("visible in the window"));
        QFile file(CSetting::GetString("GENERAL_LOG_DIR", "") + "/" +
                   QDate::currentDate().toString("yyyy_MM_dd") + ".txt");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("[ERROR]"));
    }
};

OPTRA_TEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
