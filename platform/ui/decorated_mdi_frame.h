#pragma once
// TDecoratedMDIFrame: an MDI frame with decorations (tool bars, docking
// slips, a status bar) around its MDI client.

#include "platform/ui/decorated_frame.h"
#include "platform/ui/mdi_frame.h"

class TDecoratedMDIFrame : public TMDIFrame, public TDecoratedFrame {
public:
    TDecoratedMDIFrame(const char* title, TResId menuResId, TMDIClient* client = nullptr,
                       bool trackMenuSelection = false, TModule* module = nullptr);
    ~TDecoratedMDIFrame() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
};
