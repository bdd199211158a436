#include "trainer/evaluate/AnchorsController.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "trainer/ConfigurationEditorDlg.h"
#include "trainer/DarknetConfigAdapter.h"
#include "trainer/DarknetConfigCheck.h"
#include "trainer/LineNumberTextEditor.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/WholeFile.h"
#include "trainer/detect/DarknetJob.h"
#include "trainer/detect/RunClasses.h"
#include "trainer/evaluate/AnchorsCalc.h"
#include "trainer/evaluate/DarknetTool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <vector>

namespace
{
const QString TITLE = QStringLiteral("Calculate anchors");
const QString CONFIGURATION_KEY = QStringLiteral("PROJECT_CONFIGURATION");
// Far more than nine pairs of numbers; anything longer is not Darknet's.
constexpr qint64 MAX_ANCHORS_BYTES = 64 * 1024;
// Darknet's default network size.
constexpr int DEFAULT_SIZE = 416;

// The network's input size, which Darknet scales the relative boxes to.
QSize NetworkSize(const QString& strConfig)
{
    for (const SDarknetConfigSection& section : CDarknetConfigCheck::Sections(strConfig))
    {
        if (section.strName == QStringLiteral("[net]") || section.strName == QStringLiteral("[network]"))
            return QSize(CDarknetConfigCheck::IntOption(section, QStringLiteral("width"), DEFAULT_SIZE),
                         CDarknetConfigCheck::IntOption(section, QStringLiteral("height"), DEFAULT_SIZE));
    }
    return QSize(DEFAULT_SIZE, DEFAULT_SIZE);
}

// As many anchors as the network has now (six in a tiny network, whose
// masks would otherwise pick the wrong ones of nine); the usual nine when
// the [yolo] sections do not say or disagree.
int Clusters(const QString& strConfig)
{
    int nClusters = -1;
    for (const SDarknetConfigSection& section : CDarknetConfigCheck::Sections(strConfig))
    {
        if (section.strName != QStringLiteral("[yolo]"))
            continue;
        const int nNum = CDarknetConfigCheck::IntOption(section, QStringLiteral("num"), -1);
        if (nNum < 1 || (nClusters > 0 && nNum != nClusters))
            return CAnchorsController::DEFAULT_CLUSTERS;
        nClusters = nNum;
    }
    return nClusters > 0 ? nClusters : CAnchorsController::DEFAULT_CLUSTERS;
}
} // namespace

CAnchorsController::CAnchorsController(CProjectController* pProject, const QString& strProjectDir,
                                       QWidget* pParent)
    : m_pProject(pProject), m_strProjectDir(strProjectDir), m_pParent(pParent), m_tool(TITLE, pParent)
{
}

void CAnchorsController::Run()
{
    if (m_strProjectDir.isEmpty())
        return;
    const QString strExe = m_tool.Executable(m_pProject);
    if (strExe.isEmpty())
        return;
    // Darknet reads the training list and its labels as the build writes them.
    if (!m_pProject->Build())
        return m_tool.Inform(
            QStringLiteral("The project could not be built, so there are no labels to calculate "
                           "anchors from; the log says why"),
            true);
    const QString strConfig = CurrentConfig();
    m_nClusters = Clusters(strConfig);
    const int nBoxes = CDarknetTool::ListBoxes(m_strProjectDir, QStringLiteral("train.txt"));
    QString strError = CAnchorsCalc::CheckBoxCount(nBoxes, m_nClusters);
    if (!strError.isEmpty())
        return m_tool.Inform(strError, true);
    const QSize size = NetworkSize(strConfig);
    QTemporaryDir dirWork(QDir::tempPath() + QStringLiteral("/optra-anchors-XXXXXX"));
    if (!dirWork.isValid() || !PrepareWorkFolder(dirWork.path()))
        return m_tool.Inform(QStringLiteral("No temporary working folder for Darknet could be prepared"),
                             true);
    CDarknetJob job(QStringLiteral("Calculating anchors..."), m_pParent);
    const SDarknetJobResult result =
        job.Run(strExe,
                {QStringLiteral("detector"), QStringLiteral("calc_anchors"), QStringLiteral("detector.txt"),
                 QStringLiteral("-num_of_clusters"), QString::number(m_nClusters), QStringLiteral("-width"),
                 QString::number(size.width()), QStringLiteral("-height"), QString::number(size.height()),
                 QStringLiteral("-dont_show")},
                dirWork.path());
    if (result.bCancelled)
        return;
    if (!result.Succeeded())
        return m_tool.Inform(result.Describe(QStringLiteral("calculating anchors")), true);
    QString strAnchors;
    if (!ReadAnchors(dirWork.path(), result.baOutput, strAnchors, strError))
        return m_tool.Inform(strError, true);
    Offer(strConfig, strAnchors, nBoxes);
}

bool CAnchorsController::PrepareWorkFolder(const QString& strFolder) const
{
    const QByteArray baNames =
        CWholeFile::Read(m_strProjectDir + QStringLiteral("/custom.names"), CRunClasses::MAX_FILE_BYTES);
    const int nClasses = static_cast<int>(CRunClasses::ParseNames(baNames).size());
    const QByteArray baData =
        "classes=" + QByteArray::number(nClasses) + "\ntrain=train.txt\nnames=custom.names\n";
    // The list names "Images/..." relative to the working folder; a link
    // keeps those paths, where absolute ones could contain the "/images/"
    // that Darknet turns into "/labels/" to find a label file.
    return CWholeFile::Write(strFolder + QStringLiteral("/detector.txt"), baData) &&
           CWholeFile::Write(strFolder + QStringLiteral("/custom.names"), baNames) &&
           QFile::copy(m_strProjectDir + QStringLiteral("/train.txt"),
                       strFolder + QStringLiteral("/train.txt")) &&
           QFile::link(QDir(m_strProjectDir).absoluteFilePath(QStringLiteral("Images")),
                       strFolder + QStringLiteral("/Images"));
}

bool CAnchorsController::ReadAnchors(const QString& strFolder, const QByteArray& baOutput,
                                     QString& strAnchors, QString& strError) const
{
    std::vector<QSizeF> vctAnchors;
    const QString strFile =
        QString::fromUtf8(CWholeFile::Read(strFolder + QStringLiteral("/anchors.txt"), MAX_ANCHORS_BYTES));
    if (!strFile.trimmed().isEmpty() && CAnchorsCalc::Parse(strFile, m_nClusters, vctAnchors, strError))
    {
        strAnchors = CAnchorsCalc::Format(vctAnchors);
        return true;
    }
    const QString strLine = CAnchorsCalc::AnchorsLine(QString::fromUtf8(baOutput));
    if (strLine.isEmpty())
    {
        strError =
            QStringLiteral("Darknet ended without writing anchors (no anchors.txt, no \"anchors =\" line)");
        return false;
    }
    if (!CAnchorsCalc::Parse(strLine, m_nClusters, vctAnchors, strError))
    {
        strError = QStringLiteral("The anchors Darknet printed cannot be read: ") + strError;
        return false;
    }
    strAnchors = CAnchorsCalc::Format(vctAnchors);
    return true;
}

void CAnchorsController::Offer(const QString& strConfig, const QString& strAnchors, int nBoxes)
{
    std::vector<QSizeF> vctAnchors;
    QString strError;
    SConfigAdaptation adaptation;
    if (!CAnchorsCalc::Parse(strAnchors, m_nClusters, vctAnchors, strError) ||
        !CAnchorsCalc::Apply(strConfig, vctAnchors, adaptation, strError))
        return m_tool.Inform(
            QString("The anchors %1 cannot be written into the configuration: %2").arg(strAnchors, strError),
            true);
    const QString strFound =
        QString("Anchors for the %1 boxes of the training list: %2").arg(nBoxes).arg(strAnchors);
    CLog::Write(ELogLevel::NORMAL, "%s", strFound.toUtf8().constData());
    if (adaptation.vctChanges.empty())
        return m_tool.Inform(strFound + QStringLiteral("\n\nEvery [yolo] section already has them."), false);
    const QString strText =
        strFound + QStringLiteral("\n\nWrite them into every [yolo] section? These lines change:\n") +
        CDarknetConfigAdapter::Describe(adaptation.vctChanges);
    if (CInteraction::Message(m_pParent, QMessageBox::Question, TITLE, strText,
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes)
        return;
    WriteIntoEditor(adaptation.strText);
}

QString CAnchorsController::CurrentConfig() const
{
    const CConfigurationEditorView* pEditor = m_pProject->GetConfigurationEditorView();
    if (pEditor && pEditor->isVisible() && pEditor->GetEditor())
        return pEditor->GetEditor()->toPlainText();
    return m_pProject->FindProjectProperty(CONFIGURATION_KEY);
}

void CAnchorsController::WriteIntoEditor(const QString& strText)
{
    CConfigurationEditorView* pEditor = m_pProject->GetConfigurationEditorView();
    if (!pEditor)
        return;
    // Through the editor, as one edit: the user sees it and can take it
    // back with Undo, and it is stored like any other edit.
    if (pEditor->isVisible())
        return pEditor->ReplaceText(strText);
    pEditor->Update(CurrentConfig());
    pEditor->ReplaceText(strText);
    CInteraction::Exec(pEditor);
}
