#include "plintvlr/shell/frame_menu.h"

#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/tool_items.h"
#include "platform/base/embedded_file.h"
#include "platform/ui/accelerators.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/messages.h"
#include "platform/ui/resources.h"

#include <span>

std::span<const EmbeddedFile> FramePictureFiles();

namespace {

// Items that menu 99 shows greyed until an enabler says otherwise.
TMenuTemplateItem Grey(const char* text, UINT id)
{
    return MenuItem(text, id, MF_GRAYED);
}

std::vector<TMenuTemplateItem> MakeTemplate()
{
    return {
        Popup("&File", {
            MenuItem("&New Project...\tCtrl+N", CM_NEWPROJECT),
            Popup("&Open", {
                MenuItem("Open &Project\tCtrl+O", CM_OPENPROJECT),
                MenuItem("Open &DTB File", CM_OPENDTBFILE),
            }),
            MenuItem("&Close\tCtrl+F4", CM_CLOSEWINDOW),
            MenuSeparator(),
            Grey("&Save Record\tCtrl+S", CM_SAVERECORD),
            MenuItem("Save Project &As...", CM_SAVEPROJECTAS),
            Grey("Save A&ll", CM_SAVEALL),
            MenuSeparator(),
            Grey("&Delete Record", CM_DELETERECORD),
            MenuSeparator(),
            MenuItem("&Export...", CM_EXPORT),
            MenuItem("&Import...", CM_IMPORT),
            MenuSeparator(),
            Popup("&Print", {
                MenuItem("&Graphics", CM_PRINTGRAPHICS),
                MenuItem("&Text", CM_PRINTTEXT),
            }),
            MenuItem("P&rinter Setup...", CM_PRINTERSETUP),
            MenuSeparator(),
            MenuItem("Pre&ferences...", CM_PREFERENCES),
            MenuSeparator(),
            MenuItem("E&xit", CM_EXIT),
        }),
        Popup("&Edit", {
            Grey("&Undo\tCtrl+Z", CM_UNDO),
            MenuSeparator(),
            Grey("Cu&t\tCtrl+X", CM_CUT),
            Grey("&Copy\tCtrl+C", CM_COPY),
            Grey("&Paste\tCtrl+V", CM_PASTE),
            MenuSeparator(),
            Grey("&Delete\tDel", CM_DELETESELECTION),
            Grey("Select &All\tCtrl+A", CM_SELECTALL),
        }),
        Popup("&View", {
            Grey("&New Record", CM_NEWRECORD),
            Grey("&Previous Record\tPgUp", CM_PREVIOUSRECORD),
            Grey("N&ext Record\tPgDn", CM_NEXTRECORD),
            MenuSeparator(),
            Grey("&Browser", CM_BROWSER),
            MenuSeparator(),
            Grey("&Main Toolbar", CM_MAINTOOLBAR),
            Grey("&Graphics Toolbar", CM_GRAPHICSTOOLBAR),
        }),
        Popup("&Project", {
            MenuItem("&Open Project\tCtrl+O", CM_OPENPROJECT),
            MenuItem("&Close Project", CM_CLOSEPROJECT),
            MenuSeparator(),
            MenuItem("&Graphic Pages", CM_GRAPHICPAGES),
            MenuSeparator(),
            MenuItem("&Protocol Type", CM_PROTOCOLTYPE),
            MenuItem("Communications &Blocks", CM_COMMSBLOCKS),
            MenuItem("&Tags", CM_TAGS),
            MenuSeparator(),
            MenuItem("&Message Tables", CM_MESSAGETABLES),
            MenuItem("&Recipe Groups", CM_RECIPEGROUPS),
            MenuItem("&Overview Groups", CM_OVERVIEWGROUPS),
        }),
        Popup("&Quellstor", {
            MenuItem("&Clock Communications", CM_CLOCKCOMMS),
            MenuItem("&Page Change", CM_PAGECHANGE),
            MenuSeparator(),
            MenuItem("&System Settings", CM_SYSTEMSETTINGS),
            MenuItem("System &Keys", CM_SYSTEMKEYS),
            MenuItem("Pass&words", CM_PASSWORDS),
            MenuSeparator(),
            MenuItem("Comm Port &1", CM_COMMPORT1),
            MenuItem("Comm Port &2", CM_COMMPORT2),
            MenuSeparator(),
            MenuItem("&Transfer", CM_TRANSFER),
        }),
        Popup("&Layout", {
            Grey("&Group\tCtrl+G", CM_GROUP),
            Grey("&Ungroup\tCtrl+U", CM_UNGROUP),
            MenuSeparator(),
            Popup("Align &to", {
                Grey("&Left\tCtrl+L", CM_ALIGNLEFT),
                Grey("&Top\tCtrl+T", CM_ALIGNTOP),
                Grey("&Right\tCtrl+R", CM_ALIGNRIGHT),
                Grey("&Bottom\tCtrl+B", CM_ALIGNBOTTOM),
                MenuSeparator(),
                Grey("&Horizontal Center", CM_ALIGNHCENTER),
                Grey("&Vertical Center", CM_ALIGNVCENTER),
            }),
            Popup("&Z-Order", {
                Grey("&Edit Z-Order", CM_EDITZORDER),
                Grey("&Shuffle Overlayed", CM_SHUFFLE),
                Grey("Send to &Back", CM_SENDTOBACK),
            }),
            MenuSeparator(),
            Popup("T&emplate", {
                MenuItem("&Add Template", CM_ADDTEMPLATE),
                Grey("&Delete Template", CM_DELETETEMPLATE),
                Grey("&Go to Template", CM_GOTOTEMPLATE),
                Grey("&Back to Master", CM_BACKTOMASTER),
            }),
            Grey("&Embed Comms Blocks", CM_EMBEDCOMMS),
            MenuSeparator(),
            Popup("Graphics G&rid", {
                MenuItem("&Set Grid", CM_SETGRID),
                MenuItem("&Grid On", CM_GRIDON),
                MenuItem("Hide Grid &Lines", CM_HIDEGRIDLINES),
            }),
            Grey("To&uch Grid On", CM_TOUCHGRID),
            Grey("A&nimation Off", CM_ANIMATION),
            MenuSeparator(),
            Grey("Zoom &In", CM_ZOOMIN),
            Grey("Zoom &Out", CM_ZOOMOUT),
        }),
        Popup("&Graphics", {
            Grey("&Text", CM_ADDTEXT),
            Grey("Tag &Display", CM_ADDTAGDISPLAY),
            Grey("Me&ssage", CM_ADDMESSAGE),
            Grey("C&hoose Font", CM_CHOOSEFONT),
            MenuSeparator(),
            Grey("&Lines/Shape", CM_ADDLINES),
            Grey("&Frame", CM_ADDFRAME),
            Grey("&Circle", CM_ADDCIRCLE),
            Grey("&Rectangle", CM_ADDRECTANGLE),
            MenuSeparator(),
            Grey("&Bitmap", CM_ADDBITMAP),
            Grey("Tr&end", CM_ADDTREND),
            Grey("Trend Re&corder", CM_ADDTRENDRECORDER),
            Grey("&Meter", CM_ADDMETER),
            MenuSeparator(),
            Grey("To&uch Region", CM_ADDTOUCHREGION),
            Grey("&Push Button", CM_ADDPUSHBUTTON),
            Grey("Drive-&out", CM_ADDDRIVEOUT),
            MenuSeparator(),
            Grey("Select &Graphics", CM_SELECTGRAPHICS),
        }),
        Popup("&Window", {
            MenuItem("&Cascade", CM_CASCADECHILDREN),
            MenuItem("&Tile", CM_TILECHILDREN),
            MenuItem("Arrange &Icons", CM_ARRANGEICONS),
            MenuItem("Close &All", CM_CLOSECHILDREN),
        }),
        Popup("&Help", {
            MenuItem("&Contents", CM_HELPCONTENTS),
            MenuItem("&Search for Help On", CM_HELPSEARCH),
            MenuItem("&How to Use Help", CM_HELPONHELP),
            MenuSeparator(),
            MenuItem("C&urrent Topic", CM_CURRENTTOPIC),
            MenuSeparator(),
            MenuItem("&About", CM_ABOUT),
        }),
    };
}

std::vector<TAccelerator> MakeAccelerators()
{
    return {
        {'O', FCONTROL, CM_OPENPROJECT},   {'P', FCONTROL, CM_EXPORT},       {'X', FCONTROL, CM_CUT},
        {'C', FCONTROL, CM_COPY},          {'V', FCONTROL, CM_PASTE},        {'A', FCONTROL, CM_SELECTALL},
        {'G', FCONTROL, CM_GROUP},         {'U', FCONTROL, CM_UNGROUP},      {'N', FCONTROL, CM_NEWPROJECT},
        {'S', FCONTROL, CM_SAVERECORD},    {'L', FCONTROL, CM_ALIGNLEFT},    {'T', FCONTROL, CM_ALIGNTOP},
        {'R', FCONTROL, CM_ALIGNRIGHT},    {'B', FCONTROL, CM_ALIGNBOTTOM},  {VK_PRIOR, 0, CM_PREVIOUSRECORD},
        {VK_NEXT, 0, CM_NEXTRECORD},
    };
}

bool IsSeparator(const TMenuTemplateItem& item)
{
    return (item.flags & MF_SEPARATOR) != 0;
}

}  // namespace

const std::vector<TMenuTemplateItem>& FrameMenuTemplate()
{
    static const std::vector<TMenuTemplateItem> menu = MakeTemplate();
    return menu;
}

std::vector<TMenuTemplateItem> ProvidedMenuItems(const std::vector<TMenuTemplateItem>& items)
{
    std::vector<TMenuTemplateItem> kept;
    for (const TMenuTemplateItem& item : items) {
        if (IsSeparator(item)) {
            if (!kept.empty() && !IsSeparator(kept.back()))
                kept.push_back(item);
        } else if (item.flags & MF_POPUP) {
            TMenuTemplateItem popup = item;
            popup.popup = ProvidedMenuItems(item.popup);
            if (!popup.popup.empty())
                kept.push_back(std::move(popup));
        } else if (IsCommandProvided(item.id)) {
            kept.push_back(item);
        }
    }
    if (!kept.empty() && IsSeparator(kept.back()))
        kept.pop_back();
    return kept;
}

TMenu* BuildFrameMenu()
{
    // The layer builds menus from registered templates, so the frame's menu
    // of the moment is registered under a name of its own.
    static const char* const kShownMenu = "MAINFRAME_SHOWN";
    RegisterMenuTemplate(kShownMenu, ProvidedMenuItems(FrameMenuTemplate()));
    return new TMenu(kShownMenu);
}

void RegisterFrameResources()
{
    RegisterMenuTemplate(IDM_MAINFRAME, FrameMenuTemplate());
    RegisterAcceleratorTable(IDM_MAINFRAME, MakeAccelerators());
    if (const EmbeddedFile* icon = FindEmbeddedFile(FramePictureFiles(), "zobrel.png"))
        RegisterIconResource(IDI_ZOBREL, icon->data, icon->size);
    RegisterToolBarPictures();
}
