#pragma once
// TStatusBar: the message bar at the bottom of a frame, with panes (text
// gadgets, separators) to the right of the message area. Its border style
// is the one its panes get by default (recessed); mode indicators (caps
// lock and the like) are not shown by this layer.

#include "platform/ui/message_bar.h"

class TStatusBar : public TMessageBar {
public:
    TStatusBar(TWindow* parent = nullptr, TGadget::TBorderStyle borderStyle = TGadget::Recessed,
               UINT modeIndicators = 0, TModule* module = nullptr);

    TGadget::TBorderStyle GetBorderStyle() const { return borderStyle_; }
    UINT GetModeIndicators() const { return modeIndicators_; }
    // The pane with `id` shows `text` (a text gadget's SetText).
    void SetPaneText(int id, const char* text);
    std::string GetPaneText(int id) const;

private:
    TGadget::TBorderStyle borderStyle_;
    UINT modeIndicators_;
};
