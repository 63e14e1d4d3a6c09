// The configuration program.

#include "plintvlr/db/ov_class.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/elements/bmppick_dlg.h"
#include "plintvlr/elements/font_dialog.h"
#include "plintvlr/pageedit/graph_editor.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/editor_bases.h"
#include "plintvlr/shell/frame_printer.h"
#include "plintvlr/shell/program_objects.h"
#include "plintvlr/shell/project_dialogs.h"
#include "plintvlr/shell/transfer_command.h"
#include "plintvlr/shell/zk_harbor.h"

int main(int argc, char* argv[])
{
    // The program-wide objects that outlive the application object, made in
    // this order before it and gone in the reverse order after it.
    GetOvList();
    GetErrorHolder();
    GetBitmapLibrary();
    // The frame's project commands, known before its menu is built.
    RegisterProjectCommands();
    RegisterTransferCommand();
    RegisterPrintingCommands();
    // Save All, Preferences and Current Topic.
    RegisterEditorBases();
    // The View items of the tool bars, shown for the bars that have buttons.
    RegisterToolBarCommands();
    // The bitmap buttons' picker, and its folder emptied with each frame.
    RegisterBitmapPicker();
    // The installed panel fonts are looked up afresh for each main frame.
    RegisterPanelFontServices();
    // The graphic page editor: "&Graphic Pages" and its commands.
    RegisterPageEditor();
    return OwlMain(argc, argv);
}
