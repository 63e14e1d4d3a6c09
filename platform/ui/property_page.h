#pragma once
// TPropertyPage: one page of a property sheet, a child dialog built from its
// template (which has WS_CHILD). Its window is made when the page is first
// shown. The sheet tells it what happens through these notifications, each
// a virtual function (or, for a response table, WM_NOTIFY with the code):
//
//   PSN_SETACTIVE   SetActive: the page is about to show; 0 lets it, -1 refuses.
//   PSN_KILLACTIVE  KillActive: the page is to be left (another tab, OK,
//                   Apply); true keeps it, its data being wrong.
//   PSN_APPLY       Apply: keep the page's data; PSNRET_NOERROR, or
//                   PSNRET_INVALID (the sheet stays and shows this page) or
//                   PSNRET_INVALID_NOCHANGEPAGE (the sheet stays on the page
//                   it shows).
//   PSN_RESET       Reset: the sheet is cancelled.
//   PSN_HELP        Help: the Help button was pressed on this page.
//   PSN_QUERYCANCEL QueryCancel: true keeps the sheet open.

#include "platform/ui/dialog.h"
#include "platform/ui/notify.h"

#include <string>

class TPropertySheet;

constexpr UINT PSN_SETACTIVE = NotifyCode(-200);
constexpr UINT PSN_KILLACTIVE = NotifyCode(-201);
constexpr UINT PSN_APPLY = NotifyCode(-202);
constexpr UINT PSN_RESET = NotifyCode(-203);
constexpr UINT PSN_HELP = NotifyCode(-205);
constexpr UINT PSN_QUERYCANCEL = NotifyCode(-209);

constexpr int PSNRET_NOERROR = 0;
constexpr int PSNRET_INVALID = 1;
constexpr int PSNRET_INVALID_NOCHANGEPAGE = 2;

// WM_NOTIFY's lParam from a sheet to its pages. For PSN_APPLY, lParam is
// nonzero when the sheet closes afterwards (OK rather than Apply).
struct TNotify {
    NMHDR hdr;
    LPARAM lParam = 0;
};

class TPropertyPage : public TDialog {
public:
    // With a sheet the page adds itself to it; the sheet owns its pages.
    TPropertyPage(TPropertySheet* sheet, TResId resId, const char* title = nullptr, TModule* module = nullptr);
    ~TPropertyPage() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    TPropertySheet* GetSheet() const { return sheet_; }
    // The tab's text: the title given, else the template's caption.
    std::string GetTitle() const;
    // The page's window is made by its sheet, when it first shows it.
    bool Create() override;

    virtual int SetActive(TNotify& notify);
    virtual bool KillActive(TNotify& notify);
    virtual int Apply(TNotify& notify);
    virtual void Reset(TNotify& notify);
    virtual void Help(TNotify& notify);
    virtual bool QueryCancel(TNotify& notify);

protected:
    LRESULT EvNotify(WPARAM wParam, LPARAM lParam);

private:
    friend class TPropertySheet;

    TPropertySheet* sheet_;
    std::string title_;
    bool mayCreate_ = false;
};
