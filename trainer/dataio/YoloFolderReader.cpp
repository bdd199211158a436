#include "trainer/dataio/YoloFolderReader.h"

#include "common/log/Logger.h"

#include <QFileInfo>

namespace
{
const QStringList& ImageFolderNames()
{
    static const QStringList lstNames = {"images", "JPEGImages"};
    return lstNames;
}

void AddProblem(SLabelledSet& set, const QString& strFile, int nLine, const QString& strMessage)
{
    set.vctProblems.push_back({strFile, nLine, QString(), strMessage});
}

QList<QByteArray> Fields(const QByteArray& baLine)
{
    return baLine.simplified().split(' ');
}

// An unmatched text file is worth a word only when it looks like a label
// file: empty, or a first line of five numbers. Lists and notes are not.
bool LooksLikeLabels(const QString& strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray baFirst = file.readLine(4096).trimmed();
    const QList<QByteArray> lstFields = Fields(baFirst);
    bool bNumbers = lstFields.size() == 5;
    for (int i = 0; bNumbers && i < lstFields.size(); ++i)
        lstFields[i].toDouble(&bNumbers);
    return baFirst.isEmpty() || bNumbers;
}
} // namespace

CYoloFolderReader::CYoloFolderReader(const QString& strFolder) : m_folder(strFolder) {}

bool CYoloFolderReader::Read(SLabelledSet& set)
{
    if (!m_folder.Exists())
    {
        AddProblem(set, m_folder.Root(), 0, QStringLiteral("folder not found"));
        CLog::Write(ELogLevel::ERROR, "Folder %s not found", m_folder.Root().toUtf8().constData());
        return false;
    }
    const QStringList lstFiles = m_folder.Walk();
    const QString strNames = m_strNamesFile.isEmpty() ? FindNamesFile(lstFiles, set) : m_strNamesFile;
    if (!strNames.isEmpty())
        ReadNames(strNames, set);
    for (const QString& strFile : lstFiles)
    {
        if (CSourceFolder::IsImageName(strFile))
            ReadImage(strFile, set);
    }
    ReportOrphans(lstFiles, set);
    CLog::Write(ELogLevel::NORMAL, "Read %d images with %d problems from %s", int(set.vctImages.size()),
                int(set.vctProblems.size()), m_folder.Root().toUtf8().constData());
    return true;
}

QString CYoloFolderReader::FindNamesFile(const QStringList& lstFiles, SLabelledSet& set) const
{
    const QString strTop = m_folder.Root() + QLatin1Char('/');
    for (const QString& strName : {QStringLiteral("classes.txt"), QStringLiteral("obj.names")})
    {
        if (QFileInfo(strTop + strName).isFile())
            return strTop + strName;
    }
    QStringList lstNames;
    for (const QString& strFile : lstFiles)
    {
        if (strFile.endsWith(QLatin1String(".names")) &&
            !strFile.mid(strTop.size()).contains(QLatin1Char('/')))
            lstNames << strFile;
    }
    if (lstNames.isEmpty())
    {
        AddProblem(
            set, m_folder.Root(), 0,
            QStringLiteral("no class names file (classes.txt, obj.names or *.names): boxes cannot be named"));
        return QString();
    }
    if (lstNames.size() > 1)
        AddProblem(set, lstNames.first(), 0,
                   QString("%1 class names files, this one used").arg(lstNames.size()));
    return lstNames.first();
}

void CYoloFolderReader::ReadNames(const QString& strPath, SLabelledSet& set)
{
    m_setUsedTextFiles.insert(strPath);
    QByteArray baContent;
    QString strError;
    if (!CSourceFolder::ReadFile(strPath, MAX_LABEL_BYTES, baContent, strError))
    {
        AddProblem(set, strPath, 0, strError);
        return;
    }
    // Darknet counts every line, so a blank line in the middle still takes
    // an index; only blank lines at the end are not classes.
    for (const QByteArray& baLine : baContent.split('\n'))
        m_lstNamesByIndex << QString::fromUtf8(baLine).trimmed();
    while (!m_lstNamesByIndex.isEmpty() && m_lstNamesByIndex.last().isEmpty())
        m_lstNamesByIndex.removeLast();
    for (const QString& strName : qAsConst(m_lstNamesByIndex))
    {
        if (!strName.isEmpty() && !set.lstClassNames.contains(strName))
            set.lstClassNames << strName;
    }
}

QString CYoloFolderReader::FindLabel(const QString& strImage) const
{
    const QString strBase = CSourceFolder::WithoutSuffix(strImage);
    QStringList lstCandidates = m_folder.Swapped(strBase, ImageFolderNames(), QStringLiteral("labels"));
    lstCandidates << strBase;
    for (const QString& strCandidate : qAsConst(lstCandidates))
    {
        const QString strLabel = strCandidate + QStringLiteral(".txt");
        if (QFileInfo(strLabel).isFile())
            return strLabel;
    }
    return QString();
}

void CYoloFolderReader::ReadImage(const QString& strImage, SLabelledSet& set)
{
    const QString strLabel = FindLabel(strImage);
    if (!strLabel.isEmpty())
        m_setUsedTextFiles.insert(strLabel);
    const CImageProbe::SResult probe = CImageProbe::Probe(strImage);
    if (probe.status != CImageProbe::EStatus::OK)
    {
        AddProblem(set, strImage, 0,
                   CImageProbe::ProblemText(probe.status) + QStringLiteral(", not imported"));
        return;
    }
    SLabelledImage image = CImageProbe::ImageOf(strImage, m_folder.Relative(strImage), probe);
    if (!strLabel.isEmpty())
        ReadLabel(strLabel, probe, image, set);
    set.vctImages.push_back(std::move(image));
}

void CYoloFolderReader::ReadLabel(const QString& strLabel, const CImageProbe::SResult& probe,
                                  SLabelledImage& image, SLabelledSet& set) const
{
    QByteArray baContent;
    QString strError;
    if (!CSourceFolder::ReadFile(strLabel, MAX_LABEL_BYTES, baContent, strError))
    {
        // The image is still worth importing; what its labels said is unknown.
        AddProblem(set, strLabel, 0, strError + QStringLiteral(", image imported without labels"));
        return;
    }
    image.state = baContent.trimmed().isEmpty() ? ELabelState::NEGATIVE : ELabelState::LABELLED;
    const QList<QByteArray> lstLines = baContent.split('\n');
    for (int i = 0; i < lstLines.size(); ++i)
    {
        if (lstLines[i].trimmed().isEmpty())
            continue;
        SLabelledBox box;
        QString strProblem;
        if (!ParseLine(lstLines[i], probe.sizeRaw, box, strProblem) ||
            CImageProbe::FitBox(box.rcBox, probe, QSize(), strProblem) == CBoxCheck::EVerdict::DROP)
        {
            AddProblem(set, strLabel, i + 1, strProblem + QStringLiteral(", box dropped"));
            continue;
        }
        if (!strProblem.isEmpty())
            AddProblem(set, strLabel, i + 1, strProblem);
        image.vctBoxes.push_back(std::move(box));
    }
}

bool CYoloFolderReader::ParseLine(const QByteArray& baLine, const QSize& sizeRaw, SLabelledBox& box,
                                  QString& strProblem) const
{
    const QList<QByteArray> lstFields = Fields(baLine);
    bool bOk = lstFields.size() == 5;
    const int nClass = bOk ? lstFields[0].toInt(&bOk) : 0;
    double adValues[4] = {};
    for (int i = 0; bOk && i < 4; ++i)
        adValues[i] = lstFields[i + 1].toDouble(&bOk);
    if (!bOk)
    {
        strProblem = QStringLiteral("malformed line (expected: class cx cy w h)");
        return false;
    }
    if (nClass < 0 || nClass >= m_lstNamesByIndex.size())
    {
        strProblem = QString("unknown class index %1 (%2 names)").arg(nClass).arg(m_lstNamesByIndex.size());
        return false;
    }
    if (m_lstNamesByIndex[nClass].isEmpty())
    {
        strProblem = QString("class index %1 has a blank line in the names file").arg(nClass);
        return false;
    }
    box.strClassName = m_lstNamesByIndex[nClass];
    const double dWidth = adValues[2] * sizeRaw.width();
    const double dHeight = adValues[3] * sizeRaw.height();
    box.rcBox = QRectF(adValues[0] * sizeRaw.width() - dWidth / 2,
                       adValues[1] * sizeRaw.height() - dHeight / 2, dWidth, dHeight);
    return true;
}

void CYoloFolderReader::ReportOrphans(const QStringList& lstFiles, SLabelledSet& set) const
{
    for (const QString& strFile : lstFiles)
    {
        if (!strFile.endsWith(QLatin1String(".txt")) || m_setUsedTextFiles.contains(strFile))
            continue;
        if (LooksLikeLabels(strFile))
            AddProblem(set, strFile, 0, QStringLiteral("label without image"));
    }
}
