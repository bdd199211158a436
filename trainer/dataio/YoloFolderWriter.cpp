#include "trainer/dataio/YoloFolderWriter.h"

#include "common/log/Logger.h"
#include "trainer/dataio/SourceFolder.h"

#include <QHash>

namespace
{
// A class name is one line of the names file.
QString OneLine(QString strName)
{
    for (QChar& c : strName)
    {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return strName;
}

QByteArray LabelLines(const SLabelledImage& image, const QSize& sizeImage,
                      const QHash<QString, int>& hashIndex)
{
    const double dWidth = sizeImage.width();
    const double dHeight = sizeImage.height();
    QString strLines;
    for (const SLabelledBox& box : image.vctBoxes)
    {
        const QRectF& rc = box.rcBox;
        strLines += QString::number(hashIndex.value(box.strClassName)) + QLatin1Char(' ') +
                    CExportFolder::Number((rc.x() + rc.width() / 2) / dWidth) + QLatin1Char(' ') +
                    CExportFolder::Number((rc.y() + rc.height() / 2) / dHeight) + QLatin1Char(' ') +
                    CExportFolder::Number(rc.width() / dWidth) + QLatin1Char(' ') +
                    CExportFolder::Number(rc.height() / dHeight) + QLatin1Char('\n');
    }
    return strLines.toUtf8();
}
} // namespace

CYoloFolderWriter::CYoloFolderWriter(const QString& strFolder) : m_folder(strFolder) {}

bool CYoloFolderWriter::Write(const SLabelledSet& set, std::vector<SImportProblem>& vctProblems)
{
    const QStringList lstClasses = CExportFolder::ClassList(set);
    QHash<QString, int> hashIndex;
    QString strNames;
    for (int i = 0; i < lstClasses.size(); ++i)
    {
        hashIndex.insert(lstClasses[i], i);
        strNames += OneLine(lstClasses[i]) + QLatin1Char('\n');
    }
    bool bOk = m_folder.Write(QStringLiteral("obj.names"), strNames.toUtf8(), vctProblems);
    for (const SLabelledImage& image : set.vctImages)
    {
        QString strRelative;
        QSize sizeImage;
        if (!m_folder.PlaceImage(image, QStringLiteral("images"), strRelative, sizeImage, vctProblems))
        {
            bOk = false;
            continue;
        }
        if (image.state == ELabelState::UNLABELLED)
            continue;
        const QString strLabel =
            QStringLiteral("labels/") + CSourceFolder::WithoutSuffix(strRelative) + ".txt";
        bOk = m_folder.Write(strLabel, LabelLines(image, sizeImage, hashIndex), vctProblems) && bOk;
    }
    CLog::Write(bOk ? ELogLevel::NORMAL : ELogLevel::ERROR, "Wrote %d images as a YOLO folder to %s%s",
                int(set.vctImages.size()), m_folder.Root().toUtf8().constData(),
                bOk ? "" : ", with problems");
    return bOk;
}
