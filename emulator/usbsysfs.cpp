#include "emulator/usbsysfs.h"

#include <QDir>
#include <QFile>

namespace {

QString devName(const QString &node)
{
    return QDir(QStringLiteral("/dev")).relativeFilePath(node);
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray hex4(quint16 id)
{
    return QByteArray::number(id, 16).rightJustified(4, '0') + '\n';
}

} // namespace

QString UsbSysfs::listedPath(const QString &node)
{
    return QStringLiteral("/dev/") + devName(node);
}

bool UsbSysfs::writePrinter(const QString &root, const QString &node, quint16 vendorId, quint16 productId, int n)
{
    // As the kernel lays it out: the class device, its USB interface (device) and, above
    // that, the USB device with the identifiers. udev names the node after DEVNAME.
    const QString lp = root + QStringLiteral("/class/usbmisc/lp%1").arg(n);
    return QDir().mkpath(lp + QStringLiteral("/device"))
           && writeFile(lp + QStringLiteral("/uevent"),
                        "MAJOR=180\nMINOR=" + QByteArray::number(n) + "\nDEVNAME=" + QFile::encodeName(devName(node)) + '\n')
           && writeFile(lp + QStringLiteral("/idVendor"), hex4(vendorId))
           && writeFile(lp + QStringLiteral("/idProduct"), hex4(productId));
}

bool UsbSysfs::writeUnboundDevice(const QString &root, const QString &device, quint16 vendorId, quint16 productId)
{
    const QString dir = root + QStringLiteral("/bus/usb/devices/") + device;
    return QDir().mkpath(dir) && writeFile(dir + QStringLiteral("/idVendor"), hex4(vendorId))
           && writeFile(dir + QStringLiteral("/idProduct"), hex4(productId));
}
