#include "trainer/TrainingHistory.h"

#include "common/log/Logger.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <cmath>

const QString CTrainingHistory::FILE_NAME = QStringLiteral("training.csv");
const QByteArray CTrainingHistory::HEADER = "iteration,loss,avg_loss,rate,seconds,images,hours_left,map\n";

namespace
{
constexpr int FIELD_COUNT = 8;

// The shortest text that reads back as the same double, in the C locale; an
// empty field for a value that is not there.
void AppendDouble(QByteArray& baRow, double dValue)
{
    if (std::isnan(dValue))
        return;
    char szBuffer[32];
    const std::to_chars_result result = std::to_chars(szBuffer, szBuffer + sizeof(szBuffer), dValue);
    baRow.append(szBuffer, static_cast<int>(result.ptr - szBuffer));
}

template <typename T>
bool ReadWhole(const QByteArray& baField, T& value)
{
    const char* pEnd = baField.constData() + baField.size();
    const std::from_chars_result result = std::from_chars(baField.constData(), pEnd, value);
    return result.ec == std::errc() && result.ptr == pEnd && !baField.isEmpty();
}

bool ReadDouble(const QByteArray& baField, double& dValue)
{
    if (baField.isEmpty())
    {
        dValue = STrainingPoint::NONE;
        return true;
    }
    return ReadWhole(baField, dValue);
}
} // namespace

QByteArray CTrainingHistory::FormatRow(const STrainingPoint& point)
{
    QByteArray baRow = QByteArray::number(point.nIteration);
    for (const double dValue : {point.dLoss, point.dAverageLoss, point.dRate, point.dSeconds})
    {
        baRow += ',';
        AppendDouble(baRow, dValue);
    }
    baRow += ',' + QByteArray::number(point.nImages) + ',';
    AppendDouble(baRow, point.dHoursLeft);
    baRow += ',';
    AppendDouble(baRow, point.dMap);
    baRow += '\n';
    return baRow;
}

bool CTrainingHistory::ParseRow(const QByteArray& baLine, STrainingPoint& point)
{
    const QList<QByteArray> lstFields = baLine.trimmed().split(',');
    if (lstFields.size() != FIELD_COUNT)
        return false;
    STrainingPoint parsed;
    const bool bOk = ReadWhole(lstFields[0], parsed.nIteration) && ReadDouble(lstFields[1], parsed.dLoss) &&
                     ReadDouble(lstFields[2], parsed.dAverageLoss) &&
                     ReadDouble(lstFields[3], parsed.dRate) && ReadDouble(lstFields[4], parsed.dSeconds) &&
                     ReadWhole(lstFields[5], parsed.nImages) && ReadDouble(lstFields[6], parsed.dHoursLeft) &&
                     ReadDouble(lstFields[7], parsed.dMap);
    if (bOk)
        point = parsed;
    return bOk;
}

bool CTrainingHistory::Load(const QString& strFile)
{
    Close();
    QFile file(strFile);
    if (!file.exists())
    {
        m_strFile = strFile;
        return true;
    }
    if (!file.open(QIODevice::ReadOnly))
    {
        // Not kept as this history's file: a run must not replace what it could not read.
        CLog::Write(ELogLevel::ERROR, "Failed to read %s", strFile.toUtf8().constData());
        return false;
    }
    m_strFile = strFile;
    const QByteArray baContent = file.readAll();
    const QList<QByteArray> lstLines = baContent.split('\n');
    bool bClean = baContent.startsWith(HEADER);
    // The piece behind the last line feed is empty unless a row was cut off.
    for (int i = bClean ? 1 : 0; i < lstLines.size() - 1; ++i)
    {
        STrainingPoint point;
        const bool bRow = ParseRow(lstLines[i], point);
        bClean = bClean && bRow && (m_vctPoints.empty() || point.nIteration > m_vctPoints.back().nIteration);
        if (bRow)
            Add(point);
    }
    bClean = bClean && lstLines.last().isEmpty();
    m_nStored = m_vctPoints.size();
    m_bFileMatches = bClean;
    return true;
}

void CTrainingHistory::Close()
{
    Finish();
    m_vctPoints.clear();
    m_strFile.clear();
    m_nStored = 0;
    m_bFileMatches = false;
    m_bFailureLogged = false;
}

size_t CTrainingHistory::DropFrom(int nIteration)
{
    const auto it =
        std::lower_bound(m_vctPoints.begin(), m_vctPoints.end(), nIteration,
                         [](const STrainingPoint& point, int nValue) { return point.nIteration < nValue; });
    m_vctPoints.erase(it, m_vctPoints.end());
    if (m_nStored > m_vctPoints.size())
    {
        m_nStored = m_vctPoints.size();
        m_bFileMatches = false;
    }
    return m_vctPoints.size();
}

int CTrainingHistory::Add(const STrainingPoint& point)
{
    size_t nFirst = m_vctPoints.size();
    if (!m_vctPoints.empty() && point.nIteration <= m_vctPoints.back().nIteration)
        nFirst = DropFrom(point.nIteration);
    m_vctPoints.push_back(point);
    return static_cast<int>(nFirst);
}

int CTrainingHistory::SetMap(double dMap)
{
    if (m_vctPoints.empty())
        return -1;
    const size_t nIndex = m_vctPoints.size() - 1;
    m_vctPoints.back().dMap = dMap;
    // A row already on disk has to be written again.
    if (m_nStored > nIndex)
    {
        m_nStored = nIndex;
        m_bFileMatches = false;
    }
    return static_cast<int>(nIndex);
}

bool CTrainingHistory::Store()
{
    return StoreUpTo(m_vctPoints.empty() ? 0 : m_vctPoints.size() - 1);
}

bool CTrainingHistory::Finish()
{
    const bool bOk = StoreUpTo(m_vctPoints.size());
    m_file.close();
    return bOk;
}

bool CTrainingHistory::StoreUpTo(size_t nCount)
{
    if (m_strFile.isEmpty() || nCount <= m_nStored)
        return true;
    return m_bFileMatches ? Append(nCount) : Rewrite(nCount);
}

bool CTrainingHistory::Rewrite(size_t nCount)
{
    m_file.close();
    QByteArray baContent = HEADER;
    baContent.reserve(HEADER.size() + static_cast<int>(nCount) * 64);
    for (size_t i = 0; i < nCount; ++i)
        baContent += FormatRow(m_vctPoints[i]);
    QSaveFile file(m_strFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(baContent) != baContent.size() || !file.commit())
        return Failed();
    m_nStored = nCount;
    m_bFileMatches = true;
    m_bFailureLogged = false;
    return true;
}

bool CTrainingHistory::Append(size_t nCount)
{
    if (!m_file.isOpen())
    {
        // Someone removed the file since: it starts again with its header.
        if (!QFileInfo::exists(m_strFile))
            return Rewrite(nCount);
        m_file.setFileName(m_strFile);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
            return Failed();
    }
    QByteArray baRows;
    for (size_t i = m_nStored; i < nCount; ++i)
        baRows += FormatRow(m_vctPoints[i]);
    if (m_file.write(baRows) != baRows.size() || !m_file.flush())
    {
        // Part of a row may have reached the disk; the next store replaces the file.
        m_file.close();
        m_bFileMatches = false;
        return Failed();
    }
    m_nStored = nCount;
    return true;
}

bool CTrainingHistory::Failed()
{
    if (!m_bFailureLogged)
        CLog::Write(ELogLevel::ERROR, "Failed to write %s", m_strFile.toUtf8().constData());
    m_bFailureLogged = true;
    return false;
}
