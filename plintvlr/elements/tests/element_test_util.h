#pragma once
// Shared by the element tests: the open project's panel type, a page editor
// fake that makes the page a colour or a monochrome one, and byte vectors.

#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/active_page_editor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Monochrome type 9: 240 x 48 pixels, vertical origin 11, handles 2 pixels.
// Colour type 5: 320 x 224 pixels, vertical origin 20.
inline constexpr int kMonoPanel = 9;
inline constexpr int kColorPanel = 5;

class FakePageEditor : public ActivePageEditor {
public:
    explicit FakePageEditor(int panelType) : panel_(panelType) {}

    const Quellstor& GetPanelModel() const override { return panel_; }
    void InvalidateLogicalRect(const TRect& rect) override { invalidated.push_back(rect); }
    TRect LogicalToDeviceRect(const TRect& rect) const override { return rect; }
    TRect DeviceToLogicalRect(const TRect& rect) const override { return rect; }
    void SetPageModified() override { modified = true; }
    bool IsAnimating() const override { return false; }
    void SetPickupMode(bool on) override { pickup = on; }
    void SetSelectionFont(int fontNumber) override { font = fontNumber; }
    TMDIClient* GetMDIClient() const override { return nullptr; }
    TWindow* GetMessageOwner() const override { return nullptr; }

    std::vector<TRect> invalidated;
    bool modified = false;
    bool pickup = false;
    int font = -1;

private:
    Quellstor panel_;
};

// The open project has the panel type and an editor of that panel is active
// for the scope's life.
class PanelScope {
public:
    explicit PanelScope(int panelType) : editor_(panelType)
    {
        previousType_ = _QSglobals.GetDatabase().GetPanelType();
        _QSglobals.GetDatabase().SetPanelType(panelType);
        SetActivePageEditor(&editor_);
    }
    ~PanelScope()
    {
        SetActivePageEditor(nullptr);
        _QSglobals.GetDatabase().SetPanelType(previousType_);
    }
    PanelScope(const PanelScope&) = delete;
    PanelScope& operator=(const PanelScope&) = delete;

    FakePageEditor& Editor() { return editor_; }

private:
    FakePageEditor editor_;
    int previousType_ = 14;
};

inline std::string Hex(const Bytes& bytes)
{
    std::string text;
    char part[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(part, sizeof part, "%s%02X", text.empty() ? "" : " ", b);
        text += part;
    }
    return text;
}

// What a writer appended behind `start` up to `end`, as hex.
inline std::string Written(const std::uint8_t* start, const std::uint8_t* end)
{
    return end ? Hex(Bytes(start, end)) : "(failed)";
}
