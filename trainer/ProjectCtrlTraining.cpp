#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "trainer/Category.h"
#include "trainer/ConfigurationEditorDlg.h"
#include "trainer/DarknetConfigAdapter.h"
#include "trainer/DarknetConfigCheck.h"
#include "trainer/DarknetOutputParser.h"
#include "trainer/LineNumberTextEditor.h"
#include "trainer/ProjectModel.h"
#include "trainer/TrainingModel.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace
{
const QString CONFIGURATION_KEY = QStringLiteral("PROJECT_CONFIGURATION");
const QString ADAPT_TITLE = QStringLiteral("Adapt to classes");

// Darknet names its weight files after the configuration file ("config.txt"
// gives "config"): "_last" every 100 iterations, "_<N>" every 1,000 or
// 10,000, "_best" with a better mAP, "_final" at the end.
const QRegularExpression BACKUP_WEIGHTS(QStringLiteral("^config_(last|final|best|\\d+)\\.weights$"));

// The newest weights of this configuration in the project's "Backup"; an
// empty info when there are none.
QFileInfo NewestWeights(const QString& strProjectDir)
{
    const QDir backup(strProjectDir + QDir::separator() + QStringLiteral("Backup"));
    const QFileInfoList lstFiles =
        backup.entryInfoList({QStringLiteral("config_*.weights")}, QDir::Files, QDir::Time);
    for (const QFileInfo& file : lstFiles)
    {
        if (BACKUP_WEIGHTS.match(file.fileName()).hasMatch())
            return file;
    }
    return QFileInfo();
}

QMessageBox::StandardButton AskYesNoCancel(QWidget* pParent, const QString& strTitle, const QString& strText)
{
    return CInteraction::Message(pParent, QMessageBox::Question, strTitle, strText,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
}
} // namespace

void CProjectController::TrackTraining(const QStringList& lstLines)
{
    for (const QString& strLine : lstLines)
    {
        const CDarknetOutputParser::SEvent event = CDarknetOutputParser::Parse(strLine);
        if (event.kind == CDarknetOutputParser::EKind::ITERATION)
            m_pTrainingModel->AddIteration(event.point);
        else if (event.kind == CDarknetOutputParser::EKind::MAP)
            m_pTrainingModel->SetMap(event.dMap);
    }
    m_pTrainingModel->Commit();
}

int CProjectController::CategoryCount()
{
    return static_cast<int>(FindDatabaseModel<CCategory>(CCategory::TABLE_NAME, {}).size());
}

bool CProjectController::OfferAdaptation()
{
    if (m_nProjectID < 0 || !m_pDatabase)
        return true;
    const int nClasses = CategoryCount();
    const QString strConfig = FindProjectProperty(CONFIGURATION_KEY);
    const QStringList lstProblems = CDarknetConfigCheck::Check(strConfig, nClasses);
    if (nClasses < 1 || lstProblems.isEmpty())
        return true;
    const SConfigAdaptation adaptation = CDarknetConfigAdapter::Adapt(strConfig, nClasses);
    if (adaptation.vctChanges.empty())
        return true;
    const QString strText =
        QString("The configuration does not fit the %1 categories of the project:\n%2\n\n"
                "Adapt it to %1 classes before training? These lines change:\n%3\n\n"
                "No starts with the configuration as it is.")
            .arg(nClasses)
            .arg(lstProblems.join('\n'), CDarknetConfigAdapter::Describe(adaptation.vctChanges));
    const QMessageBox::StandardButton answer = AskYesNoCancel(nullptr, ADAPT_TITLE, strText);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Yes)
    {
        slot_UpdateProjectProperty(CONFIGURATION_KEY, adaptation.strText);
        CLog::Write(ELogLevel::NORMAL, "Configuration adapted to %d classes", nClasses);
    }
    return true;
}

bool CProjectController::ChooseWeights(QString& strWeights)
{
    strWeights = FindProjectProperty(QStringLiteral("PROJECT_INITIALIZED_MODEL")).trimmed();
    if (!m_pModel)
        return true;
    const QFileInfo newest = NewestWeights(m_pModel->GetProjectDir());
    if (!newest.exists())
        return true;
    // Relative to the project folder, Darknet's working directory, as Darknet names it.
    const QString strBackup = QStringLiteral("Backup") + QDir::separator() + newest.fileName();
    const QString strText =
        QString("Backup holds weights of this configuration.\n"
                "Continue training from %1 (saved %2)?\n\nNo starts from %3.")
            .arg(strBackup, newest.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm")),
                 strWeights.isEmpty() ? QStringLiteral("scratch") : "the initial weights " + strWeights);
    const QMessageBox::StandardButton answer = AskYesNoCancel(nullptr, QStringLiteral("Start"), strText);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Yes)
        strWeights = strBackup;
    return true;
}

void CProjectController::slot_AdaptToClasses()
{
    if (!m_pConfigurationEditorView || !m_pConfigurationEditorView->GetEditor())
        return;
    QWidget* pParent = m_pConfigurationEditorView;
    const int nClasses = CategoryCount();
    const QString strConfig = m_pConfigurationEditorView->GetEditor()->toPlainText();
    const auto Inform = [pParent](const QString& strText)
    {
        CInteraction::Message(pParent, QMessageBox::Information, ADAPT_TITLE, strText);
    };
    if (nClasses < 1)
        return Inform(QStringLiteral("The project has no class categories to adapt the configuration to"));
    if (CDarknetConfigCheck::YoloLayers(strConfig).empty())
        return Inform(QStringLiteral("The configuration has no [yolo] section to adapt"));
    const SConfigAdaptation adaptation = CDarknetConfigAdapter::Adapt(strConfig, nClasses);
    if (adaptation.vctChanges.empty())
        return Inform(QString("The configuration already fits %1 classes").arg(nClasses));

    const QString strText = QString("Adapt the configuration to %1 classes? These lines change:\n%2")
                                .arg(nClasses)
                                .arg(CDarknetConfigAdapter::Describe(adaptation.vctChanges));
    if (CInteraction::Message(pParent, QMessageBox::Question, ADAPT_TITLE, strText,
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes)
        return;
    // Through the editor: one undoable edit, stored like any other.
    m_pConfigurationEditorView->ReplaceText(adaptation.strText);
}
