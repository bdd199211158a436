#include "common/log/Logger.h"

#include "common/log/LogModel.h"

#include <QDateTime>
#include <QString>

#include <cstdarg>
#include <cstdio>
#include <limits>

namespace
{
constexpr int LOG_BUFFER_SIZE = 1024;

bool IsContinuationByte(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

int SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// Length of the longest prefix of szText[0, nLength) that does not end inside
// a multi-byte UTF-8 character.
int WholeCharacterLength(const char* szText, int nLength)
{
    int nStart = nLength - 1;
    while (nStart > 0 && nLength - nStart < 4 &&
           IsContinuationByte(static_cast<unsigned char>(szText[nStart])))
        --nStart;
    if (nStart < 0)
        return 0;
    const int nNeeded = SequenceLength(static_cast<unsigned char>(szText[nStart]));
    return nStart + nNeeded > nLength ? nStart : nLength;
}
// QDateTime::currentDateTime() asks the C library for the time zone on every
// call, which costs microseconds; the offset only changes at zone transitions,
// and those fall on quarter hours, so it is looked up once per quarter hour.
QDateTime LocalNow()
{
    constexpr qint64 OFFSET_PERIOD_MS = 15 * 60 * 1000;
    thread_local qint64 s_nPeriod = std::numeric_limits<qint64>::min();
    thread_local int s_nOffset = 0;
    const qint64 nNow = QDateTime::currentMSecsSinceEpoch();
    const qint64 nPeriod = nNow / OFFSET_PERIOD_MS;
    if (nPeriod != s_nPeriod)
    {
        s_nOffset = QDateTime::fromMSecsSinceEpoch(nNow).offsetFromUtc();
        s_nPeriod = nPeriod;
    }
    return QDateTime::fromMSecsSinceEpoch(nNow, Qt::OffsetFromUTC, s_nOffset);
}
} // namespace

void CLog::Write(ELogLevel level, const char* szFormat, ...)
{
    char szBuffer[LOG_BUFFER_SIZE];
    int nLength = 0;
    if (szFormat)
    {
        va_list args;
        va_start(args, szFormat);
        nLength = std::vsnprintf(szBuffer, sizeof(szBuffer), szFormat, args);
        va_end(args);
    }
    if (nLength < 0)
        nLength = 0;
    if (nLength >= LOG_BUFFER_SIZE)
        nLength = WholeCharacterLength(szBuffer, LOG_BUFFER_SIZE - 1);

    CLogger::GetInstance()->AddMessage(level, QString::fromUtf8(szBuffer, nLength), LocalNow());
}
