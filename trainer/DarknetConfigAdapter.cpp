#include "trainer/DarknetConfigAdapter.h"

#include "trainer/ConfigLineEdits.h"
#include "trainer/DarknetConfigCheck.h"

#include <QStringList>

#include <algorithm>

namespace
{
constexpr int MIN_MAX_BATCHES = 6000;
constexpr int BATCHES_PER_CLASS = 2000;

bool IsNet(const SDarknetConfigSection& section)
{
    return section.strName == "[net]" || section.strName == "[network]";
}

void AdaptNet(CConfigLineEdits& edits, const SDarknetConfigSection& net, int nClasses)
{
    const int nMaxBatches = CDarknetConfigAdapter::MaxBatches(nClasses);
    edits.Set(net, "max_batches", QString::number(nMaxBatches));
    const qint64 nBatches = nMaxBatches;
    edits.Set(net, "steps", QString("%1,%2").arg(nBatches * 8 / 10).arg(nBatches * 9 / 10));
    // Darknet reads one scale per step.
    const auto itScales = net.mapOptions.constFind("scales");
    if (itScales != net.mapOptions.constEnd() && itScales.value().count(',') != 1)
        edits.Set(net, "scales", ".1,.1");
}
} // namespace

int CDarknetConfigAdapter::MaxBatches(int nClasses)
{
    return std::max(MIN_MAX_BATCHES, BATCHES_PER_CLASS * nClasses);
}

SConfigAdaptation CDarknetConfigAdapter::Adapt(const QString& strConfig, int nClasses)
{
    if (nClasses < 1)
        return {strConfig, {}};
    const std::vector<SDarknetConfigSection> vctSections = CDarknetConfigCheck::Sections(strConfig);
    const bool bYolo =
        std::any_of(vctSections.begin(), vctSections.end(),
                    [](const SDarknetConfigSection& section) { return section.strName == "[yolo]"; });
    if (!bYolo)
        return {strConfig, {}};

    CConfigLineEdits edits(strConfig);
    for (size_t i = 0; i < vctSections.size(); ++i)
    {
        const SDarknetConfigSection& section = vctSections[i];
        if (IsNet(section))
            AdaptNet(edits, section, nClasses);
        if (section.strName != "[yolo]")
            continue;
        edits.Set(section, "classes", QString::number(nClasses));
        if (i > 0 && CDarknetConfigCheck::IsConvolution(vctSections[i - 1]))
            edits.Set(vctSections[i - 1], "filters",
                      QString::number((nClasses + 5) * CDarknetConfigCheck::MaskCount(section)));
    }
    return edits.Result();
}

QString CDarknetConfigAdapter::Describe(const std::vector<SConfigLineChange>& vctChanges)
{
    QStringList lstLines;
    for (const SConfigLineChange& change : vctChanges)
    {
        lstLines
            << (change.strOld.isEmpty()
                    ? QString("line %1: added %2").arg(change.nLine).arg(change.strNew)
                    : QString("line %1: %2  ->  %3").arg(change.nLine).arg(change.strOld, change.strNew));
    }
    return lstLines.join('\n');
}
