#pragma once

#include <cstdint>

// Severity of a log message. The values are stored in the log file by name.
enum class ELogLevel : uint32_t
{
    NORMAL = 0,
    DEBUG = 1,
    WARNING = 2,
    ERROR = 3,
};

// The one logging call of the program and the library. Safe on any thread and
// never touches the disk: the formatted text is queued and written to the daily
// log file by the logger's timer on the GUI thread.
class CLog
{
public:
    CLog() = default;

    // printf-style formatting; at most 1023 bytes of the result are kept, cut
    // back to a whole UTF-8 character. Pass QStrings as toUtf8().constData().
    static void Write(ELogLevel level, const char* szFormat, ...) __attribute__((format(printf, 2, 3)));
};
