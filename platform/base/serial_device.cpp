#include "platform/base/serial_device.h"

#include "platform/base/profile.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

speed_t SpeedOf(int baud)
{
    switch (baud) {
    case 110: return B110;
    case 150: return B150;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
    }
}

std::string Reason(const std::string& device, int error)
{
    return device + ": " + std::strerror(error);
}

}  // namespace

std::string CommPortDevice(int port)
{
    if (port < 1)
        return {};
    char device[1024] = {};
    const std::string key = "COM" + std::to_string(port);
    GetPrivateProfileString("Ports", key.c_str(), "", device, sizeof device, "SERIAL.INI");
    if (device[0])
        return device;
    if (port <= 4)
        return "/dev/ttyS" + std::to_string(port - 1);
    return {};
}

bool TSerialDevice::Open(const std::string& device, int baud, std::string* error)
{
    Close();
    auto fail = [&](int reason) {
        if (error)
            *error = Reason(device, reason);
        Close();
        return false;
    };
    const speed_t speed = SpeedOf(baud);
    if (speed == B0)
        return fail(EINVAL);
    fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        return fail(errno);
    // Exclusive: no second program (or second open here) shares the line.
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0)
        return fail(errno == EWOULDBLOCK ? EBUSY : errno);
    if (::isatty(fd_) && ::ioctl(fd_, TIOCEXCL) != 0)
        return fail(errno);
    termios t{};
    if (::tcgetattr(fd_, &t) != 0)
        return fail(errno);
    ::cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    if (::tcsetattr(fd_, TCSANOW, &t) != 0)
        return fail(errno);
    ::tcflush(fd_, TCIOFLUSH);
    return true;
}

void TSerialDevice::Close()
{
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
}

long TSerialDevice::Read(std::uint8_t* buffer, std::size_t size)
{
    if (fd_ < 0)
        return -1;
    const ssize_t n = ::read(fd_, buffer, size);
    if (n < 0)
        return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    return static_cast<long>(n);
}

bool TSerialDevice::Write(const std::uint8_t* data, std::size_t size)
{
    if (fd_ < 0)
        return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, 1000) < 0 && errno != EINTR)
            return false;
    }
    return true;
}

void TSerialDevice::FlushInput()
{
    if (fd_ >= 0)
        ::tcflush(fd_, TCIFLUSH);
}
