#pragma once
// TDecToolBar: a tool bar of the main frame's harbor. It draws a raised
// border and a grip of two ridges in a margin at its start (its left when
// it lies in a row, its top when it stands in a column; none while it
// floats), and remembers where it was: its dock location and its last
// window rectangle (the palette's while it floats), kept in the profile
// section "TOOLBAR<number>" from one run to the next.

#include "platform/ui/dockable_control_bar.h"

class TDecToolBar : public TDockableControlBar {
public:
    // `number` names the profile section; `caption` is the floating palette's title.
    TDecToolBar(TWindow* harbor, int number, const char* caption);
    // Writes the recorded place to the profile.
    ~TDecToolBar() override;

    int GetBarNumber() const { return barNumber_; }
    // The recorded place: the dock location (alNone while floating) and the
    // rectangle in screen pixels.
    TAbsLocation GetRecordedLocation() const { return location_; }
    const TRect& GetRecordedRect() const { return rect_; }
    void RecordPlace(TAbsLocation location, const TRect& rect);
    // A rectangle of all zeros means no place: the harbor chooses one.
    bool HasRecordedRect() const { return !rect_.IsEmpty(); }

    // Pixels of margin the grip takes.
    static constexpr int kGripSize = 7;

protected:
    // Moves the grip's margin to the side the new direction needs first.
    void LayoutSession() override;
    // The border and the grip, over the gadgets.
    void Paint(TDC& dc, bool erase, TRect& rect) override;

private:
    void ReadPlace();
    void WritePlace();

    int lastDirection_ = Horizontal;
    TAbsLocation location_ = alTop;
    TRect rect_;
    int barNumber_;
};
