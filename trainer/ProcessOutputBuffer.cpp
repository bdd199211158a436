#include "trainer/ProcessOutputBuffer.h"

#include <cstring>

namespace
{
constexpr unsigned char ESC = 0x1b;
constexpr unsigned char BEL = 0x07;
constexpr unsigned char DEL = 0x7f;
// UTF-8 lead byte of U+0080..U+00BF; followed by 0x80..0x9f it is a C1 control.
constexpr unsigned char C1_LEAD = 0xc2;

bool InRange(unsigned char ch, unsigned char chFirst, unsigned char chLast)
{
    return ch >= chFirst && ch <= chLast;
}

bool IsControl(unsigned char ch)
{
    return (ch < 0x20 && ch != '\t') || ch == DEL;
}

// Everything the fast path must not copy as it is (ESC is a control character).
bool NeedsCleaning(unsigned char ch)
{
    return IsControl(ch) || ch == C1_LEAD;
}

// Index behind a string sequence (OSC, DCS, ...), which ends with BEL or ESC \.
int SkipStringSequence(const unsigned char* pData, int nSize, int nPos)
{
    for (; nPos < nSize; ++nPos)
    {
        if (pData[nPos] == BEL)
            return nPos + 1;
        if (pData[nPos] == ESC && nPos + 1 < nSize && pData[nPos + 1] == '\\')
            return nPos + 2;
    }
    return nSize;
}

// Index behind the escape sequence that starts with the ESC at nPos. A
// sequence cut off by the end of the line is dropped up to there.
int SkipEscape(const unsigned char* pData, int nSize, int nPos)
{
    int nNext = nPos + 1;
    if (nNext >= nSize)
        return nSize;
    const unsigned char chKind = pData[nNext];
    if (chKind == ']' || chKind == 'P' || chKind == 'X' || chKind == '^' || chKind == '_')
        return SkipStringSequence(pData, nSize, nNext + 1);
    // CSI: parameter and intermediate bytes, then one final byte.
    if (chKind == '[')
    {
        ++nNext;
        while (nNext < nSize && InRange(pData[nNext], 0x20, 0x3f))
            ++nNext;
        return nNext < nSize && InRange(pData[nNext], 0x40, 0x7e) ? nNext + 1 : nNext;
    }
    // Other sequences: intermediate bytes, then one final byte (ESC ( B, ESC 7, ESC =).
    while (nNext < nSize && InRange(pData[nNext], 0x20, 0x2f))
        ++nNext;
    return nNext < nSize && InRange(pData[nNext], 0x30, 0x7e) ? nNext + 1 : nNext;
}

QByteArray Cleaned(const unsigned char* pData, int nSize)
{
    QByteArray baClean;
    baClean.reserve(nSize);
    int nPos = 0;
    while (nPos < nSize)
    {
        const unsigned char ch = pData[nPos];
        if (ch == ESC)
            nPos = SkipEscape(pData, nSize, nPos);
        else if (ch == C1_LEAD && nPos + 1 < nSize && InRange(pData[nPos + 1], 0x80, 0x9f))
            nPos += 2;
        else if (IsControl(ch))
            ++nPos;
        else
            baClean += static_cast<char>(pData[nPos++]);
    }
    return baClean;
}

// Length of the text without its last character when that is not ASCII: the
// character may still be incomplete, and a complete one only moves on to the
// next piece.
int WholeCharacters(const QByteArray& baText)
{
    int nCut = baText.size();
    while (nCut > 0 && baText.size() - nCut < 3 &&
           (static_cast<unsigned char>(baText[nCut - 1]) & 0xc0) == 0x80)
        --nCut;
    if (nCut > 0 && static_cast<unsigned char>(baText[nCut - 1]) >= 0xc0)
        --nCut;
    return nCut > 0 ? nCut : baText.size();
}
} // namespace

QStringList CProcessOutputBuffer::Append(const QByteArray& baChunk)
{
    QStringList lstLines;
    const char* pBegin = baChunk.constData();
    const char* pLastFeed =
        static_cast<const char*>(memrchr(pBegin, '\n', static_cast<size_t>(baChunk.size())));
    if (!pLastFeed)
    {
        m_baRest += baChunk;
        TakeOverlongRest(lstLines);
        return lstLines;
    }
    // The rest belongs to the first line of this chunk.
    const char* pFirstFeed = static_cast<const char*>(std::memchr(pBegin, '\n', pLastFeed - pBegin + 1));
    m_baRest.append(pBegin, static_cast<int>(pFirstFeed - pBegin));
    AppendLine(m_baRest.constData(), m_baRest.constData() + m_baRest.size(), lstLines);
    AppendLines(pFirstFeed + 1, pLastFeed + 1, lstLines);
    m_baRest = QByteArray(pLastFeed + 1, static_cast<int>(pBegin + baChunk.size() - pLastFeed - 1));
    TakeOverlongRest(lstLines);
    return lstLines;
}

QStringList CProcessOutputBuffer::Finish()
{
    QStringList lstLines;
    AppendLine(m_baRest.constData(), m_baRest.constData() + m_baRest.size(), lstLines);
    m_baRest.clear();
    return lstLines;
}

// [pBegin, pEnd) holds whole lines, each ended by a line feed.
void CProcessOutputBuffer::AppendLines(const char* pBegin, const char* pEnd, QStringList& lstLines)
{
    while (pBegin < pEnd)
    {
        const char* pFeed = static_cast<const char*>(std::memchr(pBegin, '\n', pEnd - pBegin));
        AppendLine(pBegin, pFeed, lstLines);
        pBegin = pFeed + 1;
    }
}

void CProcessOutputBuffer::AppendLine(const char* pBegin, const char* pEnd, QStringList& lstLines)
{
    const auto* pData = reinterpret_cast<const unsigned char*>(pBegin);
    const int nSize = static_cast<int>(pEnd - pBegin);
    bool bClean = true;
    for (int i = 0; i < nSize && bClean; ++i)
        bClean = !NeedsCleaning(pData[i]);
    const QString strLine =
        bClean ? QString::fromUtf8(pBegin, nSize) : QString::fromUtf8(Cleaned(pData, nSize));
    if (!strLine.isEmpty())
        lstLines << strLine;
}

void CProcessOutputBuffer::TakeOverlongRest(QStringList& lstLines)
{
    if (m_baRest.size() < MAX_LINE_BYTES)
        return;
    const int nCut = WholeCharacters(m_baRest);
    AppendLine(m_baRest.constData(), m_baRest.constData() + nCut, lstLines);
    m_baRest.remove(0, nCut);
}
