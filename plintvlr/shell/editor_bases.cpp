#include "plintvlr/shell/editor_bases.h"

#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/dangling_elements_dlg.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/preferences_dlg.h"
#include "plintvlr/shell/save_all.h"

void RegisterEditorBases()
{
    RegisterSaveAll();
    RegisterPreferencesCommand();
    RegisterWindowCommand(CM_CURRENTTOPIC);
    RegisterPreferencesTemplate();
    RegisterDanglingTemplate();
}
