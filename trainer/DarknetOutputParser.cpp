#include "trainer/DarknetOutputParser.h"

#include <QByteArray>

#include <charconv>
#include <cstring>
#include <vector>

namespace
{
// A piece of a line, [pBegin, pEnd).
struct SText
{
    const char* pBegin;
    const char* pEnd;

    bool IsEmpty() const { return pBegin == pEnd; }
    bool Equals(const char* szText) const
    {
        const size_t nLength = std::strlen(szText);
        return static_cast<size_t>(pEnd - pBegin) == nLength && std::memcmp(pBegin, szText, nLength) == 0;
    }
};

bool IsSpace(char ch)
{
    return ch == ' ' || ch == '\t';
}

SText Trimmed(SText text)
{
    while (text.pBegin < text.pEnd && IsSpace(*text.pBegin))
        ++text.pBegin;
    while (text.pEnd > text.pBegin && IsSpace(text.pEnd[-1]))
        --text.pEnd;
    return text;
}

// A number at the start of the text, as C's printf writes it ("%f" gives
// "-nan" and "inf" too, never a "+"); the rest of the text, trimmed, is its unit.
template <typename T>
bool SplitNumber(SText text, T& value, SText& unit)
{
    text = Trimmed(text);
    const std::from_chars_result result = std::from_chars(text.pBegin, text.pEnd, value);
    if (result.ec != std::errc() || result.ptr == text.pBegin)
        return false;
    unit = Trimmed(SText{result.ptr, text.pEnd});
    // "12abc" is no number followed by a unit.
    return unit.pBegin == result.ptr ? unit.IsEmpty() : true;
}

// The comma-separated fields of the text after "N:".
std::vector<SText> Fields(SText text)
{
    std::vector<SText> vctFields;
    const char* pStart = text.pBegin;
    for (const char* p = text.pBegin; p <= text.pEnd; ++p)
    {
        if (p == text.pEnd || *p == ',')
        {
            vctFields.push_back(SText{pStart, p});
            pStart = p + 1;
        }
    }
    return vctFields;
}

bool NumberWithUnit(const SText& field, double& dValue, const char* szUnit, const char* szOtherUnit = nullptr)
{
    SText unit{nullptr, nullptr};
    if (!SplitNumber(field, dValue, unit))
        return false;
    return unit.Equals(szUnit) || (szOtherUnit && unit.Equals(szOtherUnit));
}

// The fields after the images: "hours left" is read; other known-shaped
// fields ("hours total", words) are passed over. A bare number is a line cut
// off while it was printed.
bool ReadExtraFields(const std::vector<SText>& vctFields, size_t nFirst, STrainingPoint& point)
{
    for (size_t i = nFirst; i < vctFields.size(); ++i)
    {
        double dValue = 0;
        SText unit{nullptr, nullptr};
        if (!SplitNumber(vctFields[i], dValue, unit))
            continue;
        if (unit.IsEmpty())
            return false;
        if (unit.Equals("hours left"))
            point.dHoursLeft = dValue;
    }
    return true;
}

bool ParseIterationText(SText text, STrainingPoint& point)
{
    text = Trimmed(text);
    int nIteration = 0;
    const std::from_chars_result result = std::from_chars(text.pBegin, text.pEnd, nIteration);
    if (result.ec != std::errc() || result.ptr == text.pBegin || result.ptr == text.pEnd ||
        *result.ptr != ':' || nIteration < 0)
        return false;
    const std::vector<SText> vctFields = Fields(SText{result.ptr + 1, text.pEnd});
    constexpr size_t REQUIRED_FIELDS = 5;
    if (vctFields.size() < REQUIRED_FIELDS)
        return false;

    STrainingPoint parsed;
    parsed.nIteration = nIteration;
    SText unit{nullptr, nullptr};
    if (!SplitNumber(vctFields[0], parsed.dLoss, unit) || !unit.IsEmpty())
        return false;
    // Older builds write "avg" where newer ones write "avg loss".
    if (!NumberWithUnit(vctFields[1], parsed.dAverageLoss, "avg loss", "avg") ||
        !NumberWithUnit(vctFields[2], parsed.dRate, "rate") ||
        !NumberWithUnit(vctFields[3], parsed.dSeconds, "seconds"))
        return false;
    if (!SplitNumber(vctFields[4], parsed.nImages, unit) || !unit.Equals("images"))
        return false;
    if (!ReadExtraFields(vctFields, REQUIRED_FIELDS, parsed))
        return false;
    point = parsed;
    return true;
}

bool StartsWithDigit(const QString& strLine)
{
    for (const QChar ch : strLine)
    {
        if (ch != QLatin1Char(' ') && ch != QLatin1Char('\t'))
            return ch.isDigit();
    }
    return false;
}
} // namespace

bool CDarknetOutputParser::ParseIteration(const QString& strLine, STrainingPoint& point)
{
    if (!StartsWithDigit(strLine))
        return false;
    const QByteArray baLine = strLine.toLatin1();
    return ParseIterationText(SText{baLine.constData(), baLine.constData() + baLine.size()}, point);
}

bool CDarknetOutputParser::ParseMap(const QString& strLine, double& dMap)
{
    // Darknet prints the result twice, once with spaces and once with
    // underscores; "Last accuracy mAP@0.5" only repeats an earlier result.
    int nStart = strLine.indexOf(QLatin1String("mean average precision (mAP@"));
    if (nStart < 0)
        nStart = strLine.indexOf(QLatin1String("mean_average_precision (mAP@"));
    if (nStart < 0)
        return false;
    const int nEquals = strLine.indexOf(QLatin1String(") = "), nStart);
    if (nEquals < 0)
        return false;
    const QByteArray baValue = strLine.mid(nEquals + 4).toLatin1();
    const char* pEnd = baValue.constData() + baValue.size();
    double dValue = 0;
    const std::from_chars_result result = std::from_chars(baValue.constData(), pEnd, dValue);
    if (result.ec != std::errc() || result.ptr == baValue.constData())
        return false;
    // What may follow is ", or 61.23 %" or white space, never more digits of a cut line.
    if (result.ptr != pEnd && *result.ptr != ',' && !IsSpace(*result.ptr))
        return false;
    dMap = dValue;
    return true;
}

CDarknetOutputParser::SEvent CDarknetOutputParser::Parse(const QString& strLine)
{
    SEvent event;
    if (ParseIteration(strLine, event.point))
        event.kind = EKind::ITERATION;
    else if (ParseMap(strLine, event.dMap))
        event.kind = EKind::MAP;
    return event;
}
