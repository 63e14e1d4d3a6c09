#pragma once
// The page canvas's cursors, registered as cursor resources found by name:
// one per drawing tool ("text", "point", "digpoint", "drive", "message",
// "lines", "tlframe", "tlcircle", "tlrect", "bitmap", "trend", "meter",
// "trndrcrd", "touch", "button") and the hover cursors of the selection
// ("arrowcro" over a node of a lines element, "diamond" over a segment,
// "move" over the selection's body).

#include <span>

struct CanvasCursor {
    const char* name;
    int hotX;
    int hotY;
};

// Every cursor the canvas shows, with its hot spot.
std::span<const CanvasCursor> CanvasCursors();

// Registers them (again harmlessly); the canvas calls it when it is made.
void RegisterCanvasCursors();
