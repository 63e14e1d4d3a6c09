#pragma once
// MDIFrame: the configuration program's main window, a decorated MDI frame
// with the menu bar of menu 99, the status line and the MDI client in which
// every editor lives. It owns the project commands of the File, Project,
// Quellstor and Help menus (those of later subsystems through the command
// registry), greys what the open project's state and panel type do not
// allow, reopens the last project when it is set up and remembers its place
// when it goes.

#include "plintvlr/db/bitmap_paster.h"
#include "plintvlr/tables/recipe_groups.h"
#include "platform/ui/decorated_mdi_frame.h"

#include <memory>

class Menv_registry;
class SizeRectArray;
class ProjectShell;
class TMDIClientWin;
class TPrinter;
class TextPagePrintout;
class TZKHarbor;

class MDIFrame : public TDecoratedMDIFrame {
public:
    // The menu is built from the template registered under `menuResId`
    // (menu 99), without the items nothing carries out.
    MDIFrame(const char* title, TResId menuResId, TMDIClientWin* client, bool trackMenuSelection = true,
             TModule* module = nullptr);
    ~MDIFrame() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // The program's main frame: set during its set-up, cleared when it goes.
    static MDIFrame* GetMainFrame();

    TMDIClientWin* GetClient() const;
    TRecipeArray& GetRecipeGroups() { return *recipes_; }
    BitmapPaster& GetBitmapPaster() { return *bitmapPaster_; }
    // The page editors' clipboard of copied elements, owned by the frame.
    SizeRectArray& GetElementClipboard() { return *elementClipboard_; }
    // The printer pages are printed with: the desktop's default printer, or
    // a PDF file when the machine has none.
    TPrinter* GetPrinter() const { return printer_.get(); }
    // Prints a graphic page printout with the frame's printer, without the
    // print dialog (frame_printer.cpp). The engineer is told where a PDF
    // file was written, and why nothing was printed; false then.
    bool Print(TWindow* parent, TextPagePrintout& printout);
    // The harbor with the main and graphics tool bars; made while the frame is set up.
    TZKHarbor* GetHarbor() const { return harbor_; }

    // The caption: the title alone for an empty name, else title - name.
    void SetProjectCaption(const char* projectName);
    // Hands the panel type's button level to the graphics tool bar.
    void UpdateGraphToolBar(bool rebuild);
    // Opens the graphic page editor, or brings it forward.
    void OpenGraphicPages();
    // Asks every editor window to close; only when all agree are all closed.
    // When one refuses, `tell` shows that the windows must be closed first.
    bool CloseEditorsFirst(bool tell);

    // Every protocol query of message 0x8001: 1 and 2 the project's channel
    // 1 and 2, 3 and 4 the channel being edited in the protocol sheet (the
    // project's when the sheet is not open); -1 for any other.
    LRESULT EvQueryPortSetting(WPARAM channel, LPARAM);

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

private:
    // The commands the frame carries out itself.
    void CmExit();
    void CmHelpContents();
    void CmHelpSearch();
    void CmHelpOnHelp();
    void CmAbout();
    void CmCheckSize();
    // A command a later subsystem registered (command_registry.h).
    void CmRegistered(WPARAM wParam, LPARAM lParam);
    void CeFrameCommand(TCommandEnabler& enabler);
    void EvSysCommand(UINT command, const TPoint& point);

    void ShowHelp(UINT command);
    void SetDefaultMenuItems();
    void SavePlace();

    std::unique_ptr<TPrinter> printer_;
    std::unique_ptr<TRecipeArray> recipes_;
    std::unique_ptr<BitmapPaster> bitmapPaster_;
    std::unique_ptr<SizeRectArray> elementClipboard_;
    std::unique_ptr<ProjectShell> projectShell_;
    TZKHarbor* harbor_ = nullptr;  // a child window: goes with the frame's windows
};

// The shared message-table registry: made by the message table editor or the
// import on first need, shared by them, deleted by the frame before another
// project opens and after an import.
Menv_registry*& MessageTableRegistry();
void DeleteMessageTableRegistry();
