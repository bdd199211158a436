#include "trainer/evaluate/AnchorsCalc.h"

#include "trainer/DarknetConfigCheck.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace
{
const QRegularExpression RE_ANCHORS_LINE("^\\s*anchors\\s*=(.*)$");

QString Number(double dValue)
{
    return dValue == std::floor(dValue) && std::abs(dValue) < 1e9
               ? QString::number(static_cast<qint64>(dValue))
               : QString::number(dValue, 'g', 6);
}

// The mask entries of a [yolo] section; false when one is no index.
bool Masks(const SDarknetConfigSection& section, std::vector<int>& vctMasks)
{
    const auto it = section.mapOptions.constFind("mask");
    if (it == section.mapOptions.constEnd())
        return true;
    for (const QString& strEntry : it.value().split(',', Qt::SkipEmptyParts))
    {
        bool bOk = false;
        vctMasks.push_back(strEntry.toInt(&bOk));
        if (!bOk)
            return false;
    }
    return true;
}

QString CheckMasks(const SDarknetConfigSection& section, int nAnchors)
{
    std::vector<int> vctMasks;
    if (!Masks(section, vctMasks))
        return QString("The [yolo] section in line %1 has a mask that is not a list of numbers")
            .arg(section.nHeaderLine + 1);
    for (const int nMask : vctMasks)
    {
        if (nMask < 0 || nMask >= nAnchors)
            return QString("The [yolo] section in line %1 uses anchor %2 in its mask, but there are only %3 "
                           "anchors")
                .arg(section.nHeaderLine + 1)
                .arg(nMask)
                .arg(nAnchors);
    }
    return QString();
}
} // namespace

QString CAnchorsCalc::CheckBoxCount(int nBoxes, int nClusters)
{
    if (nClusters < 1)
        return QString("The number of anchors must be at least 1, not %1").arg(nClusters);
    if (nBoxes < nClusters)
        return QString("Calculating %1 anchors needs at least %1 boxes in the training list; it has %2")
            .arg(nClusters)
            .arg(nBoxes);
    return QString();
}

QString CAnchorsCalc::AnchorsLine(const QString& strOutput)
{
    QString strLast;
    for (const QString& strLine : strOutput.split(QRegularExpression("[\r\n]"), Qt::SkipEmptyParts))
    {
        const QRegularExpressionMatch match = RE_ANCHORS_LINE.match(strLine);
        if (match.hasMatch())
            strLast = match.captured(1).trimmed();
    }
    return strLast;
}

bool CAnchorsCalc::Parse(const QString& strText, int nClusters, std::vector<QSizeF>& vctAnchors,
                         QString& strError)
{
    vctAnchors.clear();
    QString strNumbers = strText.trimmed();
    const QRegularExpressionMatch match = RE_ANCHORS_LINE.match(strNumbers);
    if (match.hasMatch())
        strNumbers = match.captured(1);
    const QStringList lstNumbers = strNumbers.split(',');
    std::vector<double> vctValues;
    for (const QString& strNumber : lstNumbers)
    {
        bool bOk = false;
        const double dValue = strNumber.trimmed().toDouble(&bOk);
        if (!bOk || !std::isfinite(dValue) || dValue <= 0)
        {
            strError = QString("\"%1\" is not a positive anchor size").arg(strNumber.trimmed());
            return false;
        }
        vctValues.push_back(dValue);
    }
    if (vctValues.size() % 2 != 0 || static_cast<int>(vctValues.size() / 2) != nClusters)
    {
        strError = QString("Expected %1 anchors (pairs of width and height), found %2 numbers")
                       .arg(nClusters)
                       .arg(vctValues.size());
        return false;
    }
    for (size_t i = 0; i < vctValues.size(); i += 2)
        vctAnchors.emplace_back(vctValues[i], vctValues[i + 1]);
    return true;
}

QString CAnchorsCalc::Format(const std::vector<QSizeF>& vctAnchors)
{
    QStringList lstPairs;
    for (const QSizeF& anchor : vctAnchors)
        lstPairs << Number(anchor.width()) + ',' + Number(anchor.height());
    return lstPairs.join(", ");
}

bool CAnchorsCalc::Apply(const QString& strConfig, const std::vector<QSizeF>& vctAnchors,
                         SConfigAdaptation& adaptation, QString& strError)
{
    adaptation = {strConfig, {}};
    const int nAnchors = static_cast<int>(vctAnchors.size());
    CConfigLineEdits edits(strConfig);
    bool bYolo = false;
    for (const SDarknetConfigSection& section : CDarknetConfigCheck::Sections(strConfig))
    {
        if (section.strName != "[yolo]")
            continue;
        bYolo = true;
        strError = CheckMasks(section, nAnchors);
        if (!strError.isEmpty())
            return false;
        edits.Set(section, "anchors", Format(vctAnchors));
        edits.Replace(section, "num", QString::number(nAnchors));
    }
    if (!bYolo)
    {
        strError = "The configuration has no [yolo] section to take anchors";
        return false;
    }
    adaptation = edits.Result();
    return true;
}
