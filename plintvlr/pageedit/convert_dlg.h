#pragma once
// Convert To Tags on the page canvas. After a page of a project made by an
// older program version is loaded, the canvas runs three steps through its
// own private messages: start (the page's direct addresses are listed in
// tgconvDlg), convert (the engineer confirmed: tags are made and the
// elements refer to them) and finish (the dialog goes, the page editor is
// free again). The engineer may cancel instead of converting; then neither
// the page nor the tag tables change.

#include "plintvlr/pageedit/convert_tags.h"
#include "plintvlr/shell/mdi_dialog.h"

class SizeRectManager;
class TListBox;
class TMDIClient;

inline constexpr int IDD_CONVERT_TAGS = 10900;
inline constexpr int IDC_CONVERT_LIST = 543;
inline constexpr int IDC_CONVERT_ANALOGS = 161;
inline constexpr int IDC_CONVERT_DIGITALS = 162;
inline constexpr int IDC_FREE_ANALOGS = 213;
inline constexpr int IDC_FREE_DIGITALS = 277;
inline constexpr int IDC_CONVERT_CONFIRM = 125;
inline constexpr int IDC_CONVERT_CANCEL = 127;

// The canvas's private messages of the three steps.
inline constexpr UINT kConvertTagsStart = WM_USER + 3;
inline constexpr UINT kConvertTagsConvert = WM_USER + 1;
inline constexpr UINT kConvertTagsFinish = WM_USER + 2;

class tgconvDlg : public TMDIDialog {
public:
    // canvas: the window that gets the step messages.
    tgconvDlg(TMDIClient* client, HWND canvas, TModule* module = nullptr);
    ~tgconvDlg() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    DirectAddressList& GetAddresses() { return addresses_; }
    // Shows the entries (their tag references as item data) and the counters.
    void ShowAddresses();
    TListBox& List() { return *list_; }
    // The window that carries the dialog in the client: its host, or itself.
    TWindow& GetFrame();

    // The close box cancels the conversion as its button does, so that the
    // page editor is given back.
    void CmCancel() override;

protected:
    void SetupWindow() override;

    void CmConvert();
    void CmCancelConversion();

private:
    // True (and the dialog ends) when the canvas that ran the conversion went.
    bool CanvasGone();

    TListBox* list_;
    HWND canvas_;
    DirectAddressList addresses_;
};

// The steps as the canvas runs them; it holds at most one conversion.
class TTagConversion {
public:
    TTagConversion() = default;
    ~TTagConversion();
    TTagConversion(const TTagConversion&) = delete;
    TTagConversion& operator=(const TTagConversion&) = delete;

    // Start: only when "BitToTags" is "ON". The dialog is made hidden in the
    // client, the editor disabled and the page's addresses listed; with none
    // the canvas is told to finish, else the dialog shows.
    void Start(SizeRectManager& model, TWindow& canvas, TWindow* editor, TMDIClient* client);
    // Convert: tags for the entries, then the references replaced; says how
    // many addresses had to stay for want of room in the tag tables.
    void Convert(SizeRectManager& model);
    // Finish: the dialog goes and the editor gets its input back.
    void Finish();

    // The dialog from start to finish, else null.
    tgconvDlg* GetDialog() const;

private:
    HWND dialog_ = nullptr;
    HWND canvas_ = nullptr;
    HWND editor_ = nullptr;
};

void RegisterConvertTagsTemplate();
