#pragma once

#include <QPointF>
#include <QVector>

// Thins a long line series for display without changing what the eye sees:
// the points are cut into runs of consecutive points and each run keeps its
// first, lowest, highest and last point, so every spike and every end of the
// line survives. The data itself is never thinned, only what is drawn.
// Stateless; any thread.
class CSeriesDecimator
{
public:
    // vctPoints in x order; the result has at most nMaxPoints points (at
    // least 4 are allowed), in x order. Short series come back unchanged.
    static QVector<QPointF> Decimate(const QVector<QPointF>& vctPoints, int nMaxPoints);
};
