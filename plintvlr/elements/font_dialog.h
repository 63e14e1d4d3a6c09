#pragma once
// fontDlg: the page editor's font choice. It lists the installed panel fonts
// with what storing each costs in the project ("0 - Loaded" for those stored
// already, "0 - Permanent" for the panel's own font), shows a sample of the
// selected one and the project's memory use, removes stored fonts, and on OK
// stores the chosen font when needed, makes it the default for new texts and
// gives it to the page editor's selected elements.

#include "plintvlr/shell/mdi_dialog.h"

#include <string>

class TButton;
class TListBox;
class TMDIClient;

inline constexpr int IDD_FONT = 11300;
inline constexpr int IDC_FONT_LIST = 543;
inline constexpr int IDC_FONT_REMOVE = 163;
inline constexpr int IDC_FONT_SAMPLE_BOX = 540;
inline constexpr int IDC_FONT_USAGE_BOX = 229;
inline constexpr int kFontDialogHelp = 322;
inline constexpr int kFontDialogIcon = 11336;

// "ABC-318-xyz" centred in a font face at its cell size.
class TSample : public TWindow {
public:
    explicit TSample(TWindow* parent);
    void SetFace(const std::string& face) { face_ = face; }
    const std::string& GetFace() const { return face_; }
    void Paint(TDC& dc, bool erase, TRect& rect) override;

private:
    std::string face_;
};

// A bar over the used part of the project's memory.
class TUsage : public TWindow {
public:
    explicit TUsage(TWindow* parent);
    void SetUsage(long long used, long long total);
    long long GetUsed() const { return used_; }
    long long GetTotal() const { return total_; }
    void Paint(TDC& dc, bool erase, TRect& rect) override;

private:
    long long used_ = 0;
    long long total_ = 0;
};

class fontDlg : public TMDIDialog {
public:
    // `disabled`: the window kept disabled while the dialog is open (the page
    // editor); may be null.
    fontDlg(TMDIClient* client, TWindow* disabled);
    ~fontDlg() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    TListBox& List() { return *list_; }
    TSample& Sample() { return *sample_; }
    TUsage& Usage() { return *usage_; }
    // The file face of the selected line; empty without a selection.
    std::string SelectedFace() const;

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

private:
    void CmOk() override;
    void CmRemove();
    void CmHelpButton();
    void EvSelChange();
    void UpdateRemoveButton();
    void UpdateSample();
    void UpdateUsage();
    static std::string LineOf(const std::string& shownName, const std::string& cost);

    TListBox* list_;
    TButton* remove_;
    TSample* sample_;
    TUsage* usage_;
    TWindow* disabled_;
};

void RegisterFontDialogTemplate();
// The program-wide font tree is made afresh for each main frame.
void RegisterPanelFontServices();
