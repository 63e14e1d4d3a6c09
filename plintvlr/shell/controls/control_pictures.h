#pragma once
// The pictures of the shell's common controls, carried inside the program
// and registered with its resources so that every window reaches them by
// name: the bitmap "nobmp", the placeholder shown where a bitmap slot holds
// no bitmap (24 x 22, monochrome), and the cursor "bselect" over a bitmap
// button (hot spot at the arrow's tip, the top-left corner).

// Resource names of the pictures.
inline constexpr const char* kNoBitmapPicture = "nobmp";
inline constexpr const char* kBitmapSelectCursor = "bselect";

// Registers the pictures; calling it again registers them again, harmlessly.
// The program calls it once at start, tests before they draw.
void RegisterControlPictures();
