#include "platform/ui/decorated_mdi_frame.h"

// The decorated frame's entries (layout, menu hints) come before the MDI frame's.
const TResponseTable TDecoratedMDIFrame::Responses{&TDecoratedFrame::Responses, &TMDIFrame::Responses, {}};

TDecoratedMDIFrame::TDecoratedMDIFrame(const char* title, TResId menuResId, TMDIClient* client,
                                       bool trackMenuSelection, TModule* module)
    : TMDIFrame(title, menuResId, client, module),
      TDecoratedFrame(nullptr, title, nullptr, trackMenuSelection, module)
{
}

TDecoratedMDIFrame::~TDecoratedMDIFrame()
{
    if (IsWindow())
        Destroy(0);
}
