#pragma once
// Message boxes. Every message box of every program goes through
// ShowMessageBox, which hands it to the installed backend: the user-interface
// layer installs one that shows a real modal box; tests install a script.
// With neither (a program run without a screen, a tool, a test that did not
// expect a message) the box is answered at once with its default button and
// written to the standard error stream, so nothing ever waits for a person
// who is not there.

#include "platform/base/win_types.h"

#include <deque>
#include <string>
#include <vector>

// One message box as asked for.
struct PromptRequest {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT flags = MB_OK;

    UINT Buttons() const { return flags & MB_TYPEMASK; }
    UINT Icon() const { return flags & MB_ICONMASK; }
};

// The answers a box of these flags offers, in the order shown (IDOK, IDCANCEL,
// IDYES...). A button set the layer does not know counts as MB_OK.
std::vector<int> PromptButtons(UINT flags);
// The answer of the default button (MB_DEFBUTTON1..3); a default beyond the
// buttons there are falls back to the first, as the system does.
int PromptDefaultAnswer(UINT flags);

class PromptBackend {
public:
    virtual ~PromptBackend() = default;
    // Shows the box and returns the answer (one of PromptButtons(flags)).
    virtual int Show(const PromptRequest& request) = 0;
    // The sound of an alert of the given kind (MB_OK, MB_ICONHAND...).
    virtual void Beep(UINT type) { (void)type; }
};

// Installs a backend (null: none) and returns the one it replaces. The
// backend is not owned.
PromptBackend* SetPromptBackend(PromptBackend* backend);
PromptBackend* GetPromptBackend();

// Shows a message box; null text or caption count as empty. Returns the
// answer: IDOK, IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY or IDIGNORE.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT flags);

// The alert sound; nothing without a backend.
BOOL MessageBeep(UINT type);

// For tests: installs itself for its lifetime, answers boxes from a queue,
// and records every box shown and every beep. When the queue is empty a box
// gets its default button. The previous backend is back after destruction.
class ScriptedPrompts : public PromptBackend {
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    // Queues the answer to the next box that is not yet answered.
    ScriptedPrompts& Answer(int answer);

    const std::vector<PromptRequest>& Shown() const { return shown_; }
    const std::vector<UINT>& Beeps() const { return beeps_; }
    // Answers queued but not yet used.
    std::size_t Pending() const { return answers_.size(); }

    int Show(const PromptRequest& request) override;
    void Beep(UINT type) override;

private:
    PromptBackend* previous_;
    std::deque<int> answers_;
    std::vector<PromptRequest> shown_;
    std::vector<UINT> beeps_;
};
