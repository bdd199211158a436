#pragma once

#include <QString>

#include <string_view>

// Walks the almost-JSON Darknet writes: numbers may be the bare literals
// nan and inf (with a sign), strings are not escaped (one ends at the quote
// followed by the comma, brace or bracket closing its field). Every function
// returns false at the first byte it cannot accept and records why; running
// out of input counts as a truncation rather than as invalid text. The
// caller's bytes must outlive the scanner.
// One per read; the reading thread.
class CTolerantJsonScanner
{
public:
    static constexpr int MAX_DEPTH = 64;

    CTolerantJsonScanner(const char* pBegin, const char* pEnd) : m_pBegin(pBegin), m_p(pBegin), m_pEnd(pEnd)
    {
    }

    // Consumes ch (after white space) when it is next.
    bool Take(char ch);
    bool Expect(char ch) { return Take(ch) || Fail("expected a different character"); }
    // The key of a member and its ":"; Darknet's keys never hold quotes.
    bool Key(std::string_view& svKey);
    bool RawString(QString& strValue);
    // A number; beyond the range of a double it is an infinity (or 0 for a
    // tiny one). A number the input ends in may be cut off and fails.
    bool Number(double& dValue);
    bool SkipValue(int nDepth = 0);

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
    // Empty, "truncated at byte N" or "invalid JSON at byte N: why".
    QString Problem() const { return m_strProblem; }

private:
    static bool IsSpace(char ch) { return ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t'; }
    void SkipSpace();
    static double OutOfRange(const char* pStart, const char* pEnd);
    bool SkipContainer(int nDepth);
    bool Fail(const char* szWhy);

    const char* m_pBegin;
    const char* m_p;
    const char* m_pEnd;
    bool m_bTruncated = false;
    QString m_strProblem;
};
