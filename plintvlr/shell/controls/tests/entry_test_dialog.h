#pragma once
// A dialog holding one of each entry control (integer field, spin field,
// value field, bitmap button and an owner-drawn list of bitmap entries),
// shared by the controls' tests.

#include "plintvlr/shell/controls/bmpbtn.h"
#include "plintvlr/shell/controls/control_pictures.h"
#include "plintvlr/shell/controls/lb_draw.h"
#include "plintvlr/shell/controls/num_edit.h"
#include "plintvlr/shell/controls/spin_num_edit.h"
#include "plintvlr/shell/controls/value_edit.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/testing/test_driver.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

enum : int {
    kEntryDialog = 42690,
    IDC_NUM = 101,
    IDC_SPIN = 102,
    IDC_VALUE = 103,
    IDC_BITMAP = 104,
    IDC_PICTURES = 105,
    IDC_OTHER = 106,
};

inline void RegisterEntryTestDialog()
{
    RegisterControlPictures();
    RegisterBmpbtnClass();
    RegisterDialogTemplate(kEntryDialog, {"Entry Controls", 0, 0, 260, 120, WS_POPUP | WS_CAPTION | DS_MODALFRAME,
        "MS Sans Serif", 8, {
        LText("&Number", -1, 6, 8, 40, 8),
        EditText(IDC_NUM, 50, 6, 40, 12, WS_TABSTOP),
        LText("&Spin", -1, 6, 24, 40, 8),
        EditText(IDC_SPIN, 50, 22, 40, 12, WS_TABSTOP),
        LText("&Value", -1, 6, 40, 40, 8),
        EditText(IDC_VALUE, 50, 38, 60, 12, WS_TABSTOP),
        LText("&Other", -1, 6, 56, 40, 8),
        EditText(IDC_OTHER, 50, 54, 60, 12, WS_TABSTOP),
        LText("&Bitmap", -1, 6, 76, 40, 8),
        Control("", IDC_BITMAP, "Bmpbtn", WS_TABSTOP, 50, 72, 23, 21),
        ListBox(IDC_PICTURES, 120, 6, 130, 90, LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_TABSTOP),
        DefPushButton("OK", IDOK, 200, 100, 50, 14),
    }});
}

// The entries a list draws: for each list item, the entry and how to draw it.
struct TDrawnEntry {
    std::unique_ptr<lbDraw> entry;
    int column = 0;
    int leftInset = 3;
    int rightInset = 3;
};

class TEntryTestDlg : public TDialog {
public:
    TEntryTestDlg() : TDialog(nullptr, kEntryDialog)
    {
        num = new TNumEdit(this, IDC_NUM);
        spin = new TSpinNumEdit(this, IDC_SPIN);
        value = new ValueEdit(this, IDC_VALUE);
        bitmap = new Bmpbtn(this, IDC_BITMAP);
        pictures = new TListBox(this, IDC_PICTURES);
    }
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    TNumEdit* num;
    TSpinNumEdit* spin;
    ValueEdit* value;
    Bmpbtn* bitmap;
    TListBox* pictures;
    // Per list item: the entries drawn into it.
    std::vector<std::vector<TDrawnEntry>> entries;
    int itemHeight = 40;
    // Messages 1454 heard: (wParam, lParam).
    std::vector<std::pair<WPARAM, LPARAM>> chosen;

    void AddItem(const char* text, std::vector<TDrawnEntry> drawn)
    {
        pictures->AddString(text);
        entries.push_back(std::move(drawn));
    }

private:
    void EvMeasureItem(UINT /*id*/, MEASUREITEMSTRUCT& item) { item.itemHeight = static_cast<UINT>(itemHeight); }
    void EvDrawItem(UINT /*id*/, DRAWITEMSTRUCT& item)
    {
        if (item.itemID >= entries.size())
            return;
        for (TDrawnEntry& d : entries[item.itemID])
            d.entry->DrawItem(*pictures, item, d.column, d.leftInset, d.rightInset);
    }
    LRESULT EvBitmapChosen(WPARAM wParam, LPARAM lParam)
    {
        chosen.emplace_back(wParam, lParam);
        return 0;
    }
};

inline const TResponseTable TEntryTestDlg::Responses{&TDialog::Responses, {
    OnMessage<&TEntryTestDlg::EvMeasureItem>(WM_MEASUREITEM),
    OnMessage<&TEntryTestDlg::EvDrawItem>(WM_DRAWITEM),
    OnMessage<&TEntryTestDlg::EvBitmapChosen>(Bmpbtn::kBitmapChosenMessage),
}};

// The build folder's screenshots folder: the nearest folder above the test's
// working folder that holds CMakeCache.txt, then "screenshots".
inline std::string ScreenshotPath(const char* fileName)
{
    QDir dir = QDir::current();
    while (!dir.exists("CMakeCache.txt") && dir.cdUp()) {
    }
    dir.mkpath("screenshots");
    return dir.filePath(QString("screenshots/") + fileName).toStdString();
}

// A picture of one colour.
inline TDib Solid(int width, int height, DibColor color)
{
    TDib dib(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dib.SetPixelColor(x, y, color);
    return dib;
}

// Tests on the entry test dialog, made afresh for each test.
class EntryDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterEntryTestDialog(); }
    void Open()
    {
        dialog->Attr.Style |= WS_VISIBLE;
        ASSERT_TRUE(dialog->Create());
        driver.Show(*dialog);
    }

    TTestDriver driver;
    std::unique_ptr<TEntryTestDlg> dialog = std::make_unique<TEntryTestDlg>();
};
