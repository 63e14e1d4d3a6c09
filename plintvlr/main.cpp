// The configuration program.

#include "plintvlr/db/ov_class.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/editor_bases.h"
#include "plintvlr/shell/program_objects.h"

int main(int argc, char* argv[])
{
    // The program-wide objects that outlive the application object, made in
    // this order before it and gone in the reverse order after it.
    GetOvList();
    GetErrorHolder();
    GetBitmapLibrary();
    // Save All, Preferences and Current Topic on the frame's menu.
    RegisterEditorBases();
    return OwlMain(argc, argv);
}
