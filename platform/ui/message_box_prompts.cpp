// The message box as the program's prompt service: every ShowMessageBox of
// the base layer then shows this dialog.

#include "platform/ui/message_box.h"

#if __has_include("platform/base/prompt.h")
#include "platform/base/prompt.h"

#include <string>
#include <string_view>

namespace {

[[maybe_unused]] std::string Text(const char* text)
{
    return text ? text : "";
}

[[maybe_unused]] std::string Text(std::string_view text)
{
    return std::string(text);
}

class TMessageBoxPrompts : public PromptBackend {
public:
    int Show(const PromptRequest& request) override
    {
        return MessageBoxDialog(request.owner, Text(request.text).c_str(), Text(request.caption).c_str(),
                                request.flags);
    }
    void Beep(UINT type) override { PlayMessageBeep(type); }
};

}  // namespace

void InstallMessageBoxPrompts()
{
    static TMessageBoxPrompts backend;
    SetPromptBackend(&backend);
}

#else

void InstallMessageBoxPrompts()
{
}

#endif
