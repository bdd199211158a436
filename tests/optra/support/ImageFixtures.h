#pragma once

#include "optra/Image.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

class QPainter;

// Image files made by the tests themselves: formats Qt cannot write (GIF),
// and deliberately odd or hostile variants of files Qt wrote.
namespace OptraTest
{

bool WriteFileBytes(const QString& strPath, const QByteArray& data);
// Qt writes the image into memory in the given format.
QByteArray Encode(const QImage& image, const char* szFormat);

// A GIF of an 8-bit indexed image, LZW-coded without compression (every
// pixel a literal code), optionally with one transparent palette index.
QByteArray EncodeGif(const QImage& indexed, int nTransparentIndex = -1);
// The JPEG with an EXIF block whose orientation tag has the given value
// (6 = shown turned a quarter clockwise).
QByteArray WithExifOrientation(const QByteArray& jpeg, quint16 nOrientation);
// The same file announcing another size in its header (PNG with a valid
// header checksum); the pixel data stays as it was.
QByteArray WithPngSize(const QByteArray& png, quint32 nWidth, quint32 nHeight);
QByteArray WithJpegSize(const QByteArray& jpeg, quint16 nWidth, quint16 nHeight);
QByteArray WithBmpSize(const QByteArray& bmp, qint32 nWidth, qint32 nHeight);

// A PDF of nPages pages of 2 x 1 inches written by Qt, one point per
// painter unit; fnPage paints page i.
bool WritePdf(const QString& strPath, int nPages, const std::function<void(QPainter&, int)>& fnPage);
// A PDF of empty pages of the media box ("[0 0 612 792]"), written by hand
// with a correct cross-reference table.
QByteArray HandMadePdf(const QByteArray& mediaBox, int nPages = 1);

// Largest difference between a sample of the CImage and the same sample of
// the QImage converted to the CImage's layout; -1 when the sizes differ.
int MaxDifference(const Optra::Algorithms::CImage& image, const QImage& expected);

} // namespace OptraTest
