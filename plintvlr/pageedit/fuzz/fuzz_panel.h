#pragma once
// What the page editor's fuzz targets stand on: the panel type an input's
// first byte picks, made the open project's, with an active page editor of
// it that repaints nothing, and message boxes answered at once with their
// default button, without a word (a page too large, say).

#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/active_page_editor.h"
#include "platform/base/prompt.h"

#include <cstdint>

class FuzzPanelEditor : public PanelPageEditor {
public:
    using PanelPageEditor::PanelPageEditor;
    int GetBackgroundColor() const override { return background; }
    void SetBackgroundColor(int index) override { background = index; }

    int background = 0;
};

class SilentPrompts : public PromptBackend {
public:
    int Show(const PromptRequest& request) override { return PromptDefaultAnswer(request.flags); }
};

// The panel of one input, for the input's life. The low bits of `selector`
// pick the type; the corpora rely on this table's order.
class FuzzPanelScope {
public:
    explicit FuzzPanelScope(std::uint8_t selector)
        : type_(kTypes[selector % (sizeof kTypes / sizeof kTypes[0])]), editor_(type_)
    {
        static SilentPrompts prompts;
        SetPromptBackend(&prompts);
        _QSglobals.GetDatabase().SetPanelType(type_);
        SetActivePageEditor(&editor_);
    }
    ~FuzzPanelScope() { SetActivePageEditor(nullptr); }
    FuzzPanelScope(const FuzzPanelScope&) = delete;
    FuzzPanelScope& operator=(const FuzzPanelScope&) = delete;

    int Type() const { return type_; }

private:
    static constexpr int kTypes[] = {9, 14, 5, 6, 11, 16, 8, 3};
    int type_;
    FuzzPanelEditor editor_;
};
