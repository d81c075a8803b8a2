#pragma once

#include "emulator/emulatoroptions.h"
#include "emulator/printerstate.h"

#include <QObject>
#include <QString>

class EmulatorSession;
class PtyDevice;

// Plays a printer on USB: serves the protocol on a pseudo-terminal, and writes a sysfs tree
// in which the pseudo-terminal is a printer-class device with the given identifiers, so the
// tool can be pointed at it (ZOMRA_SYSFS_ROOT). Each open of the device by the tool is one
// session; closing the device (unplug(), or --close-after) unplugs the printer.
class UsbPtyPrinter : public QObject
{
    Q_OBJECT

public:
    UsbPtyPrinter(PrinterState &state, const EmulatorOptions &options, QObject *parent = nullptr);
    ~UsbPtyPrinter() override;

    // Creates the pseudo-terminal and the tree under sysfsRoot (made if missing); false, with
    // errorString(), when either cannot be made.
    bool start(const QString &sysfsRoot, quint16 vendorId, quint16 productId);
    void unplug();

    QString devicePath() const;
    QString sysfsRoot() const { return m_sysfsRoot; }
    QString errorString() const { return m_error; }

signals:
    void logLine(QString line);
    void requestReceived(quint16 word, QByteArray payload);

private:
    void onSlaveOpened();
    void onSlaveClosed();

    PrinterState &m_state;
    const EmulatorOptions m_options;
    PtyDevice *m_pty;
    EmulatorSession *m_session = nullptr;
    QString m_sysfsRoot;
    QString m_error;
};
