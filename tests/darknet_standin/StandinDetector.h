#pragma once

#include <cstdio>
#include <string>
#include <vector>

// "darknet detector test <data> <cfg> <weights> -dont_show -ext_output -out
// <file>.json -thresh <t>" of the test stand-in: image paths come on standard
// input, read with fgets into 256 bytes as Darknet reads them (a longer line
// arrives as several paths), and every answer looks like Darknet's: the
// "Enter Image Path: " prompt once per image and once more at the end of
// input, "<path>: Predicted in N milli-seconds." with one line per box, the
// result file with its quirks (names unescaped, nan and inf printed as %f
// prints them, one object per box and class) and predictions.jpg in the
// working folder.
//
// What it detects is up to the test:
//   DARKNET_STANDIN_DETECTIONS=<file>  lines "<path>\t<class> <x> <y> <w> <h> <confidence>"
//                                      (relative centre and size, "nan"/"inf" allowed),
//                                      reported for the image read as <path>, in order;
//   otherwise                          the boxes of the image's label file beside it
//                                      (Darknet's naming), with confidence
//                                      DARKNET_STANDIN_CONFIDENCE (0.9).
//   DARKNET_STANDIN_DELAY_MS=<ms>      pause after each image.
//   DARKNET_STANDIN_CRASH_AFTER=<n>    dies of a segmentation fault when the image after
//                                      the n-th arrives, half-way through its frame.
// An image it cannot read ends the run with status 1 after "Cannot load image".
// One per stand-in run; the process's only thread.
class CStandinDetector
{
public:
    struct SBox
    {
        int nClass = 0;
        double dX = 0;
        double dY = 0;
        double dW = 0;
        double dH = 0;
        double dConfidence = 0;
    };

    CStandinDetector(std::vector<std::string> vctNames, int nYoloLayers, bool bExtOutput, double dThreshold);
    // Reads paths until the end of standard input; the exit status.
    int Run(const std::string& strResultFile);

private:
    bool NextPath(std::string& strPath) const;
    std::vector<SBox> Detect(const std::string& strPath) const;
    std::vector<SBox> FromDetectionsFile(const std::string& strPath) const;
    std::vector<SBox> FromLabels(const std::string& strPath) const;
    bool Answer(const std::string& strPath, FILE* pJson);
    void WriteFrame(FILE* pJson, const std::string& strPath, const std::vector<SBox>& vctBoxes) const;
    [[noreturn]] void CrashInFrame(FILE* pJson, const std::string& strPath) const;
    std::string Name(int nClass) const;

    std::vector<std::string> m_vctNames;
    int m_nYoloLayers = 0;
    bool m_bExtOutput = false;
    double m_dThreshold = 0.25;
    int m_nCrashAfter = -1;
    int m_nImages = 0;
};
