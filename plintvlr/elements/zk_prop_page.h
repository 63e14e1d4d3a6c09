#pragma once
// TZKPropPage: the base of every property page of the program. It has a
// Help button that opens the page's help topic, and a Reset (the sheet
// cancelled, or Escape in a page's text) that closes its sheet with Cancel.

#include "platform/ui/property_page.h"

class TZKPropPage : public TPropertyPage {
public:
    // helpContext 0: no help.
    TZKPropPage(TPropertySheet* sheet, TResId resId, int helpContext, TModule* module = nullptr);
    ~TZKPropPage() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    int GetHelpContext() const { return helpContext_; }
    void ShowHelp();

    void Help(TNotify& notify) override;
    void Reset(TNotify& notify) override;

protected:
    // A page's own control may ask for a Reset (PSN_RESET), as Escape in a
    // multi-line text does; the sheet's notifications go on as before.
    LRESULT EvNotify(WPARAM wParam, LPARAM lParam);

    // Tells the sheet that this page's data changed.
    void Changed();

private:
    int helpContext_;
};
