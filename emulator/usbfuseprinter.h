#pragma once

#include "emulator/emulatoroptions.h"
#include "emulator/printerstate.h"

#include <QObject>
#include <QString>

class EmulatorSession;
class UsblpDevice;

// Plays a printer on USB as the kernel's printer-class driver shows one: serves the
// protocol through a usblp-like node on a FUSE file system (UsblpDevice), and writes a sysfs
// tree in which that node is a printer-class device, so the tool can be pointed at it
// (ZOMRA_SYSFS_ROOT). Each open of the node by the tool is one session; unplug(), or
// --close-after, pulls the printer out for good. The node's faults are the device's.
class UsbFusePrinter : public QObject
{
    Q_OBJECT

public:
    UsbFusePrinter(PrinterState &state, const EmulatorOptions &options, QObject *parent = nullptr);
    ~UsbFusePrinter() override;

    // Mounts the node's file system on mountPoint (an existing folder) and writes the tree
    // under sysfsRoot (made if missing); false, with errorString(), when either fails.
    bool start(const QString &sysfsRoot, const QString &mountPoint, quint16 vendorId, quint16 productId);
    void unplug();

    UsblpDevice *device() const { return m_device; }
    // The node as the tool lists it.
    QString devicePath() const;
    QString errorString() const { return m_error; }

signals:
    void logLine(QString line);
    void requestReceived(quint16 word, QByteArray payload);

private:
    void onHostOpened();
    void endSession();

    PrinterState &m_state;
    const EmulatorOptions m_options;
    UsblpDevice *m_device;
    EmulatorSession *m_session = nullptr;
    QString m_error;
};
