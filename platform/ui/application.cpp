#include "platform/ui/application.h"

#include "platform/base/prompt.h"
#include "platform/ui/backing_image.h"
#include "platform/ui/desktop_clipboard.h"
#include "platform/ui/font_map.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/message_box.h"
#include "platform/ui/paint_bridge.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_registry.h"
#include "platform/gdi/window_dc.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QStyleFactory>
#include <QWidget>

namespace {

TApplication* g_application = nullptr;

// Arguments for a QApplication the application object makes itself.
int g_argc = 1;
char g_arg0[] = "plv";
char* g_argv[] = {g_arg0, nullptr};

}  // namespace

void InitPlatformUi()
{
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QApplication::setFont(PlatformFont("MS Sans Serif", 8));
    // Windows that are closed are destroyed by their owners, not by Qt.
    QApplication::setQuitOnLastWindowClosed(false);
    // The program's questions and notices show in the message box dialog;
    // a program run by a script (PLV_HEADLESS_PROMPTS set) has no one to
    // answer them, so the prompt service answers each with its default button
    // and writes it to the error stream.
    if (qEnvironmentVariableIsEmpty("PLV_HEADLESS_PROMPTS"))
        InstallMessageBoxPrompts();
    else
        SetPromptBackend(nullptr);
    // Windows paint through the graphics layer's device contexts.
    SetDCBridge(&PaintWithPainter);
    // Client contexts draw into the backing images of windows that keep one.
    InstallClientAreaAccess();
    // Copy and paste go through the desktop's clipboard.
    InstallDesktopClipboard();
    // Top-level windows hear when the program becomes active or stops being so.
    static bool activationInstalled = false;
    if (!activationInstalled) {
        activationInstalled = true;
        QObject::connect(qApp, &QGuiApplication::applicationStateChanged, qApp,
                         [](Qt::ApplicationState state) { SetProgramActive(state == Qt::ApplicationActive); });
    }
}

void SetProgramActive(bool active)
{
    static bool wasActive = true;
    if (active == wasActive)
        return;
    wasActive = active;
    for (HWND hwnd : LiveHandles()) {
        if (!IsRegisteredHandle(hwnd))
            continue;
        if (QWidget* widget = hwnd->widget; widget && widget->isWindow())
            SendMessage(hwnd, WM_ACTIVATEAPP, active, 0);
    }
}

TApplication::TApplication(const char* name) : name_(name ? name : "")
{
    if (!QApplication::instance()) {
        ownQt_ = std::make_unique<QApplication>(g_argc, g_argv);
        InitPlatformUi();
    }
    g_application = this;
}

TApplication::~TApplication()
{
    delete mainWindow_;
    mainWindow_ = nullptr;
    if (g_application == this)
        g_application = nullptr;
}

TApplication* TApplication::Current()
{
    return g_application;
}

void TApplication::SetMainWindow(TWindow* window)
{
    if (window == mainWindow_)
        return;
    TWindow* previous = mainWindow_;
    mainWindow_ = window;
    delete previous;
}

void TApplication::InitMainWindow()
{
    SetMainWindow(new TFrameWindow(nullptr, name_.c_str()));
}

void TApplication::InitInstance()
{
    InitMainWindow();
    if (mainWindow_ && mainWindow_->Create())
        mainWindow_->ShowWindow(nCmdShow);
}

int TApplication::Run()
{
    InitApplication();
    InitInstance();
    if (!mainWindow_ || !mainWindow_->IsWindow())
        return TermInstance(1);
    return TermInstance(MessageLoop());
}

int TApplication::MessageLoop()
{
    long idleCount = 0;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    QMetaObject::Connection idle;
    if (dispatcher) {
        idle = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                                [this, &idleCount] { IdleAction(idleCount++); });
    }
    const int status = QApplication::exec();
    QObject::disconnect(idle);
    return status;
}

bool TApplication::IdleAction(long idleCount)
{
    return mainWindow_ && mainWindow_->IsWindow() && mainWindow_->IdleAction(idleCount);
}
