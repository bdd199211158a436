#include "trainer/evaluate/DarknetTool.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/setting/SettingManager.h"
#include "trainer/DarknetImageName.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/WholeFile.h"
#include "trainer/detect/RunClasses.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace
{
int CountLabelLines(const QString& strLabelPath)
{
    int nLines = 0;
    for (const QByteArray& baLine : CWholeFile::Read(strLabelPath, CRunClasses::MAX_FILE_BYTES).split('\n'))
    {
        if (!baLine.trimmed().isEmpty())
            ++nLines;
    }
    return nLines;
}
} // namespace

CDarknetTool::CDarknetTool(const QString& strTitle, QWidget* pParent)
    : m_strTitle(strTitle), m_pParent(pParent)
{
}

QString CDarknetTool::Executable(CProjectController* pProject) const
{
    // Training holds the files a build rewrites, and the processor.
    if (!pProject || !pProject->IsCommandNotRunning())
        return QString();
    const QString strExe = CSetting::GetString(QStringLiteral("QUILLON_COMMAND_EXE_YOLO3"), QString());
    const QFileInfo info(strExe);
    if (!strExe.isEmpty() && info.isFile() && info.isExecutable())
        return strExe;
    Inform(strExe.isEmpty()
               ? QStringLiteral("No Darknet executable is set: choose it in the settings first")
               : QString("The Darknet executable %1 does not exist or cannot be run").arg(strExe),
           true);
    return QString();
}

void CDarknetTool::Inform(const QString& strText, bool bWarning) const
{
    CLog::Write(bWarning ? ELogLevel::WARNING : ELogLevel::NORMAL, "%s", strText.toUtf8().constData());
    CInteraction::Message(m_pParent, bWarning ? QMessageBox::Warning : QMessageBox::Information, m_strTitle,
                          strText);
}

int CDarknetTool::ListBoxes(const QString& strProjectDir, const QString& strListFile)
{
    int nBoxes = 0;
    const QByteArray baList =
        CWholeFile::Read(strProjectDir + QLatin1Char('/') + strListFile, CRunClasses::MAX_FILE_BYTES);
    for (const QByteArray& baLine : baList.split('\n'))
    {
        const QString strName = QFileInfo(QFile::decodeName(baLine)).fileName();
        if (CDarknetImageName::IsPlainFileName(strName))
            nBoxes += CountLabelLines(strProjectDir + QStringLiteral("/Images/") +
                                      CDarknetImageName::LabelFileName(strName));
    }
    return nBoxes;
}
