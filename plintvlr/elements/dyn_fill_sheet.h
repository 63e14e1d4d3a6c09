#pragma once
// The property sheets of the shape elements. TDynFillSheet holds the pages
// every shape shares (Show/Hide, Blink, and on panels that move and turn
// elements Rotation and Position) and adds the Fill page while the element
// is filled. TEditLinesDlg edits a lines element, TEditRegFigDlg a
// rectangle, circle or frame; their first page is the style page.
//
// The canvas is the page editor the element is shown in; without one the
// changes repaint nothing.

#include "plintvlr/shell/mdi_prop_sheet.h"

class ActivePageEditor;
class DynamicData;
class LinesElem;
class SizeRect;
class TFillPage;
class TLineStylePage;
class TRegFigElem;

class TDynFillSheet : public TGraphEditSheet {
public:
    TDynFillSheet(TMDIClient* client, const char* caption, TResId icon, int sheetId, SizeRect& element,
                  ActivePageEditor* canvas, TModule* module = nullptr);
    ~TDynFillSheet() override;

    // Show/Hide and Blink, then on panel types 9, 11 and 14 Rotation (when
    // asked) and Position. compactShowHide: the element keeps only states 0
    // and 1 of an analog show/hide tag.
    void AddCommonPages(DynamicData& showHide, bool withRotation, bool compactShowHide = false);
    // Adds the Fill page (last) or takes it away.
    void ShowFillPage(bool show);
    void RepaintElement();

    TFillPage* GetFillPage() const { return fillPage_; }
    SizeRect& GetElement() const { return element_; }
    ActivePageEditor* GetCanvas() const { return canvas_; }

private:
    TFillPage* fillPage_ = nullptr;
    SizeRect& element_;
    ActivePageEditor* canvas_;
};

class TEditLinesDlg : public TDynFillSheet {
public:
    static constexpr int kSheetId = 10115;

    TEditLinesDlg(TMDIClient* client, LinesElem& lines, ActivePageEditor* canvas, TModule* module = nullptr);
};

class TEditRegFigDlg : public TDynFillSheet {
public:
    static constexpr int kSheetId = 21403;

    TEditRegFigDlg(TMDIClient* client, TRegFigElem& figure, ActivePageEditor* canvas, TResId icon,
                   TModule* module = nullptr);
};

// Where an element's sheet opens: the parent when it is an MDI client, else
// the page editor's client; null without either.
TMDIClient* SheetClient(TWindow* parent, ActivePageEditor* editor);

// Whether the open project's panel moves and turns elements by tags (types 9, 11, 14).
bool PanelHasMotion();
