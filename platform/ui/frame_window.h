#pragma once
// TFrameWindow: a top-level window with a menu bar and a client window that
// fills its client area. Before a pop-up of its menu opens, every item is
// offered to the command route (the window with the focus, its parents, the
// frame) as a command enabler.

#include "platform/ui/menu.h"
#include "platform/ui/window.h"

#include <memory>

class QMainWindow;

class TFrameWindow : public TWindow {
public:
    TFrameWindow(TWindow* parent, const char* title = nullptr, TWindow* clientWnd = nullptr,
                 bool shrinkToClient = false, TModule* module = nullptr);
    ~TFrameWindow() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // The menu bar from menu resource `id`.
    bool AssignMenu(TResId id);
    // The frame takes the menu over.
    bool SetMenu(TMenu* menu);
    TMenu* GetMenu() const { return menu_.get(); }
    // Shows the menu's top-level items again after they changed.
    void DrawMenuBar();

    // Whether the frame is shown maximised or minimised.
    virtual bool IsZoomed() const;
    virtual bool IsIconic() const;

    TWindow* GetClientWindow() const { return clientWnd_; }
    TWindow* SetClientWindow(TWindow* client);

    // The icon of the window's caption (an icon resource of the program).
    bool SetIcon(TModule* module, TResId iconResId);
    bool SetIconSm(TModule* module, TResId iconResId) { return SetIcon(module, iconResId); }
    TResId GetIconId() const { return iconId_; }

protected:
    // Frames that share this base (an MDI child with decorations derives it
    // virtually) are made with the default constructor by the most derived
    // class; each frame class then sets the frame up with Init. A second
    // Init with the same parent and client changes nothing.
    TFrameWindow();
    void Init(TWindow* parent, const char* title, TWindow* clientWnd, bool shrinkToClient, TModule* module);
    bool ShrinksToClient() const { return shrinkToClient_; }

    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetReleased() override { main_ = nullptr; }
    void SetupWindow() override;
    // Gives the client window its place: the whole client area here; a
    // decorated frame lays its decorations out around it.
    virtual void LayoutClient();
    void EvSize(UINT sizeType, const TSize& size);
    void EvInitMenuPopup(WPARAM popup, LPARAM index);

private:
    void ApplyIcon();

    TWindow* clientWnd_ = nullptr;
    bool shrinkToClient_ = false;
    TResId iconId_;
    std::unique_ptr<TMenu> menu_;
    QMainWindow* main_ = nullptr;
};
