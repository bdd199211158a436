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
    void exec() override { m_lstLog << m_strName + "+"; }
    void undo() override
    {
        m_lstLog << m_strName + "-";
        if (fnOnUndo)
            fnOnUndo();
    }
    std::function<void()> fnOnUndo;

private:
    QString m_strName;
    QStringList& m_lstLog;
};
} // namespace

class TestUndoStack : public QObject
{
    Q_OBJECT

private slots:
    // Steps: "push X" (push, then exec as the controller does), "undo", "redo".
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
            for (const QString& strStep : steps)
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
};

OPTRA_TEST_MAIN(TestUndoStack)
#include "tst_UndoStack.moc"
