// The shipped default button style: plain monochrome faces that fit the
// smallest display of the panels that use styles, one different face per
// state, and shipped files that are exactly what the generator draws.
#include "platform/base/dib.h"
#include "platform/base/paths.h"
#include "tools/stylegen/style_faces.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string ShippedFace(int state)
{
    const char* source = std::getenv("PLV_TEST_SOURCE_DIR");
    return JoinPath(JoinPath(source ? source : ".", "data"), StyleFaceFile(state));
}

TEST(StyleFaces, FacesAreSmallMonochromeAndDistinct)
{
    for (int state = 0; state < kStyleFaceStates; ++state) {
        SCOPED_TRACE(state);
        const TDib face = DrawStyleFace(state);
        ASSERT_TRUE(face.IsOK());
        EXPECT_LE(face.Width(), 240);
        EXPECT_LE(face.Height(), 112);
        EXPECT_EQ(face.NumColors(), 2);
        for (int other = 0; other < state; ++other)
            EXPECT_FALSE(face.SameImage(DrawStyleFace(other))) << "same as state " << other;
    }
    EXPECT_FALSE(DrawStyleFace(4).IsOK());
}

TEST(StyleFaces, ShippedFilesAreTheGeneratorsFaces)
{
    for (int state = 0; state < kStyleFaceStates; ++state) {
        SCOPED_TRACE(ShippedFace(state));
        TDib shipped;
        ASSERT_EQ(TDib::Load(ShippedFace(state), shipped), DibError::None);
        EXPECT_TRUE(shipped.SameImage(DrawStyleFace(state)));
    }
}

}  // namespace
