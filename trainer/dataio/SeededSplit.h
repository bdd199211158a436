#pragma once

#include <cstdint>
#include <random>
#include <vector>

// Splits a list into a training and a test part by a percentage and a seed,
// the same way on every platform and standard library: the permutation is
// drawn from std::mt19937 (whose output the standard fixes) with a mapping
// to a range of our own, not std::uniform_int_distribution (whose output
// each library chooses). Plain functions; any thread.
class CSeededSplit
{
public:
    struct SSplit
    {
        // Indices into the list, each part in list order.
        std::vector<int> vctTrain;
        std::vector<int> vctTest;
    };

    // round(nCount * dTestPercent / 100) entries go to the test part;
    // percentages outside 0..100 (or not a number) are taken as the
    // nearest bound (0 for NaN).
    static SSplit Split(int nCount, double dTestPercent, uint32_t nSeed);
    // A number in [0, nBound) with every value equally likely (nBound > 0).
    static uint32_t Below(std::mt19937& generator, uint32_t nBound);
    static int TestCount(int nCount, double dTestPercent);
};
