#pragma once
// TMDIClient: the client window of an MDI frame, the parent of the MDI
// children. It activates, cascades, tiles and arranges them, closes them
// all when each agrees, destroys one on WM_MDIDESTROY and keeps the list of
// children at the end of the frame's Window menu (the pop-up that holds the
// Cascade command): "&1 caption", "&2 caption"... with the active child
// checked; choosing one activates it. The list is brought up to date when a
// child comes, goes, is activated or renamed, and on WM_MDIREFRESHMENU.
//
// Activation: the child that is deactivated and the one that is activated
// each get WM_MDIACTIVATE with wParam = the child losing activation and
// lParam = the child gaining it.

#include "platform/ui/window.h"

#include <vector>

class QMdiArea;
class QMdiSubWindow;
class TMDIChild;
class TMenu;

constexpr UINT WM_MDICREATE = 0x0220;
constexpr UINT WM_MDIDESTROY = 0x0221;      // wParam: the child
constexpr UINT WM_MDIACTIVATE = 0x0222;     // to the client: wParam the child to activate
constexpr UINT WM_MDIRESTORE = 0x0223;      // wParam: the child
constexpr UINT WM_MDINEXT = 0x0224;         // wParam: the child to start from (0: active), lParam: nonzero for previous
constexpr UINT WM_MDIMAXIMIZE = 0x0225;     // wParam: the child
constexpr UINT WM_MDITILE = 0x0226;         // wParam: MDITILE_VERTICAL or MDITILE_HORIZONTAL
constexpr UINT WM_MDICASCADE = 0x0227;
constexpr UINT WM_MDIICONARRANGE = 0x0228;
constexpr UINT WM_MDIGETACTIVE = 0x0229;    // lParam: optional bool* set when the child is maximised

constexpr UINT MDITILE_VERTICAL = 0x0000;    // side by side
constexpr UINT MDITILE_HORIZONTAL = 0x0001;  // one above the other

// The Window menu's commands, handled by the client.
constexpr UINT CM_CASCADECHILDREN = 24361;
constexpr UINT CM_TILECHILDREN = 24362;
constexpr UINT CM_TILECHILDRENHORIZ = 24363;
constexpr UINT CM_ARRANGEICONS = 24364;
constexpr UINT CM_CLOSECHILDREN = 24365;

// The ids of the children's items in the Window menu.
constexpr UINT IDW_FIRSTMDICHILD = 0xFF00;
constexpr int kMaxWindowMenuChildren = 9;

class TMDIClient : public TWindow {
public:
    explicit TMDIClient(TModule* module = nullptr);
    ~TMDIClient() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // The active child, or null.
    TMDIChild* GetActiveMDIChild() const;
    // The children whose windows exist, in creation order.
    std::vector<TMDIChild*> GetMDIChildren() const;

    // Asks every child whether it may close; only when all agree are all
    // destroyed. False (and nothing closed) when one refuses.
    virtual bool CloseChildren();
    void CascadeChildren();
    void TileChildren(UINT how = MDITILE_VERTICAL);
    // Minimised children in a row along the bottom, left to right.
    void ArrangeIcons();

    // The pop-up of the frame's menu whose end lists the children: the one
    // that holds CM_CASCADECHILDREN (null when there is none).
    TMenu* GetWindowMenu() const;
    void RefreshWindowMenu();
    // The child listed under menu command `id`, or null.
    TMDIChild* ChildFromMenuId(UINT id) const;

    // Qt seam.
    QMdiArea* GetArea() const { return area_; }

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetReleased() override { area_ = nullptr; }
    bool PaintsNatively() const override { return true; }
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    void CmCascadeChildren();
    void CmTileChildren();
    void CmTileChildrenHoriz();
    void CmArrangeIcons();
    void CmCloseChildren();
    void CeChildrenExist(TCommandEnabler& enabler);

private:
    friend class TMDIChild;

    // The sub-window of a child became the active one (null: none).
    void SubWindowActivated(QMdiSubWindow* subWindow);
    void Activate(TMDIChild* child);
    void ChildCreated(TMDIChild& child);
    void ChildDestroyed(TMDIChild& child);
    TMDIChild* NextChild(TMDIChild* from, bool previous) const;

    QMdiArea* area_ = nullptr;
    TMDIChild* active_ = nullptr;
    int cascadeIndex_ = 0;         // where the next child with a default place goes
};
