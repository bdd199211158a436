#pragma once

#include <QString>

#include <limits>
#include <vector>

class CDatabaseModel;

// The boxes of one class category.
struct SClassStatistics
{
    static constexpr double NONE = std::numeric_limits<double>::quiet_NaN();

    int nCategoryID = -1;
    QString strName;
    int nRois = 0;
    // Images with at least one box of the class.
    int nImages = 0;
    // Range of the box sizes relative to their image (0..1) over the boxes
    // Darknet can use; NaN when the class has none.
    double dMinWidth = NONE;
    double dMaxWidth = NONE;
    double dMinHeight = NONE;
    double dMaxHeight = NONE;
};

// An image that will not train as it is, and why.
struct SImageProblem
{
    int nImageID = -1;
    QString strName;
    // As stored: relative to the project folder.
    QString strFullPath;
    QString strProblem;
};

struct SProjectStatistics
{
    int nImages = 0;
    int nRois = 0;
    // In the order of "custom.names".
    std::vector<SClassStatistics> vctClasses;
    std::vector<SImageProblem> vctWithoutRois;
    // Images with boxes of no existing class, boxes with nothing inside the
    // image, or no known size.
    std::vector<SImageProblem> vctInvalid;
};

// Reads the categories, images and ROIs of a project database (one query per
// table) and sums them up per class, with the images that need attention.
// Stateless; GUI thread (the database connection's).
class CProjectStatistics
{
public:
    static SProjectStatistics Collect(CDatabaseModel* pDatabase);
};
