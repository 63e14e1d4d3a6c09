#include "platform/ui/property_page.h"

#include "platform/ui/property_sheet.h"

const TResponseTable TPropertyPage::Responses{&TDialog::Responses, {
    OnMessage<&TPropertyPage::EvNotify>(WM_NOTIFY),
}};

TPropertyPage::TPropertyPage(TPropertySheet* sheet, TResId resId, const char* title, TModule* module)
    : TDialog(sheet, resId, module), sheet_(sheet), title_(title ? title : "")
{
    Attr.Style = WS_CHILD;
    if (sheet_)
        sheet_->AddPage(*this);
}

TPropertyPage::~TPropertyPage()
{
    if (IsWindow())
        Destroy(0);
}

std::string TPropertyPage::GetTitle() const
{
    if (!title_.empty())
        return title_;
    const TDialogTemplate* t = GetTemplate();
    return t ? t->caption : std::string();
}

bool TPropertyPage::Create()
{
    // Pages are made one by one as the sheet first shows them.
    if (sheet_ && !mayCreate_)
        return false;
    return TDialog::Create();
}

int TPropertyPage::SetActive(TNotify& /*notify*/)
{
    return 0;
}

bool TPropertyPage::KillActive(TNotify& /*notify*/)
{
    return false;
}

int TPropertyPage::Apply(TNotify& /*notify*/)
{
    return PSNRET_NOERROR;
}

void TPropertyPage::Reset(TNotify& /*notify*/)
{
}

void TPropertyPage::Help(TNotify& /*notify*/)
{
}

bool TPropertyPage::QueryCancel(TNotify& /*notify*/)
{
    return false;
}

LRESULT TPropertyPage::EvNotify(WPARAM /*wParam*/, LPARAM lParam)
{
    auto* notify = reinterpret_cast<TNotify*>(lParam);
    if (!notify || !sheet_ || notify->hdr.hwndFrom != sheet_->GetHandle())
        return DefaultProcessing();
    switch (notify->hdr.code) {
    case PSN_SETACTIVE:
        return SetActive(*notify);
    case PSN_KILLACTIVE:
        return KillActive(*notify) ? 1 : 0;
    case PSN_APPLY:
        return Apply(*notify);
    case PSN_RESET:
        Reset(*notify);
        return 0;
    case PSN_HELP:
        Help(*notify);
        return 0;
    case PSN_QUERYCANCEL:
        return QueryCancel(*notify) ? 1 : 0;
    default:
        return DefaultProcessing();
    }
}
