#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The standard input of "darknet detector test" and how far Darknet has
// come through it. Darknet reads each path with fgets into 256 bytes, so a
// longer line would reach it as two paths and shift every result after it:
// such paths are refused before the run, never passed. Darknet prints
// "Enter Image Path: " before it reads each line and once more at the end
// of its input, so the prompts seen, less one, are the images it answered
// (also when it crashes on the next one).
// One per detection run; the thread that reads the process's output.
class CDetectorInput
{
public:
    // The longest path Darknet reads whole: 254 bytes and the line feed fill
    // its buffer with the terminating zero.
    static constexpr int MAX_PATH_BYTES = 254;

    // Empty when strPath can be passed, else why not, for the user.
    static QString CheckPath(const QString& strPath);
    // The paths that can be passed, one per line with LF endings; the paths
    // refused are added to lstRefused with their reason.
    static QByteArray Lines(const QStringList& lstPaths, QStringList& lstPassed, QStringList& lstRefused);

    // Takes the next bytes of Darknet's standard output (in any pieces);
    // returns how many images it has answered so far.
    int Append(const QByteArray& baOutput);
    int Answered() const { return m_nPrompts > 0 ? m_nPrompts - 1 : 0; }

private:
    int m_nPrompts = 0;
    // The end of the output so far that may be the start of a prompt.
    QByteArray m_baTail;
};
