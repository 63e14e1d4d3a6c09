// The application object's start-up and end, and the program's entry.

#include "plintvlr/shell/base/app.h"

#include "plintvlr/comms/option_flags.h"
#include "plintvlr/db/plc_address_tables.h"
#include "plintvlr/db/project_services.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/elements/font_manager.h"
#include "plintvlr/pageedit/page_summary.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/controls/bmpbtn.h"
#include "plintvlr/shell/controls/control_pictures.h"
#include "plintvlr/shell/controls/grid.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/frame_menu.h"
#include "plintvlr/shell/frame_string_ids.h"
#include "plintvlr/shell/main_frame.h"
#include "plintvlr/shell/mdi_client_win.h"
#include "plintvlr/shell/win_positioner.h"
#include "platform/base/paths.h"
#include "platform/base/profile.h"
#include "platform/gdi/font_registry.h"
#include "platform/ui/desktop.h"
#include "platform/ui/hint_text.h"
#include "platform/ui/single_instance.h"
#include "platform/ui/window_api.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

namespace {

TApp* g_app = nullptr;
// Held from the check at start to the end of the run, so that a second
// start finds this program.
std::unique_ptr<TSingleInstance> g_instance;
bool g_fontAdded = false;

// "Plintvlr.fon" by bare name: looked up in the working directory, which is
// the program folder.
void ChangeProgramFont(bool add)
{
    const char* file = Str(kStrProgramFontFile);
    if (add)
        g_fontAdded = AddFontResource(file) > 0 || g_fontAdded;
    else if (g_fontAdded)
        g_fontAdded = !RemoveFontResource(file);
    SendMessage(HWND_BROADCAST, WM_FONTCHANGE);
}

// The profile's values are hand-editable: a saved place off the desktop, or
// larger than it, is cut to the desktop and pulled onto it.
// The outer place the frame is given once it is shown: before, the
// platform's frame around it is not known, and the saved size is the outer one.
std::optional<TRect> g_framePlace;

void PlaceOnDesktop(TWindow& frame, int x, int y, int w, int h)
{
    const TRect desktop = DesktopRect();
    if (!desktop.IsEmpty()) {
        w = std::min(w, desktop.Width());
        h = std::min(h, desktop.Height());
        x = static_cast<int>(std::clamp<long long>(x, desktop.left, static_cast<long long>(desktop.right) - w));
        y = static_cast<int>(std::clamp<long long>(y, desktop.top, static_cast<long long>(desktop.bottom) - h));
    }
    frame.Attr.X = x;
    frame.Attr.Y = y;
    frame.Attr.W = w;
    frame.Attr.H = h;
    g_framePlace = TRect(x, y, x + w, y + h);
}

// A frame that has no place yet covers most of the desktop, centred on it.
void PlaceByDefault(TWindow& frame)
{
    const TRect desktop = DesktopRect();
    if (desktop.IsEmpty())
        return;
    TRect place(0, 0, desktop.Width() * 4 / 5, desktop.Height() * 4 / 5);
    CenterRect(place, desktop);
    PlaceOnDesktop(frame, place.left, place.top, place.Width(), place.Height());
}

[[noreturn]] void EndStart(int exitCode)
{
    throw TStartupEnd{exitCode};
}

}  // namespace

TApp::TApp() : TApplication(nullptr)
{
    g_app = this;
}

TApp::~TApp()
{
    ChangeProgramFont(false);
    g_instance.reset();
    if (g_app == this)
        g_app = nullptr;
}

TApp* TApp::Current()
{
    return g_app;
}

void TApp::InitInstance()
{
    g_instance = std::make_unique<TSingleInstance>(Str(kStrFrameTitle));
    if (!g_instance->IsFirst()) {
        g_instance.reset();
        MessageBox(this, nullptr, Str(kStrAlreadyRunning), Str(kStrSystemMessage), MB_ICONSTOP);
        EndStart(0);
    }
    // Another start is told to bring the main frame forward.
    g_instance->OnActivated([] { std::fputs("[plintvlr] brought to the front\n", stderr); });

    EnableCtl3d(true);

    const int tables = LoadPlcAddressTables();
    if (tables != kPlcTablesLoaded) {
        const int result = tables >= kPlcTablesNoMemory && tables <= kPlcTablesBadProtocol ? tables
                                                                                           : kPlcTablesMissing;
        MessageBox(this, nullptr, Str(kStrProtocolLoadFailureBase + result), Str(kStrApplicationMessage),
                   MB_ICONSTOP);
        EndStart(0);
    }

    ChangeProgramFont(true);

    // What the project database needs of the subsystems above it, in place
    // before any project opens.
    RegisterElementsCoreServices();
    RegisterPageEditCoreServices();
    RegisterCommsCoreServices();
    GetProjectHooks().bitmapLibrary = &GetBitmapLibrary();
    RegisterFrameResources();
    // The shared controls that dialog templates name by class, and their pictures.
    RegisterControlPictures();
    RegisterBmpbtnClass();
    RegisterGridClass();
    SetHintTextSource([](UINT id) {
        const char* text = Str(static_cast<int>(id));
        return std::string(text ? text : "");
    });

    g_framePlace.reset();
    TApplication::InitInstance();
    if (TWindow* frame = GetMainWindow(); frame && frame->IsWindow() && g_framePlace)
        frame->MoveWindow(*g_framePlace);
}

void TApp::InitMainWindow()
{
    auto* client = new TMDIClientWin;
    auto* frame = new MDIFrame(Str(kStrFrameTitle), IDM_MAINFRAME, client, true);

    const std::string file = Str(kStrProfileFileName);
    const std::string section = Str(kStrSectionApp);
    auto read = [&](int key, int fallback) {
        return static_cast<int>(GetPrivateProfileInt(section.c_str(), Str(key), fallback, file.c_str()));
    };
    const int x = read(kStrKeyFrameX, INT_MAX);
    const int y = read(kStrKeyFrameY, INT_MAX);
    const int w = read(kStrKeyFrameW, 0);
    const int h = read(kStrKeyFrameH, 0);
    const bool saved = x < INT_MAX && y < INT_MAX;
    if (saved && w >= 1 && h >= 1) {
        PlaceOnDesktop(*frame, x, y, w, h);
    } else {
        PlaceByDefault(*frame);
        if (saved && w == -1 && h == -1)
            nCmdShow = SW_SHOWMAXIMIZED;
        else if (saved && w == -2 && h == -2)
            nCmdShow = SW_SHOWMINIMIZED;
    }

    frame->SetAcceleratorTable(IDM_MAINFRAME);
    SetMainWindow(frame);
    // Given before the window is made, so that the editors the frame opens
    // while it is set up show the program's icon too.
    frame->SetIcon(nullptr, IDI_ZOBREL);
    frame->SetIconSm(nullptr, IDI_ZOBREL);
    frame->Create();
}

int OwlMain(int, char*[])
{
    // The program's files ("QS_PLC.TEX", "Plintvlr.fon") are named bare: the
    // program folder is the working directory whoever starts the program.
    if (::chdir(ProgramFolder().c_str()) != 0)
        std::fprintf(stderr, "[plintvlr] cannot enter the program folder %s\n", ProgramFolder().c_str());

    std::unique_ptr<TApp> app;
    try {
        app = std::make_unique<TApp>();
        return app->Run();
    } catch (const TStartupEnd& end) {
        return end.exitCode;
    } catch (...) {
        TApp::MessageBox(app.get(), nullptr, Str(kStrTerminatedWithError), Str(kStrApplicationError),
                         MB_ICONEXCLAMATION);
        return 1;
    }
}
