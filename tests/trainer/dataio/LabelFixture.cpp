#include "tests/trainer/dataio/LabelFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace LabelFixture
{
bool MakeImage(const QString& strPath, int nWidth, int nHeight)
{
    QDir().mkpath(QFileInfo(strPath).path());
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image.save(strPath);
}

bool WriteFile(const QString& strPath, const QByteArray& baContent)
{
    QDir().mkpath(QFileInfo(strPath).path());
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(baContent) == baContent.size();
}

const SLabelledImage* Find(const SLabelledSet& set, const QString& strRelativePath)
{
    for (const SLabelledImage& image : set.vctImages)
    {
        if (image.strRelativePath == strRelativePath)
            return &image;
    }
    return nullptr;
}

QStringList ProblemsOf(const SLabelledSet& set, const QString& strFileEnd)
{
    QStringList lstTexts;
    for (const SImportProblem& problem : set.vctProblems)
    {
        if (problem.strFile.endsWith(strFileEnd))
            lstTexts << problem.ToText();
    }
    return lstTexts;
}

bool HasProblem(const std::vector<SImportProblem>& vctProblems, const QStringList& lstParts)
{
    for (const SImportProblem& problem : vctProblems)
    {
        const QString strText = problem.ToText();
        if (std::all_of(lstParts.begin(), lstParts.end(),
                        [&strText](const QString& s) { return strText.contains(s); }))
            return true;
    }
    return false;
}
} // namespace LabelFixture
