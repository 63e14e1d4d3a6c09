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

    TWindow* GetClientWindow() const { return clientWnd_; }
    TWindow* SetClientWindow(TWindow* client);

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetReleased() override { main_ = nullptr; }
    void SetupWindow() override;
    void EvSize(UINT sizeType, const TSize& size);
    void EvInitMenuPopup(WPARAM popup, LPARAM index);

private:
    TWindow* clientWnd_ = nullptr;
    std::unique_ptr<TMenu> menu_;
    QMainWindow* main_ = nullptr;
};
