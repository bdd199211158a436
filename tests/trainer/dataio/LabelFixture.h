#pragma once

#include "trainer/dataio/LabelledImage.h"

#include <QByteArray>
#include <QString>

// Small files for the label format tests, made in the test's own
// temporary folders.
namespace LabelFixture
{
// A PNG (or, by suffix, JPEG) of the given size; folders made as needed.
bool MakeImage(const QString& strPath, int nWidth, int nHeight);
bool WriteFile(const QString& strPath, const QByteArray& baContent);
// The image of a set at a relative path; nullptr when there is none.
const SLabelledImage* Find(const SLabelledSet& set, const QString& strRelativePath);
// The problems whose file ends with strFileEnd, as text.
QStringList ProblemsOf(const SLabelledSet& set, const QString& strFileEnd);
// Whether some problem's text contains all of the given parts.
bool HasProblem(const std::vector<SImportProblem>& vctProblems, const QStringList& lstParts);
} // namespace LabelFixture
