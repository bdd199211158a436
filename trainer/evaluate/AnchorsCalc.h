#pragma once

#include "trainer/ConfigLineEdits.h"

#include <QSizeF>
#include <QString>

#include <vector>

// The pieces of "darknet detector calc_anchors" that need no process: the
// check before it runs (Darknet crashes without a word when it has fewer
// boxes than clusters), reading its anchors, and writing them into a
// network configuration.
// Stateless; any thread.
class CAnchorsCalc
{
public:
    // Empty when Darknet can cluster nBoxes label boxes into nClusters
    // anchors, else the reason it cannot, for the user.
    static QString CheckBoxCount(int nBoxes, int nClusters);
    // The numbers of the last "anchors = ..." line of Darknet's standard
    // output; empty when it printed none.
    static QString AnchorsLine(const QString& strOutput);
    // Reads "w,h, w,h, ..." (anchors.txt, or the numbers of the output line,
    // with or without "anchors ="): exactly nClusters pairs of positive
    // numbers in network pixels. False with strError otherwise.
    static bool Parse(const QString& strText, int nClusters, std::vector<QSizeF>& vctAnchors,
                      QString& strError);
    // "42,42, 156,166": the way Darknet's own configurations write anchors.
    static QString Format(const std::vector<QSizeF>& vctAnchors);
    // The configuration with anchors= set to the anchors in every [yolo]
    // section and num= to their count where a section sets num; every other
    // byte stays. False with strError (and the text unchanged) when there is
    // no [yolo] section or a section's mask names an anchor past the new
    // ones, which Darknet would read out of bounds.
    static bool Apply(const QString& strConfig, const std::vector<QSizeF>& vctAnchors,
                      SConfigAdaptation& adaptation, QString& strError);
};
