#include "plintvlr/shell/error_call.h"

#include "plintvlr/shell/base/app.h"

errorcall::~errorcall() = default;

int errorcall::MessageBox(HWND owner, const char* text, const char* caption, UINT flags)
{
    if (!quiet_)
        return TApp::MessageBox(nullptr, owner, text, caption, flags);
    lastText_ = std::make_unique<std::string>(text ? text : "");
    return flags == MB_YESNOCANCEL ? IDNO : IDOK;
}

void errorcall::SetQuiet(bool quiet)
{
    quiet_ = quiet;
    lastText_.reset();
}
