// stylegen <program folder>: writes the default button style's four faces
// into the folder's "styles" subfolder (data/ holds the copies that ship).
#include "platform/base/files.h"
#include "platform/base/paths.h"
#include "tools/stylegen/style_faces.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: stylegen <program folder>\n");
        return 2;
    }
    if (!MakeDir(JoinPath(argv[1], "styles"))) {
        std::fprintf(stderr, "stylegen: cannot make %s/styles\n", argv[1]);
        return 1;
    }
    for (int state = 0; state < kStyleFaceStates; ++state) {
        const std::string path = JoinPath(argv[1], StyleFaceFile(state));
        const DibError error = DrawStyleFace(state).WriteFile(path);
        if (error != DibError::None) {
            std::fprintf(stderr, "stylegen: %s: %s\n", path.c_str(), DibErrorText(error));
            return 1;
        }
    }
    return 0;
}
