#include "platform/ui/single_instance.h"

#include "platform/ui/application.h"
#include "platform/ui/foreign_window.h"
#include "platform/ui/window.h"
#include "platform/ui/window_registry.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

// How programs find each other. Each single-instance program listens on a
// local socket named after the program and on one named after its main
// window's caption, per user (and desktop session). A request is one line
// ("PING", "CAPTION" or "ACTIVATE"), the answer one line. A socket left behind
// by a program that ended is taken over by the next program of that name.

namespace {

// How long a program waits for another to answer.
constexpr int kAnswerMs = 2000;

std::string Sanitized(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' ? c : '_';
    return out;
}

std::string SessionPrefix()
{
    std::string prefix = "plv-" + std::to_string(::getuid());
    if (const char* session = std::getenv("PLV_DESKTOP_SESSION"); session && *session)
        prefix += "-" + Sanitized(session);
    return prefix;
}

// Captions may hold anything: the socket is named after a hash of it, and the
// caption itself is checked with the program that answers.
std::string CaptionKey(const std::string& caption)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : caption) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    static const char digits[] = "0123456789abcdef";
    std::string key;
    for (int shift = 60; shift >= 0; shift -= 4)
        key += digits[(hash >> shift) & 0xF];
    return key;
}

QString ProgramServerName(const std::string& program)
{
    return QString::fromStdString(SessionPrefix() + "-program-" + Sanitized(program));
}

QString WindowServerName(const std::string& caption)
{
    return QString::fromStdString(SessionPrefix() + "-window-" + CaptionKey(caption));
}

// One request to another program; nothing when no program answers.
std::optional<std::string> Ask(const QString& server, const char* request)
{
    QLocalSocket socket;
    socket.connectToServer(server);
    if (!socket.waitForConnected(kAnswerMs))
        return std::nullopt;
    socket.write(request);
    socket.write("\n");
    if (!socket.waitForBytesWritten(kAnswerMs))
        return std::nullopt;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kAnswerMs))
            return std::nullopt;
    }
    QByteArray line = socket.readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    return line.toStdString();
}

struct TForeignWindow {
    std::unique_ptr<TWindowHandle> handle;
    std::string caption;
};

// Handles of other programs' windows stay valid as handles for the life of
// the process; whether the window is still there is asked each time.
std::vector<TForeignWindow>& ForeignWindows()
{
    static std::vector<TForeignWindow> windows;
    return windows;
}

const TForeignWindow* FindForeign(HWND hwnd)
{
    for (const TForeignWindow& f : ForeignWindows()) {
        if (f.handle.get() == hwnd)
            return &f;
    }
    return nullptr;
}

}  // namespace

class TSingleInstance::Server : public QObject {
public:
    explicit Server(TSingleInstance& owner) : owner_(owner)
    {
        QObject::connect(&server_, &QLocalServer::newConnection, this, [this] { Accept(); });
    }

    // Listens under `name`, taking over a name a program that ended left
    // behind. False when a running program holds the name.
    bool Listen(const QString& name)
    {
        if (server_.listen(name))
            return true;
        if (server_.serverError() != QAbstractSocket::AddressInUseError || Ask(name, "PING"))
            return false;
        QLocalServer::removeServer(name);
        return server_.listen(name);
    }

private:
    void Accept()
    {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Answer(*socket); });
            if (socket->canReadLine())
                Answer(*socket);
        }
    }

    void Answer(QLocalSocket& socket)
    {
        while (socket.canReadLine()) {
            const QByteArray request = socket.readLine().trimmed();
            std::string reply = "OK";
            if (request == "CAPTION")
                reply = owner_.caption_;
            else if (request == "ACTIVATE")
                owner_.BringToFront();
            else if (request != "PING")
                reply = "?";
            socket.write(reply.c_str());
            socket.write("\n");
            socket.flush();
        }
    }

    TSingleInstance& owner_;
    QLocalServer server_;
};

TSingleInstance::TSingleInstance(const char* caption, const char* programName) : caption_(caption ? caption : "")
{
    const std::string program = programName ? std::string(programName)
                                            : ProgramInstanceName(QCoreApplication::applicationFilePath().toStdString());
    programServer_ = std::make_unique<Server>(*this);
    first_ = programServer_->Listen(ProgramServerName(program));
    if (!first_) {
        programServer_.reset();
        Ask(ProgramServerName(program), "ACTIVATE");
        return;
    }
    windowServer_ = std::make_unique<Server>(*this);
    if (!windowServer_->Listen(WindowServerName(caption_)))
        windowServer_.reset();  // another program shows a window of that caption
}

TSingleInstance::~TSingleInstance() = default;

void TSingleInstance::BringToFront()
{
    TWindow* window = window_ && window_->IsWindow() ? window_ : nullptr;
    if (!window && TApplication::Current()) {
        TWindow* main = TApplication::Current()->GetMainWindow();
        window = main && main->IsWindow() ? main : nullptr;
    }
    if (!window) {
        for (HWND h : LiveHandles()) {
            TWindow* w = GetWindowPtr(h);
            if (w && !(w->GetStyle() & WS_CHILD) && w->IsWindowVisible()) {
                window = w;
                break;
            }
        }
    }
    if (window) {
        QWidget* top = window->GetWidget()->window();
        if (top->isMinimized())
            top->showNormal();
        top->show();
        top->raise();
        top->activateWindow();
    }
    // A dialog the program is waiting on comes first.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
    if (onActivated_)
        onActivated_();
}

bool IsProgramRunning(const std::string& programName)
{
    return Ask(ProgramServerName(programName), "PING").has_value();
}

std::string ProgramInstanceName(const std::string& programFile)
{
    std::string name = programFile.substr(programFile.find_last_of("/\\") + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.resize(dot);
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

HWND FindForeignWindow(const char* caption)
{
    if (!caption)
        return nullptr;
    const std::optional<std::string> answer = Ask(WindowServerName(caption), "CAPTION");
    if (!answer || *answer != caption)
        return nullptr;
    for (const TForeignWindow& f : ForeignWindows()) {
        if (f.caption == caption)
            return f.handle.get();
    }
    ForeignWindows().push_back({std::make_unique<TWindowHandle>(), caption});
    return ForeignWindows().back().handle.get();
}

bool IsForeignWindow(HWND hwnd)
{
    return FindForeign(hwnd) != nullptr;
}

bool ActivateForeignWindow(HWND hwnd)
{
    const TForeignWindow* f = FindForeign(hwnd);
    return f && Ask(WindowServerName(f->caption), "ACTIVATE") == std::optional<std::string>("OK");
}

std::string ForeignWindowCaption(HWND hwnd)
{
    const TForeignWindow* f = FindForeign(hwnd);
    return f ? f->caption : std::string();
}
