#include "plintvlr/elements/element_page_templates.h"

#include "plintvlr/elements/blink_page.h"
#include "plintvlr/elements/dyn_attributes.h"
#include "plintvlr/elements/element_pages_string_ids.h"
#include "plintvlr/elements/fill_page.h"
#include "plintvlr/elements/font_dialog.h"
#include "plintvlr/elements/line_style_page.h"
#include "plintvlr/elements/pt_pickup_dlg.h"
#include "plintvlr/elements/tag_mask_page.h"
#include "plintvlr/elements/tags_point_page.h"
#include "plintvlr/elements/text_sheets.h"
#include "plintvlr/shell/base/str.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/font.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/pen.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/resources.h"

#include <functional>
#include <vector>

namespace {

constexpr DWORD kPage = WS_CHILD | DS_CONTROL;
constexpr DWORD kDropList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kSpin = UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_ALIGNRIGHT;
constexpr DWORD kNumber = ES_LEFT | WS_BORDER | WS_TABSTOP;

// The tag, data type and state rows of a tag-with-states page, from `top` down.
void AddTagMaskRows(std::vector<TDialogItem>& items, int top, int statesCaption)
{
    items.push_back(LText(Str(kStrTagLabel), IDC_TAG_LABEL, 8, top + 2, 42, 8));
    items.push_back(ComboBox(IDC_TAG_COMBO, 52, top, 96, 80, kDropList));
    items.push_back(PushButton(Str(kStrClearButton), IDC_TAG_CLEAR, 152, top - 1, 36, 14, WS_TABSTOP));
    items.push_back(LText(Str(kStrDataTypeLabel), IDC_DATATYPE_LABEL, 8, top + 20, 42, 8));
    items.push_back(ComboBox(IDC_DATATYPE_COMBO, 52, top + 18, 96, 70, kDropList));
    items.push_back(GroupBox(Str(statesCaption), IDC_STATES_GROUP, 8, top + 38, 180, 30));
    const int states[] = {kStrState00, kStrState01, kStrState10, kStrState11};
    for (int i = 0; i < kStateCount; ++i)
        items.push_back(AutoCheckBox(Str(states[i]), IDC_STATE_00 + i, 18 + 44 * i, top + 52, 34, 10, WS_TABSTOP));
}

// An X and a Y edit with their up-down controls, and "Draw", in a group.
void AddPointRows(std::vector<TDialogItem>& items, int top, int groupCaption)
{
    items.push_back(GroupBox(Str(groupCaption), -1, 8, top, 180, 50));
    items.push_back(LText(Str(kStrXLabel), -1, 18, top + 16, 10, 8));
    items.push_back(EditText(IDC_POINT_X, 30, top + 14, 44, 12, kNumber));
    items.push_back(UpDown(IDC_POINT_X_UPDOWN, 74, top + 14, 10, 12, kSpin));
    items.push_back(LText(Str(kStrYLabel), -1, 18, top + 32, 10, 8));
    items.push_back(EditText(IDC_POINT_Y, 30, top + 30, 44, 12, kNumber));
    items.push_back(UpDown(IDC_POINT_Y_UPDOWN, 74, top + 30, 10, 12, kSpin));
    items.push_back(PushButton(Str(kStrDrawButton), IDC_POINT_DRAW, 120, top + 20, 50, 14, WS_TABSTOP));
}

void RegisterPageTemplates()
{
    std::vector<TDialogItem> blink{
        AutoCheckBox(Str(kStrUnconditionalBlink), IDC_UNCONDITIONAL_BLINK, 8, 6, 120, 10, WS_TABSTOP)};
    AddTagMaskRows(blink, 22, kStrBlinkStates);
    RegisterDialogTemplate(IDD_BLINK_PAGE, {Str(kStrPageBlink), 0, 0, 196, 118, kPage, "MS Sans Serif", 8, blink});

    std::vector<TDialogItem> showHide;
    AddTagMaskRows(showHide, 8, kStrShownStates);
    RegisterDialogTemplate(IDD_SHOWHIDE_PAGE,
                           {Str(kStrPageShowHide), 0, 0, 196, 118, kPage, "MS Sans Serif", 8, showHide});

    std::vector<TDialogItem> fill{
        LText(Str(kStrTagLabel), IDC_TAG_LABEL, 8, 8, 30, 8),
        ComboBox(IDC_TAG_COMBO, 40, 6, 108, 80, kDropList),
        PushButton(Str(kStrClearButton), IDC_TAG_CLEAR, 152, 5, 36, 14, WS_TABSTOP),
        GroupBox(Str(kStrFillModes), IDC_FILL_MODES_GROUP, 8, 24, 180, 88),
    };
    const int modes[] = {kStrFillVertGraph, kStrFillHorizGraph, kStrFillVertChart,
                         kStrFillHorizChart, kStrFillVertBand,  kStrFillHorizBand};
    // Vertical modes on the left, horizontal ones on the right.
    for (int mode = 0; mode < kFillModeCount; ++mode) {
        const int x = mode % 2 == 0 ? 16 : 102;
        const int y = 36 + (mode / 2) * 24;
        fill.push_back(Control("", IDC_FILL_PICTURE_0 + mode, "STATIC", SS_BITMAP, x, y, 20, 20));
        fill.push_back(AutoRadioButton(Str(modes[mode]), IDC_FILL_MODE_0 + mode, x + 24, y + 5, 58, 10,
                                       mode == 0 ? WS_GROUP | WS_TABSTOP : 0));
    }
    RegisterDialogTemplate(IDD_FILL_PAGE, {Str(kStrPageFill), 0, 0, 196, 118, kPage, "MS Sans Serif", 8, fill});

    std::vector<TDialogItem> rotation{
        LText(Str(kStrRotationTag), IDC_TAG_LABEL, 8, 8, 50, 8),
        ComboBox(IDC_TAG_COMBO, 60, 6, 88, 80, kDropList),
        PushButton(Str(kStrClearButton), IDC_TAG_CLEAR, 152, 5, 36, 14, WS_TABSTOP),
    };
    AddPointRows(rotation, 26, kStrRotationCentreGroup);
    RegisterDialogTemplate(IDD_ROTATION_PAGE,
                           {Str(kStrPageRotation), 0, 0, 196, 118, kPage, "MS Sans Serif", 8, rotation});

    std::vector<TDialogItem> position{
        GroupBox(Str(kStrPositionTags), IDC_POSITION_TAGS_GROUP, 8, 4, 180, 48),
        LText(Str(kStrXLabel), -1, 16, 18, 10, 8),
        ComboBox(IDC_TAG_COMBO, 30, 16, 110, 80, kDropList),
        PushButton(Str(kStrClearPlain), IDC_TAG_CLEAR, 146, 15, 36, 14, WS_TABSTOP),
        LText(Str(kStrYLabel), -1, 16, 34, 10, 8),
        ComboBox(IDC_POSITION_Y_TAG, 30, 32, 110, 80, kDropList),
        PushButton(Str(kStrClearPlain), IDC_POSITION_Y_CLEAR, 146, 31, 36, 14, WS_TABSTOP),
    };
    AddPointRows(position, 58, kStrOffsetGroup);
    RegisterDialogTemplate(IDD_POSITION_PAGE,
                           {Str(kStrPagePosition), 0, 0, 196, 118, kPage, "MS Sans Serif", 8, position});

    RegisterDialogTemplate(IDD_POINT_PICKUP, {Str(kStrPositionOffset), 0, 0, 160, 72, WS_CHILD | WS_CAPTION,
        "MS Sans Serif", 8, {
        LText(Str(kStrPickupObject), IDC_PICKUP_TEXT, 8, 6, 144, 24),
        LText(Str(kStrXLabel), -1, 8, 36, 10, 8),
        EditText(IDC_POINT_X, 20, 34, 44, 12, kNumber | ES_READONLY),
        LText(Str(kStrYLabel), -1, 76, 36, 10, 8),
        EditText(IDC_POINT_Y, 88, 34, 44, 12, kNumber | ES_READONLY),
        DefPushButton(Str(kStrPickupClose), IDC_PICKUP_CLOSE, 24, 52, 50, 14, WS_TABSTOP),
        PushButton(Str(kStrPickupCancel), IDCANCEL, 86, 52, 50, 14, WS_TABSTOP),
    }});

    RegisterDialogTemplate(IDD_LINES_STYLE_PAGE, {Str(kStrStyleCaption), 0, 0, 196, 118, kPage, "MS Sans Serif", 8, {
        GroupBox(Str(kStrStyleCaption), -1, 8, 6, 96, 48),
        AutoRadioButton(Str(kStrStyleLines), IDC_STYLE_OPEN, 16, 20, 80, 10, WS_GROUP | WS_TABSTOP),
        AutoRadioButton(Str(kStrStyleShape), IDC_STYLE_FILLED, 16, 36, 80, 10),
        AutoCheckBox(Str(kStrFreezeNodes), IDC_FREEZE_NODES, 112, 20, 76, 10, WS_GROUP | WS_TABSTOP),
        LText(Str(kStrLineWidth), IDC_WIDTH_LABEL, 8, 68, 50, 8),
        EditText(IDC_LINE_WIDTH, 60, 66, 36, 12, kNumber),
        UpDown(IDC_LINE_WIDTH_UPDOWN, 96, 66, 10, 12, kSpin),
    }});

    RegisterDialogTemplate(IDD_FIGURE_STYLE_PAGE, {Str(kStrStyleCaption), 0, 0, 196, 118, kPage, "MS Sans Serif", 8, {
        GroupBox(Str(kStrStyleCaption), -1, 8, 6, 120, 60),
        Control("", IDC_STYLE_OPEN_PICTURE, "STATIC", SS_BITMAP, 16, 18, 20, 20),
        AutoRadioButton(Str(kStrStyleRaised), IDC_STYLE_OPEN, 42, 23, 80, 10, WS_GROUP | WS_TABSTOP),
        Control("", IDC_STYLE_FILLED_PICTURE, "STATIC", SS_BITMAP, 16, 42, 20, 20),
        AutoRadioButton(Str(kStrStyleRecessed), IDC_STYLE_FILLED, 42, 47, 80, 10),
        LText(Str(kStrSideWidth), IDC_WIDTH_LABEL, 8, 80, 50, 8),
        EditText(IDC_LINE_WIDTH, 60, 78, 36, 12, kNumber | WS_GROUP),
        UpDown(IDC_LINE_WIDTH_UPDOWN, 96, 78, 10, 12, kSpin),
    }});
}

// ---------------------------------------------------------------- pictures

using Painter = std::function<void(TDC& dc, const TRect& area)>;

void RegisterPicture(int id, int side, bool icon, const Painter& paint)
{
    TBitmap bitmap(side, side, 1, 24);
    {
        TMemoryDC dc(bitmap);
        const TRect area(0, 0, side, side);
        dc.FillRect(area, TBrush(TColor::SysBtnFace));
        paint(dc, area);
    }
    const std::vector<std::uint8_t> bytes = bitmap.ToDib().FileBytes();
    if (icon)
        RegisterIconResource(id, bytes.data(), bytes.size());
    else
        RegisterBitmapResource(id, bytes.data(), bytes.size());
}

const TColor kInk(0, 0, 0);
const TColor kFillColor(0, 0, 160);

void Outline(TDC& dc, const TRect& r, bool ellipse, bool filled)
{
    dc.SelectObject(TPen(kInk));
    if (filled)
        dc.SelectObject(TBrush(kFillColor));
    else
        dc.SelectStockObject(NULL_BRUSH);
    if (ellipse)
        dc.Ellipse(r);
    else
        dc.Rectangle(r);
    dc.RestoreObjects();
}

// A bevelled frame: light on the top and left, dark on the bottom and
// right, swapped when recessed.
void Bevel(TDC& dc, const TRect& r, bool recessed)
{
    const TColor light(255, 255, 255);
    const TColor dark(96, 96, 96);
    dc.FillRect(r, TBrush(TColor(192, 192, 192)));
    for (int i = 0; i < 3; ++i) {
        const TRect band(r.left + i, r.top + i, r.right - i, r.bottom - i);
        dc.FillRect(TRect(band.left, band.top, band.right, band.top + 1), TBrush(recessed ? dark : light));
        dc.FillRect(TRect(band.left, band.top, band.left + 1, band.bottom), TBrush(recessed ? dark : light));
        dc.FillRect(TRect(band.left, band.bottom - 1, band.right, band.bottom), TBrush(recessed ? light : dark));
        dc.FillRect(TRect(band.right - 1, band.top, band.right, band.bottom), TBrush(recessed ? light : dark));
    }
}

void RegisterPictures()
{
    constexpr int kPicture = 24;
    const auto inset = [](const TRect& area, int by) {
        return TRect(area.left + by, area.top + by, area.right - by, area.bottom - by);
    };
    RegisterPicture(kFramePictureRaised, kPicture, false, [&](TDC& dc, const TRect& a) { Bevel(dc, inset(a, 2), false); });
    RegisterPicture(kFramePictureRecessed, kPicture, false, [&](TDC& dc, const TRect& a) { Bevel(dc, inset(a, 2), true); });
    RegisterPicture(kCirclePictureUnfilled, kPicture, false,
                    [&](TDC& dc, const TRect& a) { Outline(dc, inset(a, 3), true, false); });
    RegisterPicture(kCirclePictureFilled, kPicture, false,
                    [&](TDC& dc, const TRect& a) { Outline(dc, inset(a, 3), true, true); });
    RegisterPicture(kRectanglePictureUnfilled, kPicture, false,
                    [&](TDC& dc, const TRect& a) { Outline(dc, inset(a, 3), false, false); });
    RegisterPicture(kRectanglePictureFilled, kPicture, false,
                    [&](TDC& dc, const TRect& a) { Outline(dc, inset(a, 3), false, true); });
    // Each fill mode as it fills its element at two thirds of the tag's range.
    for (int mode = 0; mode < kFillModeCount; ++mode) {
        RegisterPicture(kFillModePicture0 + mode, kPicture, false, [&](TDC& dc, const TRect& a) {
            const TRect box = inset(a, 3);
            dc.FillRect(box, TBrush(TColor(255, 255, 255)));
            dc.FillRect(TDynFill::FillPart(box, mode, 2.0 / 3.0), TBrush(kFillColor));
            Outline(dc, box, false, false);
        });
    }

    constexpr int kIcon = 32;
    RegisterPicture(kLinesSheetIcon, kIcon, true, [&](TDC& dc, const TRect&) {
        const TPoint nodes[] = {{4, 26}, {12, 8}, {20, 20}, {28, 5}};
        dc.SelectObject(TPen(kInk, 2));
        dc.Polyline(nodes, 4);
        dc.RestoreObjects();
    });
    RegisterPicture(kRectangleSheetIcon, kIcon, true,
                    [&](TDC& dc, const TRect& a) { Outline(dc, inset(a, 5), false, true); });
    RegisterPicture(kCircleSheetIcon, kIcon, true,
                    [&](TDC& dc, const TRect& a) { Outline(dc, inset(a, 5), true, true); });
    RegisterPicture(kFrameSheetIcon, kIcon, true, [&](TDC& dc, const TRect& a) { Bevel(dc, inset(a, 4), false); });
    // The text sheets and the font dialog show what their tool buttons show.
    const auto lettering = [&](const char* text, int height) {
        return [text, height](TDC& dc, const TRect& a) {
            dc.SelectObject(TFont("Sans Serif", -height, 0, 0, 0, FW_BOLD));
            dc.SetBkMode(TRANSPARENT);
            dc.SetTextColor(kInk);
            TRect box = a;
            dc.DrawText(text, -1, box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            dc.RestoreObjects();
        };
    };
    RegisterPicture(kFormatTextSheetIcon, kIcon, true, lettering("A", 26));
    RegisterPicture(kTagDisplaySheetIcon, kIcon, true, lettering("123", 14));
    RegisterPicture(kFontDialogIcon, kIcon, true, lettering("Fa", 20));
}

}  // namespace

void RegisterElementPageTemplates()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    RegisterPageTemplates();
    RegisterPictures();
}
