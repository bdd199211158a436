// Building the height-field mesh of an image: pure mechanics, no Qt
// objects, safe on any thread for distinct meshes.
#include "common/view3d/ImageView3DModel.h"

#include <cmath>

namespace
{
using Optra::Algorithms::CImage;

// Height of the brightest pixel.
constexpr float HEIGHT_SCALE = 0.1f;

// Number of samples 0, stride, 2 stride, ... below nLength.
int SampleCount(int nLength, int nStride)
{
    return (nLength + nStride - 1) / nStride;
}

// Colour of one sample byte: a table, so the inner loop only copies.
struct SUnitTable
{
    std::array<float, 256> arrValues;
    SUnitTable()
    {
        for (size_t i = 0; i < arrValues.size(); ++i)
            arrValues[i] = float(i) / 255.0f;
    }
};

// Writes the vertices of one sampled row. Grey images, and the first
// channel of grey + alpha images, give grey colour and height; colour
// images (with or without alpha) their RGB and the luma of Rec. 709.
template <int CHANNELS>
float* WriteRow(const uint8_t* pRow, const size_t* pColumns, int nStride, const std::vector<float>& vctX,
                float fY, float* pOut)
{
    static const SUnitTable table;
    for (size_t i = 0; i < vctX.size(); ++i)
    {
        const uint8_t* p = pRow + pColumns[i * size_t(nStride)];
        pOut[0] = vctX[i];
        pOut[1] = fY;
        if constexpr (CHANNELS >= 3)
        {
            const float fGrey = 0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2];
            pOut[2] = fGrey * HEIGHT_SCALE / 255.0f;
            pOut[3] = table.arrValues[p[0]];
            pOut[4] = table.arrValues[p[1]];
            pOut[5] = table.arrValues[p[2]];
        }
        else
        {
            pOut[2] = p[0] * HEIGHT_SCALE / 255.0f;
            pOut[3] = pOut[4] = pOut[5] = table.arrValues[p[0]];
        }
        pOut += 6;
    }
    return pOut;
}

using RowWriter = float* (*)(const uint8_t*, const size_t*, int, const std::vector<float>&, float, float*);

RowWriter WriterFor(int nChannels)
{
    return nChannels >= 3 ? &WriteRow<3> : &WriteRow<1>;
}

// Two triangles per grid cell, (b, a+1, a) and (b, b+1, a+1), with a the
// cell's upper-left vertex and b the one below it.
void WriteIndices(uint32_t nColumns, uint32_t nRows, std::vector<uint32_t>& vctIndices)
{
    if (nColumns < 2 || nRows < 2)
    {
        vctIndices.clear();
        return;
    }
    vctIndices.resize(size_t(nColumns - 1) * (nRows - 1) * 6);
    uint32_t* pOut = vctIndices.data();
    for (uint32_t r = 0; r + 1 < nRows; ++r)
    {
        for (uint32_t x = 0; x + 1 < nColumns; ++x)
        {
            const uint32_t a = r * nColumns + x;
            const uint32_t b = a + nColumns;
            pOut[0] = b;
            pOut[1] = a + 1;
            pOut[2] = a;
            pOut[3] = b;
            pOut[4] = b + 1;
            pOut[5] = a + 1;
            pOut += 6;
        }
    }
}
} // namespace

int CImageView3DModel::SampleStride(int nWidth, int nHeight, size_t nBudget)
{
    if (nWidth <= 0 || nHeight <= 0 || nBudget == 0)
        return 1;
    const double dPixels = double(nWidth) * nHeight;
    int nStride = std::max(1, int(std::ceil(std::sqrt(dPixels / double(nBudget)))));
    while (size_t(SampleCount(nWidth, nStride)) * size_t(SampleCount(nHeight, nStride)) > nBudget)
        ++nStride;
    return nStride;
}

bool CImageView3DModel::BuildMesh(const CImage& image, int nStride, SImageView3DMesh& mesh,
                                  const std::function<bool()>& fnStop,
                                  const std::function<void(int)>& fnProgress)
{
    const int w = image.GetWidth();
    const int h = image.GetHeight();
    if (image.IsEmpty() || nStride < 1)
        return false;
    const int nColumns = SampleCount(w, nStride);
    const int nRows = SampleCount(h, nStride);
    // Coordinates stay those of the full image, so a sampled mesh covers
    // the same square as a full one.
    std::vector<float> vctX(static_cast<size_t>(nColumns));
    for (int i = 0; i < nColumns; ++i)
        vctX[size_t(i)] = float(i * nStride) / float(w);

    std::vector<float>& vctVertices = mesh.vctVertices;
    vctVertices.clear();
    vctVertices.resize(size_t(nColumns) * size_t(nRows) * 6);
    fnProgress(10);

    const RowWriter fnWrite = WriterFor(image.GetChannel());
    const uint8_t* const* pRows = image.GetRowTable();
    float* pOut = vctVertices.data();
    for (int i = 0; i < nRows; ++i)
    {
        if (fnStop())
            return false;
        const int r = i * nStride;
        pOut = fnWrite(pRows[r], image.GetColumnTable(), nStride, vctX, float(h - 1 - r) / float(h), pOut);
    }
    fnProgress(30);
    if (fnStop())
        return false;
    WriteIndices(uint32_t(nColumns), uint32_t(nRows), mesh.vctIndices);
    return true;
}
