#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

class CFileReplacer;

// A category row, in the order the database returned it.
struct SDarknetCategory
{
    int nID;
    QString strName;
};

// An ROI row as stored: image pixels, X/Y the top-left corner; a rectangle
// drawn up or to the left has a negative width or height.
struct SDarknetBox
{
    double dX, dY, dWidth, dHeight;
    int nCategoryID;
};

// A dataset_image row (training or test) with its ROIs in select order.
struct SDarknetImage
{
    QString strName;
    int nWidth;
    int nHeight;
    std::vector<SDarknetBox> vctBoxes;
};

// Everything a build writes, gathered from the database and the model.
struct SDarknetProject
{
    QString strProjectDir;
    std::vector<SDarknetCategory> vctCategories;
    std::vector<SDarknetImage> vctImages;
    // Image names in the order of the model's training and test lists.
    QStringList lstTrainNames;
    QStringList lstTestNames;
    // The project property "PROJECT_CONFIGURATION".
    QString strConfiguration;
};

// Writes the files Darknet reads to train: "custom.names", one label file per
// image in "Images", "train.txt", "test.txt", the folder "Backup",
// "detector.txt" and "config.txt". Every file is replaced as a whole or left
// untouched. Numbers carry a decimal point whatever the user's locale, and
// everything Darknet would silently misread (boxes outside the image, unusual
// suffixes, a configuration that does not fit the categories) is logged as a
// WARNING while the files are still written. Image names are data: nothing is
// read, written or deleted outside "Images" because of one.
// Made by the project controller for a build; GUI thread (no shared state).
class CDarknetBuildWriter
{
public:
    // True when every file has been written. A file that cannot be written is
    // logged as ERROR; a failing list, data or configuration file stops the
    // build, a failing label file does not, but the result is still false.
    bool Write(const SDarknetProject& project);

    // The label line of a box in pixels on an image of nImageWidth x
    // nImageHeight pixels: "index cx cy w h" relative to the image with six
    // decimals, the box made positive and clipped to the image. Empty when
    // nothing of the box is left that Darknet would read.
    static QByteArray FormatLabelLine(int nClassIndex, const SDarknetBox& box, int nImageWidth,
                                      int nImageHeight);
    // The part of the box inside the image as Darknet gets it: centre x, y,
    // width, height relative to the image. False when nothing of it is left
    // that Darknet would read.
    static bool RelativeBox(const SDarknetBox& box, int nImageWidth, int nImageHeight, double (&adBox)[4]);

private:
    bool WriteNames(const std::vector<SDarknetCategory>& vctCategories);
    bool WriteLabels(const std::vector<SDarknetImage>& vctImages);
    bool WriteLabel(const CFileReplacer& replacer, const SDarknetImage& image, const QString& strLabelName);
    QByteArray LabelContent(const SDarknetImage& image) const;
    bool WriteList(const QString& strFileName, const QStringList& lstNames);
    bool MakeBackupFolder();
    bool WriteDetector(int nClasses);
    bool WriteConfig(const QString& strConfiguration, int nClasses);
    bool SaveFile(const QString& strFileName, const QByteArray& baContent);
    QString ProjectPath(const QString& strFileName) const;

    QString m_strProjectDir;
    // Category ID to class index, the line of the category in "custom.names".
    QHash<int, int> m_mapClassIndex;
};
