#pragma once

namespace Optra
{

// Results of the library's operations that can fail. 0 means success
// everywhere, so callers that only need to know whether something worked
// compare with 0; the other values say why, for logs and tests.
enum EOptraResult : int
{
    EOptraResult_Ok = 0,
    EOptraResult_InvalidArgument = 1,
    EOptraResult_FileNotFound = 2,
    EOptraResult_UnsupportedFormat = 3,
    // A PDF document needs a password, or the password given does not open it.
    EOptraResult_PasswordRequired = 4,
    // The data is damaged or truncated.
    EOptraResult_DecodeFailed = 5,
    // The announced dimensions exceed what the library accepts or the machine can hold.
    EOptraResult_TooLarge = 6,
    EOptraResult_OutOfMemory = 7,
    EOptraResult_WriteFailed = 8,
    EOptraResult_EmptyImage = 9,
    // The region does not overlap the image.
    EOptraResult_EmptyRegion = 10,
    // The object was not prepared (no document read, no language data set).
    EOptraResult_NotReady = 11,
    // OCR language data is missing from the given folder.
    EOptraResult_DataMissing = 12,
    EOptraResult_OutOfRange = 13,
    // A library underneath (Qt, OpenCV, poppler, Tesseract) reported an error.
    EOptraResult_EngineFailed = 14,
};

} // namespace Optra
