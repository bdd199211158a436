#include "trainer/dataio/VocWriter.h"

#include "common/log/Logger.h"
#include "trainer/dataio/SourceFolder.h"

#include <QFileInfo>
#include <QXmlStreamWriter>

namespace
{
void WriteObject(QXmlStreamWriter& xml, const SLabelledBox& box)
{
    const QRectF& rc = box.rcBox;
    xml.writeStartElement(QStringLiteral("object"));
    xml.writeTextElement(QStringLiteral("name"), box.strClassName);
    xml.writeTextElement(QStringLiteral("pose"), QStringLiteral("Unspecified"));
    xml.writeTextElement(QStringLiteral("truncated"), QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("difficult"), QStringLiteral("0"));
    xml.writeStartElement(QStringLiteral("bndbox"));
    xml.writeTextElement(QStringLiteral("xmin"), CExportFolder::Number(rc.x() + 1));
    xml.writeTextElement(QStringLiteral("ymin"), CExportFolder::Number(rc.y() + 1));
    xml.writeTextElement(QStringLiteral("xmax"), CExportFolder::Number(rc.x() + rc.width()));
    xml.writeTextElement(QStringLiteral("ymax"), CExportFolder::Number(rc.y() + rc.height()));
    xml.writeEndElement();
    xml.writeEndElement();
}

QByteArray Annotation(const SLabelledImage& image, const QString& strRelative, const QSize& sizeImage)
{
    QByteArray baXml;
    QXmlStreamWriter xml(&baXml);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("annotation"));
    xml.writeTextElement(QStringLiteral("folder"), QStringLiteral("JPEGImages"));
    xml.writeTextElement(QStringLiteral("filename"), QFileInfo(strRelative).fileName());
    xml.writeStartElement(QStringLiteral("size"));
    xml.writeTextElement(QStringLiteral("width"), QString::number(sizeImage.width()));
    xml.writeTextElement(QStringLiteral("height"), QString::number(sizeImage.height()));
    xml.writeTextElement(QStringLiteral("depth"), QStringLiteral("3"));
    xml.writeEndElement();
    xml.writeTextElement(QStringLiteral("segmented"), QStringLiteral("0"));
    for (const SLabelledBox& box : image.vctBoxes)
        WriteObject(xml, box);
    xml.writeEndElement();
    xml.writeEndDocument();
    return baXml;
}
} // namespace

CVocWriter::CVocWriter(const QString& strFolder) : m_folder(strFolder) {}

bool CVocWriter::Write(const SLabelledSet& set, std::vector<SImportProblem>& vctProblems)
{
    bool bOk = true;
    for (const SLabelledImage& image : set.vctImages)
    {
        QString strRelative;
        QSize sizeImage;
        if (!m_folder.PlaceImage(image, QStringLiteral("JPEGImages"), strRelative, sizeImage, vctProblems))
        {
            bOk = false;
            continue;
        }
        if (image.state == ELabelState::UNLABELLED)
            continue;
        const QString strXml =
            QStringLiteral("Annotations/") + CSourceFolder::WithoutSuffix(strRelative) + ".xml";
        bOk = m_folder.Write(strXml, Annotation(image, strRelative, sizeImage), vctProblems) && bOk;
    }
    CLog::Write(bOk ? ELogLevel::NORMAL : ELogLevel::ERROR, "Wrote %d images as Pascal VOC to %s%s",
                int(set.vctImages.size()), m_folder.Root().toUtf8().constData(),
                bOk ? "" : ", with problems");
    return bOk;
}
