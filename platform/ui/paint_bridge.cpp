#include "platform/ui/paint_bridge.h"

namespace {
TDCBridge g_bridge = nullptr;
}

void SetDCBridge(TDCBridge bridge)
{
    g_bridge = bridge;
}

TDCBridge GetDCBridge()
{
    return g_bridge;
}

bool PaintWithDC(QPainter& painter, const TDCUser& use)
{
    if (!g_bridge)
        return false;
    g_bridge(painter, use);
    return true;
}
