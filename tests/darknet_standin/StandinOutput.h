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
    // line in two parts with a pause between them.
    void Iteration(int nIteration, int nTotal, int nYoloLayers, bool bSplit);
    // nLines numbered progress lines written as fast as possible.
    void Flood(int nLines) const;

private:
    double m_dAverageLoss = -1;
};
