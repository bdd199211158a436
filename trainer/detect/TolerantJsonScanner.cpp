#include "trainer/detect/TolerantJsonScanner.h"

#include <charconv>
#include <limits>

bool CTolerantJsonScanner::Take(char ch)
{
    SkipSpace();
    if (m_p < m_pEnd && *m_p == ch)
    {
        ++m_p;
        return true;
    }
    return false;
}

bool CTolerantJsonScanner::Key(std::string_view& svKey)
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

bool CTolerantJsonScanner::RawString(QString& strValue)
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
        // A quote inside the name: Darknet does not escape it.
        if (pNext < m_pEnd && *pNext != ',' && *pNext != '}' && *pNext != ']')
            continue;
        strValue = QString::fromUtf8(m_p, static_cast<int>(pQuote - m_p));
        m_p = pQuote + 1;
        return true;
    }
    m_p = m_pEnd;
    return Fail("unterminated string");
}

bool CTolerantJsonScanner::Number(double& dValue)
{
    SkipSpace();
    // from_chars reads nan and inf with a minus sign and ignores the locale.
    const char* pStart = m_p < m_pEnd && *m_p == '+' ? m_p + 1 : m_p;
    const auto [pEnd, error] = std::from_chars(pStart, m_pEnd, dValue);
    if (error == std::errc::invalid_argument)
        return Fail("expected a number");
    if (error == std::errc::result_out_of_range)
        dValue = OutOfRange(pStart, pEnd);
    m_p = pEnd;
    return m_p < m_pEnd || Fail("number at the end");
}

bool CTolerantJsonScanner::SkipValue(int nDepth)
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
    for (const std::string_view svWord : {"true", "false", "null"})
    {
        if (static_cast<size_t>(m_pEnd - m_p) >= svWord.size() &&
            std::string_view(m_p, svWord.size()) == svWord)
        {
            m_p += svWord.size();
            return true;
        }
    }
    double dIgnored = 0;
    return Number(dIgnored);
}

void CTolerantJsonScanner::SkipSpace()
{
    while (m_p < m_pEnd && IsSpace(*m_p))
        ++m_p;
}

double CTolerantJsonScanner::OutOfRange(const char* pStart, const char* pEnd)
{
    const std::string_view svNumber(pStart, static_cast<size_t>(pEnd - pStart));
    const size_t nExponent = svNumber.find_first_of("eE");
    if (nExponent != std::string_view::npos && nExponent + 1 < svNumber.size() &&
        svNumber[nExponent + 1] == '-')
        return 0;
    const double dInfinity = std::numeric_limits<double>::infinity();
    return svNumber.front() == '-' ? -dInfinity : dInfinity;
}

bool CTolerantJsonScanner::SkipContainer(int nDepth)
{
    if (*m_p == '[')
        return Elements([this, nDepth] { return SkipValue(nDepth + 1); });
    return Members([this, nDepth](std::string_view) { return SkipValue(nDepth + 1); });
}

bool CTolerantJsonScanner::Fail(const char* szWhy)
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
