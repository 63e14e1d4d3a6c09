#pragma once
// dangleDlg: asked when the protocol of a PLC channel is removed while
// project items still use that channel. It lists them and lets the engineer
// have every reference moved to the other channel ("Change All", IDOK) or
// give up the protocol change ("Cancel", IDCANCEL); the caller converts.

#include "plintvlr/shell/pos_dialog.h"

#include <string>
#include <vector>

class TEdit;
class TListBox;

inline constexpr int IDD_DANGLING = 11700;
inline constexpr int IDC_DANGLE_MESSAGE = 195;
inline constexpr int IDC_DANGLE_LIST = 196;

class dangleDlg : public TPosDialog {
public:
    // resId 0: dialog 11700. items: the display texts of the items that use
    // the channel, borrowed; channel: 1 or 2, the channel losing its protocol.
    dangleDlg(TWindow* parent, TResId resId, TModule* module, const std::vector<std::string>* items, int channel);
    ~dangleDlg() override;

protected:
    void SetupWindow() override;

private:
    TEdit* message_;
    TListBox* list_;
    const std::vector<std::string>* items_;
    int channel_;
};

// The message for the removed channel (1: A, else B) and the other one.
std::string DanglingMessage(int channel);

void RegisterDanglingTemplate();
