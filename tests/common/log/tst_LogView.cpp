#include "common/log/LogView.h"
#include "common/log/Logger.h"
#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>

namespace
{
SLogMessage Message(ELogLevel level, const QString& strText)
{
    return SLogMessage{strText, level, QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3))};
}
} // namespace

class TestLogView : public QObject
{
    Q_OBJECT

private slots:
    void rowShowsTimeLevelText()
    {
        CLogView view;
        view.slot_NewMessage(Message(ELogLevel::WARNING, "careful"));
        QStandardItemModel* pModel = view.GetModel();
        QCOMPARE(pModel->rowCount(), 1);
        QCOMPARE(pModel->columnCount(), 3);
        QCOMPARE(pModel->horizontalHeaderItem(0)->text(), QString("DateTime"));
        QCOMPARE(pModel->horizontalHeaderItem(2)->text(), QString("Message"));
        QCOMPARE(pModel->item(0, 0)->text(), QString("2026-12-07 09::05::03"));
        QCOMPARE(pModel->item(0, 1)->text(), QString("WARNING"));
        QCOMPARE(pModel->item(0, 2)->text(), QString("careful"));
    }

    void rowsColouredByLevel_data()
    {
        QTest::addColumn<uint>("level");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("normal green") << 0u << QColor(0, 255, 0);
        QTest::newRow("debug white") << 1u << QColor(255, 255, 255);
        QTest::newRow("warning yellow") << 2u << QColor(255, 255, 0);
        QTest::newRow("error red") << 3u << QColor(255, 0, 0);
    }

    void rowsColouredByLevel()
    {
        QFETCH(uint, level);
        QFETCH(QColor, colour);
        CLogView view;
        view.slot_NewMessage(Message(static_cast<ELogLevel>(level), "x"));
        for (int nColumn = 0; nColumn < 3; ++nColumn)
            QCOMPARE(view.GetModel()->item(0, nColumn)->foreground().color(), colour);
    }

    void unknownLevelHasDefaultBrush()
    {
        CLogView view;
        view.slot_NewMessage(Message(static_cast<ELogLevel>(7), "odd"));
        QCOMPARE(view.GetModel()->item(0, 1)->text(), QString());
        QCOMPARE(view.GetModel()->item(0, 2)->foreground().style(), Qt::NoBrush);
    }

    void clearsAtRow501()
    {
        CLogView view;
        for (int i = 0; i < 500; ++i)
            view.slot_NewMessage(Message(ELogLevel::NORMAL, QString::number(i)));
        QCOMPARE(view.GetModel()->rowCount(), 500);
        view.slot_NewMessage(Message(ELogLevel::NORMAL, "501st"));
        QCOMPARE(view.GetModel()->rowCount(), 1);
        QCOMPARE(view.GetModel()->item(0, 2)->text(), QString("501st"));
        QCOMPARE(view.GetModel()->horizontalHeaderItem(1)->text(), QString("Type"));
    }

    void batchEqualsOneByOne_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("batch");
        QTest::newRow("fits") << 10 << 20;
        QTest::newRow("fills exactly") << 0 << 500;
        QTest::newRow("one over") << 0 << 501;
        QTest::newRow("full table then one") << 500 << 1;
        QTest::newRow("crosses twice") << 499 << 1002;
    }

    void batchEqualsOneByOne()
    {
        QFETCH(int, before);
        QFETCH(int, batch);
        CLogView viewSingle;
        CLogView viewBatch;
        QVector<SLogMessage> vctBatch;
        for (int i = 0; i < before; ++i)
        {
            viewSingle.slot_NewMessage(Message(ELogLevel::NORMAL, QString("b%1").arg(i)));
            viewBatch.slot_NewMessage(Message(ELogLevel::NORMAL, QString("b%1").arg(i)));
        }
        for (int i = 0; i < batch; ++i)
            vctBatch.push_back(Message(static_cast<ELogLevel>(i % 4), QString("m%1").arg(i)));
        for (const SLogMessage& message : vctBatch)
            viewSingle.slot_NewMessage(message);
        viewBatch.slot_NewMessages(vctBatch);

        QStandardItemModel* pSingle = viewSingle.GetModel();
        QStandardItemModel* pBatch = viewBatch.GetModel();
        QCOMPARE(pBatch->rowCount(), pSingle->rowCount());
        for (int nRow = 0; nRow < pSingle->rowCount(); ++nRow)
        {
            QCOMPARE(pBatch->item(nRow, 2)->text(), pSingle->item(nRow, 2)->text());
            QCOMPARE(pBatch->item(nRow, 1)->text(), pSingle->item(nRow, 1)->text());
        }
    }

    // DEBUG is hidden until asked for; the level and the text filter hide
    // rows without dropping them, and rows arriving later obey the filter.
    void filtersByLevelAndText()
    {
        CLogView view;
        view.slot_NewMessages({Message(ELogLevel::DEBUG, "AddObject(3)"),
                               Message(ELogLevel::NORMAL, "Build done"),
                               Message(ELogLevel::WARNING, "Image a.png has no ROI"),
                               Message(ELogLevel::ERROR, "Could not write train.txt"),
                               Message(static_cast<ELogLevel>(7), "odd level")});
        const auto shown = [&view]
        {
            QList<int> lstRows;
            for (int nRow = 0; nRow < view.GetModel()->rowCount(); ++nRow)
                if (view.IsRowShown(nRow))
                    lstRows << nRow;
            return lstRows;
        };
        QCOMPARE(view.GetModel()->rowCount(), 5);
        QCOMPARE(shown(), (QList<int>{1, 2, 3, 4}));

        // As the user chooses: the box and the field.
        view.GetLevelBox()->setCurrentIndex(0);
        QCOMPARE(shown(), (QList<int>{0, 1, 2, 3, 4}));
        view.SetMinimumLevel(ELogLevel::WARNING);
        QCOMPARE(shown(), (QList<int>{2, 3, 4}));
        QTest::keyClicks(view.GetTextFilter(), "TRAIN");
        QCOMPARE(shown(), (QList<int>{3}));
        view.slot_NewMessage(Message(ELogLevel::ERROR, "train.txt is empty"));
        view.slot_NewMessage(Message(ELogLevel::NORMAL, "train.txt written"));
        QCOMPARE(shown(), (QList<int>{3, 5}));
        view.SetTextFilter(QString());
        view.SetMinimumLevel(ELogLevel::DEBUG);
        QCOMPARE(shown().size(), 7);
    }

    void followsTheLoggerAndScrolls()
    {
        CLogView view;
        view.resize(600, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        for (int i = 0; i < 100; ++i)
            CLog::Write(ELogLevel::NORMAL, "line %d", i);
        CLogger::GetInstance()->Flush();
        QCOMPARE(view.GetModel()->rowCount(), 100);
        QCOMPARE(view.GetModel()->item(99, 2)->text(), QString("line 99"));
        QTableView* pTable = view.GetTableView();
        const QRect rectLast = pTable->visualRect(view.GetModel()->index(99, 0));
        QVERIFY(pTable->viewport()->rect().intersects(rectLast));
    }
};

OPTRA_TEST_MAIN(TestLogView)
#include "tst_LogView.moc"
