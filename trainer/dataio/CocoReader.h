#pragma once

#include "trainer/dataio/ImageProbe.h"
#include "trainer/dataio/LabelledImage.h"

#include <QHash>
#include <QJsonArray>

#include <vector>

// Reads a COCO object detection file: "images" (id, file_name, width,
// height), "annotations" (image_id, category_id, bbox [x, y, w, h] in pixels
// from the top-left, iscrowd) and "categories" (id, name). Boxes are named
// by their category's name, since ids need not be contiguous nor mean the
// same in two files; class names come in the order of "categories". Crowd
// regions are not boxes of single objects and are skipped with a problem.
// An image listed without annotations is a negative. Owned by the caller
// for one read; any thread.
class CCocoReader
{
public:
    // file_name is looked up below strImageFolder; when it is empty, in the
    // "images" folder beside the JSON file if there is one, else beside it.
    explicit CCocoReader(const QString& strJsonFile, const QString& strImageFolder = QString());

    // Whether every image file is opened (its header only) to check that it
    // is there and readable and to take its true size and orientation; on by
    // default. Without it the sizes of the file are trusted.
    void SetCheckImages(bool bCheck) { m_bCheckImages = bCheck; }
    // False when the file cannot be read or is not JSON of a COCO object;
    // the reason is the first problem. Problems of single entries never
    // make it false.
    bool Read(SLabelledSet& set);

    static constexpr qint64 MAX_JSON_BYTES = 1024LL * 1024 * 1024;

private:
    bool ParseDocument(QJsonObject& root, SLabelledSet& set) const;
    void ReadCategories(const QJsonArray& array, SLabelledSet& set);
    void ReadImages(const QJsonArray& array, SLabelledSet& set);
    bool ReadImage(const QJsonObject& object, const QString& strElement, SLabelledSet& set);
    void ReadAnnotations(const QJsonArray& array, SLabelledSet& set);
    void ReadAnnotation(const QJsonObject& object, const QString& strElement, SLabelledSet& set);
    void AddProblem(SLabelledSet& set, const QString& strElement, const QString& strMessage) const;

    QString m_strJsonFile;
    QString m_strImageFolder;
    bool m_bCheckImages = true;
    QHash<qint64, QString> m_hashCategories;
    // COCO image id to index into the set's images and m_vctProbes.
    QHash<qint64, int> m_hashImages;
    std::vector<CImageProbe::SResult> m_vctProbes;
    std::vector<QSize> m_vctDeclaredSizes;
};
