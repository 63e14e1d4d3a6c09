#include "platform/base/prompt.h"

#include <cstdio>

namespace {

PromptBackend* g_backend = nullptr;

}  // namespace

std::vector<int> PromptButtons(UINT flags)
{
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

int PromptDefaultAnswer(UINT flags)
{
    std::vector<int> buttons = PromptButtons(flags);
    std::size_t index = (flags & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

PromptBackend* SetPromptBackend(PromptBackend* backend)
{
    PromptBackend* previous = g_backend;
    g_backend = backend;
    return previous;
}

PromptBackend* GetPromptBackend()
{
    return g_backend;
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT flags)
{
    PromptRequest request{owner, text ? text : "", caption ? caption : "", flags};
    if (g_backend)
        return g_backend->Show(request);
    int answer = PromptDefaultAnswer(flags);
    std::fprintf(stderr, "[message] %s: %s (answered %d)\n", request.caption.c_str(), request.text.c_str(), answer);
    return answer;
}

BOOL MessageBeep(UINT type)
{
    if (g_backend)
        g_backend->Beep(type);
    return true;
}

ScriptedPrompts::ScriptedPrompts()
    : previous_(SetPromptBackend(this))
{
}

ScriptedPrompts::~ScriptedPrompts()
{
    SetPromptBackend(previous_);
}

ScriptedPrompts& ScriptedPrompts::Answer(int answer)
{
    answers_.push_back(answer);
    return *this;
}

int ScriptedPrompts::Show(const PromptRequest& request)
{
    shown_.push_back(request);
    if (answers_.empty())
        return PromptDefaultAnswer(request.flags);
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedPrompts::Beep(UINT type)
{
    beeps_.push_back(type);
}
