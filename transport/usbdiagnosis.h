#pragma once

#include "transport/usbport.h"

#include <QList>
#include <QString>

// Why a USB printer of ours can or cannot be opened, found the way a technician would:
// the USB devices in sysfs whose identifiers are on the configured list, the printer-class
// node the driver made for each (or none), an open of that node, and who holds it when it
// is busy. The roots are parameters so that tests can stand up trees of their own.
class UsbDiagnosis
{
public:
    enum class State {
        Usable,       // the node exists and opens
        NoNode,       // the device is there, but no usblp node (driver not bound)
        NoPermission, // the node exists, open() fails with EACCES/EPERM
        Busy,         // open() fails with EBUSY: another program holds it
        OpenFailed,   // any other error of open()
    };

    struct Roots
    {
        // Where the USB links look (ZOMRA_SYSFS_ROOT can point it at an emulated tree).
        QString sysfs = QString::fromStdString(UsbPort::sysfsRoot());
        // Prefix for the /dev/... node paths that the sysfs uevent names ("" = the real /dev).
        QString dev;
        QString proc = QStringLiteral("/proc");
    };

    struct Printer
    {
        quint16 vendor = 0;
        quint16 product = 0;
        QString device; // the sysfs USB device name, e.g. "1-1.4"
        QString node;   // "/dev/usb/lp0"; empty for NoNode
        State state = State::NoNode;
        QString owner;  // the node's owner, group and mode ("root", "lp", "0660") when known
        QString group;
        QString mode;
        QString holders; // "cupsd (pid 812)" for Busy, where /proc shows it; else empty
        int error = 0;   // errno of the failed open

        // One sentence for the user (translated), and the command that fixes it (empty
        // when there is none, as for Usable or Busy).
        QString reason() const;
        QString fix() const;
    };

    // "3273:0002", as the identifier list writes it.
    static QString idText(quint16 vendor, quint16 product);

    // ids: (vendor << 16) | product, as Conf::usbIds() holds them. Printers with a node by its
    // number (lp10 after lp9), then those without one by sysfs name. Nothing off Linux.
    // (Two overloads, not a default argument: GCC cannot take Roots() before the class ends.)
    static QList<Printer> check(const QList<quint32> &ids, const Roots &roots);
    static QList<Printer> check(const QList<quint32> &ids) { return check(ids, Roots()); }
};
