#pragma once

#include <QDateTime>
#include <QFileInfoList>
#include <QString>
#include <QStringList>

// The class list and network configuration a set of weights was trained
// with.
struct SRunClasses
{
    QStringList lstNames;
    QString strConfig;
    // False when no record of a run covers the weights (weights from
    // elsewhere, or trained before records were kept): the project's last
    // build stands in for it.
    bool bRecorded = false;
    // Where the names came from, for messages: "Backup/Runs/<stamp>.names"
    // or "custom.names".
    QString strSource;
};

// Darknet knows classes only by index, so weights trained before a class
// was deleted, renamed or reordered would name the wrong class. Every
// training run leaves the class list and configuration it was built with in
// "Backup/Runs/<start as yyyyMMdd-hhmmss>.names" and ".cfg"; the weights a
// run wrote are the ones saved after it started and before the next run
// did. Records are read as hostile (size capped, symbolic links refused).
// Stateless apart from the project folder; any thread.
class CRunClasses
{
public:
    static const QString FOLDER;
    static constexpr qint64 MAX_FILE_BYTES = 4 << 20;

    explicit CRunClasses(const QString& strProjectDir);

    // Keeps the class list and configuration of a run starting at start.
    // False (logged) when they could not be written; nothing half-written
    // stays.
    bool Record(const QStringList& lstNames, const QString& strConfig, const QDateTime& start) const;
    // Records what the last build wrote (custom.names, config.txt): what a
    // run starting now trains with.
    bool RecordBuild(const QDateTime& start) const;
    // The classes of the weights file (a path relative to the project folder
    // or absolute). False with strError when neither a record nor the
    // project's build files can be read.
    bool ForWeights(const QString& strWeights, SRunClasses& classes, QString& strError) const;
    // Every .weights file in the project's "Backup", newest first: the first
    // is what detection and evaluation take unless the user picks another.
    QFileInfoList BackupWeights() const;
    // The classes= every [yolo] section of the configuration agrees on; -1
    // when the sections disagree or there is none.
    static int ConfigClasses(const QString& strConfig);
    // Names of a .names file: one per line, trailing white space and CR
    // removed, empty lines at the end dropped.
    static QStringList ParseNames(const QByteArray& baNames);

private:
    // The stamp of the newest run that began no later than the time; empty
    // when none did.
    QString RecordFor(const QDateTime& timeWeights) const;
    bool ReadRecord(const QString& strStamp, SRunClasses& classes, QString& strError) const;
    bool ReadBuild(SRunClasses& classes, QString& strError) const;

    QString m_strProjectDir;
};
