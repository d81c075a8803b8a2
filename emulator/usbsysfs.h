#pragma once

#include <QString>

// The sysfs tree in which an emulated node is a printer-class device, as the tool's
// enumeration reads it (ZOMRA_SYSFS_ROOT).
namespace UsbSysfs {

// The path the tool finds the node at: /dev/ and the tree's DEVNAME, which is relative to
// /dev, so that a node elsewhere reads as /dev/../its/path.
QString listedPath(const QString &node);

// Writes class/usbmisc/lpN under root (made if missing) for node with the identifiers;
// false when it cannot.
bool writePrinter(const QString &root, const QString &node, quint16 vendorId, quint16 productId, int n = 0);

// Writes bus/usb/devices/DEVICE under root with the identifiers and nothing bound to it:
// a printer plugged in while the usblp driver is not loaded.
bool writeUnboundDevice(const QString &root, const QString &device, quint16 vendorId, quint16 productId);

} // namespace UsbSysfs
