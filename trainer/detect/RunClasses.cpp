#include "trainer/detect/RunClasses.h"

#include "common/log/Logger.h"
#include "trainer/DarknetConfigCheck.h"
#include "trainer/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

const QString CRunClasses::FOLDER = QStringLiteral("Backup/Runs");

namespace
{
const QString STAMP_FORMAT = QStringLiteral("yyyyMMdd-hhmmss");
// Weights saved up to this long before a run's recorded start still belong
// to it: file times and the clock may round differently.
constexpr qint64 START_SLACK_SECONDS = 2;

} // namespace

CRunClasses::CRunClasses(const QString& strProjectDir) : m_strProjectDir(strProjectDir) {}

bool CRunClasses::Record(const QStringList& lstNames, const QString& strConfig, const QDateTime& start) const
{
    const QString strFolder = m_strProjectDir + QLatin1Char('/') + FOLDER;
    const QString strBase = strFolder + QLatin1Char('/') + start.toString(STAMP_FORMAT);
    const QByteArray baNames = lstNames.isEmpty() ? QByteArray() : (lstNames.join('\n') + '\n').toUtf8();
    // The configuration first: a names file is what makes a record, so a
    // failure in between leaves no record that lacks its configuration.
    const bool bOk = QDir().mkpath(strFolder) &&
                     CWholeFile::Write(strBase + QStringLiteral(".cfg"), strConfig.toUtf8()) &&
                     CWholeFile::Write(strBase + QStringLiteral(".names"), baNames);
    if (!bOk)
    {
        QFile::remove(strBase + QStringLiteral(".cfg"));
        CLog::Write(ELogLevel::ERROR, "Failed to keep the classes of this run in %s",
                    strFolder.toUtf8().constData());
        return false;
    }
    CLog::Write(ELogLevel::DEBUG, "Classes of this run kept in %s.names", strBase.toUtf8().constData());
    return true;
}

bool CRunClasses::RecordBuild(const QDateTime& start) const
{
    SRunClasses classes;
    QString strError;
    if (!ReadBuild(classes, strError))
    {
        CLog::Write(ELogLevel::ERROR, "%s", strError.toUtf8().constData());
        return false;
    }
    return Record(classes.lstNames, classes.strConfig, start);
}

bool CRunClasses::ForWeights(const QString& strWeights, SRunClasses& classes, QString& strError) const
{
    const QFileInfo weights(QDir(m_strProjectDir).absoluteFilePath(strWeights));
    const QString strBackup = QFileInfo(m_strProjectDir + QStringLiteral("/Backup")).absoluteFilePath();
    // Only Darknet's own saves in this project's Backup come from its runs.
    if (weights.exists() && weights.absolutePath() == strBackup)
    {
        const QString strStamp = RecordFor(weights.lastModified());
        if (!strStamp.isEmpty())
            return ReadRecord(strStamp, classes, strError);
    }
    return ReadBuild(classes, strError);
}

QString CRunClasses::RecordFor(const QDateTime& timeWeights) const
{
    static const QRegularExpression RE_STAMP(QStringLiteral("^(\\d{8}-\\d{6})\\.names$"));
    const QDir folder(m_strProjectDir + QLatin1Char('/') + FOLDER);
    QString strBest;
    QDateTime timeBest;
    for (const QString& strFile : folder.entryList({QStringLiteral("*.names")}, QDir::Files))
    {
        const QRegularExpressionMatch match = RE_STAMP.match(strFile);
        const QDateTime start =
            match.hasMatch() ? QDateTime::fromString(match.captured(1), STAMP_FORMAT) : QDateTime();
        if (!start.isValid() || start.addSecs(-START_SLACK_SECONDS) > timeWeights)
            continue;
        if (!timeBest.isValid() || start > timeBest)
        {
            timeBest = start;
            strBest = match.captured(1);
        }
    }
    return strBest;
}

bool CRunClasses::ReadRecord(const QString& strStamp, SRunClasses& classes, QString& strError) const
{
    const QString strBase = m_strProjectDir + QLatin1Char('/') + FOLDER + QLatin1Char('/') + strStamp;
    QByteArray baNames;
    QByteArray baConfig;
    if (!CWholeFile::Read(strBase + QStringLiteral(".names"), MAX_FILE_BYTES, baNames) ||
        !CWholeFile::Read(strBase + QStringLiteral(".cfg"), MAX_FILE_BYTES, baConfig))
    {
        strError = QStringLiteral("The classes of the training run of %1 in %2 cannot be read")
                       .arg(QDateTime::fromString(strStamp, STAMP_FORMAT)
                                .toString(QStringLiteral("yyyy-MM-dd hh:mm")),
                            FOLDER);
        return false;
    }
    classes = SRunClasses{ParseNames(baNames), QString::fromUtf8(baConfig), true,
                          FOLDER + QLatin1Char('/') + strStamp + QStringLiteral(".names")};
    return true;
}

bool CRunClasses::ReadBuild(SRunClasses& classes, QString& strError) const
{
    QByteArray baNames;
    QByteArray baConfig;
    if (!CWholeFile::Read(m_strProjectDir + QStringLiteral("/custom.names"), MAX_FILE_BYTES, baNames) ||
        !CWholeFile::Read(m_strProjectDir + QStringLiteral("/config.txt"), MAX_FILE_BYTES, baConfig))
    {
        strError = QStringLiteral("The project has not been built yet (custom.names and config.txt are "
                                  "missing): build it first");
        return false;
    }
    classes =
        SRunClasses{ParseNames(baNames), QString::fromUtf8(baConfig), false, QStringLiteral("custom.names")};
    return true;
}

QFileInfoList CRunClasses::BackupWeights() const
{
    const QDir backup(m_strProjectDir + QStringLiteral("/Backup"));
    return backup.entryInfoList({QStringLiteral("*.weights")}, QDir::Files, QDir::Time);
}

int CRunClasses::ConfigClasses(const QString& strConfig)
{
    const std::vector<SDarknetYoloLayer> vctLayers = CDarknetConfigCheck::YoloLayers(strConfig);
    if (vctLayers.empty())
        return -1;
    for (const SDarknetYoloLayer& layer : vctLayers)
    {
        if (layer.nClasses != vctLayers.front().nClasses)
            return -1;
    }
    return vctLayers.front().nClasses;
}

QStringList CRunClasses::ParseNames(const QByteArray& baNames)
{
    QStringList lstNames;
    for (const QByteArray& baLine : baNames.split('\n'))
    {
        // Darknet keeps everything but the line end; a CR and trailing
        // blanks are what editors leave behind, never part of a name.
        QString strName = QString::fromUtf8(baLine);
        while (!strName.isEmpty() && strName.back().isSpace())
            strName.chop(1);
        lstNames << strName;
    }
    while (!lstNames.isEmpty() && lstNames.back().isEmpty())
        lstNames.removeLast();
    return lstNames;
}
