#pragma once

#include "trainer/DarknetOutputParser.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <vector>

// The iterations of the project's training run and their file "training.csv"
// in the project folder: a header, then one row per iteration in iteration
// order ("iteration,loss,avg_loss,rate,seconds,images,hours_left,map"; an
// empty field is a value Darknet did not print). Rows are appended while
// Darknet runs; the newest iteration waits until the next one arrives or the
// run ends, since its mAP is printed after it. Whenever rows must go (a run
// that started over) the file is replaced as a whole, so it never holds half
// a rewrite, and a row cut off by a crash is skipped when reading.
// Owned by the training model; GUI thread.
class CTrainingHistory
{
public:
    static const QString FILE_NAME;
    static const QByteArray HEADER;

    // Forgets the current history and reads strFile. A missing file is an
    // empty history; lines that are no rows are skipped. False when the file
    // exists but cannot be read.
    bool Load(const QString& strFile);
    // Writes what is still pending, then forgets everything.
    void Close();

    // Adds one iteration and returns the index of the first point that
    // changed. An iteration at or before the newest one means Darknet started
    // over from older weights (or from scratch): the points from that
    // iteration on belong to a run that no longer counts and are dropped.
    int Add(const STrainingPoint& point);
    // Gives the newest iteration its mAP; returns its index, -1 without points.
    int SetMap(double dMap);
    // Writes every point but the newest one; false when writing failed (logged).
    bool Store();
    // Writes every point and closes the file: the run has ended.
    bool Finish();

    const std::vector<STrainingPoint>& Points() const { return m_vctPoints; }
    QString FilePath() const { return m_strFile; }

    static QByteArray FormatRow(const STrainingPoint& point);
    // False for a line that is no complete row.
    static bool ParseRow(const QByteArray& baLine, STrainingPoint& point);

private:
    // Removes the points from nIteration on; returns how many stay.
    size_t DropFrom(int nIteration);
    bool StoreUpTo(size_t nCount);
    bool Rewrite(size_t nCount);
    bool Append(size_t nCount);
    bool Failed();

    std::vector<STrainingPoint> m_vctPoints;
    QString m_strFile;
    // How many points the file holds, and whether it holds exactly those
    // (after the header, each ended by a line feed) so rows may be appended.
    size_t m_nStored = 0;
    bool m_bFileMatches = false;
    // Open for appending while a run writes.
    QFile m_file;
    bool m_bFailureLogged = false;
};
