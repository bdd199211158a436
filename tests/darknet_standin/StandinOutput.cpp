#include "tests/darknet_standin/StandinOutput.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <sys/resource.h>

namespace
{
constexpr int BATCH = 2;
} // namespace

double CStandinOutput::LossOf(int nIteration)
{
    return 33.0 + (nIteration * 37 % 23) / 10.0;
}

double CStandinOutput::MapOf(int nIteration)
{
    return 0.1 + (nIteration % 7) / 10.0;
}

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

void CStandinOutput::Iteration(int nIteration, int nTotal, int nYoloLayers, bool bSplit, int nNextMap)
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
    if (nNextMap > 0)
        std::printf("\n (next mAP calculation at %d iterations) ", nNextMap);
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

void CStandinOutput::Map(int nClasses, double dMap, bool bBest) const
{
    std::puts("Resizing to initial size: 64 x 64 \n calculation mAP (mean average precision)...");
    std::puts("\n detections_count = 0, unique_truth_count = 1  ");
    for (int i = 0; i < nClasses; ++i)
        std::printf("class_id = %d, name = class_%d, ap = %.2f%%   \t (TP = 0, FP = 0) \n", i, i, dMap * 100);
    std::puts("\n for conf_thresh = 0.25, precision = -nan, recall = 0.00, F1-score = -nan ");
    std::puts("\n IoU threshold = 50 %, used Area-Under-Curve for each unique Recall ");
    std::printf(" mean average precision (mAP@0.50) = %f, or %.2f %% \n", dMap, dMap * 100);
    std::puts("\nSet -points flag:\n `-points 101` for MS COCO ");
    std::printf("\n mean_average_precision (mAP@0.50) = %f \n", dMap);
    if (bBest)
        std::puts("New best mAP!");
    std::fflush(stdout);
    std::fputs("\r1Total Detection Time: 0 Seconds\n", stderr);
    std::fflush(stderr);
}

void CStandinOutput::DetectorHeader(int nYoloLayers)
{
    std::fputs("   layer   filters  size/strd(dil)      input                output\n", stderr);
    for (int i = 0; i < nYoloLayers; ++i)
        std::fprintf(stderr, "  %d yolo\n", 82 + 12 * i);
    std::fflush(stderr);
    std::fputs("mini_batch = 1, batch = 1, time_steps = 1, train = 0 \n\n seen 64, trained: 0 K-images (0 "
               "Kilo-batches_64) \n",
               stdout);
    std::fflush(stdout);
}

void CStandinOutput::DetectionLayers(int nYoloLayers)
{
    for (int i = 0; i < nYoloLayers; ++i)
        std::printf(" Detection layer: %d - type = 28 \n", 82 + 12 * i);
}

void CStandinOutput::Segfault()
{
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    // The sanitizers would turn the signal into a report and an exit status.
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigaction(SIGSEGV, &action, nullptr);
    std::raise(SIGSEGV);
    std::abort();
}
