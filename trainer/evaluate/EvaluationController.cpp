#include "trainer/evaluate/EvaluationController.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/WholeFile.h"
#include "trainer/detect/DarknetJob.h"
#include "trainer/detect/RunClasses.h"
#include "trainer/evaluate/DarknetTool.h"
#include "trainer/evaluate/EvaluationDlg.h"
#include "trainer/evaluate/EvaluationStore.h"
#include "trainer/evaluate/WeightsChoiceDlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>

namespace
{
const QString TITLE = QStringLiteral("Evaluate weights");

// As Darknet is given it: relative to the project folder (its working
// folder) when inside it, else absolute.
QString ProjectRelative(const QString& strProjectDir, const QString& strPath)
{
    const QDir project(strProjectDir);
    const QString strAbsolute = QDir::cleanPath(project.absoluteFilePath(strPath));
    const QString strRelative = project.relativeFilePath(strAbsolute);
    return strRelative.startsWith(QStringLiteral("../")) || QDir::isAbsolutePath(strRelative) ? strAbsolute
                                                                                              : strRelative;
}

QStringList TodaysClasses(const QString& strProjectDir)
{
    return CRunClasses::ParseNames(
        CWholeFile::Read(strProjectDir + QStringLiteral("/custom.names"), CRunClasses::MAX_FILE_BYTES));
}

} // namespace

CEvaluationController::CEvaluationController(CProjectController* pProject, const QString& strProjectDir,
                                             QWidget* pParent)
    : m_pProject(pProject), m_strProjectDir(strProjectDir), m_pParent(pParent), m_tool(TITLE, pParent)
{
}

QStringList CEvaluationController::ClassDifferences(const QStringList& lstTrained, const QStringList& lstNow)
{
    QStringList lstDifferences;
    for (int i = 0; i < lstTrained.size(); ++i)
    {
        if (i < lstNow.size() && lstNow[i] == lstTrained[i])
            continue;
        const int nNow = lstNow.indexOf(lstTrained[i]);
        lstDifferences << (nNow >= 0
                               ? QString("\"%1\" was class %2 in training and is class %3 now")
                                     .arg(lstTrained[i])
                                     .arg(i)
                                     .arg(nNow)
                               : QString("\"%1\" (class %2 in training) is no longer a class of the project")
                                     .arg(lstTrained[i])
                                     .arg(i));
    }
    for (int i = 0; i < lstNow.size(); ++i)
    {
        if (!lstTrained.contains(lstNow[i]))
            lstDifferences << QString("\"%1\" (class %2) is new since the training").arg(lstNow[i]).arg(i);
    }
    return lstDifferences;
}

void CEvaluationController::Run()
{
    if (m_strProjectDir.isEmpty())
        return;
    const QString strExe = m_tool.Executable(m_pProject);
    if (strExe.isEmpty())
        return;
    const QStringList lstWeights = ChooseWeights();
    if (lstWeights.isEmpty())
        return;
    // The test list and its labels as the project stands now.
    if (!m_pProject->Build())
        return m_tool.Inform(
            QStringLiteral("The project could not be built, so there is no test list to evaluate "
                           "on; the log says why"),
            true);
    // Darknet divides by the number of truths it finds there.
    if (CDarknetTool::ListBoxes(m_strProjectDir, QStringLiteral("test.txt")) == 0)
        return m_tool.Inform(QStringLiteral("The test list has no boxes to evaluate the weights on: add "
                                            "labelled images to the test list first"),
                             true);
    const QStringList lstNow = TodaysClasses(m_strProjectDir);
    m_lstProblems.clear();
    m_lstNotes.clear();
    for (const QString& strWeights : lstWeights)
    {
        if (!Evaluate(strExe, strWeights, lstNow))
        {
            m_lstProblems << QStringLiteral("Evaluation cancelled");
            break;
        }
    }
    const QString strReport = (m_lstProblems + m_lstNotes).join(QStringLiteral("\n\n"));
    if (!strReport.isEmpty())
        m_tool.Inform(strReport, !m_lstProblems.isEmpty());
    ShowEvaluations();
}

QStringList CEvaluationController::ChooseWeights()
{
    CWeightsChoiceView view(TITLE, m_pParent);
    m_pChoice = &view;
    connect(&view, &CWeightsChoiceView::signal_Browse, this, &CEvaluationController::slot_Browse);
    bool bFirst = true;
    for (const QFileInfo& weights : CRunClasses(m_strProjectDir).BackupWeights())
    {
        view.AddFiles({ProjectRelative(m_strProjectDir, weights.filePath())}, bFirst);
        bFirst = false;
    }
    const bool bOk = CInteraction::Exec(&view) == QDialog::Accepted;
    m_pChoice = nullptr;
    return bOk ? view.CheckedFiles() : QStringList();
}

void CEvaluationController::slot_Browse()
{
    if (!m_pChoice)
        return;
    const QStringList lstFiles = CInteraction::GetOpenFileNames(
        m_pChoice, QStringLiteral("Weights files"), m_strProjectDir, QStringLiteral("Weights (*.weights)"));
    QStringList lstPaths;
    for (const QString& strFile : lstFiles)
        lstPaths << ProjectRelative(m_strProjectDir, strFile);
    m_pChoice->AddFiles(lstPaths, true);
}

bool CEvaluationController::CheckClasses(const QString& strWeights, const QStringList& lstNow,
                                         QString& strConfig, QString& strProblem)
{
    SRunClasses classes;
    QString strError;
    if (!CRunClasses(m_strProjectDir).ForWeights(strWeights, classes, strError))
    {
        strProblem = QString("%1 is not evaluated: %2").arg(strWeights, strError);
        return false;
    }
    const int nConfigClasses = CRunClasses::ConfigClasses(classes.strConfig);
    if (nConfigClasses != classes.lstNames.size())
    {
        strProblem = QString("%1 is not evaluated: its configuration has %2 classes, but %3 lists %4")
                         .arg(strWeights,
                              nConfigClasses < 0 ? QStringLiteral("no agreed number of")
                                                 : QString::number(nConfigClasses),
                              classes.strSource)
                         .arg(classes.lstNames.size());
        return false;
    }
    const QStringList lstDifferences = ClassDifferences(classes.lstNames, lstNow);
    if (!lstDifferences.isEmpty())
    {
        strProblem =
            QString("%1 is not evaluated: it was trained with other classes (%2) than the project has "
                    "now, and Darknet would count today's labels under the wrong classes:\n%3")
                .arg(strWeights, classes.strSource, lstDifferences.join('\n'));
        return false;
    }
    if (!classes.bRecorded)
        m_lstNotes << QString("%1 comes from no recorded training run of this project: it was evaluated with "
                              "the project's classes and configuration as they are now")
                          .arg(strWeights);
    strConfig = classes.strConfig;
    return true;
}

bool CEvaluationController::Evaluate(const QString& strExe, const QString& strWeights,
                                     const QStringList& lstNow)
{
    QString strConfig;
    QString strProblem;
    if (!QFileInfo(QDir(m_strProjectDir).absoluteFilePath(strWeights)).isFile())
        strProblem = QString("%1 is not evaluated: the file does not exist").arg(strWeights);
    else
        CheckClasses(strWeights, lstNow, strConfig, strProblem);
    if (!strProblem.isEmpty())
    {
        m_lstProblems << strProblem;
        return true;
    }
    // Darknet writes nothing when it evaluates, so it runs in the project
    // folder on the lists the build wrote; only the configuration the
    // weights were trained with lives outside it.
    QTemporaryDir dirWork(QDir::tempPath() + QStringLiteral("/optra-evaluate-XXXXXX"));
    const QString strConfigPath = dirWork.filePath(QStringLiteral("config.txt"));
    if (!dirWork.isValid() || !CWholeFile::Write(strConfigPath, strConfig.toUtf8()))
    {
        m_lstProblems << QString("%1 is not evaluated: no temporary folder could be written").arg(strWeights);
        return true;
    }
    CDarknetJob job(QString("Evaluating %1...").arg(strWeights), m_pParent);
    const SDarknetJobResult result = job.Run(strExe,
                                             {QStringLiteral("detector"), QStringLiteral("map"),
                                              QStringLiteral("detector.txt"), strConfigPath, strWeights},
                                             m_strProjectDir);
    if (result.bCancelled)
        return false;
    Keep(result, strWeights);
    return true;
}

void CEvaluationController::Keep(const SDarknetJobResult& result, const QString& strWeights)
{
    const SEvaluation evaluation =
        CDarknetMapParser::Parse(QString::fromUtf8(result.baOutput + '\n' + result.baError), strWeights);
    const bool bResult = CDarknetMapParser::HasResult(evaluation);
    if (!result.Succeeded())
        m_lstProblems << result.Describe("evaluating " + strWeights) +
                             (bResult ? QStringLiteral("\nWhat it printed before is kept.") : QString());
    else if (!bResult)
        m_lstProblems << QString("Darknet printed no result for %1").arg(strWeights) +
                             (evaluation.lstUnread.isEmpty()
                                  ? QString()
                                  : QStringLiteral("; lines that could not be read:\n") +
                                        evaluation.lstUnread.join('\n'));
    const QString strMap = std::isnan(evaluation.dMap)
                               ? QStringLiteral("not printed")
                               : QString::number(evaluation.dMap * 100, 'f', 2) + " %";
    if (bResult)
        CLog::Write(ELogLevel::NORMAL, "Evaluated %s: mAP %s", strWeights.toUtf8().constData(),
                    strMap.toUtf8().constData());
    if (bResult && !CEvaluationStore(m_strProjectDir).Store(evaluation))
        m_lstProblems << QString("The evaluation of %1 could not be stored in %2")
                             .arg(strWeights, CEvaluationStore::FILE_NAME);
}

void CEvaluationController::ShowEvaluations()
{
    std::vector<SEvaluation> vctEvaluations;
    if (!CEvaluationStore(m_strProjectDir).Load(vctEvaluations))
        return m_tool.Inform(QString("%1 in the project folder cannot be read; the log says why")
                                 .arg(CEvaluationStore::FILE_NAME),
                             true);
    // Nothing to compare yet: the message before has said why.
    if (vctEvaluations.empty())
        return;
    CEvaluationView view(m_pParent);
    view.SetEvaluations(vctEvaluations);
    CInteraction::Exec(&view);
}
