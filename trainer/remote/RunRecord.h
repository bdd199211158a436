#pragma once

#include "trainer/remote/TrainingTarget.h"

#include <QString>

// What the program keeps of a remote run in the project folder
// ("training-run.json") so that it can follow the run again after the
// program or the project was closed: the target, the folder there, the
// process or job id and how much of each output file the project has
// already taken in. bClean says those offsets were written when the program
// let go of the run, with everything before them stored.
// A value type; GUI thread.
struct SRunRecord
{
    static const QString FILE_NAME;

    STrainingTarget target;
    QString strRemoteDir;
    QString strRunID;
    qint64 nOutputOffset = 0;
    qint64 nErrorOffset = 0;
    bool bClean = false;

    static QString FilePath(const QString& strProjectDir);
    // False when there is no record or it cannot be read.
    static bool Load(const QString& strProjectDir, SRunRecord& record);
    // Replaces the record as a whole; false when it could not be written (logged).
    bool Save(const QString& strProjectDir) const;
    static void Remove(const QString& strProjectDir);
};
