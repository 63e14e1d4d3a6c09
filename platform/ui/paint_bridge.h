#pragma once
// Where painting meets the graphics layer. A window paints in
// TWindow::Paint and an owner-drawn control's owner in WM_DRAWITEM, both
// with a device context (TDC) that the graphics layer makes over a
// QPainter. Until that layer installs its bridge, nothing is painted
// through TDC (the controls and window backgrounds still paint themselves).

#include <functional>

class QPainter;
class TDC;

using TDCUser = std::function<void(TDC& dc)>;
// Makes a device context drawing through `painter` and runs `use` with it.
using TDCBridge = void (*)(QPainter& painter, const TDCUser& use);

void SetDCBridge(TDCBridge bridge);
TDCBridge GetDCBridge();
// Runs `use` with a device context over `painter`; false when no bridge is installed.
bool PaintWithDC(QPainter& painter, const TDCUser& use);
