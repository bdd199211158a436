#pragma once

#include <QString>
#include <QtGlobal>

#include <limits>

// One training iteration as Darknet reports it. A value Darknet printed as
// "nan" and a value it did not print at all are both NaN.
struct STrainingPoint
{
    static constexpr double NONE = std::numeric_limits<double>::quiet_NaN();

    int nIteration = 0;
    double dLoss = NONE;
    double dAverageLoss = NONE;
    double dRate = NONE;
    double dSeconds = NONE;
    qint64 nImages = 0;
    double dHoursLeft = NONE;
    // Mean average precision measured after this iteration, 0..1.
    double dMap = NONE;
};

// Reads the lines Darknet prints while training (after the output buffer has
// removed terminal sequences and bells) and recognises the two that matter
// for a chart: the iteration line " N: loss, avg loss, rate, seconds, images,
// hours left" in its older and newer forms, and the mAP result "mean average
// precision (mAP@0.50) = 0.612345". Every other line is no event, so nothing
// printed between them can be mistaken for a result.
// Stateless; any thread.
class CDarknetOutputParser
{
public:
    enum class EKind
    {
        NONE,
        ITERATION,
        MAP,
    };

    struct SEvent
    {
        EKind kind = EKind::NONE;
        // The iteration, for ITERATION.
        STrainingPoint point;
        // The mAP (0..1), for MAP.
        double dMap = STrainingPoint::NONE;
    };

    static SEvent Parse(const QString& strLine);
    static bool ParseIteration(const QString& strLine, STrainingPoint& point);
    static bool ParseMap(const QString& strLine, double& dMap);
};
