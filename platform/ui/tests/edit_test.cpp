// Edits at the message level: a derived edit filters and corrects what is
// typed in its WM_CHAR handler, as the numeric fields of the programs do,
// and sees the text change at once when it passes a character on.

#include "platform/ui/controls/edit.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"

#include <QApplication>
#include <QClipboard>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>

namespace {

// Digits only; a value above the maximum is replaced by it at once.
class TClampEdit : public TEdit {
public:
    TClampEdit(TWindow* parent, int id) : TEdit(parent, id, "", 10, 10, 80, 22, 12) {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    int maximum = 70;
    std::vector<std::string> seenAfterDefault;

private:
    void EvChar(UINT key, UINT, UINT)
    {
        if (!std::isdigit(static_cast<int>(key)) && key != VK_BACK)
            return;  // dropped
        DefaultProcessing();
        seenAfterDefault.push_back(GetText());
        if (std::atoi(GetText().c_str()) > maximum)
            SetText(std::to_string(maximum).c_str());
    }
};

const TResponseTable TClampEdit::Responses{&TEdit::Responses, {
    OnMessage<&TClampEdit::EvChar>(WM_CHAR),
}};

// Upper case by handing a changed character to the default processing.
class TUpperEdit : public TEdit {
public:
    TUpperEdit(TWindow* parent, int id) : TEdit(parent, id, "", 10, 40, 80, 22) {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

private:
    void EvChar(UINT key, UINT repeat, UINT flags)
    {
        DefWindowProc(WM_CHAR, static_cast<WPARAM>(std::toupper(static_cast<int>(key))), MAKELPARAM(repeat, flags));
    }
};

const TResponseTable TUpperEdit::Responses{&TEdit::Responses, {
    OnMessage<&TUpperEdit::EvChar>(WM_CHAR),
}};

class TEditHost : public TWindow {
public:
    TEditHost() : TWindow(nullptr, "edits")
    {
        Attr.W = 200;
        Attr.H = 100;
        clamp = new TClampEdit(this, 1);
        upper = new TUpperEdit(this, 2);
    }
    TClampEdit* clamp;
    TUpperEdit* upper;
};

TEST(EditMessagesTest, DefaultProcessingInsertsTheCharacterAtOnce)
{
    TTestDriver driver;
    TEditHost host;
    driver.Show(host);
    driver.Type(host, 1, "1x9");
    EXPECT_EQ(host.clamp->GetText(), "19");
    EXPECT_EQ(host.clamp->seenAfterDefault, (std::vector<std::string>{"1", "19"}));
    driver.TypeKeys("5");  // 195 is above 70
    EXPECT_EQ(host.clamp->GetText(), "70");
    driver.PressKey(VK_BACK);
    EXPECT_EQ(host.clamp->GetText(), "7");
}

TEST(EditMessagesTest, AHandlerMayPassOnAnotherCharacter)
{
    TTestDriver driver;
    TEditHost host;
    driver.Show(host);
    driver.Type(host, 2, "ab1");
    EXPECT_EQ(host.upper->GetText(), "AB1");
}

TEST(EditMessagesTest, CharactersSentByTheProgramAreTypedToo)
{
    TTestDriver driver;
    TEditHost host;
    driver.Show(host);
    host.upper->SetFocus();
    driver.ProcessEvents();
    host.SendDlgItemMessage(2, WM_CHAR, 'q');
    host.SendDlgItemMessage(2, WM_CHAR, 'r');
    host.SendDlgItemMessage(2, WM_CHAR, VK_BACK);
    EXPECT_EQ(host.upper->GetText(), "Q");
    EXPECT_TRUE(host.upper->IsModified());
    host.upper->ClearModify();
    EXPECT_EQ(host.upper->SendMessage(EM_GETMODIFY), 0);
}

TEST(EditMessagesTest, MultiLineTextsCountLineBreaksAsTwoCharacters)
{
    TTestDriver driver;
    TEditHost host;
    auto* notes = new TEdit(&host, 3, "", 100, 10, 90, 60, 0, true);
    driver.Show(host);
    notes->SetText("ab\r\ncd");
    EXPECT_EQ(notes->GetText(), "ab\r\ncd");
    EXPECT_EQ(notes->GetWindowTextLength(), 6);
    EXPECT_EQ(notes->GetNumLines(), 2);
    notes->SetSelection(4, 6);
    int start = 0;
    int end = 0;
    notes->GetSelection(start, end);
    EXPECT_EQ(start, 4);
    EXPECT_EQ(end, 6);
    notes->Insert("X");
    EXPECT_EQ(notes->GetText(), "ab\r\nX");
    // A limit binds the typing, never the program's own text.
    notes->LimitText(5);
    notes->SetFocus();
    driver.ProcessEvents();
    driver.TypeKeys("YZ");
    EXPECT_EQ(notes->GetText(), "ab\r\nX");
}

TEST(EditMessagesTest, APasteThatDoesNotFitTheLimitIsRefused)
{
    struct Case {
        bool multiline;
        const char* clipboard;
        const char* expected;
    };
    const Case cases[] = {
        {false, "cdefgh", "ab"}, {false, "cd", "abcd"},
        {true, "cdefgh", "ab"},  {true, "c\nd", "ab"},  // the line break counts as two characters
        {true, "cd", "abcd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.multiline ? "multi-line " : "single-line ") + c.clipboard);
        TTestDriver driver;
        TEditHost host;
        auto* edit = new TEdit(&host, 3, "", 100, 10, 90, 60, 0, c.multiline);
        driver.Show(host);
        edit->SetText("ab");
        edit->LimitText(5);
        edit->SetSelection(2, 2);
        QApplication::clipboard()->setText(QString::fromLatin1(c.clipboard));
        edit->SendMessage(WM_PASTE);
        EXPECT_EQ(edit->GetText(), c.expected);
    }
}

TEST(EditMessagesTest, EnterThatDoesNotFitTheLimitIsRefused)
{
    // Enter puts a line break, two characters, where the selection was.
    struct Case {
        const char* text;
        int selStart;
        int selEnd;
        const char* expected;
    };
    const Case cases[] = {
        {"abc", 3, 3, "abc\r\n"},
        {"abcd", 4, 4, "abcd"},
        {"abcd", 3, 4, "abc\r\n"},
        {"ab\r\n", 4, 4, "ab\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " " + std::to_string(c.selStart) + "-" + std::to_string(c.selEnd));
        TTestDriver driver;
        TEditHost host;
        auto* notes = new TEdit(&host, 3, "", 100, 10, 90, 60, 0, true);
        driver.Show(host);
        notes->SetText(c.text);
        notes->LimitText(5);
        notes->SetFocus();
        driver.ProcessEvents();
        notes->SetSelection(c.selStart, c.selEnd);
        driver.PressKey(VK_RETURN);
        EXPECT_EQ(notes->GetText(), c.expected);
    }
}

}  // namespace
