#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// One [yolo] section of a network configuration as Darknet reads it.
struct SDarknetYoloLayer
{
    int nClasses = 0;
    // Entries of "mask", or "num" when the section has no mask.
    int nMasks = 0;
    // Whether the section directly before is a convolution, and its filters.
    bool bConvolutionBefore = false;
    int nFilters = 0;
};

// Reads a Darknet network configuration the way Darknet does (white space
// ignored, "#" and ";" comment lines, Darknet's defaults for missing keys) to
// find the mistakes that make training fail or learn the wrong number of
// classes. It only reports; the text is never changed. Stateless; any thread.
class CDarknetConfigCheck
{
public:
    static std::vector<SDarknetYoloLayer> YoloLayers(const QString& strConfig);
    // One text per problem in section order; empty when the configuration
    // fits nCategories classes.
    static QStringList Check(const QString& strConfig, int nCategories);
};
