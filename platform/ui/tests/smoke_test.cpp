#include "platform/ui/controls/edit.h"
#include "platform/ui/dialog.h"
#include "platform/ui/testing/test_driver.h"

#include <gtest/gtest.h>

namespace {

class TSmokeDlg : public TDialog {
public:
    TSmokeDlg() : TDialog(nullptr, 900) {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    std::vector<std::string> log;

private:
    void EnChange() { log.push_back("change:" + GetDlgItemText(101)); }
    void EnSet() { log.push_back("setfocus"); }
};

const TResponseTable TSmokeDlg::Responses{&TDialog::Responses, {
    OnNotify<&TSmokeDlg::EnChange>(101, EN_CHANGE),
    OnNotify<&TSmokeDlg::EnSet>(101, EN_SETFOCUS),
}};

TEST(Smoke, TypeIntoEdit)
{
    RegisterDialogTemplate(900, {"Smoke", 0, 0, 200, 100, WS_POPUP | WS_CAPTION | WS_SYSMENU, "MS Sans Serif", 8, {
        EditText(101, 10, 10, 100, 12),
        DefPushButton("OK", IDOK, 10, 40, 50, 14),
        PushButton("Cancel", IDCANCEL, 70, 40, 50, 14),
    }});
    TTestDriver driver;
    TSmokeDlg dlg;
    std::string text;
    driver.OnNextDialog([&](TDialog& d) {
        driver.Type(d, 101, "ab");
        text = d.GetDlgItemText(101);
        driver.Click(d, IDOK);
    });
    EXPECT_EQ(dlg.Execute(), IDOK);
    EXPECT_EQ(text, "ab");
    for (auto& s : dlg.log) printf("%s\n", s.c_str());
}

}  // namespace
