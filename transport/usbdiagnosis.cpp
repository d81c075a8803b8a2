// Linux only: elsewhere the check finds nothing, and the texts stay for the report.
#include "transport/usbdiagnosis.h"

#include <QCoreApplication>

#include <cstring>

#ifdef __linux__
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#endif

namespace {

#ifdef __linux__
QByteArray firstLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readLine().trimmed();
}

// The identifiers of a USB device folder; false for interfaces and anything else.
bool readIds(const QString &dir, quint16 *vendor, quint16 *product)
{
    bool vendorOk = false;
    bool productOk = false;
    *vendor = quint16(firstLine(dir + QStringLiteral("/idVendor")).toUInt(&vendorOk, 16));
    *product = quint16(firstLine(dir + QStringLiteral("/idProduct")).toUInt(&productOk, 16));
    return vendorOk && productOk;
}

// The node udev made for a class device: /dev/ plus the DEVNAME of its uevent.
QString deviceNode(const QString &classDir, const QString &name, const QString &devRoot)
{
    QFile uevent(classDir + QStringLiteral("/uevent"));
    if (uevent.open(QIODevice::ReadOnly)) {
        while (!uevent.atEnd()) {
            const QByteArray line = uevent.readLine().trimmed();
            if (line.startsWith("DEVNAME=") && line.size() > 8)
                return devRoot + QStringLiteral("/dev/") + QFile::decodeName(line.mid(8));
        }
    }
    return devRoot + QStringLiteral("/dev/usb/") + name;
}

QString userName(uid_t uid)
{
    const passwd *entry = getpwuid(uid);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(uid);
}

QString groupName(gid_t gid)
{
    const group *entry = getgrgid(gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(gid);
}

// The programs with the node open, from their descriptors' links in /proc; those whose
// folders we may not read are missed, which is as far as a user can see. *self: this
// process is one of them (the window's own USB link).
QString holdersOf(const QString &node, const QString &procRoot, bool *self)
{
    *self = false;
    const QString ownPid = QString::number(getpid());
    const QSet<QString> names = {QDir::cleanPath(node), QFileInfo(node).canonicalFilePath()};
    QStringList holders;
    const QDir proc(procRoot);
    QStringList pids = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    pids.erase(std::remove_if(pids.begin(), pids.end(), [](const QString &pid) {
        bool ok = false;
        pid.toUInt(&ok);
        return !ok;
    }), pids.end());
    std::sort(pids.begin(), pids.end(), [](const QString &a, const QString &b) { return a.toUInt() < b.toUInt(); });
    for (const QString &pid : pids) {
        const QString fdDir = proc.filePath(pid + QStringLiteral("/fd"));
        const QStringList fds = QDir(fdDir).entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
        for (const QString &fd : fds) {
            char target[4096];
            const QByteArray link = QFile::encodeName(fdDir + QLatin1Char('/') + fd);
            const ssize_t n = readlink(link.constData(), target, sizeof target - 1);
            if (n <= 0 || !names.contains(QDir::cleanPath(QFile::decodeName(QByteArray(target, int(n))))))
                continue;
            *self = *self || pid == ownPid;
            const QString comm = QString::fromLocal8Bit(firstLine(proc.filePath(pid + QStringLiteral("/comm"))));
            holders << QStringLiteral("%1 (pid %2)").arg(comm.isEmpty() ? QStringLiteral("?") : comm, pid);
            break;
        }
    }
    return holders.join(QStringLiteral(", "));
}

// Stats and opens the node, as the tool will when it connects.
void examine(UsbDiagnosis::Printer *printer, const QString &procRoot)
{
    const QByteArray path = QFile::encodeName(printer->node);
    struct stat info;
    if (stat(path.constData(), &info) == 0) {
        printer->owner = userName(info.st_uid);
        printer->group = groupName(info.st_gid);
        printer->mode = QString::number(info.st_mode & 07777, 8).rightJustified(4, QLatin1Char('0'));
    }
    const int fd = ::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd >= 0) {
        ::close(fd);
        printer->state = UsbDiagnosis::State::Usable;
        return;
    }
    printer->error = errno;
    if (printer->error == EACCES || printer->error == EPERM) {
        printer->state = UsbDiagnosis::State::NoPermission;
    } else if (printer->error == EBUSY) {
        bool self = false;
        printer->holders = holdersOf(printer->node, procRoot, &self);
        // Busy with our own link: the printer is in use by this tool, so usable.
        printer->state = self ? UsbDiagnosis::State::Usable : UsbDiagnosis::State::Busy;
    } else {
        printer->state = UsbDiagnosis::State::OpenFailed;
    }
}
#endif

} // namespace

QString UsbDiagnosis::Printer::reason() const
{
    switch (state) {
    case State::Usable:
        return QCoreApplication::translate("UsbDiagnosis", "%1 opens: the printer can be used").arg(node);
    case State::NoNode:
        return QCoreApplication::translate("UsbDiagnosis",
                                           "The printer is connected but the usblp driver is not bound to it: load "
                                           "it with `sudo modprobe usblp`, or check that it is not blacklisted");
    case State::NoPermission:
        return QCoreApplication::translate("UsbDiagnosis",
                                           "You may not open %1 (owner %2, group %3, mode %4): install the package's "
                                           "udev rule, or add yourself to group lp with `sudo usermod -aG lp $USER` "
                                           "and log in again")
            .arg(node, owner, group, mode);
    case State::Busy:
        return holders.isEmpty()
                   ? QCoreApplication::translate("UsbDiagnosis", "%1 is held by another program").arg(node)
                   : QCoreApplication::translate("UsbDiagnosis", "%1 is held by another program: %2").arg(node, holders);
    case State::OpenFailed:
        break;
    }
    return QCoreApplication::translate("UsbDiagnosis", "%1 cannot be opened: %2")
        .arg(node, QString::fromLocal8Bit(std::strerror(error)));
}

QString UsbDiagnosis::idText(quint16 vendor, quint16 product)
{
    return QStringLiteral("%1:%2").arg(vendor, 4, 16, QLatin1Char('0')).arg(product, 4, 16, QLatin1Char('0'));
}

QString UsbDiagnosis::Printer::fix() const
{
    switch (state) {
    case State::NoNode:
        return QStringLiteral("sudo modprobe usblp");
    case State::NoPermission:
        return QStringLiteral("sudo usermod -aG lp $USER");
    default:
        return QString();
    }
}

QList<UsbDiagnosis::Printer> UsbDiagnosis::check(const QList<quint32> &ids, const Roots &roots)
{
    QList<Printer> printers;
#ifdef __linux__
    auto listed = [&ids](quint16 vendor, quint16 product) { return ids.contains((quint32(vendor) << 16) | product); };
    // The USB devices that have a node, by their real folder: each node's interface's parent.
    QSet<QString> withNode;
    const QDir classDir(roots.sysfs + QStringLiteral("/class/usbmisc"));
    QStringList nodes = classDir.entryList({QStringLiteral("lp*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(nodes.begin(), nodes.end(), [](const QString &a, const QString &b) { return a.mid(2).toInt() < b.mid(2).toInt(); });
    for (const QString &name : nodes) {
        const QString lp = classDir.filePath(name);
        const QString device = QFileInfo(lp + QStringLiteral("/device/..")).canonicalFilePath();
        Printer printer;
        if (device.isEmpty() || !readIds(device, &printer.vendor, &printer.product))
            continue;
        withNode.insert(device);
        if (!listed(printer.vendor, printer.product))
            continue;
        printer.device = QFileInfo(device).fileName();
        printer.node = deviceNode(lp, name, roots.dev);
        examine(&printer, roots.proc);
        printers << printer;
    }

    // Devices on the list without any node: the driver is not bound to them.
    const QDir busDir(roots.sysfs + QStringLiteral("/bus/usb/devices"));
    const QStringList devices = busDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : devices) {
        Printer printer;
        const QString device = QFileInfo(busDir.filePath(name)).canonicalFilePath();
        if (withNode.contains(device) || !readIds(device, &printer.vendor, &printer.product)
            || !listed(printer.vendor, printer.product))
            continue;
        printer.device = name;
        printers << printer;
    }
#else
    Q_UNUSED(ids);
    Q_UNUSED(roots);
#endif
    return printers;
}
