#include "trainer/remote/RunRecord.h"

#include "common/log/Logger.h"
#include "trainer/FileReplacer.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

const QString SRunRecord::FILE_NAME = QStringLiteral("training-run.json");

QString SRunRecord::FilePath(const QString& strProjectDir)
{
    return strProjectDir + QDir::separator() + FILE_NAME;
}

bool SRunRecord::Load(const QString& strProjectDir, SRunRecord& record)
{
    QFile file(FilePath(strProjectDir));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
    record.target = STrainingTarget::FromJson(json.value("target").toObject());
    record.strRemoteDir = json.value("remote_dir").toString();
    record.strRunID = json.value("run_id").toString();
    record.nOutputOffset = static_cast<qint64>(json.value("output_offset").toDouble());
    record.nErrorOffset = static_cast<qint64>(json.value("error_offset").toDouble());
    record.bClean = json.value("clean").toBool();
    if (!record.target.IsRemote() || record.strRemoteDir.isEmpty() || record.strRunID.isEmpty())
    {
        CLog::Write(ELogLevel::WARNING, "Ignored the unreadable run record %s",
                    file.fileName().toUtf8().constData());
        return false;
    }
    return true;
}

bool SRunRecord::Save(const QString& strProjectDir) const
{
    const QJsonObject json{{"target", target.ToJson()},
                           {"remote_dir", strRemoteDir},
                           {"run_id", strRunID},
                           {"output_offset", double(nOutputOffset)},
                           {"error_offset", double(nErrorOffset)},
                           {"clean", bClean}};
    const CFileReplacer replacer(strProjectDir);
    if (replacer.IsOpen() && replacer.Write(FILE_NAME, QJsonDocument(json).toJson()))
        return true;
    CLog::Write(ELogLevel::ERROR, "Failed to write %s", FilePath(strProjectDir).toUtf8().constData());
    return false;
}

void SRunRecord::Remove(const QString& strProjectDir)
{
    QFile::remove(FilePath(strProjectDir));
}
