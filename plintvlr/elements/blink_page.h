#pragma once
// TBlinkPage: the Blink page of the element sheets: blinking always
// ("Unconditional blink", which greys and clears the tag controls) or while
// a tag is in chosen states.

#include "plintvlr/elements/tag_mask_page.h"

class TDynBlink;

inline constexpr int IDD_BLINK_PAGE = 11601;
inline constexpr int IDC_UNCONDITIONAL_BLINK = 21570;
inline constexpr int kBlinkHelp = 714;

class TBlinkPage : public TTagMaskPage {
public:
    TBlinkPage(TPropertySheet* sheet, TDynBlink& blink, TModule* module = nullptr);
    ~TBlinkPage() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    int Apply(TNotify& notify) override;
    bool IsUnconditional() const { return unconditional_; }

protected:
    void SetupWindow() override;
    void EvUnconditionalClicked();

private:
    void EnableTagControls(bool enable);

    TDynBlink& blink_;
    bool unconditional_;
    TCheckBox* unconditionalBox_;
};
