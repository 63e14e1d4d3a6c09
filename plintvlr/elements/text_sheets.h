#pragma once
// The property sheets of the formatted text ("Formatted Text") and of the
// tag display ("Tag Display"). Their first page changes the element at once
// and repaints it; Cancel (or Escape in the text) puts the saved values back;
// Apply marks the page modified. Then come the Show/Hide, Blink and, on
// panels that move elements, Position pages.

#include "plintvlr/elements/dyn_fill_sheet.h"
#include "plintvlr/elements/zk_prop_page.h"
#include "platform/ui/controls/edit.h"

#include <memory>
#include <string>
#include <vector>

class ActivePageEditor;
class PointElem;
class SizeRect;
class TCheckBox;
class TComboBox;
class TFont;
class TFormatText;
class TNumEdit;
class TRadioButton;
class TTagComboBox;
class TTextStyle;
class TUpDown;

inline constexpr int IDD_FORMAT_TEXT_PAGE = 21700;
inline constexpr int IDD_TAG_DISPLAY_PAGE = 6100;
inline constexpr int IDC_JUSTIFY_LEFT = 21701;
inline constexpr int IDC_JUSTIFY_CENTER = 21702;
inline constexpr int IDC_JUSTIFY_RIGHT = 21703;
inline constexpr int IDC_TEXT_HORIZONTAL = 21704;
inline constexpr int IDC_TEXT_VERTICAL = 21705;
inline constexpr int IDC_CHAR_WIDTH = 337;
inline constexpr int IDC_CHAR_HEIGHT = 336;
inline constexpr int IDC_CHAR_WIDTH_UPDOWN = 11102;
inline constexpr int IDC_CHAR_HEIGHT_UPDOWN = 11101;
inline constexpr int IDC_TEXT = 308;
inline constexpr int IDC_DISPLAY_TAG = 192;
inline constexpr int IDC_DISPLAY_FIELD = 334;
inline constexpr int IDC_DISPLAY_WIDTH = 332;
inline constexpr int IDC_DISPLAY_OFFSET = 333;
inline constexpr int IDC_DISPLAY_WIDTH_UPDOWN = 11103;
inline constexpr int IDC_DISPLAY_OFFSET_UPDOWN = 11104;
inline constexpr int IDC_DISPLAY_OFFSET_LABEL = 280;
inline constexpr int IDC_EDITABLE = 21800;
inline constexpr int kFormatTextHelp = 319;
inline constexpr int kTagDisplayHelp = 43;
inline constexpr int kFormatTextSheetIcon = 11335;
inline constexpr int kTagDisplaySheetIcon = 11331;

void RegisterTextPageTemplates();

// A text edit whose Escape asks its page to reset (the sheet's Cancel).
class TEscapeEdit : public TEdit {
public:
    TEscapeEdit(TWindow* parent, int resourceId, UINT textLimit = 0) : TEdit(parent, resourceId, textLimit) {}
    bool PreProcessMsg(MSG& msg) override;
};

// Size multipliers, justification and orientation of a text element.
class TTextStylePage : public TZKPropPage {
public:
    TTextStylePage(TDynFillSheet* sheet, TResId resId, TTextStyle& style, int helpContext, SizeRect& element,
                   ActivePageEditor* canvas, TModule* module = nullptr);
    ~TTextStylePage() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    int Apply(TNotify& notify) override;
    void Reset(TNotify& notify) override;

protected:
    void SetupWindow() override;
    // The controls a text panel greys.
    virtual std::vector<int> TextPanelDisabled() const;
    void Repaint();

    void EvJustify();
    void EvOrientation();
    void EvSizeUpdate();

    TDynFillSheet* sheet_;
    TTextStyle& style_;
    ActivePageEditor* canvas_;
    bool settingUp_ = false;

private:
    TSize savedSize_;
    int savedJustify_;
    bool savedHorizontal_;
    TRadioButton* justify_[3];
    TRadioButton* horizontal_;
    TRadioButton* vertical_;
    TNumEdit* width_;
    TNumEdit* height_;
    TUpDown* widthUpDown_;
    TUpDown* heightUpDown_;
};

class TFormatTextPage : public TTextStylePage {
public:
    TFormatTextPage(TDynFillSheet* sheet, TFormatText& element, ActivePageEditor* canvas, TModule* module = nullptr);
    ~TFormatTextPage() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    int Apply(TNotify& notify) override;
    void Reset(TNotify& notify) override;
    TEscapeEdit& TextEdit() { return *text_; }

protected:
    void SetupWindow() override;

private:
    void EvTextUpdate();

    TFormatText& element_;
    TEscapeEdit* text_;
    std::string savedText_;
    std::unique_ptr<TFont> bold_;
};

class TFormatTextDlg : public TDynFillSheet {
public:
    TFormatTextDlg(TMDIClient* client, TFormatText& element, ActivePageEditor* canvas, TModule* module = nullptr);
    TFormatTextPage& TextPage() { return *page_; }

private:
    TFormatTextPage* page_;
};

// Tag, display field, display width and offset, and the text style of a tag display.
class TTagDispPage : public TTextStylePage {
public:
    TTagDispPage(TDynFillSheet* sheet, PointElem& element, ActivePageEditor* canvas, TModule* module = nullptr);
    ~TTagDispPage() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    int Apply(TNotify& notify) override;
    void Reset(TNotify& notify) override;

    // The display-field list's two-letter types, in list order.
    std::vector<std::string> DisplayFields() const;

protected:
    void SetupWindow() override;
    std::vector<int> TextPanelDisabled() const override;

private:
    LRESULT EvTagChosen(WPARAM id, LPARAM kindChanged);
    void EvFieldChange();
    void EvDisplayUpdate();
    void FillFieldList();
    void ApplyTagAndType();
    void SetRanges();
    void UpdateEditable();
    char Kind() const;

    PointElem& element_;
    std::string savedRef_;
    bool savedEditable_;
    int tag_ = 0;
    std::string type_;
    TTagComboBox* tagCombo_;
    TComboBox* fields_;
    TNumEdit* displayWidth_;
    TNumEdit* displayOffset_;
    TUpDown* displayWidthUpDown_;
    TUpDown* displayOffsetUpDown_;
    TCheckBox* editable_;
};

class TTagDisplayDlg : public TDynFillSheet {
public:
    TTagDisplayDlg(TMDIClient* client, PointElem& element, ActivePageEditor* canvas, TModule* module = nullptr);
    TTagDispPage& TagPage() { return *page_; }

private:
    TTagDispPage* page_;
};
