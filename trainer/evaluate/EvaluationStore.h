#pragma once

#include "trainer/evaluate/DarknetMapParser.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The evaluations of a project's weights files, kept in "evaluations.csv" in
// the project folder so that weights can be compared side by side. Per
// weights file one row per class, then its summary row (empty class_id):
//   weights,class_id,class_name,ap_percent,tp,fp,fn,conf_thresh,precision,
//   recall,f1,average_iou_percent,iou_threshold_percent,map,unread
// Fields are quoted as RFC 4180 says (commas, quotes and line breaks in
// class names and unread lines), rows end with CRLF, a value Darknet did not
// print is an empty field. The file is replaced as a whole, never edited in
// place; a newer evaluation of a weights file replaces the older one where
// it stood. A file that is not such a table is never overwritten.
// Owned by whoever evaluates; any one thread at a time.
class CEvaluationStore
{
public:
    static const QString FILE_NAME;
    static const QByteArray HEADER;

    explicit CEvaluationStore(const QString& strProjectDir);

    // A missing file is no evaluation and true. False (logged) when the file
    // cannot be read, is too large or is not an evaluation table.
    bool Load(std::vector<SEvaluation>& vctEvaluations) const;
    // False (logged) when it could not be stored; the file is then unchanged.
    bool Store(const SEvaluation& evaluation) const;

    static QByteArray Format(const std::vector<SEvaluation>& vctEvaluations);
    // False when the text is not empty and does not start with HEADER. Rows that cannot be
    // read (wrong field count, a class row without a number) are skipped and
    // counted in nSkipped; a weights file without its summary row keeps its
    // classes and unset totals.
    static bool Parse(const QByteArray& baCsv, std::vector<SEvaluation>& vctEvaluations, int& nSkipped);

private:
    QString m_strProjectDir;
};
