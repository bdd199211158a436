#pragma once

#include <string>

// The console output of the test stand-in, modelled on what a real Darknet
// prints while training: progress on standard output with terminal escape
// sequences and bells, layer and loss details on standard error. Every block
// is flushed at once so a reader sees it in the order it was written.
// One per stand-in run; the process's only thread.
class CStandinOutput
{
public:
    void Banner() const;
    void Header(const std::string& strCfgName, int nYoloLayers) const;
    // One training iteration (counting from 1); bSplit writes its progress
    // line in two parts with a pause between them. With nNextMap > 0 (mAP
    // switched on) the progress line names the next mAP calculation.
    void Iteration(int nIteration, int nTotal, int nYoloLayers, bool bSplit, int nNextMap = 0);
    // The report of one mAP calculation over nClasses classes, with the
    // result printed twice as Darknet does, and "New best mAP!" when bBest.
    void Map(int nClasses, double dMap, bool bBest) const;
    // The loss and the mAP the stand-in reports for an iteration.
    static double LossOf(int nIteration);
    static double MapOf(int nIteration);
    // nLines numbered progress lines written as fast as possible.
    void Flood(int nLines) const;
    // What "detector test" and "detector map" print once the network is loaded.
    static void DetectorHeader(int nYoloLayers);
    static void DetectionLayers(int nYoloLayers);
    // Ends the process the way Darknet crashes: a segmentation fault (status
    // 139 in a shell), without a core file in the project folder.
    [[noreturn]] static void Segfault();

private:
    double m_dAverageLoss = -1;
};
