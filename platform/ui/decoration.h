#pragma once
// Where decorations (tool bars, status bars, docking slips) sit on a
// decorated frame, and how a decoration says how thick it wants to be.

#include "platform/base/geometry.h"

// The edges of a frame; alNone is floating (not on an edge).
enum TAbsLocation { alNone = 0, alTop = 1, alBottom = 2, alLeft = 3, alRight = 4 };

class TDecorationSize {
public:
    virtual ~TDecorationSize() = default;
    // The size the decoration wants when laid along `location`; `room` is
    // the space the frame has left for it.
    virtual TSize DesiredDecorationSize(TAbsLocation location, const TSize& room) = 0;
};

class TWindow;

// A window that lays out the decorations it carries (a decorated frame, a
// docking slip): a decoration tells it when it wants another size.
class TDecorationHost {
public:
    virtual ~TDecorationHost() = default;
    // False when `decoration` is none of this host's.
    virtual bool DecorationChangedSize(TWindow& decoration) = 0;
};
