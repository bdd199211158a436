#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// One box Darknet reported, in relative coordinates of the image (0..1, the
// centre and the size), already clamped to the image by the reader.
struct SDetectedObject
{
    int nClassId = 0;
    QString strName;
    double dCenterX = 0;
    double dCenterY = 0;
    double dWidth = 0;
    double dHeight = 0;
    // 0..1
    double dConfidence = 0;
};

// The result for one image path Darknet read from its standard input.
struct SDetectionFrame
{
    int nFrameId = 0;
    // As Darknet printed it: the path it was given, never escaped.
    QString strFileName;
    std::vector<SDetectedObject> vctObjects;
};

// Boxes the reader left out, by the first reason that applies, in this order.
struct SDetectionDrops
{
    // A field missing or not a number.
    int nMalformed = 0;
    // A coordinate or the confidence is nan or infinite.
    int nNonFinite = 0;
    // A class index outside the class list the weights were trained with.
    int nUnknownClass = 0;
    // Width or height zero or negative, or below MIN_SIZE once clamped.
    int nEmpty = 0;
    // The centre lies outside the image.
    int nOutside = 0;

    int Total() const { return nMalformed + nNonFinite + nUnknownClass + nEmpty + nOutside; }
};

struct SDetectionResult
{
    // Complete frames, in file order.
    std::vector<SDetectionFrame> vctFrames;
    SDetectionDrops drops;
    // Boxes that reached past the image and were clamped to it (kept).
    int nClamped = 0;
    // False when the text ended before the closing "]" (a Darknet that
    // crashed or was stopped): what was complete is kept.
    bool bComplete = false;
    // Empty, or why reading stopped early: "truncated at byte N" or
    // "invalid JSON at byte N: ...".
    QString strProblem;
};

// Where the frames of a result belong in the list of image paths that was
// given to Darknet, one per line, in order.
struct SDetectionMatch
{
    // Index into the image list and index into vctFrames, per matched frame.
    std::vector<std::pair<int, int>> vctMatched;
    // One text per frame whose file name is not the path at its position.
    QStringList lstMismatches;
    // Indices of images no frame answered (Darknet stopped before them, or
    // their frame did not match).
    std::vector<int> vctUnanswered;
};

// Reads the result file of "darknet detector test ... -out <file>.json"
// tolerantly: Darknet writes nan and inf as bare literals ("-nan", "inf"),
// puts file and class names between quotes without escaping them (a name
// runs up to the quote before the comma that ends its field), and leaves a
// truncated file when it crashes. Boxes are checked and clamped here so no
// caller sees a box that is not inside the image:
// - a box whose size is not above 0 is empty;
// - its edges are clamped to [0,1]; a box whose centre is outside [0,1] is
//   not a detection of this image and is dropped as outside;
// - a clamped box narrower or lower than MIN_SIZE is empty;
// - the confidence is clamped to [0,1].
// Stateless and reentrant: callers may read on a worker thread.
class CDetectionJsonReader
{
public:
    // Relative size below which a clamped box counts as empty: under one
    // pixel of a 1000-pixel image.
    static constexpr double MIN_SIZE = 1e-3;

    // nClasses: length of the class list of the weights; ids from nClasses on
    // are dropped.
    static SDetectionResult Read(const QByteArray& baJson, int nClasses);
    // False (and logged) when the file cannot be opened or is larger than
    // nMaxBytes; a damaged content is reported in the result instead.
    static bool ReadFile(const QString& strPath, int nClasses, SDetectionResult& result,
                         qint64 nMaxBytes = qint64(256) << 20);
    // A frame belongs to the image at its position in the list only when its
    // file name is that image's path; anything else is reported, never
    // assigned to some other image.
    static SDetectionMatch Match(const SDetectionResult& result, const QStringList& lstImagePaths);
};
