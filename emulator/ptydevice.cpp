#include "emulator/ptydevice.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int WatchIntervalMs = 20;
constexpr int WriteWaitMs = 1000;
} // namespace

PtyDevice::PtyDevice(QObject *parent)
    : QIODevice(parent)
{
    m_watch.setInterval(WatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, &PtyDevice::checkSlave);
}

PtyDevice::~PtyDevice()
{
    close();
}

bool PtyDevice::openPty()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        setErrorString(QString::fromLocal8Bit(std::strerror(errno)));
        if (master >= 0)
            ::close(master);
        return false;
    }
    // Raw both ways: no echo, no line editing, no CR/LF translation of packet bytes.
    termios tio;
    if (tcgetattr(master, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(master, TCSANOW, &tio);
    }
    m_master = master;
    m_slaveName = QString::fromLocal8Bit(ptsname(master));
    // A slave end never opened does not read as hung up; opened and closed once, it does
    // until the tool opens it.
    const int slave = ::open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave >= 0)
        ::close(slave);
    QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    m_notifier->setEnabled(false);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        checkSlave();
        if (m_slaveOpen)
            emit readyRead();
    });
    m_watch.start();
    return true;
}

void PtyDevice::checkSlave()
{
    if (m_master < 0)
        return;
    pollfd fd = {m_master, POLLIN, 0};
    poll(&fd, 1, 0);
    const bool open = !(fd.revents & POLLHUP);
    if (open == m_slaveOpen)
        return;
    m_slaveOpen = open;
    m_notifier->setEnabled(open);
    if (open) {
        m_watch.stop();
        emit slaveOpened();
    } else {
        m_watch.start();
        // What the tool wrote before it closed is the ending session's, not the next one's.
        if (bytesAvailable() > 0)
            emit readyRead();
        emit slaveClosed();
    }
}

qint64 PtyDevice::bytesAvailable() const
{
    int pending = 0;
    if (m_master >= 0 && ioctl(m_master, FIONREAD, &pending) != 0)
        pending = 0;
    return pending + QIODevice::bytesAvailable();
}

qint64 PtyDevice::readData(char *data, qint64 maxSize)
{
    if (m_master < 0)
        return -1;
    const ssize_t n = ::read(m_master, data, size_t(maxSize));
    if (n >= 0)
        return n;
    // EAGAIN: nothing now; EIO: the slave end has just been closed.
    return errno == EAGAIN || errno == EIO ? 0 : -1;
}

qint64 PtyDevice::writeData(const char *data, qint64 size)
{
    if (m_master < 0)
        return -1;
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(m_master, data + done, size_t(size - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return done > 0 ? done : -1;
        // The tool reads on; wait a little for room rather than drop part of a packet.
        pollfd fd = {m_master, POLLOUT, 0};
        if (poll(&fd, 1, WriteWaitMs) <= 0)
            return done;
    }
    return done;
}

void PtyDevice::close()
{
    m_watch.stop();
    delete m_notifier;
    m_notifier = nullptr;
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
    m_slaveOpen = false;
    QIODevice::close();
}
