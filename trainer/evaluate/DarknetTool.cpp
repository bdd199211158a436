#include "trainer/evaluate/DarknetTool.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/setting/SettingManager.h"
#include "trainer/DarknetImageName.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/detect/DarknetJob.h"
#include "trainer/detect/RunClasses.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace
{
// Enough of standard error to say why, not a screen full of layer lines.
constexpr int TAIL_LINES = 5;

QString Tail(const QByteArray& baError)
{
    QStringList lstLines = QString::fromUtf8(baError).split(QRegularExpression("[\r\n]"), Qt::SkipEmptyParts);
    if (lstLines.size() > TAIL_LINES)
        lstLines = lstLines.mid(lstLines.size() - TAIL_LINES);
    return lstLines.join('\n').trimmed();
}

QByteArray ReadCapped(const QString& strPath, qint64 nMaxBytes)
{
    QFile file(strPath);
    if (QFileInfo(strPath).isSymLink() || !file.open(QIODevice::ReadOnly) || file.size() > nMaxBytes)
        return QByteArray();
    return file.read(nMaxBytes);
}

int CountLabelLines(const QString& strLabelPath)
{
    int nLines = 0;
    for (const QByteArray& baLine : ReadCapped(strLabelPath, CRunClasses::MAX_FILE_BYTES).split('\n'))
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

QString CDarknetTool::Failure(const SDarknetJobResult& result, const QString& strWhat)
{
    QString strText;
    if (!result.bStarted)
        strText = QString("Darknet could not be started while %1: %2").arg(strWhat, result.strError);
    else if (result.bCancelled)
        strText = QString("Cancelled while %1").arg(strWhat);
    else if (result.bCrashed)
        strText = QString("Darknet crashed while %1 (it was ended by a signal, such as a segmentation fault)")
                      .arg(strWhat);
    else
        strText = QString("Darknet ended with exit code %1 while %2").arg(result.nExitCode).arg(strWhat);
    // What it printed before the user stopped it says nothing about why.
    const QString strTail = result.bCancelled ? QString() : Tail(result.baError);
    return strTail.isEmpty() ? strText : strText + QStringLiteral(":\n") + strTail;
}

int CDarknetTool::ListBoxes(const QString& strProjectDir, const QString& strListFile)
{
    int nBoxes = 0;
    const QByteArray baList =
        ReadCapped(strProjectDir + QLatin1Char('/') + strListFile, CRunClasses::MAX_FILE_BYTES);
    for (const QByteArray& baLine : baList.split('\n'))
    {
        const QString strName = QFileInfo(QFile::decodeName(baLine)).fileName();
        if (CDarknetImageName::IsPlainFileName(strName))
            nBoxes += CountLabelLines(strProjectDir + QStringLiteral("/Images/") +
                                      CDarknetImageName::LabelFileName(strName));
    }
    return nBoxes;
}
