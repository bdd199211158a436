#pragma once

#include <QString>

// Paths of a project's files built from names and paths read out of its
// database. A project file may come from anyone, so a name or path that is
// absolute or leads out of the project folder gives an empty result, and no
// caller reads, writes or deletes outside the project because of it.
class CProjectPaths
{
public:
    // The project's "Images" folder.
    static QString ImageFolder(const QString& strProjectDir);
    // The image file of a FULL_PATH relative to the project folder ("\" is
    // read as a separator, as projects made on Windows store it).
    static QString ImageFile(const QString& strProjectDir, const QString& strFullPath);
    // The label file of an image NAME: "Images/<name up to its last dot>.txt".
    static QString LabelFile(const QString& strProjectDir, const QString& strName);
    // Whether a NAME is a plain file name (no folder part, not "." or "..").
    static bool IsPlainFileName(const QString& strName);
    // Whether both paths of an image row stay inside the project.
    static bool IsSafeImage(const QString& strProjectDir, const QString& strName, const QString& strFullPath);

private:
    static bool HasParentStep(const QString& strRelative);
};
