#include "trainer/detect/DetectorInput.h"

#include <algorithm>

namespace
{
const QByteArray PROMPT = "Enter Image Path:";
} // namespace

QString CDetectorInput::CheckPath(const QString& strPath)
{
    if (strPath.isEmpty())
        return "an empty path";
    if (strPath.contains('\n') || strPath.contains('\r') || strPath.contains(QChar(0)))
        return QString("\"%1\" holds a line break")
            .arg(QString(strPath).replace('\n', ' ').replace('\r', ' '));
    const int nBytes = strPath.toUtf8().size();
    if (nBytes > MAX_PATH_BYTES)
        return QString("\"%1\" is %2 bytes long; Darknet reads at most %3")
            .arg(strPath)
            .arg(nBytes)
            .arg(MAX_PATH_BYTES);
    return QString();
}

QByteArray CDetectorInput::Lines(const QStringList& lstPaths, QStringList& lstPassed, QStringList& lstRefused)
{
    QByteArray baLines;
    for (const QString& strPath : lstPaths)
    {
        const QString strProblem = CheckPath(strPath);
        if (!strProblem.isEmpty())
        {
            lstRefused << strProblem;
            continue;
        }
        lstPassed << strPath;
        baLines += strPath.toUtf8() + '\n';
    }
    return baLines;
}

int CDetectorInput::Append(const QByteArray& baOutput)
{
    const QByteArray baText = m_baTail + baOutput;
    int nFrom = 0;
    int nFound = 0;
    while ((nFound = baText.indexOf(PROMPT, nFrom)) >= 0)
    {
        ++m_nPrompts;
        nFrom = nFound + PROMPT.size();
    }
    // Keep what could be the first bytes of a prompt cut off by this piece.
    const int nKeep = std::min<int>(PROMPT.size() - 1, baText.size() - nFrom);
    m_baTail = baText.right(nKeep);
    return Answered();
}
