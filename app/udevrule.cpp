// Writes the udev rule that lets the person at the seat open our printers' usblp nodes
// (uaccess: logind grants the active session access), for the VID/PID pairs the tool looks
// for by default. Run at build time; the rule goes into the package.
#include "app/conf.h"

#include <QFile>
#include <QSaveFile>

int main(int argc, char *argv[])
{
    QByteArray rule = "# The USB printers' usblp nodes, for the user at the seat.\n";
    for (const quint32 id : Conf::defaultUsbIds()) {
        // sysfs writes the identifiers as four lower-case hex digits.
        const auto hex = [](quint32 value) { return QByteArray::number(value & 0xFFFF, 16).rightJustified(4, '0'); };
        rule += "SUBSYSTEM==\"usbmisc\", KERNEL==\"lp*\", ATTRS{idVendor}==\"" + hex(id >> 16)
                + "\", ATTRS{idProduct}==\"" + hex(id) + "\", TAG+=\"uaccess\"\n";
    }
    if (argc < 2) {
        QFile out;
        return out.open(stdout, QIODevice::WriteOnly) && out.write(rule) == rule.size() ? 0 : 1;
    }
    QSaveFile out(QFile::decodeName(argv[1]));
    return out.open(QIODevice::WriteOnly) && out.write(rule) == rule.size() && out.commit() ? 0 : 1;
}
