#include "trainer/detect/DetectionProposals.h"

#include "common/log/Logger.h"
#include "trainer/FileReplacer.h"
#include "trainer/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>

const QString CDetectionProposals::FOLDER = QStringLiteral("Proposals");

namespace
{
// Six decimals round a value by at most this much.
constexpr double ROUNDING = 5e-7;

QByteArray Line(const SProposal& proposal)
{
    QByteArray baLine = QByteArray::number(proposal.nCategoryId);
    for (const double dValue :
         {proposal.dCenterX, proposal.dCenterY, proposal.dWidth, proposal.dHeight, proposal.dConfidence})
        baLine += ' ' + QByteArray::number(dValue, 'f', 6);
    // A line break in a name would split the proposal in two.
    return baLine + ' ' + proposal.strName.toUtf8().replace('\n', ' ').replace('\r', ' ') + '\n';
}

bool IsInside(const SProposal& proposal)
{
    const double dValues[5] = {proposal.dCenterX, proposal.dCenterY, proposal.dWidth, proposal.dHeight,
                               proposal.dConfidence};
    if (!std::all_of(std::begin(dValues), std::end(dValues), [](double d) { return std::isfinite(d); }))
        return false;
    return proposal.nCategoryId >= 0 && proposal.dWidth > 0 && proposal.dHeight > 0 &&
           proposal.dCenterX - proposal.dWidth / 2 >= -ROUNDING &&
           proposal.dCenterX + proposal.dWidth / 2 <= 1 + ROUNDING &&
           proposal.dCenterY - proposal.dHeight / 2 >= -ROUNDING &&
           proposal.dCenterY + proposal.dHeight / 2 <= 1 + ROUNDING && proposal.dConfidence >= 0 &&
           proposal.dConfidence <= 1;
}

// One stored line; false for a line that is no proposal inside the image.
bool ParseLine(const QByteArray& baLine, SProposal& proposal)
{
    const char* p = baLine.constData();
    const char* pEnd = p + baLine.size();
    const auto [pAfterId, error] = std::from_chars(p, pEnd, proposal.nCategoryId);
    if (error != std::errc() || pAfterId == pEnd || *pAfterId != ' ')
        return false;
    p = pAfterId;
    for (double* pValue :
         {&proposal.dCenterX, &proposal.dCenterY, &proposal.dWidth, &proposal.dHeight, &proposal.dConfidence})
    {
        if (p == pEnd || *p != ' ')
            return false;
        const auto [pNext, valueError] = std::from_chars(p + 1, pEnd, *pValue);
        if (valueError != std::errc())
            return false;
        p = pNext;
    }
    if (p != pEnd && *p != ' ')
        return false;
    proposal.strName =
        QString::fromUtf8(p == pEnd ? p : p + 1, static_cast<int>(pEnd - std::min(pEnd, p + 1)));
    return IsInside(proposal);
}
} // namespace

CDetectionProposals::CDetectionProposals(const QString& strProjectDir)
    : m_strFolder(strProjectDir + '/' + FOLDER)
{
}

QString CDetectionProposals::FilePath(int nImageID) const
{
    return m_strFolder + '/' + QString::number(nImageID) + ".txt";
}

bool CDetectionProposals::Store(int nImageID, const std::vector<SProposal>& vctProposals) const
{
    if (nImageID < 0)
        return false;
    if (vctProposals.empty())
        return RemoveAll(nImageID);
    QByteArray baContent;
    for (const SProposal& proposal : vctProposals)
        baContent += Line(proposal);
    if (QDir().mkpath(m_strFolder) &&
        CFileReplacer(m_strFolder).Write(QString::number(nImageID) + ".txt", baContent))
        return true;
    CLog::Write(ELogLevel::ERROR, "Failed to store the proposals of image %d in %s", nImageID,
                m_strFolder.toUtf8().constData());
    return false;
}

bool CDetectionProposals::Add(int nImageID, const SProposal& proposal) const
{
    std::vector<SProposal> vctProposals = Load(nImageID);
    vctProposals.push_back(proposal);
    return Store(nImageID, vctProposals);
}

std::vector<SProposal> CDetectionProposals::Load(int nImageID) const
{
    std::vector<SProposal> vctProposals;
    const QString strPath = FilePath(nImageID);
    QByteArray baContent;
    if (nImageID < 0 || !QFileInfo(strPath).exists())
        return vctProposals;
    if (!CWholeFile::Read(strPath, MAX_FILE_BYTES, baContent))
    {
        CLog::Write(ELogLevel::WARNING, "The proposals in %s are not read", strPath.toUtf8().constData());
        return vctProposals;
    }
    int nSkipped = 0;
    for (QByteArray baLine : baContent.split('\n'))
    {
        if (baLine.endsWith('\r'))
            baLine.chop(1);
        SProposal proposal;
        if (ParseLine(baLine, proposal))
            vctProposals.push_back(proposal);
        else if (!baLine.isEmpty())
            ++nSkipped;
    }
    if (nSkipped > 0)
        CLog::Write(ELogLevel::WARNING, "%d lines of %s are no proposals and were skipped", nSkipped,
                    strPath.toUtf8().constData());
    return vctProposals;
}

bool CDetectionProposals::Remove(int nImageID, const SProposal& proposal) const
{
    std::vector<SProposal> vctProposals = Load(nImageID);
    const QByteArray baLine = Line(proposal);
    const auto it = std::find_if(vctProposals.begin(), vctProposals.end(),
                                 [&baLine](const SProposal& stored) { return Line(stored) == baLine; });
    if (it == vctProposals.end())
        return false;
    vctProposals.erase(it);
    return Store(nImageID, vctProposals);
}

bool CDetectionProposals::RemoveAll(int nImageID) const
{
    const QString strPath = FilePath(nImageID);
    if (nImageID < 0)
        return false;
    if (!QFileInfo(strPath).isSymLink() && !QFileInfo::exists(strPath))
        return true;
    if (QFile::remove(strPath))
        return true;
    CLog::Write(ELogLevel::ERROR, "Failed to remove %s", strPath.toUtf8().constData());
    return false;
}

std::vector<int> CDetectionProposals::PendingImages() const
{
    static const QRegularExpression RE_NAME("^(\\d{1,9})\\.txt$");
    std::vector<int> vctImages;
    const QFileInfoList lstFiles = QDir(m_strFolder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo& info : lstFiles)
    {
        const QRegularExpressionMatch match = RE_NAME.match(info.fileName());
        // Files are written whole and never empty; one with content has proposals.
        if (match.hasMatch() && !info.isSymLink() && info.size() > 0)
            vctImages.push_back(match.captured(1).toInt());
    }
    std::sort(vctImages.begin(), vctImages.end());
    return vctImages;
}

std::vector<SClassMapping>
CDetectionProposals::MapClasses(const QStringList& lstWeightsClasses,
                                const std::vector<std::pair<int, QString>>& vctCategories,
                                QStringList& lstUnmapped)
{
    QHash<QString, int> mapCategories;
    for (const auto& [nId, strName] : vctCategories)
        mapCategories.insert(strName, nId);
    std::vector<SClassMapping> vctMapping;
    for (const QString& strClass : lstWeightsClasses)
    {
        vctMapping.push_back({mapCategories.value(strClass, -1), strClass});
        if (vctMapping.back().nCategoryId < 0)
            lstUnmapped << strClass;
    }
    return vctMapping;
}

std::vector<SProposal> CDetectionProposals::FromFrame(const SDetectionFrame& frame,
                                                      const std::vector<SClassMapping>& vctClasses,
                                                      int& nUnmapped)
{
    std::vector<SProposal> vctProposals;
    vctProposals.reserve(frame.vctObjects.size());
    for (const SDetectedObject& object : frame.vctObjects)
    {
        const size_t nClass = static_cast<size_t>(object.nClassId);
        if (object.nClassId < 0 || nClass >= vctClasses.size() || vctClasses[nClass].nCategoryId < 0)
        {
            ++nUnmapped;
            continue;
        }
        // The weights' own class list names the box, not what Darknet printed.
        vctProposals.push_back({vctClasses[nClass].nCategoryId, vctClasses[nClass].strName, object.dCenterX,
                                object.dCenterY, object.dWidth, object.dHeight, object.dConfidence});
    }
    return vctProposals;
}
