#include "trainer/detect/DetectionJsonReader.h"

#include "common/log/Logger.h"
#include "trainer/detect/TolerantJsonScanner.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

namespace
{
// A box as read, before it is checked.
struct SRawObject
{
    double dClassId = std::numeric_limits<double>::quiet_NaN();
    QString strName;
    double dValues[5] = {0, 0, 0, 0, 0}; // centre x, centre y, width, height, confidence
    int nFound = 0;                      // bit per value above, bit 5 for the class id
};

constexpr int ALL_FIELDS = 0x3f;

bool ReadCoordinates(CTolerantJsonScanner& scanner, SRawObject& raw)
{
    static const std::string_view NAMES[4] = {"center_x", "center_y", "width", "height"};
    return scanner.Members(
        [&](std::string_view svKey)
        {
            const auto* pName = std::find(std::begin(NAMES), std::end(NAMES), svKey);
            if (pName == std::end(NAMES))
                return scanner.SkipValue();
            const int nIndex = static_cast<int>(pName - std::begin(NAMES));
            raw.nFound |= 1 << nIndex;
            return scanner.Number(raw.dValues[nIndex]);
        });
}

bool ReadObject(CTolerantJsonScanner& scanner, SRawObject& raw)
{
    return scanner.Members(
        [&](std::string_view svKey)
        {
            if (svKey == "class_id")
            {
                raw.nFound |= 1 << 5;
                return scanner.Number(raw.dClassId);
            }
            if (svKey == "name")
                return scanner.RawString(raw.strName);
            if (svKey == "relative_coordinates")
                return ReadCoordinates(scanner, raw);
            if (svKey == "confidence")
            {
                raw.nFound |= 1 << 4;
                return scanner.Number(raw.dValues[4]);
            }
            return scanner.SkipValue();
        });
}

enum class EDrop
{
    NONE,
    MALFORMED,
    NON_FINITE,
    UNKNOWN_CLASS,
    EMPTY,
    OUTSIDE,
};

// The first reason to leave the box out, in the order the drop counters list them.
EDrop Verdict(const SRawObject& raw, int nClasses)
{
    if (raw.nFound != ALL_FIELDS)
        return EDrop::MALFORMED;
    if (!std::all_of(std::begin(raw.dValues), std::end(raw.dValues),
                     [](double d) { return std::isfinite(d); }))
        return EDrop::NON_FINITE;
    if (!std::isfinite(raw.dClassId) || raw.dClassId != std::floor(raw.dClassId))
        return EDrop::MALFORMED;
    if (raw.dClassId < 0 || raw.dClassId >= nClasses)
        return EDrop::UNKNOWN_CLASS;
    const auto [dX, dY, dW, dH, dConfidence] = raw.dValues;
    if (dW <= 0 || dH <= 0)
        return EDrop::EMPTY;
    if (dX < 0 || dX > 1 || dY < 0 || dY > 1)
        return EDrop::OUTSIDE;
    return EDrop::NONE;
}

void Count(EDrop drop, SDetectionDrops& drops)
{
    switch (drop)
    {
    case EDrop::MALFORMED:
        ++drops.nMalformed;
        break;
    case EDrop::NON_FINITE:
        ++drops.nNonFinite;
        break;
    case EDrop::UNKNOWN_CLASS:
        ++drops.nUnknownClass;
        break;
    case EDrop::EMPTY:
        ++drops.nEmpty;
        break;
    case EDrop::OUTSIDE:
        ++drops.nOutside;
        break;
    case EDrop::NONE:
        break;
    }
}

// The box clamped to the image; false when too little of it is left.
bool Clamp(const SRawObject& raw, SDetectedObject& object, bool& bClamped)
{
    const auto [dX, dY, dW, dH, dConfidence] = raw.dValues;
    const double dLeft = std::max(0.0, dX - dW / 2), dRight = std::min(1.0, dX + dW / 2);
    const double dTop = std::max(0.0, dY - dH / 2), dBottom = std::min(1.0, dY + dH / 2);
    if (dRight - dLeft < CDetectionJsonReader::MIN_SIZE || dBottom - dTop < CDetectionJsonReader::MIN_SIZE)
        return false;
    bClamped = dLeft != dX - dW / 2 || dRight != dX + dW / 2 || dTop != dY - dH / 2 || dBottom != dY + dH / 2;
    object.nClassId = static_cast<int>(raw.dClassId);
    object.strName = raw.strName;
    object.dCenterX = (dLeft + dRight) / 2;
    object.dCenterY = (dTop + dBottom) / 2;
    object.dWidth = dRight - dLeft;
    object.dHeight = dBottom - dTop;
    object.dConfidence = std::clamp(dConfidence, 0.0, 1.0);
    return true;
}

// The checked and clamped box, or false with the reason counted.
bool Accept(const SRawObject& raw, int nClasses, SDetectedObject& object, SDetectionDrops& drops,
            int& nClamped)
{
    EDrop drop = Verdict(raw, nClasses);
    bool bClamped = false;
    if (drop == EDrop::NONE && !Clamp(raw, object, bClamped))
        drop = EDrop::EMPTY;
    Count(drop, drops);
    nClamped += bClamped ? 1 : 0;
    return drop == EDrop::NONE;
}

// One frame; its drops and clamps count only once the frame is complete.
bool ReadFrame(CTolerantJsonScanner& scanner, int nClasses, SDetectionResult& result)
{
    SDetectionFrame frame;
    SDetectionDrops drops = result.drops;
    int nClamped = result.nClamped;
    const bool bRead = scanner.Members(
        [&](std::string_view svKey)
        {
            if (svKey == "frame_id")
            {
                double dId = 0;
                if (!scanner.Number(dId))
                    return false;
                // A frame number Darknet cannot have written stays 0; frames match by position.
                if (std::isfinite(dId) && dId >= 0 && dId <= std::numeric_limits<int>::max())
                    frame.nFrameId = static_cast<int>(dId);
                return true;
            }
            if (svKey == "filename")
                return scanner.RawString(frame.strFileName);
            if (svKey != "objects")
                return scanner.SkipValue();
            return scanner.Elements(
                [&]
                {
                    SRawObject raw;
                    if (!ReadObject(scanner, raw))
                        return false;
                    SDetectedObject object;
                    if (Accept(raw, nClasses, object, drops, nClamped))
                        frame.vctObjects.push_back(std::move(object));
                    return true;
                });
        });
    if (!bRead)
        return false;
    result.vctFrames.push_back(std::move(frame));
    result.drops = drops;
    result.nClamped = nClamped;
    return true;
}
} // namespace

SDetectionResult CDetectionJsonReader::Read(const QByteArray& baJson, int nClasses)
{
    SDetectionResult result;
    CTolerantJsonScanner scanner(baJson.constData(), baJson.constData() + baJson.size());
    result.bComplete = scanner.Elements([&] { return ReadFrame(scanner, nClasses, result); });
    result.strProblem = scanner.Problem();
    return result;
}

bool CDetectionJsonReader::ReadFile(const QString& strPath, int nClasses, SDetectionResult& result,
                                    qint64 nMaxBytes)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
    {
        CLog::Write(ELogLevel::ERROR, "Cannot read the detections in %s", strPath.toUtf8().constData());
        return false;
    }
    if (file.size() > nMaxBytes)
    {
        CLog::Write(ELogLevel::ERROR, "%s is too large for a detection result (%lld bytes)",
                    strPath.toUtf8().constData(), static_cast<long long>(file.size()));
        return false;
    }
    result = Read(file.readAll(), nClasses);
    if (!result.strProblem.isEmpty())
        CLog::Write(ELogLevel::WARNING, "Detections in %s: %s; %d complete images kept",
                    strPath.toUtf8().constData(), result.strProblem.toUtf8().constData(),
                    static_cast<int>(result.vctFrames.size()));
    return true;
}

SDetectionMatch CDetectionJsonReader::Match(const SDetectionResult& result, const QStringList& lstImagePaths)
{
    SDetectionMatch match;
    std::vector<bool> vctAnswered(static_cast<size_t>(lstImagePaths.size()), false);
    for (int i = 0; i < static_cast<int>(result.vctFrames.size()); ++i)
    {
        const QString& strName = result.vctFrames[static_cast<size_t>(i)].strFileName;
        if (i < lstImagePaths.size() && strName == lstImagePaths[i])
        {
            match.vctMatched.emplace_back(i, i);
            vctAnswered[static_cast<size_t>(i)] = true;
            continue;
        }
        match.lstMismatches << (i < lstImagePaths.size()
                                    ? QString("result %1 is for \"%2\", expected \"%3\"")
                                          .arg(i + 1)
                                          .arg(strName, lstImagePaths[i])
                                    : QString("result %1 is for \"%2\", but only %3 images were given")
                                          .arg(i + 1)
                                          .arg(strName)
                                          .arg(lstImagePaths.size()));
    }
    for (int i = 0; i < lstImagePaths.size(); ++i)
    {
        if (!vctAnswered[static_cast<size_t>(i)])
            match.vctUnanswered.push_back(i);
    }
    return match;
}
