#include "tools/stylegen/style_faces.h"

namespace {

constexpr int kBlack = 0;
constexpr int kWhite = 1;

class Face {
public:
    explicit Face(TDib& dib) : dib_(dib) {}

    void Fill(int left, int top, int right, int bottom, int index)
    {
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                dib_.SetPixelIndex(x, y, index);
    }
    // A one-pixel frame; with `dotted` every other pixel only.
    void Frame(int left, int top, int right, int bottom, int index, bool dotted = false)
    {
        for (int x = left; x <= right; ++x) {
            if (!dotted || x % 2 == 0) {
                dib_.SetPixelIndex(x, top, index);
                dib_.SetPixelIndex(x, bottom, index);
            }
        }
        for (int y = top; y <= bottom; ++y) {
            if (!dotted || y % 2 == 0) {
                dib_.SetPixelIndex(left, y, index);
                dib_.SetPixelIndex(right, y, index);
            }
        }
    }
    // Rounds the four corners of the outline by one pixel.
    void RoundCorners()
    {
        const int r = dib_.Width() - 1;
        const int b = dib_.Height() - 1;
        dib_.SetPixelIndex(0, 0, kWhite);
        dib_.SetPixelIndex(r, 0, kWhite);
        dib_.SetPixelIndex(0, b, kWhite);
        dib_.SetPixelIndex(r, b, kWhite);
    }

private:
    TDib& dib_;
};

}  // namespace

TDib DrawStyleFace(int state)
{
    if (state < 0 || state >= kStyleFaceStates)
        return {};
    TDib dib(kStyleFaceWidth, kStyleFaceHeight, 1);
    Face face(dib);
    const int r = kStyleFaceWidth - 1;
    const int b = kStyleFaceHeight - 1;
    face.Fill(0, 0, r, b, kWhite);
    switch (state) {
    case 0:
        face.Frame(0, 0, r, b, kBlack);
        face.Fill(r - 2, 1, r - 1, b - 1, kBlack);
        face.Fill(1, b - 2, r - 1, b - 1, kBlack);
        break;
    case 1:
        face.Frame(0, 0, r, b, kBlack);
        face.Fill(1, 1, 2, b - 1, kBlack);
        face.Fill(1, 1, r - 1, 2, kBlack);
        break;
    case 2:
        face.Fill(0, 0, r, b, kBlack);
        face.Frame(2, 2, r - 2, b - 2, kWhite);
        break;
    case 3:
        face.Frame(0, 0, r, b, kBlack, true);
        break;
    }
    face.RoundCorners();
    return dib;
}

const char* StyleFaceFile(int state)
{
    static const char* const kFiles[kStyleFaceStates] = {
        "styles\\bw00_0.bmp", "styles\\bw00_1.bmp", "styles\\bw00_2.bmp", "styles\\bw00_3.bmp"};
    return state >= 0 && state < kStyleFaceStates ? kFiles[state] : "";
}
