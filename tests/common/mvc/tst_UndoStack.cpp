#include "common/mvc/CommandArray.h"
#include "common/mvc/CommandContainer.h"
#include "tests/support/TestSupport.h"

#include <functional>

namespace
{
// Writes "<name>+" on exec, "<name>-" on undo and "~<name>" when deleted.
class CLoggingCommand : public CCommand
{
public:
    CLoggingCommand(QString strName, QStringList& lstLog) : m_strName(std::move(strName)), m_lstLog(lstLog) {}
    ~CLoggingCommand() override { m_lstLog << "~" + m_strName; }
    void exec() override
    {
        m_lstLog << m_strName + "+";
        if (fnOnExec)
            fnOnExec();
    }
    void undo() override
    {
        m_lstLog << m_strName + "-";
        if (fnOnUndo)
            fnOnUndo();
    }
    std::function<void()> fnOnExec;
    std::function<void()> fnOnUndo;
    const QString& Name() const { return m_strName; }

private:
    QString m_strName;
    QStringList& m_lstLog;
};
// Steps: "push X" (push, then exec as the controller does), "undo", "redo".
void Run(CUndoStack& stack, const QStringList& lstSteps, QStringList& lstLog)
{
    for (const QString& strStep : lstSteps)
    {
        if (strStep == "undo")
            stack.Undo();
        else if (strStep == "redo")
            stack.Redo();
        else
        {
            auto* pCommand = new CLoggingCommand(strStep.mid(5), lstLog);
            stack.PushUndo(pCommand);
            pCommand->exec();
        }
    }
}
} // namespace

class TestUndoStack : public QObject
{
    Q_OBJECT

private slots:
    void sequences_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("undo and redo on empty stacks") << QStringList{"undo", "redo"} << QStringList{};
        QTest::newRow("undo newest first, redo oldest first")
            << QStringList{"push A", "push B", "undo", "undo", "redo", "redo"}
            << QStringList{"A+", "B+", "B-", "A-", "A+", "B+"};
        QTest::newRow("redo stack kept over a push")
            << QStringList{"push A", "undo", "push B", "redo"} << QStringList{"A+", "A-", "B+", "A+"};
    }

    void sequences()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, log);
        QStringList lstLog;
        {
            CUndoStack stack;
            Run(stack, steps, lstLog);
            QCOMPARE(lstLog, log);
        }
        // Every pushed command is deleted with the stack, none twice.
        QCOMPARE(lstLog.filter("~").size(), steps.filter("push").size());
    }

    void macroRunsForwardAndUndoesBackward()
    {
        QStringList lstLog;
        CUndoStack stack;
        auto* pMacro = new CMacroCommand;
        pMacro->addCommand(new CLoggingCommand("A", lstLog));
        pMacro->addCommand(nullptr);
        pMacro->addCommand(new CLoggingCommand("B", lstLog));
        pMacro->addCommand(new CLoggingCommand("C", lstLog));
        stack.PushUndo(nullptr);
        stack.PushUndo(pMacro);
        pMacro->exec();
        stack.Undo();
        stack.Redo();
        QCOMPARE(lstLog, (QStringList{"A+", "B+", "C+", "C-", "B-", "A-", "A+", "B+", "C+"}));
        QCOMPARE(stack.GetUndoCount(), size_t(1));
    }

    void trimForgetsOldestSteps_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("budget");
        QTest::addColumn<QStringList>("deleted");
        QTest::addColumn<int>("undoCount");
        QTest::addColumn<int>("redoCount");
        QTest::newRow("oldest steps up to the image change")
            << QStringList{"push A", "push I1", "push B", "push I2", "push C", "push I3"} << 2
            << QStringList{"~A", "~I1"} << 4 << 0;
        QTest::newRow("undone steps go first")
            << QStringList{"push I1", "push I2", "undo", "push I3"} << 2 << QStringList{"~I2"} << 2 << 0;
        // Nothing older weighs anything, so nothing is worth forgetting.
        QTest::newRow("the newest step stays")
            << QStringList{"push A", "push I1"} << 0 << QStringList{} << 2 << 0;
        QTest::newRow("within the budget")
            << QStringList{"push I1", "push I2", "undo"} << 2 << QStringList{} << 1 << 1;
    }

    // Commands named I... weigh one; the others nothing.
    void trimForgetsOldestSteps()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, budget);
        QFETCH(QStringList, deleted);
        QFETCH(int, undoCount);
        QFETCH(int, redoCount);
        QStringList lstLog;
        CUndoStack stack;
        Run(stack, steps, lstLog);
        stack.TrimOldest(size_t(budget),
                         [](const CCommand& command) -> size_t {
                             return static_cast<const CLoggingCommand&>(command).Name().startsWith("I") ? 1
                                                                                                        : 0;
                         });
        QCOMPARE(lstLog.filter("~"), deleted);
        QCOMPARE(int(stack.GetUndoCount()), undoCount);
        QCOMPARE(int(stack.GetRedoCount()), redoCount);
    }

    void commandMayClearItsStackWhileRunning()
    {
        QStringList lstLog;
        CUndoStack stack;
        auto* pCommand = new CLoggingCommand("A", lstLog);
        pCommand->fnOnUndo = [&]
        {
            stack.Clear();
            lstLog << "cleared";
        };
        stack.PushUndo(pCommand);
        stack.PushUndo(new CLoggingCommand("B", lstLog));
        stack.Undo();
        stack.Undo();
        // Deleted only once its undo() returned.
        QCOMPARE(lstLog, (QStringList{"B-", "A-", "~B", "cleared", "~A"}));
        QCOMPARE(stack.GetUndoCount() + stack.GetRedoCount(), size_t(0));
    }

    void commandMayWithdrawItsOwnStepWhileRunning()
    {
        QStringList lstLog;
        CUndoStack stack;
        stack.PushAndExec(new CLoggingCommand("A", lstLog));
        auto* pCommand = new CLoggingCommand("B", lstLog);
        const auto fnIsB = [](const CCommand& command)
        {
            return static_cast<const CLoggingCommand&>(command).Name() == "B";
        };
        pCommand->fnOnExec = [&]
        {
            QVERIFY(stack.DiscardNewestIf(fnIsB));
            lstLog << "withdrawn";
        };
        stack.PushAndExec(pCommand);
        // Deleted only once its exec() returned; A stays the newest step.
        QCOMPARE(lstLog, (QStringList{"A+", "B+", "withdrawn", "~B"}));
        QVERIFY(!stack.DiscardNewestIf(fnIsB));
        stack.Undo();
        QCOMPARE(lstLog.last(), QString("A-"));
        QCOMPARE(stack.GetUndoCount(), size_t(0));
    }

    // A host refusing what a step did while it runs: the step is taken back
    // at once and the stacks end as they were before it.
    void rejectedStepIsTakenBack_data()
    {
        QTest::addColumn<QString>("rejected");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("undoCount");
        QTest::addColumn<int>("redoCount");
        // A is applied, B was undone; the rejected run is the last step.
        QTest::newRow("push") << "push" << QStringList{"A+", "B+", "B-", "C+", "C-", "~C"} << 1 << 1;
        QTest::newRow("undo") << "undo" << QStringList{"A+", "B+", "B-", "A-", "A+"} << 1 << 1;
        QTest::newRow("redo") << "redo" << QStringList{"A+", "B+", "B-", "B+", "B-"} << 1 << 1;
    }

    void rejectedStepIsTakenBack()
    {
        QFETCH(QString, rejected);
        QFETCH(QStringList, log);
        QFETCH(int, undoCount);
        QFETCH(int, redoCount);
        QStringList lstLog;
        CUndoStack stack;
        bool bReject = false;
        int nAsked = 0;
        const auto fnRefuse = [&]
        {
            if (!bReject)
                return;
            // Asked again while the reversal runs: ignored, no recursion.
            QCOMPARE(stack.RejectRunning(), !stack.IsReverting());
            ++nAsked;
        };
        const auto fnMake = [&](const QString& strName)
        {
            auto* pCommand = new CLoggingCommand(strName, lstLog);
            pCommand->fnOnExec = fnRefuse;
            pCommand->fnOnUndo = fnRefuse;
            return pCommand;
        };
        stack.PushAndExec(fnMake("A"));
        stack.PushAndExec(fnMake("B"));
        stack.Undo();
        bReject = true;
        if (rejected == "push")
            stack.PushAndExec(fnMake("C"));
        else if (rejected == "undo")
            stack.Undo();
        else
            stack.Redo();
        QCOMPARE(lstLog, log);
        QCOMPARE(nAsked, 2);
        QCOMPARE(int(stack.GetUndoCount()), undoCount);
        QCOMPARE(int(stack.GetRedoCount()), redoCount);
        QVERIFY(!stack.IsReverting());
        QVERIFY(!stack.RejectRunning());
        // What is left still undoes and redoes as before.
        bReject = false;
        lstLog.clear();
        stack.Undo();
        stack.Redo();
        stack.Redo();
        QCOMPARE(lstLog, (QStringList{"A-", "A+", "B+"}));
    }

    void rejectionOfAStepThatClearedItsStack()
    {
        QStringList lstLog;
        CUndoStack stack;
        stack.PushAndExec(new CLoggingCommand("A", lstLog));
        auto* pCommand = new CLoggingCommand("B", lstLog);
        pCommand->fnOnExec = [&]
        {
            // The view moved on while the step ran, then the host refused.
            stack.Clear();
            QVERIFY(stack.RejectRunning());
        };
        stack.PushAndExec(pCommand);
        QCOMPARE(lstLog, (QStringList{"A+", "B+", "~A", "~B"}));
        QCOMPARE(stack.GetUndoCount() + stack.GetRedoCount(), size_t(0));
    }
};

OPTRA_TEST_MAIN(TestUndoStack)
#include "tst_UndoStack.moc"
