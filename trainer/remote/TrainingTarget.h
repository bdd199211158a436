#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

// Where a project trains: on this computer (a child process, as always), on
// a remote machine reached over SSH, or as a job of a Slurm cluster submitted
// either through SSH on a login node or with this machine's own sbatch. The
// program-wide target lives in the settings ("Training" page); a project may
// name its own kind in its property "PROJECT_TRAINING_TARGET". A running
// remote run keeps a copy in its record, so changed settings never lose it.
// A value type; any thread.
struct STrainingTarget
{
    enum class EKind
    {
        LOCAL,
        SSH,
        SLURM,
    };

    // Setting keys of the "Training" page.
    static const QString KEY_KIND;
    static const QString KEY_HOST;
    static const QString KEY_PORT;
    static const QString KEY_USER;
    static const QString KEY_IDENTITY;
    static const QString KEY_FOLDER;
    static const QString KEY_DARKNET;
    static const QString KEY_ARGUMENTS;
    static const QString KEY_SLURM_SUBMIT;
    static const QString KEY_PARTITION;
    static const QString KEY_GPUS;
    static const QString KEY_TIME;
    static const QString KEY_SBATCH_LINES;
    // The project property naming the project's own kind ("" = the settings').
    static const QString PROJECT_KEY;

    EKind kind = EKind::LOCAL;
    QString strHost;
    int nPort = 22;
    QString strUser;
    QString strIdentity;
    // The folder the user gave; each project trains in a sub-folder of it.
    QString strFolder;
    QString strDarknet;
    QString strArguments;
    // Slurm: sbatch and friends run on this machine instead of over SSH.
    bool bSubmitHere = false;
    QString strPartition;
    int nGpus = 0;
    QString strTimeLimit;
    QString strSbatchLines;

    // "local", "ssh", "slurm"; unknown texts are LOCAL.
    static EKind KindFromText(const QString& strText);
    static QString KindText(EKind kind);
    static STrainingTarget FromSettings();
    // The settings' target with the kind the project chose, if it chose one.
    static STrainingTarget ForProject(const QString& strProjectKind);

    bool IsRemote() const { return kind != EKind::LOCAL; }
    // Commands go through SSH (not for a Slurm cluster reached from here).
    bool UsesSsh() const { return kind == EKind::SSH || (kind == EKind::SLURM && !bSubmitHere); }
    // The project's folder on the target: a sub-folder of the chosen folder.
    QString ProjectFolder(const QString& strProjectName) const;
    // "gpu1", or "this machine" for a Slurm cluster reached from here.
    QString HostName() const;
    // The leading Darknet arguments, then (on a remote target) its extra ones.
    QStringList Arguments(const QString& strLeading) const;
    // What is missing before anything can be tried; empty when complete.
    QString Incomplete() const;

    QJsonObject ToJson() const;
    static STrainingTarget FromJson(const QJsonObject& json);
};
