#pragma once

#include <QString>
#include <QStringList>

#include <limits>
#include <vector>

// The result of one class in "darknet detector map".
struct SClassEvaluation
{
    int nClassId = 0;
    QString strName;
    // Average precision in percent; NaN when Darknet printed nan.
    double dAp = std::numeric_limits<double>::quiet_NaN();
    // -1 when not printed.
    int nTruePositives = -1;
    int nFalsePositives = -1;
};

// One evaluation of a weights file. A value Darknet did not print, or
// printed as nan, is NaN; a count it did not print is -1.
struct SEvaluation
{
    static constexpr double NONE = std::numeric_limits<double>::quiet_NaN();

    // As given to Darknet, relative to the project folder.
    QString strWeights;
    // In class id order.
    std::vector<SClassEvaluation> vctClasses;
    double dConfidenceThreshold = NONE;
    double dPrecision = NONE;
    double dRecall = NONE;
    double dF1 = NONE;
    int nTruePositives = -1;
    int nFalsePositives = -1;
    int nFalseNegatives = -1;
    // Percent.
    double dAverageIou = NONE;
    double dIouThreshold = NONE;
    // 0..1
    double dMap = NONE;
    // Lines that look like results but could not be read, as printed.
    QStringList lstUnread;
};

// Reads what "darknet detector map" prints (standard output and error,
// either order) into an evaluation. Builds differ in spacing, in the
// progress text glued before the first class line after a carriage return,
// in "-nan" for 0 / 0 and in which lines they print at all: each line is
// read on its own, missing ones leave their values unset, and a line that
// names a result but does not parse is kept in lstUnread.
// Stateless; any thread.
class CDarknetMapParser
{
public:
    static SEvaluation Parse(const QString& strOutput, const QString& strWeights);
    // True when the output held the mAP line or at least one class line.
    static bool HasResult(const SEvaluation& evaluation);
};
