#pragma once

#include <QByteArray>
#include <QStringList>

// Turns the raw output of one stream of a child process (standard output or
// standard error) into log lines. Reads can end anywhere, also inside a line
// or a UTF-8 character, so the unfinished rest waits for the next chunk. Lines
// are decoded as UTF-8 (invalid bytes become U+FFFD), terminal escape
// sequences and control characters other than tab are removed, and lines left
// empty by that are dropped: a screen clear is not a message.
// One instance per stream, owned by whoever reads the process; GUI thread.
class CProcessOutputBuffer
{
public:
    // A rest this long without a line feed is handed out as a line of its own,
    // so a process that never ends its line cannot fill the memory.
    static constexpr int MAX_LINE_BYTES = 64 * 1024;

    // The lines this chunk completes, in order.
    QStringList Append(const QByteArray& baChunk);
    // The unterminated rest once the process has ended; empty when nothing is
    // left. The buffer is then empty and can serve the next run.
    QStringList Finish();

private:
    static void AppendLines(const char* pBegin, const char* pEnd, QStringList& lstLines);
    static void AppendLine(const char* pBegin, const char* pEnd, QStringList& lstLines);
    void TakeOverlongRest(QStringList& lstLines);

    QByteArray m_baRest;
};
