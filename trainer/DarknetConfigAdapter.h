#pragma once

#include "trainer/ConfigLineEdits.h"

#include <QString>

#include <vector>

// Adapts a Darknet network configuration to a number of classes the way the
// Darknet guide asks: classes= in every [yolo] section, filters=(classes+5) x
// mask entries in the convolution before each, and in [net] max_batches =
// max(6000, 2000 x classes) with steps at 80 % and 90 % of it. Only those
// values change; every other byte, comments, spacing and line ends included,
// stays as it was. A key that is missing is added below its section header.
// Stateless; any thread.
class CDarknetConfigAdapter
{
public:
    static int MaxBatches(int nClasses);
    // The text for nClasses (at least 1) and the lines that change; no
    // changes when the text already fits or has no sections to adapt.
    static SConfigAdaptation Adapt(const QString& strConfig, int nClasses);
    // The changes as the user reads them, one per line:
    // "line 20: max_batches = 500200  ->  max_batches = 6000".
    static QString Describe(const std::vector<SConfigLineChange>& vctChanges);
};
