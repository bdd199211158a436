#pragma once

#include <QString>

// What an image file name means to Darknet and to the project folder: which
// names are safe to turn into paths below "Images", the label file Darknet
// looks for next to an image, and the names Darknet mishandles. Image names
// come from a project file and are data, never trusted paths.
// Stateless; any thread.
class CDarknetImageName
{
public:
    enum EProblem
    {
        NO_PROBLEM = 0,
        // Darknet derives a label file name only from .jpg .jpeg .png .bmp
        // .ppm .tiff written all in lower or all in upper case.
        LABEL_NAME_UNKNOWN = 1,
        // Darknet built without OpenCV cannot decode GIF or TIFF files.
        NOT_DECODABLE = 2,
        // Darknet hands label paths unquoted to a shell.
        SHELL_CHARACTERS = 4,
    };

    // False for a name that could lead outside the "Images" folder or break a
    // line of a list file: empty, "." or "..", a separator, a control character.
    static bool IsPlainFileName(const QString& strName);
    // The name up to its last "." plus ".txt"; the whole name plus ".txt"
    // when it has no ".".
    static QString LabelFileName(const QString& strName);
    // EProblem flags of a plain file name.
    static int Problems(const QString& strName);
};
