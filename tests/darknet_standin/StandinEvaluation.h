#pragma once

#include "tests/darknet_standin/StandinTrainingSet.h"

#include <string>

// "darknet detector map" and "darknet detector calc_anchors" of the test
// stand-in, printing what a real Darknet prints, byte for byte in the shape
// of its lines (the first class line glued to the "rank = ..." progress
// after a carriage return, "-nan" where Darknet divides 0 by 0).
//
// detector map <data> <cfg> <weights>: classes from the data file's names,
// the truth count from the labels of its valid list; the results are the
// test's:
//   DARKNET_STANDIN_AP="<ap %>,..."  AP per class (the last value repeats;
//                                    default: the mAP the weights were saved with)
//   DARKNET_STANDIN_TP="<n>,..."     true positives per class (0)
//   DARKNET_STANDIN_FP="<n>,..."     false positives per class (0)
//   DARKNET_STANDIN_IOU=<percent>    average IoU (0)
//
// detector calc_anchors <data> -num_of_clusters N -width W -height H:
// reads the train list's labels; with fewer boxes than clusters it dies of a
// segmentation fault before anything reaches standard output, as Darknet
// did. Otherwise it prints the anchors (the boxes sorted by area and split
// into N groups of neighbours, each group's mean size) and writes them to
// anchors.txt in the working folder without a line end.
// One per stand-in run; the process's only thread.
class CStandinEvaluation
{
public:
    // dDefaultMap: the mAP (0..1) reported when the test sets no AP values.
    static int Map(const CStandinTrainingSet& set, double dDefaultMap);
    static int Anchors(const CStandinTrainingSet& set, int nClusters, int nWidth, int nHeight);
};
