#pragma once

#include <memory>
#include <string>

namespace tesseract
{
class TessBaseAPI;
}

namespace Optra::Algorithms
{
class CImage;
}
namespace Optra::Geometry
{
class CShape;
}

namespace Optra
{

// Reads text from an image region with Tesseract. Owns one engine; whoever
// creates the object deletes it. An instance is not synchronised and must
// be used from one thread at a time; separate instances may run in parallel.
class COptraOCR
{
public:
    COptraOCR();
    ~COptraOCR();
    COptraOCR(const COptraOCR&) = delete;
    COptraOCR& operator=(const COptraOCR&) = delete;

    // Starts the engine with the language data in strFolder (the folder
    // holding "<code>.traineddata") for strCode, such as "eng" or "eng+vie"
    // (UTF-8). Returns 0; EOptraResult_DataMissing when a language's file is
    // not in the folder; another EOptraResult when the code is malformed or
    // the engine refuses the data. After a failure no language is set.
    int SetLanguageData(const std::string& strFolder, const std::string& strCode);
    // Resolution the text was scanned at, 1 to 2400 dots per inch, given to
    // the engine instead of its own estimate. Returns 0 or
    // EOptraResult_InvalidArgument (the previous value stays).
    int SetUserDefinedDpi(int nDpi);
    // Recognises the text inside the region's bounding box, clipped to the
    // image; a null region means the whole image. Returns 0 or an
    // EOptraResult (no language set, empty image, region missing the
    // image, engine failure); the text of a failed call is empty.
    int Decode(const Algorithms::CImage& image, const Geometry::CShape* pRegion);
    // The text of the last successful Decode, UTF-8.
    const std::string& GetText() const { return m_strText; }

private:
    std::unique_ptr<tesseract::TessBaseAPI> m_pEngine;
    bool m_bReady = false;
    int m_nDpi = 0;
    std::string m_strText;
};

} // namespace Optra
