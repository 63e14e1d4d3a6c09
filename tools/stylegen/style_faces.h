#pragma once
// The default black-and-white button style that ships beside the program:
// four plain button faces, one per state, drawn here rather than by hand so
// that they can be made again exactly.
//
//   0 up        a raised face: outline, shadow on the right and bottom
//   1 down      a pressed face: outline, shadow on the top and left
//   2 on        a latched face: black, with a white frame inside the outline
//   3 disabled  a dotted outline on a white face

#include "platform/base/dib.h"

inline constexpr int kStyleFaceWidth = 64;
inline constexpr int kStyleFaceHeight = 32;
inline constexpr int kStyleFaceStates = 4;

// The face of a state (0-3) as a 1-bit picture; an empty picture otherwise.
TDib DrawStyleFace(int state);

// The file of a state's face in the program folder: "styles\bw00_<state>.bmp".
const char* StyleFaceFile(int state);
