// The message box as the program's prompt service: every ShowMessageBox and
// MessageBeep of the base layer then shows this dialog or plays this sound.

#include "platform/base/prompt.h"
#include "platform/ui/message_box.h"

namespace {

class TMessageBoxPrompts : public PromptBackend {
public:
    int Show(const PromptRequest& request) override
    {
        return MessageBoxDialog(request.owner, request.text.c_str(), request.caption.c_str(), request.flags);
    }
    void Beep(UINT type) override { PlayAlertSound(type); }
};

}  // namespace

void InstallMessageBoxPrompts()
{
    static TMessageBoxPrompts backend;
    SetPromptBackend(&backend);
}
