#include "trainer/remote/TrainingTarget.h"

#include "common/setting/SettingManager.h"

#include <QProcess>

const QString STrainingTarget::KEY_KIND = QStringLiteral("TRAINING_TARGET");
const QString STrainingTarget::KEY_HOST = QStringLiteral("TRAINING_HOST");
const QString STrainingTarget::KEY_PORT = QStringLiteral("TRAINING_PORT");
const QString STrainingTarget::KEY_USER = QStringLiteral("TRAINING_USER");
const QString STrainingTarget::KEY_IDENTITY = QStringLiteral("TRAINING_IDENTITY");
const QString STrainingTarget::KEY_FOLDER = QStringLiteral("TRAINING_REMOTE_FOLDER");
const QString STrainingTarget::KEY_DARKNET = QStringLiteral("TRAINING_REMOTE_DARKNET");
const QString STrainingTarget::KEY_ARGUMENTS = QStringLiteral("TRAINING_REMOTE_ARGUMENTS");
const QString STrainingTarget::KEY_SLURM_SUBMIT = QStringLiteral("TRAINING_SLURM_SUBMIT");
const QString STrainingTarget::KEY_PARTITION = QStringLiteral("TRAINING_SLURM_PARTITION");
const QString STrainingTarget::KEY_GPUS = QStringLiteral("TRAINING_SLURM_GPUS");
const QString STrainingTarget::KEY_TIME = QStringLiteral("TRAINING_SLURM_TIME");
const QString STrainingTarget::KEY_SBATCH_LINES = QStringLiteral("TRAINING_SLURM_LINES");
const QString STrainingTarget::PROJECT_KEY = QStringLiteral("PROJECT_TRAINING_TARGET");

namespace
{
const QString SUBMIT_HERE = QStringLiteral("here");
} // namespace

STrainingTarget::EKind STrainingTarget::KindFromText(const QString& strText)
{
    if (strText == QLatin1String("ssh"))
        return EKind::SSH;
    if (strText == QLatin1String("slurm"))
        return EKind::SLURM;
    return EKind::LOCAL;
}

QString STrainingTarget::KindText(EKind kind)
{
    switch (kind)
    {
    case EKind::SSH:
        return QStringLiteral("ssh");
    case EKind::SLURM:
        return QStringLiteral("slurm");
    case EKind::LOCAL:
        break;
    }
    return QStringLiteral("local");
}

STrainingTarget STrainingTarget::FromSettings()
{
    STrainingTarget target;
    target.kind = KindFromText(CSetting::GetString(KEY_KIND, QString()));
    target.strHost = CSetting::GetString(KEY_HOST, QString()).trimmed();
    target.nPort = CSetting::GetInt(KEY_PORT, 22);
    target.strUser = CSetting::GetString(KEY_USER, QString()).trimmed();
    target.strIdentity = CSetting::GetString(KEY_IDENTITY, QString()).trimmed();
    target.strFolder = CSetting::GetString(KEY_FOLDER, QString()).trimmed();
    target.strDarknet = CSetting::GetString(KEY_DARKNET, QString()).trimmed();
    target.strArguments = CSetting::GetString(KEY_ARGUMENTS, QString());
    target.bSubmitHere = CSetting::GetString(KEY_SLURM_SUBMIT, QString()) == SUBMIT_HERE;
    target.strPartition = CSetting::GetString(KEY_PARTITION, QString()).trimmed();
    target.nGpus = CSetting::GetInt(KEY_GPUS, 0);
    target.strTimeLimit = CSetting::GetString(KEY_TIME, QString()).trimmed();
    target.strSbatchLines = CSetting::GetString(KEY_SBATCH_LINES, QString());
    return target;
}

STrainingTarget STrainingTarget::ForProject(const QString& strProjectKind)
{
    STrainingTarget target = FromSettings();
    if (!strProjectKind.trimmed().isEmpty())
        target.kind = KindFromText(strProjectKind.trimmed());
    return target;
}

QString STrainingTarget::ProjectFolder(const QString& strProjectName) const
{
    QString strBase = strFolder;
    while (strBase.size() > 1 && strBase.endsWith(QLatin1Char('/')))
        strBase.chop(1);
    return strBase + QLatin1Char('/') + strProjectName;
}

QString STrainingTarget::HostName() const
{
    return UsesSsh() ? strHost : QStringLiteral("this machine");
}

QStringList STrainingTarget::Arguments(const QString& strLeading) const
{
    if (!IsRemote())
        return QProcess::splitCommand(strLeading);
    return QProcess::splitCommand(strLeading) + QProcess::splitCommand(strArguments);
}

QString STrainingTarget::Incomplete() const
{
    if (UsesSsh() && strHost.isEmpty())
        return QStringLiteral("No host is set for training on another machine");
    if (UsesSsh() && (nPort < 1 || nPort > 65535))
        return QString("Port %1 is no valid SSH port").arg(nPort);
    if (strFolder.isEmpty())
        return QStringLiteral("No remote folder is set for training");
    if (!strFolder.startsWith(QLatin1Char('/')))
        return QString("The remote folder %1 must be an absolute path").arg(strFolder);
    if (strDarknet.isEmpty())
        return QStringLiteral("No remote Darknet executable is set");
    return QString();
}

QJsonObject STrainingTarget::ToJson() const
{
    return QJsonObject{{"kind", KindText(kind)},
                       {"host", strHost},
                       {"port", nPort},
                       {"user", strUser},
                       {"identity", strIdentity},
                       {"folder", strFolder},
                       {"darknet", strDarknet},
                       {"arguments", strArguments},
                       {"submit_here", bSubmitHere},
                       {"partition", strPartition},
                       {"gpus", nGpus},
                       {"time", strTimeLimit},
                       {"sbatch_lines", strSbatchLines}};
}

STrainingTarget STrainingTarget::FromJson(const QJsonObject& json)
{
    STrainingTarget target;
    target.kind = KindFromText(json.value("kind").toString());
    target.strHost = json.value("host").toString();
    target.nPort = json.value("port").toInt(22);
    target.strUser = json.value("user").toString();
    target.strIdentity = json.value("identity").toString();
    target.strFolder = json.value("folder").toString();
    target.strDarknet = json.value("darknet").toString();
    target.strArguments = json.value("arguments").toString();
    target.bSubmitHere = json.value("submit_here").toBool();
    target.strPartition = json.value("partition").toString();
    target.nGpus = json.value("gpus").toInt();
    target.strTimeLimit = json.value("time").toString();
    target.strSbatchLines = json.value("sbatch_lines").toString();
    return target;
}
