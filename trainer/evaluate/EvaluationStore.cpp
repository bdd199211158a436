#include "trainer/evaluate/EvaluationStore.h"

#include "common/log/Logger.h"
#include "trainer/FileReplacer.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

const QString CEvaluationStore::FILE_NAME = QStringLiteral("evaluations.csv");
const QByteArray CEvaluationStore::HEADER =
    "weights,class_id,class_name,ap_percent,tp,fp,fn,conf_thresh,precision,recall,f1,average_iou_percent,"
    "iou_threshold_percent,map,unread";

namespace
{
constexpr int FIELDS = 15;
constexpr qint64 MAX_FILE_BYTES = 64 * 1024 * 1024;

enum EField
{
    WEIGHTS,
    CLASS_ID,
    CLASS_NAME,
    AP,
    TP,
    FP,
    FN,
    CONF_THRESH,
    PRECISION,
    RECALL,
    F1,
    AVERAGE_IOU,
    IOU_THRESHOLD,
    MAP,
    UNREAD
};

QByteArray Quoted(const QString& strField)
{
    QByteArray baField = strField.toUtf8();
    const bool bQuote = baField.contains(',') || baField.contains('"') || baField.contains('\n') ||
                        baField.contains('\r') || baField.startsWith(' ') || baField.endsWith(' ');
    if (!bQuote)
        return baField;
    return '"' + baField.replace("\"", "\"\"") + '"';
}

QString Text(double dValue)
{
    return std::isnan(dValue) ? QString() : QString::number(dValue, 'g', 15);
}

QString Text(int nValue)
{
    return nValue < 0 ? QString() : QString::number(nValue);
}

// Empty is unset (NaN); false for a field that is no number.
bool Read(const QString& strField, double& dValue)
{
    dValue = std::numeric_limits<double>::quiet_NaN();
    if (strField.isEmpty())
        return true;
    if (strField == "inf" || strField == "-inf")
    {
        dValue = (strField[0] == '-' ? -1 : 1) * std::numeric_limits<double>::infinity();
        return true;
    }
    bool bOk = false;
    dValue = strField.toDouble(&bOk);
    return bOk;
}

bool Read(const QString& strField, int& nValue)
{
    nValue = -1;
    bool bOk = strField.isEmpty();
    if (!bOk)
        nValue = strField.toInt(&bOk);
    return bOk && nValue >= -1;
}

QByteArray Row(const QStringList& lstFields)
{
    QByteArrayList lstQuoted;
    for (const QString& strField : lstFields)
        lstQuoted << Quoted(strField);
    return lstQuoted.join(',') + "\r\n";
}

QByteArray Rows(const SEvaluation& evaluation)
{
    QByteArray baRows;
    for (const SClassEvaluation& result : evaluation.vctClasses)
        baRows += Row({evaluation.strWeights,
                       QString::number(result.nClassId),
                       result.strName,
                       Text(result.dAp),
                       Text(result.nTruePositives),
                       Text(result.nFalsePositives),
                       {},
                       {},
                       {},
                       {},
                       {},
                       {},
                       {},
                       {},
                       {}});
    return baRows + Row({evaluation.strWeights,
                         {},
                         {},
                         {},
                         Text(evaluation.nTruePositives),
                         Text(evaluation.nFalsePositives),
                         Text(evaluation.nFalseNegatives),
                         Text(evaluation.dConfidenceThreshold),
                         Text(evaluation.dPrecision),
                         Text(evaluation.dRecall),
                         Text(evaluation.dF1),
                         Text(evaluation.dAverageIou),
                         Text(evaluation.dIouThreshold),
                         Text(evaluation.dMap),
                         evaluation.lstUnread.join('\n')});
}

// The records of RFC 4180 text. Line breaks end a record outside quotes
// only; a record cut off inside quotes at the end of the text is dropped.
std::vector<QStringList> Records(const QByteArray& baCsv)
{
    std::vector<QStringList> vctRecords;
    QStringList lstFields;
    QByteArray baField;
    bool bQuoted = false;
    const auto EndField = [&]
    {
        lstFields << QString::fromUtf8(baField);
        baField.clear();
    };
    for (int i = 0; i < baCsv.size(); ++i)
    {
        const char ch = baCsv[i];
        const char chNext = i + 1 < baCsv.size() ? baCsv[i + 1] : '\0';
        if (bQuoted && ch == '"' && chNext == '"')
            baField += baCsv[i++];
        else if (ch == '"')
            bQuoted = !bQuoted;
        else if (bQuoted || (ch == '\r' && chNext != '\n'))
            baField += ch;
        else if (ch == ',')
            EndField();
        else if (ch == '\n')
        {
            EndField();
            vctRecords.push_back(lstFields);
            lstFields.clear();
        }
        else if (ch != '\r')
            baField += ch;
    }
    if (!bQuoted && (!lstFields.isEmpty() || !baField.isEmpty()))
    {
        EndField();
        vctRecords.push_back(lstFields);
    }
    return vctRecords;
}

bool ReadSummary(const QStringList& lstFields, SEvaluation& evaluation)
{
    SEvaluation read;
    if (!Read(lstFields[TP], read.nTruePositives) || !Read(lstFields[FP], read.nFalsePositives) ||
        !Read(lstFields[FN], read.nFalseNegatives) ||
        !Read(lstFields[CONF_THRESH], read.dConfidenceThreshold) ||
        !Read(lstFields[PRECISION], read.dPrecision) || !Read(lstFields[RECALL], read.dRecall) ||
        !Read(lstFields[F1], read.dF1) || !Read(lstFields[AVERAGE_IOU], read.dAverageIou) ||
        !Read(lstFields[IOU_THRESHOLD], read.dIouThreshold) || !Read(lstFields[MAP], read.dMap))
        return false;
    read.strWeights = evaluation.strWeights;
    if (!lstFields[UNREAD].isEmpty())
        read.lstUnread = lstFields[UNREAD].split('\n');
    evaluation = std::move(read);
    return true;
}

bool ReadClass(const QStringList& lstFields, SEvaluation& evaluation)
{
    SClassEvaluation result;
    result.strName = lstFields[CLASS_NAME];
    if (!Read(lstFields[CLASS_ID], result.nClassId) || result.nClassId < 0 ||
        !Read(lstFields[AP], result.dAp) || !Read(lstFields[TP], result.nTruePositives) ||
        !Read(lstFields[FP], result.nFalsePositives))
        return false;
    evaluation.vctClasses.push_back(result);
    return true;
}
} // namespace

CEvaluationStore::CEvaluationStore(const QString& strProjectDir) : m_strProjectDir(strProjectDir) {}

QByteArray CEvaluationStore::Format(const std::vector<SEvaluation>& vctEvaluations)
{
    QByteArray baCsv = HEADER + "\r\n";
    for (const SEvaluation& evaluation : vctEvaluations)
        baCsv += Rows(evaluation);
    return baCsv;
}

bool CEvaluationStore::Parse(const QByteArray& baCsv, std::vector<SEvaluation>& vctEvaluations, int& nSkipped)
{
    vctEvaluations.clear();
    nSkipped = 0;
    if (baCsv.trimmed().isEmpty())
        return true;
    const std::vector<QStringList> vctRecords = Records(baCsv);
    if (vctRecords.empty() || vctRecords.front().join(',').toUtf8() != HEADER)
        return false;
    std::map<QString, size_t> mapIndex;
    for (size_t i = 1; i < vctRecords.size(); ++i)
    {
        const QStringList& lstFields = vctRecords[i];
        if (lstFields.size() != FIELDS || lstFields[WEIGHTS].isEmpty())
        {
            ++nSkipped;
            continue;
        }
        SEvaluation row;
        row.strWeights = lstFields[WEIGHTS];
        const bool bSummary = lstFields[CLASS_ID].isEmpty();
        if (!(bSummary ? ReadSummary(lstFields, row) : ReadClass(lstFields, row)))
        {
            ++nSkipped;
            continue;
        }
        const auto [it, bNew] = mapIndex.emplace(row.strWeights, vctEvaluations.size());
        if (bNew)
            vctEvaluations.emplace_back().strWeights = row.strWeights;
        SEvaluation& evaluation = vctEvaluations[it->second];
        if (!bSummary)
        {
            evaluation.vctClasses.push_back(row.vctClasses.front());
            continue;
        }
        row.vctClasses = std::move(evaluation.vctClasses);
        evaluation = std::move(row);
    }
    return true;
}

bool CEvaluationStore::Load(std::vector<SEvaluation>& vctEvaluations) const
{
    vctEvaluations.clear();
    QFile file(m_strProjectDir + '/' + FILE_NAME);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly) || file.size() > MAX_FILE_BYTES)
    {
        CLog::Write(ELogLevel::ERROR, "Cannot read %s", file.fileName().toUtf8().constData());
        return false;
    }
    int nSkipped = 0;
    if (!Parse(file.readAll(), vctEvaluations, nSkipped))
    {
        CLog::Write(ELogLevel::ERROR, "%s is not a table of evaluations",
                    file.fileName().toUtf8().constData());
        return false;
    }
    if (nSkipped > 0)
        CLog::Write(ELogLevel::WARNING, "%s: %d rows could not be read and were skipped",
                    file.fileName().toUtf8().constData(), nSkipped);
    return true;
}

bool CEvaluationStore::Store(const SEvaluation& evaluation) const
{
    if (evaluation.strWeights.isEmpty())
    {
        CLog::Write(ELogLevel::ERROR, "An evaluation without its weights file is not stored");
        return false;
    }
    std::vector<SEvaluation> vctEvaluations;
    if (!Load(vctEvaluations))
        return false;
    auto it = std::find_if(vctEvaluations.begin(), vctEvaluations.end(),
                           [&evaluation](const SEvaluation& other)
                           { return other.strWeights == evaluation.strWeights; });
    if (it != vctEvaluations.end())
        *it = evaluation;
    else
        vctEvaluations.push_back(evaluation);
    if (CFileReplacer(m_strProjectDir).Write(FILE_NAME, Format(vctEvaluations)))
        return true;
    CLog::Write(ELogLevel::ERROR, "Failed to write %s/%s", m_strProjectDir.toUtf8().constData(),
                FILE_NAME.toUtf8().constData());
    return false;
}
