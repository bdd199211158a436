#pragma once

#include "trainer/evaluate/DarknetTool.h"

#include <QObject>
#include <QString>
#include <QStringList>

class CProjectController;
class CWeightsChoiceView;
struct SDarknetJobResult;

// "Evaluate weights...": runs "darknet detector map" on the test list for
// each weights file the user ticks, with the class list and configuration
// the weights were trained with, keeps the results in the project's
// evaluation table and shows every stored evaluation side by side. Weights
// whose classes no longer match the project's are refused: Darknet reads
// the labels the build writes with today's class indices and would credit
// the wrong class.
// Made by the project controller for one command (which it borrows); GUI
// thread.
class CEvaluationController : public QObject
{
    Q_OBJECT
public:
    CEvaluationController(CProjectController* pProject, const QString& strProjectDir, QWidget* pParent);

    void Run();

    // What stands between the classes a run trained with and the project's
    // classes now, one line each (a class moved to another index, gone, or
    // new); empty when they are the same in the same order.
    static QStringList ClassDifferences(const QStringList& lstTrained, const QStringList& lstNow);

private slots:
    void slot_Browse();

private:
    // Weights paths as the user chose them (relative to the project folder
    // or absolute); empty when cancelled.
    QStringList ChooseWeights();
    // False when the user cancelled the run.
    bool Evaluate(const QString& strExe, const QString& strWeights, const QStringList& lstNow);
    // False with the reason when the weights cannot be evaluated with
    // today's labels; strConfig is the configuration they were trained with.
    bool CheckClasses(const QString& strWeights, const QStringList& lstNow, QString& strConfig,
                      QString& strProblem);
    // What Darknet printed goes into the evaluation table when it holds a
    // result, even after a crash; what went wrong is told.
    void Keep(const SDarknetJobResult& result, const QString& strWeights);
    void ShowEvaluations();

    CProjectController* m_pProject = nullptr;
    QString m_strProjectDir;
    QWidget* m_pParent = nullptr;
    CDarknetTool m_tool;
    CWeightsChoiceView* m_pChoice = nullptr;
    // What went wrong, and what the user should know, for one message at
    // the end of the command.
    QStringList m_lstProblems;
    QStringList m_lstNotes;
};
