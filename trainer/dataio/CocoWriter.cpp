#include "trainer/dataio/CocoWriter.h"

#include "common/log/Logger.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace
{
QJsonArray Categories(const QStringList& lstClasses, QHash<QString, int>& hashIds)
{
    QJsonArray array;
    for (int i = 0; i < lstClasses.size(); ++i)
    {
        hashIds.insert(lstClasses[i], i + 1);
        array.append(QJsonObject{{"id", i + 1}, {"name", lstClasses[i]}, {"supercategory", QString()}});
    }
    return array;
}

QJsonObject Annotation(int nId, int nImageId, int nCategoryId, const QRectF& rc)
{
    return QJsonObject{{"id", nId},
                       {"image_id", nImageId},
                       {"category_id", nCategoryId},
                       {"bbox", QJsonArray{rc.x(), rc.y(), rc.width(), rc.height()}},
                       {"area", rc.width() * rc.height()},
                       {"iscrowd", 0}};
}
} // namespace

CCocoWriter::CCocoWriter(const QString& strFolder) : m_folder(strFolder) {}

bool CCocoWriter::Write(const SLabelledSet& set, std::vector<SImportProblem>& vctProblems)
{
    QHash<QString, int> hashCategoryIds;
    const QJsonArray arrCategories = Categories(CExportFolder::ClassList(set), hashCategoryIds);
    QJsonArray arrImages;
    QJsonArray arrAnnotations;
    bool bOk = true;
    for (const SLabelledImage& image : set.vctImages)
    {
        if (image.state == ELabelState::UNLABELLED)
        {
            vctProblems.push_back(
                {image.strAbsolutePath, 0, QString(),
                 QStringLiteral("unlabelled image left out (COCO would make it a negative)")});
            continue;
        }
        QString strRelative;
        QSize sizeImage;
        if (!m_folder.PlaceImage(image, QStringLiteral("images"), strRelative, sizeImage, vctProblems))
        {
            bOk = false;
            continue;
        }
        const int nImageId = arrImages.size() + 1;
        arrImages.append(QJsonObject{{"id", nImageId},
                                     {"file_name", strRelative},
                                     {"width", sizeImage.width()},
                                     {"height", sizeImage.height()}});
        for (const SLabelledBox& box : image.vctBoxes)
            arrAnnotations.append(Annotation(arrAnnotations.size() + 1, nImageId,
                                             hashCategoryIds.value(box.strClassName), box.rcBox));
    }
    const QJsonObject root{
        {"images", arrImages}, {"annotations", arrAnnotations}, {"categories", arrCategories}};
    bOk = m_folder.Write(QString::fromLatin1(JSON_NAME), QJsonDocument(root).toJson(QJsonDocument::Compact),
                         vctProblems) &&
          bOk;
    CLog::Write(bOk ? ELogLevel::NORMAL : ELogLevel::ERROR, "Wrote %d images as COCO to %s%s",
                arrImages.size(), m_folder.Root().toUtf8().constData(), bOk ? "" : ", with problems");
    return bOk;
}
