#include "emulator/usblpdevice.h"

#define FUSE_USE_VERSION 31
#include <fuse.h>
#include <fuse_lowlevel.h>

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

const char NodeFile[] = "/lp0";
const char ControlFile[] = "/control";

// libfuse says why a mount failed on its log; the last line is kept for errorString().
std::mutex s_fuseMessageMutex;
std::string s_fuseMessage;

void keepFuseMessage(fuse_log_level, const char *format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    std::fputs(text, stderr);
    std::lock_guard<std::mutex> lock(s_fuseMessageMutex);
    s_fuseMessage = text;
    while (!s_fuseMessage.empty() && s_fuseMessage.back() == '\n')
        s_fuseMessage.pop_back();
}

} // namespace

// The file system's side, shared by its thread and the device's. Everything below the mutex
// is guarded by it.
struct UsblpDevice::Fs
{
    UsblpDevice *owner = nullptr;
    fuse *session = nullptr;
    std::thread loop;
    int kick = -1; // wakes the loop: to stop, or to look at the transfer's end again
    std::atomic<bool> stop{false};
    QString mountPoint;

    mutable std::mutex mutex;
    Faults faults;
    bool present = true;
    bool hostOpen = false;
    std::deque<QByteArray> toHost; // one entry per transfer; empty: a zero-length packet
    int readErrors = 0;
    quint64 dataReads = 0;
    quint64 pieces = 0;
    QByteArray transfer;
    bool transferring = false;
    Clock::time_point transferEnds;
    QByteArray fromHost; // transfers that ended, not yet read by the printer
    fuse_pollhandle *pollHandle = nullptr;
    Counters counters;

    static Fs *self() { return static_cast<Fs *>(fuse_get_context()->private_data); }

    std::mutex postedMutex;
    std::deque<std::function<void(UsblpDevice *)>> posted;

    // Runs fn on the device's thread. Queued here and called by name: a functor handed to
    // Qt would be freed behind reference counts the thread checker cannot see.
    void post(std::function<void(UsblpDevice *)> fn)
    {
        {
            std::lock_guard<std::mutex> lock(postedMutex);
            posted.push_back(std::move(fn));
        }
        QMetaObject::invokeMethod(owner, "runPosted", Qt::QueuedConnection);
    }
    void wakeLoop()
    {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(kick, &one, sizeof one);
    }
    // Tells the tool's poll() to ask again. One notification serves every waiter.
    void notifyLocked()
    {
        if (!pollHandle)
            return;
        fuse_notify_poll(pollHandle);
        fuse_pollhandle_destroy(pollHandle);
        pollHandle = nullptr;
    }
    void unplugLocked()
    {
        if (!present)
            return;
        present = false;
        // Lost with the cable, not by a close.
        transfer.clear();
        transferring = false;
        notifyLocked();
    }
    void injectReadErrorsLocked(int count)
    {
        readErrors += std::max(0, count);
        notifyLocked();
    }
    void injectZeroLengthLocked(int count)
    {
        for (int i = 0; i < count; ++i)
            toHost.emplace_back();
        notifyLocked();
    }
    // Ends the transfer under way once its time has come; milliseconds until then, or -1.
    int endTransferIfDue()
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!transferring || faults.stalled)
            return -1;
        const auto now = Clock::now();
        if (now < transferEnds)
            return int(std::chrono::ceil<std::chrono::milliseconds>(transferEnds - now).count());
        fromHost += transfer;
        counters.transferred += transfer.size();
        transfer.clear();
        transferring = false;
        notifyLocked();
        post([](UsblpDevice *device) { emit device->readyRead(); });
        return -1;
    }
    bool control(const QByteArray &text);
    void run();
};

namespace {

using Fs = UsblpDevice::Fs;

bool isNode(const char *path)
{
    return std::strcmp(path, NodeFile) == 0;
}

void *fsInit(fuse_conn_info *, fuse_config *config)
{
    // Nothing cached: an unplugged node must be gone at the next look.
    config->entry_timeout = 0;
    config->attr_timeout = 0;
    config->negative_timeout = 0;
    config->direct_io = 1;
    return fuse_get_context()->private_data;
}

int fsGetattr(const char *path, struct stat *st, fuse_file_info *)
{
    std::memset(st, 0, sizeof *st);
    st->st_uid = getuid();
    st->st_gid = getgid();
    if (std::strcmp(path, "/") == 0) {
        st->st_mode = S_IFDIR | 0755;
        st->st_nlink = 2;
        return 0;
    }
    // A regular file, not a character device: the kernel would open one of those itself.
    st->st_nlink = 1;
    if (std::strcmp(path, ControlFile) == 0) {
        st->st_mode = S_IFREG | 0600;
        return 0;
    }
    Fs *fs = Fs::self();
    std::lock_guard<std::mutex> lock(fs->mutex);
    if (!isNode(path) || !fs->present)
        return -ENOENT;
    st->st_mode = S_IFREG | 0660;
    return 0;
}

int fsReaddir(const char *path, void *buffer, fuse_fill_dir_t fill, off_t, fuse_file_info *,
              fuse_readdir_flags)
{
    if (std::strcmp(path, "/") != 0)
        return -ENOTDIR;
    Fs *fs = Fs::self();
    const auto none = fuse_fill_dir_flags(0);
    fill(buffer, ".", nullptr, 0, none);
    fill(buffer, "..", nullptr, 0, none);
    fill(buffer, ControlFile + 1, nullptr, 0, none);
    std::lock_guard<std::mutex> lock(fs->mutex);
    if (fs->present)
        fill(buffer, NodeFile + 1, nullptr, 0, none);
    return 0;
}

int fsOpen(const char *path, fuse_file_info *info)
{
    info->direct_io = 1;
    // No FLUSH at close: a process that serves the node and dies holding it open would
    // otherwise wait at exit for an answer from its own, dead, file system thread.
    info->noflush = 1;
    if (std::strcmp(path, ControlFile) == 0)
        return 0;
    Fs *fs = Fs::self();
    std::lock_guard<std::mutex> lock(fs->mutex);
    if (!isNode(path) || !fs->present)
        return -ENOENT;
    // The file system decides, not the caller's privileges: root is refused too.
    if (fs->faults.refuseOpen != 0)
        return -fs->faults.refuseOpen;
    if (fs->hostOpen)
        return -EBUSY;
    fs->hostOpen = true;
    ++fs->counters.opens;
    fs->fromHost.clear();
    info->nonseekable = 1;
    fs->post([](UsblpDevice *device) { emit device->hostOpened(); });
    return 0;
}

int fsRelease(const char *path, fuse_file_info *)
{
    if (!isNode(path))
        return 0;
    Fs *fs = Fs::self();
    std::lock_guard<std::mutex> lock(fs->mutex);
    // As usblp, which kills its transfers at release: what has not gone out is lost.
    if (fs->transferring) {
        const qint64 dropped = fs->transfer.size();
        fs->counters.droppedAtClose += dropped;
        fs->transfer.clear();
        fs->transferring = false;
        fs->post([dropped](UsblpDevice *device) {
            emit device->logLine(QStringLiteral("usb: closed with a transfer under way, %1 bytes lost").arg(dropped));
        });
    }
    fs->hostOpen = false;
    // The session's answers go with it; injected faults (EIO counts, zero-length packets)
    // wait for the reads they were meant for, so an open that only looks at the node, as
    // the USB check does, does not use them up.
    const auto zeroLength = std::count_if(fs->toHost.begin(), fs->toHost.end(),
                                          [](const QByteArray &b) { return b.isEmpty(); });
    fs->toHost.assign(size_t(zeroLength), QByteArray());
    if (fs->pollHandle) {
        fuse_pollhandle_destroy(fs->pollHandle);
        fs->pollHandle = nullptr;
    }
    fs->post([](UsblpDevice *device) { emit device->hostClosed(); });
    return 0;
}

int fsRead(const char *path, char *buffer, size_t size, off_t, fuse_file_info *)
{
    if (!isNode(path))
        return 0;
    Fs *fs = Fs::self();
    std::lock_guard<std::mutex> lock(fs->mutex);
    if (!fs->present)
        return -ENODEV;
    if (fs->readErrors > 0) {
        --fs->readErrors;
        return -EIO;
    }
    if (fs->toHost.empty())
        return -EAGAIN;
    QByteArray &front = fs->toHost.front();
    if (front.isEmpty()) {
        fs->toHost.pop_front();
        return 0;
    }
    if (fs->faults.eioEvery > 0 && ++fs->dataReads % quint64(fs->faults.eioEvery) == 0)
        return -EIO; // the data stays for the next read
    const int n = int(std::min<size_t>(size, size_t(front.size())));
    std::memcpy(buffer, front.constData(), size_t(n));
    front.remove(0, n);
    if (front.isEmpty())
        fs->toHost.pop_front();
    return n;
}

int fsWrite(const char *path, const char *data, size_t size, off_t, fuse_file_info *)
{
    Fs *fs = Fs::self();
    if (!isNode(path))
        return fs->control(QByteArray(data, int(size))) ? int(size) : -EINVAL;
    std::lock_guard<std::mutex> lock(fs->mutex);
    if (!fs->present)
        return -ENODEV;
    if (fs->transferring)
        return -EAGAIN;
    // Taken, "presumed to complete": the loop ends it later.
    const int n = int(std::min<size_t>(size, UsblpDevice::TransferSize));
    fs->transfer = QByteArray(data, n);
    fs->transferring = true;
    fs->transferEnds = Clock::now() + std::chrono::milliseconds(fs->faults.transferMs);
    return n;
}

// For "echo ... > control", which truncates first.
int fsTruncate(const char *, off_t, fuse_file_info *)
{
    return 0;
}

int fsPoll(const char *path, fuse_file_info *, fuse_pollhandle *handle, unsigned *events)
{
    Fs *fs = Fs::self();
    if (!isNode(path)) {
        if (handle)
            fuse_pollhandle_destroy(handle);
        *events = POLLIN | POLLOUT;
        return 0;
    }
    std::lock_guard<std::mutex> lock(fs->mutex);
    if (handle) {
        if (fs->pollHandle)
            fuse_pollhandle_destroy(fs->pollHandle);
        fs->pollHandle = handle;
    }
    // As usblp: readable once a read has ended (data, a zero-length packet or an error),
    // writable once the last transfer has; unplugged, a hang-up with both.
    if (!fs->present)
        *events = POLLIN | POLLOUT | POLLHUP;
    else
        *events = (!fs->toHost.empty() || fs->readErrors > 0 ? POLLIN : 0) | (fs->transferring ? 0 : POLLOUT);
    return 0;
}

fuse_operations operations()
{
    fuse_operations ops = {};
    ops.init = fsInit;
    ops.getattr = fsGetattr;
    ops.readdir = fsReaddir;
    ops.open = fsOpen;
    ops.release = fsRelease;
    ops.read = fsRead;
    ops.write = fsWrite;
    ops.truncate = fsTruncate;
    ops.poll = fsPoll;
    return ops;
}

int errnoNamed(const QByteArray &name)
{
    if (name == "EACCES")
        return EACCES;
    if (name == "EBUSY")
        return EBUSY;
    return name == "none" ? 0 : -1;
}

} // namespace

bool UsblpDevice::Fs::control(const QByteArray &text)
{
    bool unplugged = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (const QByteArray &line : text.split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            const QByteArray &command = words.first();
            bool ok = words.size() == 1;
            const int number = words.size() == 2 ? words.at(1).toInt(&ok) : 0;
            if (command.isEmpty())
                continue;
            if (command == "unplug" && ok) {
                unplugLocked();
                unplugged = true;
            } else if (command == "eio" && ok && words.size() == 2) {
                injectReadErrorsLocked(number);
            } else if (command == "zlp" && ok && words.size() == 2) {
                injectZeroLengthLocked(number);
            } else if (command == "stall" && ok) {
                faults.stalled = true;
            } else if (command == "resume" && ok) {
                faults.stalled = false;
            } else if (command == "transfer-ms" && ok && words.size() == 2 && number >= 0) {
                faults.transferMs = number;
            } else if (command == "refuse-open" && words.size() == 2 && errnoNamed(words.at(1)) >= 0) {
                faults.refuseOpen = errnoNamed(words.at(1));
            } else {
                return false;
            }
        }
    }
    if (unplugged)
        post([](UsblpDevice *device) { device->close(); });
    return true;
}

void UsblpDevice::Fs::run()
{
    fuse_session *se = fuse_get_session(session);
    const int fd = fuse_session_fd(se);
    fuse_buf buffer = {};
    while (!stop) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {kick, POLLIN, 0}};
        const int ready = poll(fds, 2, endTransferIfDue());
        if (stop)
            break;
        if (ready <= 0)
            continue;
        if (fds[1].revents & POLLIN) {
            uint64_t count;
            [[maybe_unused]] const ssize_t n = ::read(kick, &count, sizeof count);
        }
        if (fds[0].revents & POLLIN) {
            const int n = fuse_session_receive_buf(se, &buffer);
            if (n == -EINTR || n == -EAGAIN)
                continue;
            if (n <= 0)
                break; // unmounted from outside
            fuse_session_process_buf(se, &buffer);
        } else if (fds[0].revents & (POLLERR | POLLHUP)) {
            break;
        }
    }
    std::free(buffer.mem);
}

UsblpDevice::UsblpDevice(QObject *parent)
    : QIODevice(parent)
    , m_fs(new Fs)
{
    m_fs->owner = this;
}

void UsblpDevice::runPosted()
{
    std::deque<std::function<void(UsblpDevice *)>> due;
    {
        std::lock_guard<std::mutex> lock(m_fs->postedMutex);
        due.swap(m_fs->posted);
    }
    for (const auto &fn : due)
        fn(this);
}

UsblpDevice::~UsblpDevice()
{
    if (m_fs->session) {
        m_fs->stop = true;
        m_fs->wakeLoop();
        m_fs->loop.join();
        {
            std::lock_guard<std::mutex> lock(m_fs->mutex);
            if (m_fs->pollHandle)
                fuse_pollhandle_destroy(m_fs->pollHandle);
            m_fs->pollHandle = nullptr;
        }
        // Closes the kernel connection first (a client still holding the node gets
        // ENOTCONN, nothing hangs), then detaches the mount.
        fuse_unmount(m_fs->session);
        fuse_destroy(m_fs->session);
    }
    if (m_fs->kick >= 0)
        ::close(m_fs->kick);
    delete m_fs;
}

bool UsblpDevice::mount(const QString &mountPoint)
{
    if (m_fs->session) {
        setErrorString(QStringLiteral("already mounted"));
        return false;
    }
    // Only there: fusermount3 may open it for a user who cannot.
    if (access("/dev/fuse", F_OK) != 0) {
        setErrorString(QStringLiteral("no /dev/fuse: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(s_fuseMessageMutex);
        s_fuseMessage.clear();
    }
    fuse_set_log_func(keepFuseMessage);
    const auto failed = [this](const QString &what) {
        std::lock_guard<std::mutex> lock(s_fuseMessageMutex);
        setErrorString(s_fuseMessage.empty() ? what : what + QStringLiteral(": ") + QString::fromStdString(s_fuseMessage));
        return false;
    };
    char program[] = "zomra-usblp";
    char *argv[] = {program, nullptr};
    fuse_args args = FUSE_ARGS_INIT(1, argv);
    const fuse_operations ops = operations();
    fuse *session = fuse_new(&args, &ops, sizeof ops, m_fs);
    fuse_opt_free_args(&args);
    if (!session)
        return failed(QStringLiteral("cannot make a FUSE file system"));
    if (fuse_mount(session, QFile::encodeName(mountPoint).constData()) != 0) {
        fuse_destroy(session);
        return failed(QStringLiteral("cannot mount a FUSE file system on %1").arg(mountPoint));
    }
    m_fs->kick = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_fs->session = session;
    m_fs->mountPoint = mountPoint;
    m_fs->loop = std::thread(&Fs::run, m_fs);
    QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    return true;
}

QString UsblpDevice::nodePath() const
{
    return m_fs->mountPoint + QLatin1String(NodeFile);
}

UsblpDevice::Faults UsblpDevice::faults() const
{
    std::lock_guard<std::mutex> lock(m_fs->mutex);
    return m_fs->faults;
}

void UsblpDevice::setFaults(const Faults &faults)
{
    {
        std::lock_guard<std::mutex> lock(m_fs->mutex);
        m_fs->faults = faults;
    }
    // A resumed or shortened transfer may be due now.
    m_fs->wakeLoop();
}

void UsblpDevice::injectReadErrors(int count)
{
    std::lock_guard<std::mutex> lock(m_fs->mutex);
    m_fs->injectReadErrorsLocked(count);
}

void UsblpDevice::injectZeroLengthPackets(int count)
{
    std::lock_guard<std::mutex> lock(m_fs->mutex);
    m_fs->injectZeroLengthLocked(count);
}

void UsblpDevice::unplug()
{
    {
        std::lock_guard<std::mutex> lock(m_fs->mutex);
        m_fs->unplugLocked();
    }
    if (!m_unplugSignalled) {
        m_unplugSignalled = true;
        emit unplugged();
    }
}

UsblpDevice::Counters UsblpDevice::counters() const
{
    std::lock_guard<std::mutex> lock(m_fs->mutex);
    return m_fs->counters;
}

qint64 UsblpDevice::bytesAvailable() const
{
    std::lock_guard<std::mutex> lock(m_fs->mutex);
    return m_fs->fromHost.size() + QIODevice::bytesAvailable();
}

void UsblpDevice::close()
{
    unplug();
    QIODevice::close();
}

qint64 UsblpDevice::readData(char *data, qint64 maxSize)
{
    std::lock_guard<std::mutex> lock(m_fs->mutex);
    const int n = int(std::min<qint64>(maxSize, m_fs->fromHost.size()));
    std::memcpy(data, m_fs->fromHost.constData(), size_t(n));
    m_fs->fromHost.remove(0, n);
    return n;
}

qint64 UsblpDevice::writeData(const char *data, qint64 size)
{
    std::lock_guard<std::mutex> lock(m_fs->mutex);
    if (!m_fs->present)
        return -1;
    // Nobody reading: a printer's answer to no one is lost.
    if (!m_fs->hostOpen)
        return size;
    if (m_fs->faults.zlpEvery > 0 && ++m_fs->pieces % quint64(m_fs->faults.zlpEvery) == 0)
        m_fs->toHost.emplace_back();
    m_fs->toHost.emplace_back(data, int(size));
    m_fs->notifyLocked();
    return size;
}
