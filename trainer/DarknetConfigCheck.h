#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// One section of a network configuration as Darknet reads it: its name with
// the brackets ("[yolo]") and its options with white space removed.
struct SDarknetConfigSection
{
    QString strName;
    // Line of the header, counting from 0 in the text split at line feeds.
    int nHeaderLine = -1;
    QHash<QString, QString> mapOptions;
    // Every option line in order: key and line number. A key written twice
    // has two entries.
    std::vector<std::pair<QString, int>> vctOptionLines;
};

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
    static std::vector<SDarknetConfigSection> Sections(const QString& strConfig);
    // An option as Darknet's atoi reads it; nDefault when the section lacks it.
    static int IntOption(const SDarknetConfigSection& section, const QString& strKey, int nDefault);
    // Entries of "mask", or "num" when the section has no mask.
    static int MaskCount(const SDarknetConfigSection& section);
    static bool IsConvolution(const SDarknetConfigSection& section);
    static std::vector<SDarknetYoloLayer> YoloLayers(const QString& strConfig);
    // One text per problem in section order; empty when the configuration
    // fits nCategories classes.
    static QStringList Check(const QString& strConfig, int nCategories);
};
