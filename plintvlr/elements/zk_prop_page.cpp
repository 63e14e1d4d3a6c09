#include "plintvlr/elements/zk_prop_page.h"

#include "plintvlr/shell/mdi_dialog.h"
#include "platform/ui/property_sheet.h"
#include "platform/ui/window_api.h"

const TResponseTable TZKPropPage::Responses{&TPropertyPage::Responses, {
    OnCommand<&TZKPropPage::ShowHelp>(IDHELP),
    OnMessage<&TZKPropPage::EvNotify>(WM_NOTIFY),
}};

TZKPropPage::TZKPropPage(TPropertySheet* sheet, TResId resId, int helpContext, TModule* module)
    : TPropertyPage(sheet, resId, nullptr, module), helpContext_(helpContext)
{
}

TZKPropPage::~TZKPropPage() = default;

void TZKPropPage::ShowHelp()
{
    if (helpContext_ != 0)
        ShowHelpTopic(GetHandle(), static_cast<DWORD>(helpContext_));
}

void TZKPropPage::Help(TNotify& notify)
{
    TPropertyPage::Help(notify);
    ShowHelp();
}

void TZKPropPage::Reset(TNotify& notify)
{
    TPropertyPage::Reset(notify);
    // Posted: a Reset heard while the sheet cancels is followed by the
    // sheet's own closing, and the cancel posted here then finds no sheet;
    // every other page still hears its Reset first.
    if (TPropertySheet* sheet = GetSheet(); sheet && sheet->IsWindow())
        sheet->PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), HandleToLParam(sheet->GetDlgItem(IDCANCEL)));
}

LRESULT TZKPropPage::EvNotify(WPARAM wParam, LPARAM lParam)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    TPropertySheet* sheet = GetSheet();
    if (header && header->code == PSN_RESET && sheet && header->hwndFrom != sheet->GetHandle()) {
        TNotify notify;
        notify.hdr = *header;
        Reset(notify);
        return 0;
    }
    return TPropertyPage::EvNotify(wParam, lParam);
}

void TZKPropPage::Changed()
{
    if (TPropertySheet* sheet = GetSheet())
        sheet->PageChanged(*this);
}
