#include "trainer/dataio/SeededSplit.h"

#include <algorithm>
#include <cmath>
#include <numeric>

uint32_t CSeededSplit::Below(std::mt19937& generator, uint32_t nBound)
{
    // Draws past the largest multiple of nBound are thrown away, so that
    // the remainder has no bias towards small values.
    const uint64_t nRange = uint64_t(1) << 32;
    const uint64_t nLimit = nRange - nRange % nBound;
    uint64_t nDraw = 0;
    do
        nDraw = uint64_t(generator()) & 0xFFFFFFFFu;
    while (nDraw >= nLimit);
    return uint32_t(nDraw % nBound);
}

int CSeededSplit::TestCount(int nCount, double dTestPercent)
{
    if (nCount <= 0 || !(dTestPercent > 0))
        return 0;
    if (dTestPercent >= 100)
        return nCount;
    return int(std::llround(double(nCount) * dTestPercent / 100.0));
}

CSeededSplit::SSplit CSeededSplit::Split(int nCount, double dTestPercent, uint32_t nSeed)
{
    SSplit split;
    if (nCount <= 0)
        return split;
    std::vector<int> vctOrder(size_t(nCount), 0);
    std::iota(vctOrder.begin(), vctOrder.end(), 0);
    std::mt19937 generator(nSeed);
    // Fisher-Yates from the end.
    for (int i = nCount - 1; i > 0; --i)
        std::swap(vctOrder[size_t(i)], vctOrder[Below(generator, uint32_t(i) + 1)]);
    const int nTest = TestCount(nCount, dTestPercent);
    split.vctTest.assign(vctOrder.begin(), vctOrder.begin() + nTest);
    split.vctTrain.assign(vctOrder.begin() + nTest, vctOrder.end());
    std::sort(split.vctTest.begin(), split.vctTest.end());
    std::sort(split.vctTrain.begin(), split.vctTrain.end());
    return split;
}
