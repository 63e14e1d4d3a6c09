#pragma once
// TWindow: a window object with a window handle, a parent and children, a
// control id, a caption and a style word, and the two-phase life that every
// window of the programs has: the object is constructed (no window yet),
// Create makes the window and runs SetupWindow, CleanupWindow runs just
// before the window goes, and the object is deleted afterwards. Child window
// objects are created with `new` and belong to their parent, which deletes
// them with itself.
//
// Messages are dispatched through the class's response table
// (response_table.h); what no table takes goes to DefWindowProc. Under the
// window lies a Qt widget, whose events arrive here as window messages.

#include "platform/base/win_types.h"
#include "platform/base/geometry.h"
#include "platform/ui/messages.h"
#include "platform/ui/res_id.h"
#include "platform/ui/response_table.h"
#include "platform/ui/styles.h"

#include <memory>
#include <string>
#include <vector>

class QObject;
class QWidget;
class TApplication;
class TDC;
class TFont;
class TWindow;

// What a window handle designates. Handles live from Create to Destroy.
struct TWindowHandle {
    TWindow* window = nullptr;
    QWidget* widget = nullptr;  // the whole window
    QWidget* client = nullptr;  // its client area (the same widget unless the window has a frame)
};

// Creation attributes, read by Create.
struct TWindowAttr {
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int W = 0;
    int H = 0;
    int Id = 0;
};

enum TTransferDirection { tdGetData, tdSetData, tdSizeData };

class TWindow {
public:
    explicit TWindow(TWindow* parent, const char* title = nullptr, TModule* module = nullptr);
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    static const TResponseTable Responses;
    virtual const TResponseTable& GetResponseTable() const { return Responses; }

    // ------------------------------------------------------------ life
    // Makes the window (and, through SetupWindow, its children). False when
    // the parent has no window yet or the window cannot be made.
    virtual bool Create();
    // Makes the window without setting it up: the parent sets it up with its
    // own (dialogs make the controls of their template this way).
    bool PerformCreate();
    // Destroys the window: CleanupWindow, WM_DESTROY, then the children's
    // windows; the object stays.
    virtual void Destroy(int retVal = 0);
    // Runs once the window exists: creates the child windows that do not
    // exist yet and sets up those that came from a dialog template.
    virtual void SetupWindow();
    // Runs just before the window is destroyed, while it and its children exist.
    virtual void CleanupWindow();
    // Asked before closing: by default every child must agree.
    virtual bool CanClose();
    // Closes the window when CanClose agrees.
    virtual void CloseWindow(int retVal = 0);

    HWND GetHandle() const { return handle_; }
    bool IsWindow() const { return handle_ != nullptr; }
    TModule* GetModule() const { return module_; }
    TApplication* GetApplication() const;

    // ------------------------------------------------------------ tree
    TWindow* GetParentO() const { return parent_; }
    // Moves the window object under another parent (before or after creation).
    void SetParent(TWindow* newParent);
    HWND GetParent() const { return parent_ ? parent_->GetHandle() : nullptr; }
    // Children in creation (tab) order.
    const std::vector<TWindow*>& GetChildren() const { return children_; }
    int NumChildren() const { return static_cast<int>(children_.size()); }
    TWindow* ChildWithId(int id) const;
    bool IsChildOf(const TWindow* ancestor) const;
    TWindow* GetTopLevel();

    // ------------------------------------------------------------ attributes
    TWindowAttr Attr;
    int GetId() const { return Attr.Id; }
    DWORD GetStyle() const { return Attr.Style; }
    DWORD SetStyle(DWORD style);
    bool ModifyStyle(DWORD remove, DWORD add);
    DWORD GetExStyle() const { return Attr.ExStyle; }
    DWORD SetExStyle(DWORD style);
    bool ModifyExStyle(DWORD remove, DWORD add);

    // The caption of a top-level window, the text of a control.
    void SetCaption(const char* text);
    std::string GetCaption() const { return title_; }
    void SetWindowText(const char* text);
    int GetWindowText(char* buffer, int size) const;  // copies at most size - 1 characters
    std::string GetWindowText() const;
    int GetWindowTextLength() const;

    // ------------------------------------------------------------ messages
    // Dispatches at once to this window (no handle needed).
    LRESULT HandleMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    bool PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // The message that is being handled goes on to default processing.
    LRESULT DefaultProcessing();
    // The window procedure: the response table, then DefWindowProc.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Sees keyboard and mouse messages of this window and its descendants
    // before they are dispatched; true consumes the message.
    virtual bool PreProcessMsg(MSG& msg);
    // WM_COMMAND: a menu or accelerator command (no control) goes along
    // CommandRoute to the first window whose table handles it; a control's
    // notification goes to the control's own table, then to this window's.
    virtual LRESULT EvCommand(UINT id, HWND hWndCtl, UINT notifyCode);
    // Command enabling, routed like commands. A command that no window on the
    // route handles, and that no enabler answers, is greyed.
    virtual void EvCommandEnable(TCommandEnabler& enabler);
    // Idle processing; the default passes it on to the children.
    virtual bool IdleAction(long idleCount);
    // The accelerator table (accelerators.h) whose keys this window turns into commands.
    void SetAcceleratorTable(TResId id) { accelerators_ = id; }

    // ------------------------------------------------------------ show, enable, focus
    virtual bool ShowWindow(int cmdShow);
    bool IsWindowVisible() const;  // visible itself and all its parents
    virtual bool EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    HWND SetFocus();
    void BringWindowToTop();

    // ------------------------------------------------------------ geometry
    TRect GetClientRect() const;
    TRect GetWindowRect() const;  // screen coordinates
    bool MoveWindow(int x, int y, int w, int h, bool repaint = false);
    bool MoveWindow(const TRect& rect, bool repaint = false);
    bool SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    void Invalidate(bool erase = true);
    void InvalidateRect(const TRect& rect, bool erase = true);
    // Paints the invalid parts of the window (and of the others of its top-level window) now.
    void UpdateWindow();
    // Paints the client area; the device context comes from the graphics layer.
    virtual void Paint(TDC& dc, bool erase, TRect& rect);

    // ------------------------------------------------------------ timers, capture, cursor
    UINT SetTimer(UINT id, UINT elapseMs);
    bool KillTimer(UINT id);
    HWND SetCapture();
    // The cursor shown over this window's client area (a cursor resource of
    // `module`, or a standard cursor id such as IDC_ARROW).
    bool SetCursor(TModule* module, TResId cursor);

    // ------------------------------------------------------------ dialog items
    HWND GetDlgItem(int id) const;
    int GetDlgItemText(int id, char* buffer, int size) const;
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const char* text);
    UINT GetDlgItemInt(int id, bool* translated = nullptr, bool isSigned = true) const;
    void SetDlgItemInt(int id, UINT value, bool isSigned = true);
    LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int firstId, int lastId, int checkId);

    // Data exchange with a caller's buffer; the default moves nothing.
    virtual UINT Transfer(void* buffer, TTransferDirection direction);

    // ------------------------------------------------------------ Qt seam
    // For the platform layer itself (controls, graphics, test driver).
    QWidget* GetWidget() const;
    QWidget* GetClientWidget() const;
    // True for windows created from a dialog template item.
    bool IsFromResource() const { return fromResource_; }
    // The window object is deleted when its window is destroyed (controls a
    // template or a creation call made on the parent's behalf).
    void SetWindowLifetime(bool on) { windowLifetime_ = on; }

protected:
    // Handlers in TWindow's table.
    void EvClose();
    void EvPaint();

    // Makes the window's Qt widget; `parent` is the parent's client widget or
    // null for a top-level window. Standard controls return their Qt widget.
    virtual QWidget* CreateWidget(QWidget* parent);
    // Standard controls let their Qt widget paint itself.
    virtual bool PaintsNatively() const { return false; }
    // Runs just before such a widget paints: controls ask their parent for
    // their colours here (WM_CTLCOLOR...).
    virtual void PrepareNativePaint() {}
    // Called after the widget exists and before SetupWindow.
    virtual void ApplyAttributes();
    // The widget exists and its events are translated; a control adds the
    // inner widgets whose events are its own (a list's viewport).
    virtual void WidgetCreated() {}
    // The window is gone: a control forgets the widgets it kept pointers to.
    virtual void WidgetReleased() {}
    // The context of the Qt signal connections a control makes: they end
    // when the window is destroyed, so no signal reaches a window that has
    // no widget or an object that was deleted.
    QObject* SignalContext();
    // The window's text changed (caption or control text).
    virtual void TextChanged() {}
    // The text WM_GETTEXT answers; controls read it from their widget.
    virtual std::string ReadText() const;
    // Attr.Style changed through SetStyle or ModifyStyle.
    virtual void StyleChanged(DWORD oldStyle);
    // The windows a menu or accelerator command and its enabler pass, in
    // order: the window with the focus and its parents below this one, then
    // this one.
    virtual std::vector<TWindow*> CommandRoute();
    // Marks a control that takes its attributes from a dialog template.
    void SetFromResource(bool fromResource) { fromResource_ = fromResource; }
    void SetClientWidget(QWidget* client);
    // Sets the text without sending WM_SETTEXT.
    void StoreTitle(const char* text) { title_ = text ? text : ""; }
    const std::string& StoredTitle() const { return title_; }
    // The widget belongs to someone else (the edit field inside a combo box).
    void SetOwnsWidget(bool owns) { ownsWidget_ = owns; }

private:
    friend class TDialog;
    friend class TWindowBridge;
    friend class TWindowDispatch;

    void AddChild(TWindow* child);
    void RemoveChild(TWindow* child);
    void DestroyChildren();
    void ReleaseHandle();

    TWindow* parent_ = nullptr;
    std::vector<TWindow*> children_;
    TModule* module_ = nullptr;
    std::string title_;
    HWND handle_ = nullptr;
    bool fromResource_ = false;
    bool destroying_ = false;
    bool setUp_ = false;
    bool windowLifetime_ = false;
    bool ownsWidget_ = true;
    bool hasCursor_ = false;
    const TFont* font_ = nullptr;  // set by WM_SETFONT
    const void* icon_ = nullptr;   // set by WM_SETICON (an HICON)
    TResId cursor_;
    TResId accelerators_;
    QWidget* clientWidget_ = nullptr;
    QObject* signalContext_ = nullptr;
    std::vector<MSG> dispatching_;  // messages being handled, innermost last
    std::shared_ptr<bool> alive_;   // cleared by the destructor; checked by event code
};

// The window object behind a handle; null for a stale or null handle.
TWindow* GetWindowPtr(HWND hwnd);

// Calls a response-table entry of a window other than the one dispatching
// (a control's own notification, a command routed to the focus window).
class TWindowDispatch {
public:
    static LRESULT Invoke(TWindow& window, const TResponseEntry& entry, UINT msg, WPARAM wParam, LPARAM lParam);
};
