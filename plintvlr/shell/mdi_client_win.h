#pragma once
// TMDIClientWin: the client area of the main frame and the parent of every
// editor window. It keeps one window of each editor (a second command brings
// the open one forward), forgets an editor when its window goes, closes the
// project and the active window, relabels the record items of the menu for
// the kind of editor that has the focus, lets dialogs block the page editor
// and centres the project dialogs over itself.

#include "plintvlr/shell/command_registry.h"
#include "platform/ui/mdi_client.h"

#include <array>
#include <memory>

class TFocusWatch;

class TMDIClientWin : public TMDIClient {
public:
    explicit TMDIClientWin(TModule* module = nullptr);
    ~TMDIClientWin() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // The system settings sheet on page 0 (settings) or 2 (passwords).
    void OpenSystemSheet(int page);
    // Enables or disables the page editor's window while it is shown; when
    // enabling, brings it forward.
    void EnableEditor(bool enable);

    // Centres a dialog over the client, on the desktop, shows it and puts
    // the cursor on its default button when the system asks for that.
    void CenterChild(TWindow& dialog);

    // The open editor of a kind and its host window; null when none is open.
    TWindow* GetEditor(TEditorKind kind) const;
    TWindow* GetEditorHost(TEditorKind kind) const;

    // Rewrites the record items of the frame's menu for the editor of
    // `focus` (the window that got the focus, or one inside it).
    void RelabelRecordItems(HWND focus);

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

private:
    void CmGraphicPages();
    void CmTags();
    void CmSystemSettings();
    void CmPasswords();
    void CmOverviewGroups();
    void CmMessageTables();
    void CmCommsBlocks();
    void CmRecipeGroups();
    void CmCloseProject();
    void CmCloseWindow();
    void CeCloseProject(TCommandEnabler& enabler);
    void CeCloseWindow(TCommandEnabler& enabler);
    LRESULT EvMDIDestroy(WPARAM child, LPARAM);
    void EvKillFocus(HWND gaining);

    // Opens the editor of `kind` once; false when it was open already (its
    // host has been brought forward unless it is a disabled page editor).
    bool OpenEditor(TEditorKind kind, const TEditorRequest& request);
    void BringForward(TWindow& window);
    TEditorWindows& Slot(TEditorKind kind) { return editors_[static_cast<std::size_t>(kind)]; }

    std::array<TEditorWindows, kEditorKindCount> editors_{};
    std::unique_ptr<TFocusWatch> focusWatch_;
};
