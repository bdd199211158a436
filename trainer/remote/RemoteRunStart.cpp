#include "trainer/remote/RemoteRun.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "trainer/remote/HostKeys.h"

#include <QDir>
#include <QFileInfo>

namespace
{
const QString WEIGHTS_FOLDER = QStringLiteral("Weights");
// What Build writes and Darknet reads, next to "Images".
const QStringList BUILT_FILES{QStringLiteral("custom.names"), QStringLiteral("train.txt"),
                              QStringLiteral("test.txt"), QStringLiteral("detector.txt"),
                              QStringLiteral("config.txt")};

// Prepares the folder of a new run: it exists and is writable, and what an
// earlier run left of its output is gone. $2: the job script, if any.
const QString PREPARE_SCRIPT =
    QStringLiteral("mkdir -p \"$1/.optra\" || exit 1\n"
                   "cd \"$1/.optra\" || exit 1\n"
                   ": > probe 2>/dev/null || { echo \"The folder $1 is not writable\" >&2; exit 1; }\n"
                   "rm -f probe out err exit pid\n"
                   "[ -z \"$2\" ] || printf '%s\\n' \"$2\" > job.sh\n");

// The weights as Darknet there names them: inside the project the same
// relative path, from elsewhere a copy in "Weights".
QString RemoteWeights(const QString& strProjectDir, const QString& strWeights, bool& bInside)
{
    const QDir project(strProjectDir);
    const QString strRelative = project.relativeFilePath(project.absoluteFilePath(strWeights));
    bInside = !strRelative.startsWith(QLatin1String("..")) && !QDir::isAbsolutePath(strRelative);
    return bInside ? QDir::fromNativeSeparators(strRelative)
                   : WEIGHTS_FOLDER + '/' + QFileInfo(strWeights).fileName();
}
} // namespace

bool CRemoteRun::Start(const SRunRequest& request)
{
    QString strError;
    if (!CheckRequest(request, strError))
    {
        FailStart(strError);
        return false;
    }
    m_request = request;
    m_strRemoteDir = Target().ProjectFolder(request.strProjectName);
    m_strRunID.clear();
    m_bEnding = false;
    m_bRunning = false;
    emit signal_StateChanged(QProcess::Starting);
    SetStatus(QString("Connecting to %1").arg(Target().HostName()));
    Prepare();
    return true;
}

bool CRemoteRun::CheckRequest(const SRunRequest& request, QString& strError) const
{
    strError = Target().Incomplete();
    if (!strError.isEmpty())
        return false;
    const QString& strName = request.strProjectName;
    // The project's folder there must stay inside the folder the user chose.
    if (strName.isEmpty() || strName == QLatin1String(".") || strName == QLatin1String("..") ||
        strName.contains('/'))
    {
        strError =
            QString("The project name %1 cannot name a folder on %2").arg(strName, Target().HostName());
        return false;
    }
    return true;
}

QStringList CRemoteRun::RemoteCommand() const
{
    QStringList lstCommand{Target().strDarknet};
    lstCommand << m_request.lstArguments;
    if (!m_request.strWeights.isEmpty() && !lstCommand.isEmpty())
    {
        bool bInside = false;
        lstCommand.last() = RemoteWeights(m_request.strProjectDir, m_request.strWeights, bInside);
    }
    return lstCommand;
}

void CRemoteRun::Prepare()
{
    RunStep(m_host.Script(PREPARE_SCRIPT, {m_strRemoteDir, JobScript(RemoteCommand())}),
            [this](int nExitCode, const QByteArray&, const QByteArray& baError)
            {
                if (nExitCode == 0)
                    return Upload();
                QString strError = m_host.Explain(nExitCode, baError);
                if (nExitCode == CRemoteHost::SSH_FAILURE && CRemoteHost::IsUnknownHostKey(baError) &&
                    CHostKeys(Target()).AskToTrust(strError))
                    return Prepare();
                FailStart(strError);
            });
}

std::vector<CRemoteHost::SInvocation>
CRemoteRun::UploadSteps(const CRemoteHost& host, const SRunRequest& request, const QString& strRemoteDir)
{
    const QString& strDir = request.strProjectDir;
    const auto Existing = [&strDir](const QStringList& lstNames)
    {
        QStringList lstPresent;
        for (const QString& strName : lstNames)
        {
            if (QFileInfo::exists(strDir + '/' + strName))
                lstPresent << strName;
        }
        return lstPresent;
    };
    QStringList lstBulk = Existing({QStringLiteral("Images"), QStringLiteral("Backup")});
    std::vector<CRemoteHost::SInvocation> vctSteps;
    if (!request.strWeights.isEmpty())
    {
        bool bInside = false;
        const QString strRemote = RemoteWeights(strDir, request.strWeights, bInside);
        const QFileInfo weights(QDir(strDir).absoluteFilePath(request.strWeights));
        if (bInside)
            lstBulk << Existing({strRemote});
        else
            vctSteps.push_back(host.Upload(weights.absolutePath(), {weights.fileName()},
                                           strRemoteDir + '/' + WEIGHTS_FOLDER, {}, false));
    }
    // Images and weights by size and time; the small text files Build
    // rewrites every time by their content, so unchanged ones stay.
    vctSteps.push_back(
        host.Upload(strDir, lstBulk, strRemoteDir, {QStringLiteral("- /Images/**.txt")}, false));
    vctSteps.push_back(host.Upload(strDir, Existing(BUILT_FILES + QStringList{QStringLiteral("Images")}),
                                   strRemoteDir,
                                   {QStringLiteral("+ /Images/"), QStringLiteral("+ /Images/**/"),
                                    QStringLiteral("+ /Images/**.txt"), QStringLiteral("- /Images/**")},
                                   true));
    return vctSteps;
}

void CRemoteRun::Upload()
{
    SetStatus(QString("Copying the project to %1").arg(Target().HostName()));
    m_uploadTimer.start();
    UploadNext(std::make_shared<std::vector<CRemoteHost::SInvocation>>(
        UploadSteps(m_host, m_request, m_strRemoteDir)));
}

void CRemoteRun::UploadNext(std::shared_ptr<std::vector<CRemoteHost::SInvocation>> pSteps)
{
    if (pSteps->empty())
    {
        m_dUploadSeconds = m_uploadTimer.elapsed() / 1000.0;
        CLog::Write(ELogLevel::NORMAL, "Copied the project to %s:%s in %.1f s",
                    Target().HostName().toUtf8().constData(), m_strRemoteDir.toUtf8().constData(),
                    m_dUploadSeconds);
        return LaunchRun();
    }
    const CRemoteHost::SInvocation step = pSteps->front();
    pSteps->erase(pSteps->begin());
    RunStep(step,
            [this, pSteps](int nExitCode, const QByteArray&, const QByteArray& baError)
            {
                if (nExitCode != 0)
                    return FailStart("Copying the project failed: " + m_host.Explain(nExitCode, baError));
                UploadNext(pSteps);
            });
}

void CRemoteRun::LaunchRun()
{
    SetStatus(QString("Starting Darknet on %1").arg(Target().HostName()));
    RunStep(Launch(RemoteCommand()),
            [this](int nExitCode, const QByteArray& baOutput, const QByteArray& baError)
            {
                const QString strID = QString::fromUtf8(baOutput).trimmed().section(';', 0, 0);
                if (nExitCode != 0 || strID.isEmpty())
                    return FailStart(m_host.Explain(nExitCode ? nExitCode : 1, baError));
                m_strRunID = strID;
                CLog::Write(ELogLevel::NORMAL, "%s started in %s on %s", Subject().toUtf8().constData(),
                            m_strRemoteDir.toUtf8().constData(), Target().HostName().toUtf8().constData());
                SaveRecord(false);
                if (RunsOnceLaunched())
                {
                    m_bRunning = true;
                    SetStatus(Subject() + ": " + RunningText());
                    emit signal_StateChanged(QProcess::Running);
                }
                Attach(0, 0);
            });
}

void CRemoteRun::FailStart(const QString& strError)
{
    KillSteps();
    CLog::Write(ELogLevel::ERROR, "%s", strError.toUtf8().constData());
    SetStatus(QString());
    emit signal_StateChanged(QProcess::NotRunning);
    CInteraction::Critical(nullptr, strError);
}
