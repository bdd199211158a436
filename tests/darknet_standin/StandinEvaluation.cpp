#include "tests/darknet_standin/StandinEvaluation.h"

#include "tests/darknet_standin/StandinOutput.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace
{
std::vector<double> EnvList(const char* szName)
{
    std::vector<double> vctValues;
    const char* szValue = std::getenv(szName);
    while (szValue && *szValue)
    {
        char* szEnd = nullptr;
        vctValues.push_back(std::strtod(szValue, &szEnd));
        szValue = *szEnd == ',' ? szEnd + 1 : nullptr;
    }
    return vctValues;
}

double At(const std::vector<double>& vctValues, size_t nIndex, double dDefault)
{
    return vctValues.empty() ? dDefault : vctValues[std::min(nIndex, vctValues.size() - 1)];
}

using CSize = std::pair<double, double>;

double Iou(const CSize& box, const CSize& anchor)
{
    const double dInner = std::min(box.first, anchor.first) * std::min(box.second, anchor.second);
    return dInner / (box.first * box.second + anchor.first * anchor.second - dInner);
}

// Boxes sorted by area, split into nClusters runs of neighbours, each run's mean size.
std::vector<CSize> Cluster(std::vector<CSize> vctBoxes, int nClusters)
{
    std::sort(vctBoxes.begin(), vctBoxes.end(),
              [](const CSize& a, const CSize& b) { return a.first * a.second < b.first * b.second; });
    std::vector<CSize> vctAnchors;
    const size_t nBoxes = vctBoxes.size();
    for (size_t g = 0; g < static_cast<size_t>(nClusters); ++g)
    {
        const size_t nBegin = g * nBoxes / nClusters, nEnd = (g + 1) * nBoxes / nClusters;
        CSize sum{0, 0};
        for (size_t i = nBegin; i < nEnd; ++i)
            sum = {sum.first + vctBoxes[i].first, sum.second + vctBoxes[i].second};
        const double dCount = static_cast<double>(nEnd - nBegin);
        vctAnchors.emplace_back(sum.first / dCount, sum.second / dCount);
    }
    return vctAnchors;
}

void PrintCounters(const CStandinTrainingSet& set, const std::vector<CStandinTrainingSet::SBox>& vctBoxes)
{
    std::vector<int> vctCounts(static_cast<size_t>(std::max(0, set.DataClasses())), 0);
    for (const auto& box : vctBoxes)
    {
        if (box.nClass >= 0 && box.nClass < static_cast<int>(vctCounts.size()))
            ++vctCounts[static_cast<size_t>(box.nClass)];
    }
    std::printf("counters_per_class = ");
    for (size_t i = 0; i < vctCounts.size(); ++i)
        std::printf("%s%d", i ? ", " : "", vctCounts[i]);
    std::printf("\n");
}
} // namespace

int CStandinEvaluation::Map(const CStandinTrainingSet& set, double dDefaultMap)
{
    CStandinOutput::DetectorHeader(set.YoloLayers());
    std::printf("\n calculation mAP (mean average precision)...\n");
    CStandinOutput::DetectionLayers(set.YoloLayers());
    const std::vector<double> vctAp = EnvList("DARKNET_STANDIN_AP");
    const std::vector<double> vctTp = EnvList("DARKNET_STANDIN_TP");
    const std::vector<double> vctFp = EnvList("DARKNET_STANDIN_FP");
    const size_t nClasses = set.Names().size();
    int nTp = 0, nFp = 0;
    double dApSum = 0;
    for (size_t i = 0; i < nClasses; ++i)
    {
        nTp += static_cast<int>(At(vctTp, i, 0));
        nFp += static_cast<int>(At(vctFp, i, 0));
        dApSum += At(vctAp, i, dDefaultMap * 100);
    }
    const int nTruths = static_cast<int>(set.Boxes().size()) - set.TrainBoxes();
    std::printf("\n detections_count = %d, unique_truth_count = %d  \n", nTp + nFp, nTruths);
    std::printf(" rank = 0 of ranks = %d \r", nTp + nFp);
    for (size_t i = 0; i < nClasses; ++i)
        std::printf("class_id = %d, name = %s, ap = %2.2f%%   \t (TP = %d, FP = %d) \n", static_cast<int>(i),
                    set.Names()[i].c_str(), At(vctAp, i, dDefaultMap * 100),
                    static_cast<int>(At(vctTp, i, 0)), static_cast<int>(At(vctFp, i, 0)));
    // Darknet divides as it finds the counts, so 0 / 0 prints as -nan.
    const float fPrecision = static_cast<float>(nTp) / static_cast<float>(nTp + nFp);
    const float fRecall = static_cast<float>(nTp) / static_cast<float>(nTruths);
    const float fF1 = 2 * fPrecision * fRecall / (fPrecision + fRecall);
    std::printf("\n for conf_thresh = %1.2f, precision = %1.2f, recall = %1.2f, F1-score = %1.2f \n", 0.25,
                static_cast<double>(fPrecision), static_cast<double>(fRecall), static_cast<double>(fF1));
    std::printf(" for conf_thresh = %0.2f, TP = %d, FP = %d, FN = %d, average IoU = %2.2f %% \n", 0.25, nTp,
                nFp, std::max(0, nTruths - nTp), At(EnvList("DARKNET_STANDIN_IOU"), 0, 0));
    const double dMap = nClasses ? dApSum / static_cast<double>(nClasses) / 100 : 0;
    std::printf("\n IoU threshold = 50 %%, used Area-Under-Curve for each unique Recall \n");
    std::printf(" mean average precision (mAP@0.50) = %f, or %2.2f %% \n", dMap, dMap * 100);
    std::printf(
        "\nSet -points flag:\n `-points 101` for MS COCO \n `-points 11` for PascalVOC 2007 (uncomment "
        "`difficult` in voc.data) \n `-points 0` (AUC) for ImageNet, PascalVOC 2010-2012, your custom "
        "dataset\n");
    std::fflush(stdout);
    return 0;
}

int CStandinEvaluation::Anchors(const CStandinTrainingSet& set, int nClusters, int nWidth, int nHeight)
{
    const std::vector<CStandinTrainingSet::SBox> vctBoxes(
        set.Boxes().begin(), set.Boxes().begin() + std::min<size_t>(set.Boxes().size(), set.TrainBoxes()));
    if (nClusters <= 0 || static_cast<int>(vctBoxes.size()) < nClusters)
        CStandinOutput::Segfault();
    std::printf(" GPU isn't used \n\n num_of_clusters = %d, width = %d, height = %d \n", nClusters, nWidth,
                nHeight);
    std::printf(" read labels from %d images \n", set.TrainImages());
    std::vector<CSize> vctSizes;
    for (size_t i = 0; i < vctBoxes.size(); ++i)
    {
        std::printf("\r loaded \t image: %d \t box: %d", vctBoxes[i].nImage, static_cast<int>(i + 1));
        vctSizes.emplace_back(vctBoxes[i].fWidth * nWidth, vctBoxes[i].fHeight * nHeight);
    }
    std::printf("\n all loaded. \n\n calculating k-means++ ...\n\n iterations = 1 \n\n\n");
    PrintCounters(set, vctBoxes);
    const std::vector<CSize> vctAnchors = Cluster(vctSizes, nClusters);
    double dIouSum = 0;
    for (const CSize& box : vctSizes)
    {
        double dBest = 0;
        for (const CSize& anchor : vctAnchors)
            dBest = std::max(dBest, Iou(box, anchor));
        dIouSum += dBest;
    }
    std::printf("\n avg IoU = %2.2f %% \n\nSaving anchors to the file: anchors.txt \n",
                100 * dIouSum / static_cast<double>(vctSizes.size()));
    std::string strAnchors;
    for (size_t i = 0; i < vctAnchors.size(); ++i)
    {
        char szPair[64];
        std::snprintf(szPair, sizeof(szPair), "%s%3.0f,%3.0f", i ? ", " : "", vctAnchors[i].first,
                      vctAnchors[i].second);
        strAnchors += szPair;
    }
    std::printf("anchors = %s\n", strAnchors.c_str());
    std::fflush(stdout);
    FILE* pFile = std::fopen("anchors.txt", "wb");
    if (!pFile)
        return 1;
    std::fputs(strAnchors.c_str(), pFile);
    std::fclose(pFile);
    return 0;
}
