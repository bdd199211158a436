#include "trainer/DarknetConfigCheck.h"

#include <QHash>

namespace
{
// Darknet's values when a section leaves the key out.
constexpr int DEFAULT_YOLO_CLASSES = 20;
constexpr int DEFAULT_YOLO_NUM = 1;
constexpr int DEFAULT_FILTERS = 1;

// Darknet drops every white space character of a line before reading it.
QString StripWhiteSpace(const QString& strLine)
{
    QString strResult;
    strResult.reserve(strLine.size());
    for (const QChar ch : strLine)
    {
        if (!ch.isSpace())
            strResult += ch;
    }
    return strResult;
}

// Like C's atoi, which Darknet uses: the leading digits count, the rest is ignored.
int LeadingInt(const QString& strValue)
{
    int nEnd = strValue.startsWith('-') || strValue.startsWith('+') ? 1 : 0;
    while (nEnd < strValue.size() && strValue[nEnd].isDigit())
        ++nEnd;
    bool bOk = false;
    const int nValue = strValue.left(nEnd).toInt(&bOk);
    return bOk ? nValue : 0;
}

} // namespace

std::vector<SDarknetConfigSection> CDarknetConfigCheck::Sections(const QString& strConfig)
{
    std::vector<SDarknetConfigSection> vctSections;
    const QStringList lstLines = strConfig.split('\n');
    for (int nLine = 0; nLine < lstLines.size(); ++nLine)
    {
        const QString strLine = StripWhiteSpace(lstLines[nLine]);
        if (strLine.isEmpty() || strLine.startsWith('#') || strLine.startsWith(';'))
            continue;
        if (strLine.startsWith('['))
        {
            vctSections.push_back(SDarknetConfigSection{strLine, nLine, {}, {}});
            continue;
        }
        const int nEquals = strLine.indexOf('=');
        if (nEquals > 0 && !vctSections.empty())
        {
            const QString strKey = strLine.left(nEquals);
            vctSections.back().mapOptions.insert(strKey, strLine.mid(nEquals + 1));
            vctSections.back().vctOptionLines.emplace_back(strKey, nLine);
        }
    }
    return vctSections;
}

int CDarknetConfigCheck::IntOption(const SDarknetConfigSection& section, const QString& strKey, int nDefault)
{
    const auto it = section.mapOptions.constFind(strKey);
    return it == section.mapOptions.constEnd() ? nDefault : LeadingInt(it.value());
}

int CDarknetConfigCheck::MaskCount(const SDarknetConfigSection& section)
{
    const auto it = section.mapOptions.constFind("mask");
    if (it == section.mapOptions.constEnd())
        return IntOption(section, "num", DEFAULT_YOLO_NUM);
    return it.value().count(',') + 1;
}

bool CDarknetConfigCheck::IsConvolution(const SDarknetConfigSection& section)
{
    return section.strName == "[convolutional]" || section.strName == "[conv]";
}

std::vector<SDarknetYoloLayer> CDarknetConfigCheck::YoloLayers(const QString& strConfig)
{
    const std::vector<SDarknetConfigSection> vctSections = Sections(strConfig);
    std::vector<SDarknetYoloLayer> vctLayers;
    for (size_t i = 0; i < vctSections.size(); ++i)
    {
        if (vctSections[i].strName != "[yolo]")
            continue;
        SDarknetYoloLayer layer;
        layer.nClasses = IntOption(vctSections[i], "classes", DEFAULT_YOLO_CLASSES);
        layer.nMasks = MaskCount(vctSections[i]);
        if (i > 0 && IsConvolution(vctSections[i - 1]))
        {
            layer.bConvolutionBefore = true;
            layer.nFilters = IntOption(vctSections[i - 1], "filters", DEFAULT_FILTERS);
        }
        vctLayers.push_back(layer);
    }
    return vctLayers;
}

QStringList CDarknetConfigCheck::Check(const QString& strConfig, int nCategories)
{
    const std::vector<SDarknetYoloLayer> vctLayers = YoloLayers(strConfig);
    if (vctLayers.empty())
        return {QStringLiteral("Configuration has no [yolo] section")};
    QStringList lstProblems;
    for (size_t i = 0; i < vctLayers.size(); ++i)
    {
        const SDarknetYoloLayer& layer = vctLayers[i];
        const int nNumber = static_cast<int>(i) + 1;
        if (layer.nClasses != nCategories)
            lstProblems << QString::asprintf(
                "Configuration: [yolo] section %d has classes=%d, the project has "
                "%d categories",
                nNumber, layer.nClasses, nCategories);
        const long long nExpected = (static_cast<long long>(layer.nClasses) + 5) * layer.nMasks;
        if (layer.bConvolutionBefore && layer.nFilters != nExpected)
            lstProblems << QString::asprintf("Configuration: the convolution before [yolo] section %d has "
                                             "filters=%d, (classes + 5) x masks is %lld",
                                             nNumber, layer.nFilters, nExpected);
    }
    return lstProblems;
}
