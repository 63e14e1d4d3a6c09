#include "platform/ui/controls/comm_port.h"

#include "platform/ui/window_api.h"
#include "platform/ui/window_class.h"

#include <QSocketNotifier>
#include <QWidget>

#include <algorithm>

TCommPort::TCommPort(TWindow* parent, int resourceId) : TControl(parent, resourceId)
{
    Attr.Style &= ~static_cast<DWORD>(WS_VISIBLE | WS_TABSTOP);
}

TCommPort::~TCommPort()
{
    SetPortOpen(false);
}

void TCommPort::WidgetCreated()
{
    // The control shows nothing and takes no focus.
    Attr.Style &= ~static_cast<DWORD>(WS_VISIBLE | WS_TABSTOP);
}

void TCommPort::CleanupWindow()
{
    SetPortOpen(false);
    TControl::CleanupWindow();
}

void TCommPort::SetCommPort(short port)
{
    port_ = port;
}

bool TCommPort::SetPortOpen(bool open)
{
    if (!open) {
        Watch(false);
        device_.Close();
        input_.clear();
        return true;
    }
    if (device_.IsOpen())
        return true;
    error_.clear();
    const std::string device = CommPortDevice(port_);
    const std::string name = "Com " + std::to_string(port_);
    if (device.empty()) {
        error_ = name + ": no device is set for this port";
        return false;
    }
    std::string reason;
    if (!device_.Open(device, kBaud, &reason)) {
        error_ = name + " (" + reason + ")";
        return false;
    }
    input_.clear();
    Watch(true);
    return true;
}

void TCommPort::Watch(bool on)
{
    notifier_.reset();
    if (!on || !device_.IsOpen())
        return;
    notifier_ = std::make_unique<QSocketNotifier>(device_.Descriptor(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { OnReadable(); });
}

void TCommPort::Drain()
{
    std::uint8_t buffer[1024];
    for (;;) {
        const long n = device_.Read(buffer, sizeof buffer);
        if (n <= 0) {
            // A line that went away (an unplugged adapter) stops being watched
            // instead of waking the loop for ever.
            if (n < 0)
                Watch(false);
            return;
        }
        input_.insert(input_.end(), buffer, buffer + n);
    }
}

void TCommPort::OnReadable()
{
    const std::size_t before = input_.size();
    Drain();
    if (input_.size() != before)
        RaiseIfDue();
}

void TCommPort::RaiseIfDue()
{
    if (threshold_ > 0 && input_.size() >= static_cast<std::size_t>(threshold_)) {
        event_ = comEvReceive;
        NotifyParent(CN_COMMEVENT);
    }
}

short TCommPort::GetInBufferCount()
{
    Drain();
    return static_cast<short>(std::min<std::size_t>(input_.size(), 0x7FFF));
}

void TCommPort::SetInBufferCount(short count)
{
    if (count != 0)
        return;
    Drain();
    device_.FlushInput();
    input_.clear();
}

void TCommPort::SetRThreshold(short threshold)
{
    threshold_ = threshold < 0 ? 0 : threshold;
    Drain();
    if (threshold_ > 0 && input_.size() >= static_cast<std::size_t>(threshold_) && GetParentO() && GetHandle()) {
        // Told after the step that set the threshold has finished.
        event_ = comEvReceive;
        ::PostMessage(GetParent(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetId()), CN_COMMEVENT),
                      HandleToLParam(GetHandle()));
    }
}

bool TCommPort::SetOutput(const std::vector<std::uint8_t>& bytes)
{
    return device_.Write(bytes.data(), bytes.size());
}

bool TCommPort::SetOutput(std::string_view text)
{
    return device_.Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::vector<std::uint8_t> TCommPort::GetInput()
{
    Drain();
    const std::size_t n = inputLen_ > 0 ? std::min<std::size_t>(inputLen_, input_.size()) : input_.size();
    std::vector<std::uint8_t> taken(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(n));
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(n));
    return taken;
}

void RegisterCommPortClass()
{
    RegisterWindowClass(TCommPort::kClassName, [](TWindow* parent, int id) -> TWindow* {
        return new TCommPort(parent, id);
    });
}
