#include "trainer/detect/DetectionJsonReader.h"

#include "common/log/Logger.h"

#include <QFile>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace
{
constexpr int MAX_DEPTH = 64;

// A box as read, before it is checked.
struct SRawObject
{
    double dClassId = std::numeric_limits<double>::quiet_NaN();
    QString strName;
    double dValues[5] = {0, 0, 0, 0, 0}; // centre x, centre y, width, height, confidence
    int nFound = 0;                      // bit per value above, bit 5 for the class id
};

constexpr int ALL_FIELDS = 0x3f;

// Walks Darknet's almost-JSON. Every function returns false at the first
// byte it cannot accept and records why; running out of input counts as a
// truncation rather than as invalid text.
class CScanner
{
public:
    CScanner(const char* pBegin, const char* pEnd) : m_pBegin(pBegin), m_p(pBegin), m_pEnd(pEnd) {}

    bool Take(char ch)
    {
        SkipSpace();
        if (m_p < m_pEnd && *m_p == ch)
        {
            ++m_p;
            return true;
        }
        return false;
    }

    bool Expect(char ch) { return Take(ch) || Fail("expected a different character"); }

    // The key of a member and its ":"; Darknet's keys never hold quotes.
    bool Key(std::string_view& svKey)
    {
        if (!Expect('"'))
            return false;
        const char* pStart = m_p;
        while (m_p < m_pEnd && *m_p != '"')
            ++m_p;
        if (m_p >= m_pEnd)
            return Fail("unterminated key");
        svKey = std::string_view(pStart, static_cast<size_t>(m_p - pStart));
        ++m_p;
        return Expect(':');
    }

    // A string as Darknet prints it, unescaped: it ends at the quote that is
    // followed by the comma or brace closing the field.
    bool RawString(QString& strValue)
    {
        if (!Expect('"'))
            return false;
        for (const char* pQuote = m_p; pQuote < m_pEnd; ++pQuote)
        {
            if (*pQuote != '"')
                continue;
            const char* pNext = pQuote + 1;
            while (pNext < m_pEnd && IsSpace(*pNext))
                ++pNext;
            if (pNext < m_pEnd && *pNext != ',' && *pNext != '}' && *pNext != ']')
                continue;
            strValue = QString::fromUtf8(m_p, static_cast<int>(pQuote - m_p));
            m_p = pQuote + 1;
            return true;
        }
        m_p = m_pEnd;
        return Fail("unterminated string");
    }

    // A number, or Darknet's nan and inf literals with or without a sign.
    bool Number(double& dValue)
    {
        SkipSpace();
        const char* pStart = m_p < m_pEnd && *m_p == '+' ? m_p + 1 : m_p;
        const auto [pEnd, error] = std::from_chars(pStart, m_pEnd, dValue);
        if (error == std::errc::invalid_argument)
            return Fail("expected a number");
        if (error == std::errc::result_out_of_range)
            dValue = OutOfRange(pStart, pEnd);
        m_p = pEnd;
        // A number cut off by the end of the file is no number.
        return m_p < m_pEnd || Fail("number at the end");
    }

    bool SkipValue(int nDepth = 0)
    {
        if (nDepth > MAX_DEPTH)
            return Fail("nested too deeply");
        SkipSpace();
        if (m_p >= m_pEnd)
            return Fail("value missing");
        if (*m_p == '"')
        {
            QString strIgnored;
            return RawString(strIgnored);
        }
        if (*m_p == '{' || *m_p == '[')
            return SkipContainer(nDepth);
        for (const char* szWord : {"true", "false", "null"})
        {
            const size_t nLength = std::char_traits<char>::length(szWord);
            if (static_cast<size_t>(m_pEnd - m_p) >= nLength && std::string_view(m_p, nLength) == szWord)
            {
                m_p += nLength;
                return true;
            }
        }
        double dIgnored = 0;
        return Number(dIgnored);
    }

    // Members of an object one by one: fnMember(key) reads the value.
    template <typename Fn>
    bool Members(Fn fnMember)
    {
        if (!Expect('{'))
            return false;
        if (Take('}'))
            return true;
        do
        {
            std::string_view svKey;
            if (!Key(svKey) || !fnMember(svKey))
                return false;
        } while (Take(','));
        return Expect('}');
    }

    // Elements of an array: fnElement() reads one.
    template <typename Fn>
    bool Elements(Fn fnElement)
    {
        if (!Expect('['))
            return false;
        if (Take(']'))
            return true;
        do
        {
            if (!fnElement())
                return false;
        } while (Take(','));
        return Expect(']');
    }

    bool Truncated() const { return m_bTruncated; }
    QString Problem() const { return m_strProblem; }

private:
    static bool IsSpace(char ch) { return ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t'; }

    void SkipSpace()
    {
        while (m_p < m_pEnd && IsSpace(*m_p))
            ++m_p;
    }

    static double OutOfRange(const char* pStart, const char* pEnd)
    {
        const std::string_view svNumber(pStart, static_cast<size_t>(pEnd - pStart));
        const size_t nExponent = svNumber.find_first_of("eE");
        if (nExponent != std::string_view::npos && nExponent + 1 < svNumber.size() &&
            svNumber[nExponent + 1] == '-')
            return 0;
        const double dInfinity = std::numeric_limits<double>::infinity();
        return svNumber.front() == '-' ? -dInfinity : dInfinity;
    }

    bool SkipContainer(int nDepth)
    {
        if (*m_p == '[')
            return Elements([this, nDepth] { return SkipValue(nDepth + 1); });
        return Members([this, nDepth](std::string_view) { return SkipValue(nDepth + 1); });
    }

    bool Fail(const char* szWhy)
    {
        if (!m_strProblem.isEmpty())
            return false;
        SkipSpace();
        const qint64 nOffset = m_p - m_pBegin;
        m_bTruncated = m_p >= m_pEnd;
        m_strProblem = m_bTruncated ? QString("truncated at byte %1").arg(nOffset)
                                    : QString("invalid JSON at byte %1: %2").arg(nOffset).arg(szWhy);
        return false;
    }

    const char* m_pBegin;
    const char* m_p;
    const char* m_pEnd;
    bool m_bTruncated = false;
    QString m_strProblem;
};

bool ReadCoordinates(CScanner& scanner, SRawObject& raw)
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

bool ReadObject(CScanner& scanner, SRawObject& raw)
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

// The checked and clamped box, or false with the reason counted.
bool Accept(const SRawObject& raw, int nClasses, SDetectedObject& object, SDetectionDrops& drops,
            int& nClamped)
{
    if (raw.nFound != ALL_FIELDS)
        return ++drops.nMalformed, false;
    if (!std::all_of(std::begin(raw.dValues), std::end(raw.dValues),
                     [](double d) { return std::isfinite(d); }))
        return ++drops.nNonFinite, false;
    const double dClassId = raw.dClassId;
    if (!std::isfinite(dClassId) || dClassId != std::floor(dClassId))
        return ++drops.nMalformed, false;
    if (dClassId < 0 || dClassId >= nClasses)
        return ++drops.nUnknownClass, false;
    const int nClassId = static_cast<int>(dClassId);
    const auto [dX, dY, dW, dH, dConfidence] = raw.dValues;
    if (dW <= 0 || dH <= 0)
        return ++drops.nEmpty, false;
    if (dX < 0 || dX > 1 || dY < 0 || dY > 1)
        return ++drops.nOutside, false;
    const double dLeft = std::max(0.0, dX - dW / 2), dRight = std::min(1.0, dX + dW / 2);
    const double dTop = std::max(0.0, dY - dH / 2), dBottom = std::min(1.0, dY + dH / 2);
    if (dRight - dLeft < CDetectionJsonReader::MIN_SIZE || dBottom - dTop < CDetectionJsonReader::MIN_SIZE)
        return ++drops.nEmpty, false;
    if (dLeft != dX - dW / 2 || dRight != dX + dW / 2 || dTop != dY - dH / 2 || dBottom != dY + dH / 2)
        ++nClamped;
    object = {nClassId,
              raw.strName,
              (dLeft + dRight) / 2,
              (dTop + dBottom) / 2,
              dRight - dLeft,
              dBottom - dTop,
              std::clamp(dConfidence, 0.0, 1.0)};
    return true;
}

// One frame; its drops and clamps count only once the frame is complete.
bool ReadFrame(CScanner& scanner, int nClasses, SDetectionResult& result)
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
    CScanner scanner(baJson.constData(), baJson.constData() + baJson.size());
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
