#pragma once
// prefsDlg: the program-wide preference that lives outside any project,
// whether addresses typed into the page editor become tags automatically.
// Kept in "BitToTags" of section "APP" of the program's profile as "ON" or
// "OFF"; reopens where it was last closed.

#include "plintvlr/shell/pos_dialog.h"

class TCheckBox;

inline constexpr int IDD_PREFERENCES = 5800;
inline constexpr int IDC_PREFS_BITTOTAG = 251;
inline constexpr int IDC_PREFS_HELP = 163;
inline constexpr int kPrefsHelpContext = 308;

class prefsDlg : public TPosDialog {
public:
    explicit prefsDlg(TWindow* parent, TModule* module = nullptr);
    ~prefsDlg() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    void CmOk() override;

protected:
    void SetupWindow() override;
    void CmHelp();

private:
    TCheckBox* bitToTag_;
};

// True when the profile says automatic bit-to-tag conversion is on: exactly
// "ON" within the first 9 characters; anything else is off.
bool BitToTagsOn();

void RegisterPreferencesTemplate();
// The frame's Preferences (2018): the editors close first (the frame says so
// when one refuses), then the dialog runs modally.
void RegisterPreferencesCommand();
