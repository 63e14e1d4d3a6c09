// The message box as the program's prompt service: every ShowMessageBox of
// the base layer then shows this dialog.

#include "platform/ui/message_box.h"

#if __has_include("platform/base/prompt.h")
#include "platform/base/prompt.h"

namespace {

class TMessageBoxPrompts : public PromptBackend {
public:
    int Show(const PromptRequest& request) override
    {
        return MessageBoxDialog(request.owner, request.text, request.caption, request.flags);
    }
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
