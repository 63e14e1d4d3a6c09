#pragma once
// Response tables: each window class keeps one static table that maps
// messages, command ids and control notifications to its member functions,
// and names its base class's table. Lookup walks the class's own table,
// then its base's, and so on; what no table takes gets default processing.
//
//   class TMyDialog : public TDialog {
//   public:
//       static const TResponseTable Responses;
//       const TResponseTable& GetResponseTable() const override { return Responses; }
//   private:
//       void CmApply();
//       void EvNameChange();
//       void EvTimer(UINT id);
//       void CeApply(TCommandEnabler& ce);
//   };
//
//   const TResponseTable TMyDialog::Responses{&TDialog::Responses, {
//       OnCommand<&TMyDialog::CmApply>(IDC_APPLY),
//       OnNotify<&TMyDialog::EvNameChange>(IDC_NAME, EN_CHANGE),
//       OnMessage<&TMyDialog::EvTimer>(WM_TIMER),
//       OnCommandEnable<&TMyDialog::CeApply>(IDC_APPLY),
//   }};
//
// A handler's parameters are unpacked from wParam and lParam by its
// signature (see the Crack overloads below).

#include "platform/base/win_types.h"
#include "platform/ui/command_enabler.h"
#include "platform/base/geometry.h"
#include "platform/ui/messages.h"

#include <initializer_list>
#include <vector>

class TBrush;
class TDC;
class TWindow;

using TResponseFn = LRESULT (*)(TWindow& window, WPARAM wParam, LPARAM lParam);

enum class TResponseKind : unsigned char {
    Message,     // any message by number
    Command,     // WM_COMMAND from a menu, an accelerator or a button click (codes 0 and 1)
    Notify,      // WM_COMMAND from control `id` with notification `code`
    SelfNotify,  // a control's own notification, handled by the control before its parent
    Enabler,     // command enabling for command `id`
};

struct TResponseEntry {
    TResponseKind kind;
    UINT msg;
    UINT id;
    UINT code;
    TResponseFn fn;
};

class TResponseTable {
public:
    TResponseTable(const TResponseTable* base, std::initializer_list<TResponseEntry> entries)
        : base_(base), entries_(entries)
    {
    }
    // A class with two window bases (a decorated MDI child) looks in its own
    // entries, then in the first base's chain, then in the second's.
    TResponseTable(const TResponseTable* base, const TResponseTable* secondBase,
                   std::initializer_list<TResponseEntry> entries)
        : base_(base), secondBase_(secondBase), entries_(entries)
    {
    }

    const TResponseTable* Base() const { return base_; }
    const TResponseTable* SecondBase() const { return secondBase_; }
    const TResponseEntry* FindMessage(UINT msg) const;
    const TResponseEntry* FindCommand(UINT id, UINT code) const;
    const TResponseEntry* FindSelfNotify(UINT code) const;
    const TResponseEntry* FindEnabler(UINT id) const;

private:
    template <class Match>
    const TResponseEntry* Find(Match match) const;

    const TResponseTable* base_;
    const TResponseTable* secondBase_ = nullptr;
    std::vector<TResponseEntry> entries_;
};

namespace response_detail {

template <class F>
struct Member;
template <class C, class R, class... A>
struct Member<R (C::*)(A...)> {
    using Class = C;
};

// Unpacking by handler signature.
template <class C>
LRESULT Crack(C& s, void (C::*h)(), WPARAM, LPARAM)
{
    (s.*h)();
    return 0;
}
// Raw parameters.
template <class C>
LRESULT Crack(C& s, LRESULT (C::*h)(WPARAM, LPARAM), WPARAM wp, LPARAM lp)
{
    return (s.*h)(wp, lp);
}
template <class C>
LRESULT Crack(C& s, void (C::*h)(WPARAM, LPARAM), WPARAM wp, LPARAM lp)
{
    (s.*h)(wp, lp);
    return 0;
}
// Mouse messages (key-state flags, point) and WM_SYSCOMMAND (command, point).
template <class C>
LRESULT Crack(C& s, void (C::*h)(UINT, const TPoint&), WPARAM wp, LPARAM lp)
{
    (s.*h)(static_cast<UINT>(wp), LParamToPoint(lp));
    return 0;
}
// Keyboard messages: key or character, repeat count, flags word.
template <class C>
LRESULT Crack(C& s, void (C::*h)(UINT, UINT, UINT), WPARAM wp, LPARAM lp)
{
    (s.*h)(static_cast<UINT>(wp), LOWORD(static_cast<std::uintptr_t>(lp)), HIWORD(static_cast<std::uintptr_t>(lp)));
    return 0;
}
// WM_TIMER and other messages with one value in wParam.
template <class C>
LRESULT Crack(C& s, void (C::*h)(UINT), WPARAM wp, LPARAM)
{
    (s.*h)(static_cast<UINT>(wp));
    return 0;
}
// WM_SETFOCUS and WM_KILLFOCUS: the window losing or gaining the focus.
template <class C>
LRESULT Crack(C& s, void (C::*h)(HWND), WPARAM wp, LPARAM)
{
    (s.*h)(reinterpret_cast<HWND>(wp));
    return 0;
}
// WM_GETDLGCODE: the message that is being asked about, or null.
template <class C>
LRESULT Crack(C& s, UINT (C::*h)(const MSG*), WPARAM, LPARAM lp)
{
    return static_cast<LRESULT>((s.*h)(reinterpret_cast<const MSG*>(lp)));
}
// WM_HSCROLL and WM_VSCROLL: scroll code, thumb position, scroll bar control.
template <class C>
LRESULT Crack(C& s, void (C::*h)(UINT, UINT, HWND), WPARAM wp, LPARAM lp)
{
    (s.*h)(LOWORD(wp), HIWORD(wp), LParamToHandle(lp));
    return 0;
}
// WM_SIZE: size type, new client size.
template <class C>
LRESULT Crack(C& s, void (C::*h)(UINT, const TSize&), WPARAM wp, LPARAM lp)
{
    (s.*h)(static_cast<UINT>(wp), TSize(LOWORD(static_cast<std::uintptr_t>(lp)), HIWORD(static_cast<std::uintptr_t>(lp))));
    return 0;
}
// WM_DRAWITEM and WM_MEASUREITEM: control id and the item structure.
template <class C>
LRESULT Crack(C& s, void (C::*h)(UINT, DRAWITEMSTRUCT&), WPARAM wp, LPARAM lp)
{
    (s.*h)(static_cast<UINT>(wp), *reinterpret_cast<DRAWITEMSTRUCT*>(lp));
    return 1;
}
template <class C>
LRESULT Crack(C& s, void (C::*h)(UINT, MEASUREITEMSTRUCT&), WPARAM wp, LPARAM lp)
{
    (s.*h)(static_cast<UINT>(wp), *reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
    return 1;
}
// WM_WINDOWPOSCHANGING: the move about to be made, which the handler may change.
template <class C>
LRESULT Crack(C& s, void (C::*h)(WINDOWPOS&), WPARAM, LPARAM lp)
{
    (s.*h)(*reinterpret_cast<WINDOWPOS*>(lp));
    return 0;
}
// WM_CTLCOLOR...: the control's device context and handle; the brush the
// control paints its background with, or null for its own colours.
template <class C>
LRESULT Crack(C& s, const TBrush* (C::*h)(TDC&, HWND), WPARAM wp, LPARAM lp)
{
    return reinterpret_cast<LRESULT>((s.*h)(*reinterpret_cast<TDC*>(wp), LParamToHandle(lp)));
}
// WM_SETCURSOR: the window under the mouse, the hit-test code, the mouse message.
template <class C>
LRESULT Crack(C& s, bool (C::*h)(HWND, UINT, UINT), WPARAM wp, LPARAM lp)
{
    return (s.*h)(reinterpret_cast<HWND>(wp), LOWORD(static_cast<std::uintptr_t>(lp)),
                  HIWORD(static_cast<std::uintptr_t>(lp)))
               ? 1
               : 0;
}
// Command enablers.
template <class C>
LRESULT Crack(C& s, void (C::*h)(TCommandEnabler&), WPARAM, LPARAM lp)
{
    (s.*h)(*reinterpret_cast<TCommandEnabler*>(lp));
    return 0;
}

template <auto H>
LRESULT Call(TWindow& window, WPARAM wp, LPARAM lp)
{
    using Class = typename Member<decltype(H)>::Class;
    return Crack(dynamic_cast<Class&>(window), H, wp, lp);
}

}  // namespace response_detail

template <auto Handler>
constexpr TResponseEntry OnMessage(UINT msg)
{
    return {TResponseKind::Message, msg, 0, 0, &response_detail::Call<Handler>};
}
template <auto Handler>
constexpr TResponseEntry OnCommand(UINT id)
{
    return {TResponseKind::Command, WM_COMMAND, id, 0, &response_detail::Call<Handler>};
}
template <auto Handler>
constexpr TResponseEntry OnNotify(UINT id, UINT code)
{
    return {TResponseKind::Notify, WM_COMMAND, id, code, &response_detail::Call<Handler>};
}
template <auto Handler>
constexpr TResponseEntry OnSelfNotify(UINT code)
{
    return {TResponseKind::SelfNotify, WM_COMMAND, 0, code, &response_detail::Call<Handler>};
}
template <auto Handler>
constexpr TResponseEntry OnCommandEnable(UINT id)
{
    return {TResponseKind::Enabler, 0, id, 0, &response_detail::Call<Handler>};
}
