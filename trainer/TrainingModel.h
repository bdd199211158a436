#pragma once

#include "common/mvc/CenterModel.h"
#include "trainer/TrainingHistory.h"

#include <QString>

#include <vector>

// The training run of the open project as the chart shows it: every iteration
// Darknet reported, kept in "training.csv" in the project folder. The project
// controller feeds it line by line and commits once per read of Darknet's
// output, so a burst of lines is written and announced once.
// Owned by the project controller; GUI thread.
class CTrainingModel : public CModel
{
    Q_OBJECT
public:
    // Shows the run stored in strProjectDir (none when there is no file).
    void Open(const QString& strProjectDir);
    // Writes what is pending and shows nothing.
    void Close();

    void AddIteration(const STrainingPoint& point);
    void SetMap(double dMap);
    // Writes the finished iterations and announces what changed since the last commit.
    void Commit();
    // The run has ended: writes everything and announces what changed.
    void Finish();

    const std::vector<STrainingPoint>& GetPoints() const { return m_history.Points(); }
    // What the run says of itself beyond its output: where it runs and in
    // which state ("Slurm job 12: queued"); empty when there is nothing to say.
    QString GetRunStatus() const { return m_strRunStatus; }
    QString GetFilePath() const { return m_history.FilePath(); }

public slots:
    void SetRunStatus(const QString& strStatus);

signals:
    void signal_ChangeRunStatus(const QString& strStatus);
    // Points from nFirstChanged on are new or changed; 0 also after a reset.
    void signal_ChangeTraining(int nFirstChanged);

private:
    void MarkChanged(int nIndex);
    void Announce();

    CTrainingHistory m_history;
    // Index of the first point changed since the last announcement, -1 for none.
    int m_nFirstChanged = -1;
    QString m_strRunStatus;
};
