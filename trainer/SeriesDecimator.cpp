#include "trainer/SeriesDecimator.h"

#include <algorithm>

namespace
{
constexpr int POINTS_PER_RUN = 4;

void AppendRun(const QPointF* pBegin, const QPointF* pEnd, QVector<QPointF>& vctOut)
{
    const auto [pLowest, pHighest] =
        std::minmax_element(pBegin, pEnd, [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    const QPointF* apKept[] = {pBegin, std::min(pLowest, pHighest), std::max(pLowest, pHighest), pEnd - 1};
    const QPointF* pPrevious = nullptr;
    for (const QPointF* pKept : apKept)
    {
        if (pKept != pPrevious)
            vctOut.append(*pKept);
        pPrevious = pKept;
    }
}
} // namespace

QVector<QPointF> CSeriesDecimator::Decimate(const QVector<QPointF>& vctPoints, int nMaxPoints)
{
    nMaxPoints = std::max(nMaxPoints, POINTS_PER_RUN);
    const int nCount = vctPoints.size();
    if (nCount <= nMaxPoints)
        return vctPoints;
    const int nRuns = nMaxPoints / POINTS_PER_RUN;
    QVector<QPointF> vctOut;
    vctOut.reserve(nRuns * POINTS_PER_RUN);
    for (int nRun = 0; nRun < nRuns; ++nRun)
    {
        // Run boundaries spread the remainder, so no run is empty.
        const int nBegin = static_cast<int>(static_cast<qint64>(nCount) * nRun / nRuns);
        const int nEnd = static_cast<int>(static_cast<qint64>(nCount) * (nRun + 1) / nRuns);
        AppendRun(vctPoints.constData() + nBegin, vctPoints.constData() + nEnd, vctOut);
    }
    return vctOut;
}
