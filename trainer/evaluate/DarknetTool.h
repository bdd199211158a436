#pragma once

#include <QString>

struct SDarknetJobResult;

// What the evaluation and anchor commands share about the Darknet
// executable: where it is, and how a run that went wrong is told.
// Stateless; GUI thread (reads the settings).
class CDarknetTool
{
public:
    // The executable the settings name; empty with strError when it is not
    // set or not there.
    static QString Executable(QString& strError);
    // For the user: "Darknet crashed while <what>" or "... ended with exit
    // code N ...", with the last lines it wrote to standard error.
    static QString Failure(const SDarknetJobResult& result, const QString& strWhat);
};
