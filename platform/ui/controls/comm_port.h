#pragma once
// TCommPort: a PC serial port as a dialog control (it shows nothing). Its
// properties are those of a communications control: the port number
// ("Com 1" is 1; serial_device.h maps numbers to devices), whether the port
// is open, the input length (bytes one Input takes; 0 = all), the count of
// received bytes waiting (setting it to 0 discards them), the receive
// threshold, Output and Input. The line runs raw at a fixed 19200 baud,
// 8 data bits, no parity, 1 stop bit, and the device is held exclusively.
//
// The receive event: whenever bytes arrive and at least the receive
// threshold of them wait (a threshold of 0 raises none), the parent hears
// WM_COMMAND with the control's id and CN_COMMEVENT, on the GUI thread,
// with GetCommEvent() telling comEvReceive. Setting the threshold while that
// many bytes already wait raises the event too (posted), so bytes that came
// before a step lowered its threshold are never left unannounced.

#include "platform/base/serial_device.h"
#include "platform/ui/control.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QSocketNotifier;

constexpr UINT CN_COMMEVENT = 1;
constexpr short comEvReceive = 2;

class TCommPort : public TControl {
public:
    static constexpr int kBaud = 19200;
    // The class name that dialog templates give the control.
    static constexpr const char* kClassName = "{648A5600-2C6E-101B-82B6-000000000014}";

    // The control of the parent dialog's template with this id.
    TCommPort(TWindow* parent, int resourceId);
    ~TCommPort() override;

    void SetCommPort(short port);
    short GetCommPort() const { return port_; }
    // Opens or closes the port. False when it cannot be opened; GetErrorText
    // then names the port, its device and the system's reason.
    bool SetPortOpen(bool open);
    bool GetPortOpen() const { return device_.IsOpen(); }
    const std::string& GetErrorText() const { return error_; }

    void SetInputLen(short length) { inputLen_ = length < 0 ? 0 : length; }
    short GetInputLen() const { return inputLen_; }
    // Bytes received and waiting; setting 0 discards them.
    short GetInBufferCount();
    void SetInBufferCount(short count);
    void SetRThreshold(short threshold);
    short GetRThreshold() const { return threshold_; }

    // Sends the bytes; false when the port is closed or the write fails.
    bool SetOutput(const std::vector<std::uint8_t>& bytes);
    bool SetOutput(std::string_view text);
    // Takes the input length's worth of the waiting bytes (all with 0).
    std::vector<std::uint8_t> GetInput();
    short GetCommEvent() const { return event_; }

protected:
    void WidgetCreated() override;
    void CleanupWindow() override;

private:
    // Moves what the device holds into the input buffer.
    void Drain();
    void OnReadable();
    void RaiseIfDue();
    void Watch(bool on);

    TSerialDevice device_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<std::uint8_t> input_;
    std::string error_;
    short port_ = 1;
    short inputLen_ = 0;
    short threshold_ = 0;
    short event_ = 0;
};

// Registers the control's class for dialog templates.
void RegisterCommPortClass();
