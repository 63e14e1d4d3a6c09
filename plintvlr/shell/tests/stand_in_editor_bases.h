#pragma once
// A small stand-in editor dialog and a stand-in editor sheet of three pages,
// built on the editor bases the way the editors of later subsystems are, and
// the fixture of their tests.

#include "plintvlr/shell/editor_bases.h"
#include "plintvlr/shell/mdi_dialog.h"
#include "plintvlr/shell/mdi_prop_sheet.h"
#include "plintvlr/shell/save_all.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/property_page.h"
#include "platform/ui/styles.h"

enum {
    IDD_STANDIN_EDITOR = 7300,
    IDD_STANDIN_PAGE1 = 7301,
    IDD_STANDIN_PAGE2 = 7302,
    IDD_STANDIN_PAGE3 = 7303,
    IDC_STANDIN_NAME = 101,
    IDC_STANDIN_VALUE = 102,
};

inline void RegisterStandInTemplates()
{
    RegisterDialogTemplate(IDD_STANDIN_EDITOR, {"Recipe Group Editor", 0, 0, 160, 70, WS_CHILD,
                                                "MS Sans Serif", 8, {
        LText("&Name", -1, 7, 9, 40, 8),
        EditText(IDC_STANDIN_NAME, 50, 7, 100, 12, WS_TABSTOP | WS_BORDER),
        DefPushButton("&Save", IDOK, 20, 45, 50, 14, WS_TABSTOP),
        PushButton("Close", IDCANCEL, 90, 45, 50, 14, WS_TABSTOP),
    }});
    const DWORD page = WS_CHILD | DS_CONTROL;
    RegisterDialogTemplate(IDD_STANDIN_PAGE1, {"General", 0, 0, 110, 60, page, "MS Sans Serif", 8, {
        LText("&Name", -1, 7, 9, 30, 8),
        EditText(IDC_STANDIN_NAME, 40, 7, 60, 12, WS_TABSTOP | WS_BORDER),
        EditText(IDC_STANDIN_VALUE, 40, 25, 60, 12, WS_TABSTOP | WS_BORDER),
    }});
    RegisterDialogTemplate(IDD_STANDIN_PAGE2, {"Limits", 0, 0, 110, 60, page, "MS Sans Serif", 8, {
        EditText(IDC_STANDIN_VALUE, 40, 7, 60, 12, WS_TABSTOP | WS_BORDER),
    }});
    RegisterDialogTemplate(IDD_STANDIN_PAGE3, {"Colours", 0, 0, 110, 60, page, "MS Sans Serif", 8, {
        EditText(IDC_STANDIN_VALUE, 40, 7, 60, 12, WS_TABSTOP | WS_BORDER),
    }});
}

// An editor dialog that may hold changes and may refuse to close.
class TStandInDialog : public TMDIDialog, public TSavable {
public:
    TStandInDialog(TMDIClient* client, int positionId, int helpId, bool disableEditor = false)
        : TMDIDialog(client, IDD_STANDIN_EDITOR, positionId, helpId, TResId(), disableEditor)
    {
    }

    bool modified = false;
    int saves = 0;
    bool refuseClose = false;
    int closeRequests = 0;

    bool IsModified() override { return modified; }
    void Save() override { ++saves, modified = false; }
    void CmCancel() override
    {
        ++closeRequests;
        if (!refuseClose)
            TMDIDialog::CmCancel();
    }
};

// A page that may refuse its data.
class TStandInPage : public TPropertyPage {
public:
    TStandInPage(TPropertySheet* sheet, TResId id) : TPropertyPage(sheet, id) {}
    int applyResult = PSNRET_NOERROR;
    int Apply(TNotify&) override { return applyResult; }
};

// An element sheet of three pages; remembers how its window ended.
template <class Base>
class TStandInSheetOf : public Base {
public:
    TStandInSheetOf(TMDIClient* client, int startPage, int positionId, DWORD flags)
        : Base(client, "Text Element", TResId(), startPage, positionId, false, flags)
    {
        pages[0] = new TStandInPage(this, IDD_STANDIN_PAGE1);
        pages[1] = new TStandInPage(this, IDD_STANDIN_PAGE2);
        pages[2] = new TStandInPage(this, IDD_STANDIN_PAGE3);
    }

    TStandInPage* pages[3] = {};
    int endedWith = 0;

    void Destroy(int retVal) override
    {
        if (this->IsWindow())
            endedWith = retVal;
        Base::Destroy(retVal);
    }
};
using TStandInSheet = TStandInSheetOf<TMDIPropSheet>;
using TStandInElementSheet = TStandInSheetOf<TGraphEditSheet>;

#include "shell_fixture.h"
#include "stand_in_editors.h"

// The program started with the stand-in templates and the editor bases'
// commands registered.
class EditorBasesTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        RegisterStandInTemplates();
        RegisterEditorBases();
    }

    // Starts with a project open and the page editor's stand-in shown; its
    // host, or null when it did not open.
    TWindow* StartWithPageEditor()
    {
        pageEditor_.RegisterEditor(TEditorKind::GraphicPages);
        MakeLastProject("LINE1", 14);
        Start();
        return Client().GetEditorHost(TEditorKind::GraphicPages);
    }

private:
    StandIns pageEditor_;
};
