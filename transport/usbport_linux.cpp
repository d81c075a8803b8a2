// The Linux side of UsbPort: the kernel's USB printer-class driver (usblp). Devices are
// found in sysfs (class/usbmisc/lp*, whose USB device carries idVendor and idProduct),
// opened at their device node, read with poll() and woken through an eventfd.
//
// A usblp node is not a pipe: a read of 0 bytes is a zero-length packet, EIO a transfer that
// failed on a device still there, and only ENODEV (EPIPE, ESHUTDOWN) means unplugged. A
// non-blocking write returns as soon as its transfer is queued, and POLLOUT comes when that
// transfer has ended; a close drops one still under way. A printer played on a
// pseudo-terminal keeps the terminal's meanings instead, where an end of file, EIO or a
// hang-up is the other end gone: a tty is told by isatty(), which a usblp node never is.
#ifdef __linux__

#include "transport/usbport.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>

namespace {

// How long close() lets the last transfer end before the driver drops it.
constexpr int DrainMs = 2000;

std::mutex s_rootMutex;
std::string s_sysfsRoot = "/sys";

std::string firstLine(const std::string &file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

// The device node udev made for a class device: /dev/ plus the DEVNAME of its uevent.
std::string deviceNode(const std::string &classDir, const std::string &name)
{
    std::ifstream in(classDir + "/uevent");
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 8, "DEVNAME=") == 0 && line.size() > 8)
            return "/dev/" + line.substr(8);
    }
    return "/dev/usb/" + name;
}

// Digits of "lp12" as a number, so that lp10 sorts after lp9.
long number(const std::string &name)
{
    return std::strtol(name.c_str() + 2, nullptr, 10);
}

} // namespace

struct UsbPort::Handles
{
    int fd = -1;
    int wakeFd = -1;
    bool tty = false;
};

void UsbPort::setSysfsRoot(const std::string &root)
{
    std::lock_guard<std::mutex> lock(s_rootMutex);
    s_sysfsRoot = root;
}

std::string UsbPort::sysfsRoot()
{
    std::lock_guard<std::mutex> lock(s_rootMutex);
    return s_sysfsRoot;
}

bool UsbPort::enumerate(std::vector<Device> *devices, std::string *error)
{
    devices->clear();
    const std::string classRoot = sysfsRoot() + "/class/usbmisc";
    DIR *dir = opendir(classRoot.c_str());
    if (!dir) {
        // No printer-class driver loaded (or no USB at all): no printer, not a failure.
        if (errno == ENOENT)
            return true;
        *error = "cannot read " + classRoot + ": " + std::strerror(errno);
        return false;
    }
    std::vector<std::string> names;
    while (const dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > 2 && name.compare(0, 2, "lp") == 0)
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(),
              [](const std::string &a, const std::string &b) { return number(a) < number(b); });

    for (const std::string &name : names) {
        const std::string classDir = classRoot + "/" + name;
        // device is the USB interface; its parent is the USB device with the identifiers.
        const std::string vendor = firstLine(classDir + "/device/../idVendor");
        const std::string product = firstLine(classDir + "/device/../idProduct");
        std::string ids = "usb#vid_" + vendor + "&pid_" + product;
        std::transform(ids.begin(), ids.end(), ids.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        devices->push_back({deviceNode(classDir, name), ids});
    }
    return true;
}

UsbPort::UsbPort()
    : m_handles(new Handles)
{
}

UsbPort::~UsbPort()
{
    close();
    delete m_handles;
}

bool UsbPort::open(const std::string &path, unsigned long *error)
{
    if (isOpen()) {
        *error = EBUSY;
        return false;
    }
    if (path.size() > MaxPathLength) {
        *error = ENAMETOOLONG;
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = unsigned(errno);
        return false;
    }
    // A printer played on a pseudo-terminal must pass bytes as they are.
    const bool tty = isatty(fd);
    termios tio;
    if (tty && tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
    }
    const int wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd < 0) {
        *error = unsigned(errno);
        ::close(fd);
        return false;
    }
    m_handles->fd = fd;
    m_handles->wakeFd = wakeFd;
    m_handles->tty = tty;
    return true;
}

bool UsbPort::isOpen() const
{
    return m_handles->fd >= 0;
}

void UsbPort::close()
{
    if (m_handles->fd >= 0 && !m_handles->tty) {
        // Until POLLOUT the driver still holds the tail of the last write (or the device is
        // stalled, hence the limit); an unplugged one reports a hang-up at once.
        pollfd fd = {m_handles->fd, POLLOUT, 0};
        poll(&fd, 1, DrainMs);
    }
    if (m_handles->fd >= 0)
        ::close(m_handles->fd);
    if (m_handles->wakeFd >= 0)
        ::close(m_handles->wakeFd);
    m_handles->fd = -1;
    m_handles->wakeFd = -1;
}

UsbPort::ReadResult UsbPort::read(void *buffer, std::size_t size, ReadStatus *status)
{
    *status = ReadStatus();
    if (!isOpen()) {
        status->error = EBADF;
        return ReadResult::Failed;
    }
    for (;;) {
        pollfd fds[2] = {{m_handles->fd, POLLIN, 0}, {m_handles->wakeFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            status->error = unsigned(errno);
            status->waitResult = ~0ul;
            return ReadResult::WaitFailed;
        }
        if (fds[1].revents & POLLIN) {
            uint64_t count;
            while (::read(m_handles->wakeFd, &count, sizeof count) > 0) {
            }
            return ReadResult::Woken;
        }
        if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)))
            continue;
        const bool hungUp = fds[0].revents & (POLLHUP | POLLERR | POLLNVAL);
        const ssize_t n = ::read(m_handles->fd, buffer, size);
        if (n > 0) {
            status->received = std::size_t(n);
            return ReadResult::Data;
        }
        const int error = n < 0 ? errno : 0;
        if (error == EAGAIN || error == EINTR) {
            if (!hungUp)
                continue;
        } else if (m_handles->tty) {
            status->error = n == 0 ? unsigned(ENODEV) : unsigned(error);
            return ReadResult::Failed;
        } else if (n == 0 && !hungUp) {
            continue; // a zero-length packet
        } else if (error == EIO && !hungUp) {
            status->error = EIO;
            return ReadResult::TransferFailed;
        }
        // Unplugged (ENODEV, EPIPE, ESHUTDOWN), or a node that reports a hang-up and has
        // nothing to read, which polling again would only spin on.
        status->error = error != 0 && error != EAGAIN && error != EINTR ? unsigned(error) : unsigned(ENODEV);
        return ReadResult::Failed;
    }
}

void UsbPort::wake()
{
    if (m_handles->wakeFd < 0)
        return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_handles->wakeFd, &one, sizeof one);
}

void UsbPort::pause(int milliseconds)
{
    if (m_handles->wakeFd < 0)
        return;
    // Not read here: the wake-up stays for read().
    pollfd fd = {m_handles->wakeFd, POLLIN, 0};
    poll(&fd, 1, milliseconds);
}

UsbPort::WriteResult UsbPort::write(const void *data, std::size_t size, int milliseconds,
                                    std::size_t *written, unsigned long *error)
{
    using Clock = std::chrono::steady_clock;
    *written = 0;
    if (!isOpen()) {
        *error = EBADF;
        return WriteResult::Failed;
    }
    // On a usblp node a write that returns has only queued its transfer (at most a buffer
    // of the driver's); the next write gets EAGAIN until POLLOUT says it ended. A terminal's
    // POLLOUT only means room in its buffer: there what is written counts as sent.
    const bool transfers = !m_handles->tty;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(0, milliseconds));
    const auto *bytes = static_cast<const char *>(data);
    std::size_t queued = 0;
    for (;;) {
        if (queued < size) {
            const ssize_t n = ::write(m_handles->fd, bytes + queued, size - queued);
            if (n > 0) {
                queued += std::size_t(n);
                if (!transfers)
                    *written = queued;
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                *error = unsigned(errno);
                return WriteResult::Failed;
            }
        } else if (!transfers) {
            return WriteResult::Done;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd fd = {m_handles->fd, POLLOUT, 0};
        const int ready = poll(&fd, 1, int(std::max<long long>(0, left.count())));
        if (ready < 0 && errno != EINTR) {
            *error = unsigned(errno);
            return WriteResult::Failed;
        }
        if (fd.revents & (POLLERR | POLLHUP | POLLNVAL)) {
            *error = transfers ? unsigned(ENODEV) : unsigned(EIO);
            return WriteResult::Failed;
        }
        if (transfers && (fd.revents & POLLOUT)) {
            *written = queued;
            if (queued == size)
                return WriteResult::Done;
        } else if (ready == 0 && left.count() <= 0) {
            return WriteResult::TimedOut;
        }
    }
}

#endif
