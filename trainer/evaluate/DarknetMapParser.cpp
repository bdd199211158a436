#include "trainer/evaluate/DarknetMapParser.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace
{
// A number as any C library prints one, nan and inf included.
const QString NUM =
    QStringLiteral("([-+]?(?:\\d+(?:\\.\\d*)?|\\.\\d+)(?:e[-+]?\\d+)?|[-+]?nan|[-+]?inf(?:inity)?)");
const QString INT = QStringLiteral("(\\d+)");

QRegularExpression Pattern(const QString& strPattern)
{
    return QRegularExpression(QString(strPattern).replace("NUM", NUM).replace("INT", INT),
                              QRegularExpression::CaseInsensitiveOption);
}

const QRegularExpression RE_CLASS =
    Pattern("class_id\\s*=\\s*INT\\s*,\\s*name\\s*=\\s*(.*),\\s*ap\\s*=\\s*NUM\\s*%?"
            "(?:\\s*\\(?\\s*TP\\s*=\\s*INT\\s*,\\s*FP\\s*=\\s*INT)?");
const QRegularExpression RE_RATES =
    Pattern("for\\s+conf_thresh\\s*=\\s*NUM\\s*,\\s*precision\\s*=\\s*NUM\\s*,"
            "\\s*recall\\s*=\\s*NUM\\s*,\\s*F1[-_ ]?score\\s*=\\s*NUM");
const QRegularExpression RE_COUNTS =
    Pattern("for\\s+conf_thresh\\s*=\\s*NUM\\s*,\\s*TP\\s*=\\s*INT\\s*,\\s*FP\\s*="
            "\\s*INT\\s*,\\s*FN\\s*=\\s*INT\\s*,\\s*average\\s+IoU\\s*=\\s*NUM");
const QRegularExpression RE_IOU_THRESHOLD = Pattern("IoU\\s+threshold\\s*=\\s*NUM\\s*%");
const QRegularExpression RE_MAP = Pattern("mean[ _]average[ _]precision\\s*\\(mAP@NUM\\)\\s*=\\s*NUM");
// Words of the result lines: a line with one of them and a "=" that none of
// the patterns reads is reported.
const QRegularExpression RE_RESULT_WORDS =
    Pattern("class_id|precision|recall|average\\s+IoU|IoU\\s+threshold|mAP@");

double Number(const QString& strText)
{
    const QString strLower = strText.toLower();
    if (strLower.contains("nan"))
        return std::numeric_limits<double>::quiet_NaN();
    if (strLower.contains("inf"))
        return strLower.startsWith('-') ? -std::numeric_limits<double>::infinity()
                                        : std::numeric_limits<double>::infinity();
    return strText.toDouble();
}

// False when a count does not fit an int.
bool Count(const QRegularExpressionMatch& match, int nGroup, int& nValue)
{
    if (match.capturedLength(nGroup) == 0)
        return true;
    bool bOk = false;
    nValue = match.captured(nGroup).toInt(&bOk);
    return bOk;
}

bool ReadClass(const QRegularExpressionMatch& match, SEvaluation& evaluation)
{
    SClassEvaluation result;
    if (!Count(match, 1, result.nClassId) || !Count(match, 4, result.nTruePositives) ||
        !Count(match, 5, result.nFalsePositives))
        return false;
    result.strName = match.captured(2).trimmed();
    result.dAp = Number(match.captured(3));
    auto it =
        std::find_if(evaluation.vctClasses.begin(), evaluation.vctClasses.end(),
                     [&result](const SClassEvaluation& other) { return other.nClassId == result.nClassId; });
    // A build that prints the table twice: the later one counts.
    if (it != evaluation.vctClasses.end())
        *it = result;
    else
        evaluation.vctClasses.push_back(result);
    return true;
}

bool ReadCounts(const QRegularExpressionMatch& match, SEvaluation& evaluation)
{
    int nTp = -1, nFp = -1, nFn = -1;
    if (!Count(match, 2, nTp) || !Count(match, 3, nFp) || !Count(match, 4, nFn))
        return false;
    evaluation.dConfidenceThreshold = Number(match.captured(1));
    evaluation.nTruePositives = nTp;
    evaluation.nFalsePositives = nFp;
    evaluation.nFalseNegatives = nFn;
    evaluation.dAverageIou = Number(match.captured(5));
    return true;
}

// False when the line is a result line that could not be read.
bool ReadLine(const QString& strLine, SEvaluation& evaluation)
{
    QRegularExpressionMatch match = RE_CLASS.match(strLine);
    if (match.hasMatch())
        return ReadClass(match, evaluation);
    if ((match = RE_RATES.match(strLine)).hasMatch())
    {
        evaluation.dConfidenceThreshold = Number(match.captured(1));
        evaluation.dPrecision = Number(match.captured(2));
        evaluation.dRecall = Number(match.captured(3));
        evaluation.dF1 = Number(match.captured(4));
        return true;
    }
    if ((match = RE_COUNTS.match(strLine)).hasMatch())
        return ReadCounts(match, evaluation);
    if ((match = RE_IOU_THRESHOLD.match(strLine)).hasMatch())
    {
        evaluation.dIouThreshold = Number(match.captured(1));
        return true;
    }
    if ((match = RE_MAP.match(strLine)).hasMatch())
    {
        evaluation.dMap = Number(match.captured(2));
        if (std::isnan(evaluation.dIouThreshold))
            evaluation.dIouThreshold = Number(match.captured(1)) * 100;
        return true;
    }
    return !(strLine.contains('=') && RE_RESULT_WORDS.match(strLine).hasMatch());
}
} // namespace

SEvaluation CDarknetMapParser::Parse(const QString& strOutput, const QString& strWeights)
{
    SEvaluation evaluation;
    evaluation.strWeights = strWeights;
    // A carriage return starts a line too: progress text is rewritten in place.
    for (const QString& strLine : strOutput.split(QRegularExpression("[\r\n]"), Qt::SkipEmptyParts))
    {
        if (!ReadLine(strLine, evaluation))
            evaluation.lstUnread << strLine.trimmed();
    }
    std::sort(evaluation.vctClasses.begin(), evaluation.vctClasses.end(),
              [](const SClassEvaluation& a, const SClassEvaluation& b) { return a.nClassId < b.nClassId; });
    return evaluation;
}

bool CDarknetMapParser::HasResult(const SEvaluation& evaluation)
{
    return !std::isnan(evaluation.dMap) || !evaluation.vctClasses.empty();
}
