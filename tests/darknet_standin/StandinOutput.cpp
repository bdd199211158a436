#include "tests/darknet_standin/StandinOutput.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace
{
constexpr int BATCH = 2;

double LossOf(int nIteration)
{
    return 33.0 + (nIteration * 37 % 23) / 10.0;
}
} // namespace

void CStandinOutput::Banner() const
{
    std::fputs(" GPU isn't used \n", stdout);
    std::fflush(stdout);
    std::fputs(" OpenCV isn't used - data augmentation will be slow \n", stderr);
    std::fflush(stderr);
}

void CStandinOutput::Header(const std::string& strCfgName, int nYoloLayers) const
{
    std::fputs("   layer   filters  size/strd(dil)      input                output\n", stderr);
    for (int i = 0; i < nYoloLayers; ++i)
        std::fprintf(
            stderr,
            "  %d yolo\n[yolo] params: iou loss: mse (2), iou_norm: 0.75, obj_norm: 1.00, cls_norm: 1.00, "
            "delta_norm: 1.00, scale_x_y: 1.00\n",
            12 + 7 * i);
    std::fputs("Total BFLOPS 0.014 \navg_outputs = 4622 \n Create 64 permanent cpu-threads \n", stderr);
    std::fflush(stderr);
    std::printf("%s\nmini_batch = %d, batch = %d, time_steps = 1, train = 1 \n\n", strCfgName.c_str(), BATCH,
                BATCH);
    std::fputs("Weights are saved after: 1000 iterations. Last weights (*_last.weight) are stored every 100 "
               "iterations. \nLearning Rate: 0.001, Momentum: 0.9, Decay: 0.0005\n",
               stdout);
    for (int i = 0; i < nYoloLayers; ++i)
        std::printf(" Detection layer: %d - type = 28 \n", 12 + 7 * i);
    std::fputs("Loaded: 0.012472 seconds\n", stdout);
    std::fflush(stdout);
}

void CStandinOutput::Iteration(int nIteration, int nTotal, int nYoloLayers, bool bSplit)
{
    for (int i = 0; i < nYoloLayers; ++i)
        std::fprintf(
            stderr,
            "v3 (mse loss, Normalizer: (iou: 0.75, obj: 1.00, cls: 1.00) Region %d Avg (IOU: 0.386468), "
            "count: 2, class_loss = 12.659989, iou_loss = 1.125372, total_loss = 13.785361 \n",
            12 + 7 * i);
    std::fprintf(stderr, " total_bbox = %d, rewritten_bbox = 0.000000 %% \n", nIteration * BATCH);
    std::fflush(stderr);

    const double dLoss = LossOf(nIteration);
    m_dAverageLoss = m_dAverageLoss < 0 ? dLoss : 0.9 * m_dAverageLoss + 0.1 * dLoss;
    std::printf("\033[H\033[J%d/%d: loss=%.1f hours left=%.1f\a\n", nIteration, nTotal, dLoss, 0.0);
    std::printf(" %d: %f, ", nIteration, dLoss);
    if (bSplit)
    {
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::printf("%f avg loss, 0.000000 rate, 0.009743 seconds, %d images, 0.001040 hours left\n",
                m_dAverageLoss, nIteration * BATCH);
    std::printf("Loaded: 0.000048 seconds\n");
    std::fflush(stdout);
}

void CStandinOutput::Flood(int nLines) const
{
    for (int i = 1; i <= nLines; ++i)
        std::printf(" %d: %f, %f avg loss, 0.000000 rate, 0.009743 seconds, %d images, 0.001040 hours left\n",
                    i, LossOf(i), LossOf(i), i * BATCH);
    std::fflush(stdout);
}
