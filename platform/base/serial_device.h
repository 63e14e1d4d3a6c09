#pragma once
// A serial line of this system: a terminal device opened exclusively and
// set to raw binary input and output at a fixed speed and frame. The
// programs number their ports "Com 1".."Com 4"; a setting maps each number
// to a device: the profile file "SERIAL.INI", section "Ports", keys "COM1",
// "COM2"... (for instance "COM1=/dev/ttyUSB0" for a USB adapter). Ports 1 to
// 4 that the file does not map are /dev/ttyS0 to /dev/ttyS3.

#include <cstddef>
#include <cstdint>
#include <string>

// The device of a port number; empty when the number stands for none.
std::string CommPortDevice(int port);

class TSerialDevice {
public:
    TSerialDevice() = default;
    ~TSerialDevice() { Close(); }
    TSerialDevice(const TSerialDevice&) = delete;
    TSerialDevice& operator=(const TSerialDevice&) = delete;

    // Opens the device exclusively at `baud` (one of the standard rates),
    // 8 data bits, no parity, 1 stop bit, raw and non-blocking. On failure
    // `error` gets the device and the system's reason.
    bool Open(const std::string& device, int baud, std::string* error = nullptr);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    // The file descriptor, for a watcher of incoming bytes (-1 when closed).
    int Descriptor() const { return fd_; }

    // The bytes read without waiting (0 when none wait); -1 on an error.
    long Read(std::uint8_t* buffer, std::size_t size);
    // Writes all bytes (waiting while the line's buffer is full); false on an error.
    bool Write(const std::uint8_t* data, std::size_t size);
    // Discards what was received and not yet read.
    void FlushInput();

private:
    int fd_ = -1;
};
