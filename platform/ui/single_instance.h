#pragma once
// Programs of which one instance runs per user, and the top-level windows
// programs find across processes by caption.
//
// A single-instance program makes a TSingleInstance at start. The first
// instance holds the program's name for the user and publishes its main
// window's caption; a later start finds it, asks it to come to the front and
// answers IsFirst() false, so the program ends. Meanwhile FindWindow finds
// that window from any program of the same user by its caption, and
// SetFocus, SetForegroundWindow, BringWindowToTop or ShowWindow on the
// handle bring it to the front (its last active dialog, when one is open);
// other calls treat the handle as a window of another program, which they
// cannot reach. WinExec answers 16 for a program whose instance runs.
//
// Programs see each other within one desktop session: the environment
// variable PLV_DESKTOP_SESSION, when set, keeps a session apart (tests use it).

#include "platform/base/win_types.h"

#include <functional>
#include <memory>
#include <string>

class TWindow;

class TSingleInstance {
public:
    // `caption` is the main window's caption; `programName` names the program
    // as WinExec knows it (by default this program's file name without its
    // extension, in capitals: "QSTRANS").
    explicit TSingleInstance(const char* caption, const char* programName = nullptr);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // False when another instance runs; it has been asked to come to the front.
    bool IsFirst() const { return first_; }
    // The window brought to the front when asked (default: the application's
    // main window, else the first top-level window shown).
    void SetWindow(TWindow* window) { window_ = window; }
    // Runs after the window came to the front at another program's request
    // (for the program's log and for tests).
    void OnActivated(std::function<void()> handler) { onActivated_ = std::move(handler); }

private:
    class Server;

    void BringToFront();

    std::string caption_;
    bool first_ = false;
    TWindow* window_ = nullptr;
    std::function<void()> onActivated_;
    std::unique_ptr<Server> programServer_;
    std::unique_ptr<Server> windowServer_;
};

// Whether the single-instance program of this name runs for this user.
bool IsProgramRunning(const std::string& programName);
// The name WinExec and TSingleInstance know a program file by: its file name
// without folder and extension, in capitals.
std::string ProgramInstanceName(const std::string& programFile);
