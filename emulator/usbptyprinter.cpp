#include "emulator/usbptyprinter.h"

#include "emulator/emulatorsession.h"
#include "emulator/ptydevice.h"
#include "emulator/usbsysfs.h"

#include <QDir>

UsbPtyPrinter::UsbPtyPrinter(PrinterState &state, const EmulatorOptions &options, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_options(options)
    , m_pty(new PtyDevice(this))
{
    connect(m_pty, &PtyDevice::slaveOpened, this, &UsbPtyPrinter::onSlaveOpened);
    connect(m_pty, &PtyDevice::slaveClosed, this, &UsbPtyPrinter::onSlaveClosed);
}

UsbPtyPrinter::~UsbPtyPrinter()
{
    delete m_session;
}

QString UsbPtyPrinter::devicePath() const
{
    return m_pty->slaveName();
}

bool UsbPtyPrinter::start(const QString &sysfsRoot, quint16 vendorId, quint16 productId)
{
    if (!m_pty->openPty()) {
        m_error = QStringLiteral("cannot make a pseudo-terminal: %1").arg(m_pty->errorString());
        return false;
    }
    m_sysfsRoot = QDir(sysfsRoot).absolutePath();
    if (!UsbSysfs::writePrinter(m_sysfsRoot, devicePath(), vendorId, productId)) {
        m_error = QStringLiteral("cannot write the sysfs tree under %1").arg(m_sysfsRoot);
        m_pty->close();
        return false;
    }
    emit logLine(QStringLiteral("usb: printer on %1 (%2:%3); sysfs tree %4")
                     .arg(devicePath())
                     .arg(vendorId, 4, 16, QLatin1Char('0'))
                     .arg(productId, 4, 16, QLatin1Char('0'))
                     .arg(m_sysfsRoot));
    return true;
}

void UsbPtyPrinter::unplug()
{
    if (!m_pty->isOpen())
        return;
    emit logLine(QStringLiteral("usb: unplugged"));
    if (m_session)
        m_session->deviceGone();
    m_pty->close();
}

void UsbPtyPrinter::onSlaveOpened()
{
    delete m_session;
    // The restart fault plays a command port going away; a printer on USB has none.
    EmulatorOptions options = m_options;
    options.restartMidUpload = 0;
    m_session = new EmulatorSession(m_pty, QStringLiteral("usb %1").arg(devicePath()), m_state,
                                    options, this);
    connect(m_session, &EmulatorSession::logLine, this, &UsbPtyPrinter::logLine);
    connect(m_session, &EmulatorSession::requestReceived, this, &UsbPtyPrinter::requestReceived);
    connect(m_session, &EmulatorSession::finished, this, [this] {
        m_session = nullptr;
        if (!m_pty->isOpen())
            emit logLine(QStringLiteral("usb: unplugged"));
    });
    emit logLine(QStringLiteral("connection from usb %1").arg(devicePath()));
}

void UsbPtyPrinter::onSlaveClosed()
{
    if (m_session)
        m_session->deviceGone();
}
