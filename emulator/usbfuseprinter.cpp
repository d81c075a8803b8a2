#include "emulator/usbfuseprinter.h"

#include "emulator/emulatorsession.h"
#include "emulator/usblpdevice.h"
#include "emulator/usbsysfs.h"

#include <QDir>

UsbFusePrinter::UsbFusePrinter(PrinterState &state, const EmulatorOptions &options, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_options(options)
    , m_device(new UsblpDevice(this))
{
    connect(m_device, &UsblpDevice::hostOpened, this, &UsbFusePrinter::onHostOpened);
    connect(m_device, &UsblpDevice::hostClosed, this, &UsbFusePrinter::endSession);
    connect(m_device, &UsblpDevice::unplugged, this, [this] {
        emit logLine(QStringLiteral("usb: unplugged"));
        endSession();
    });
    connect(m_device, &UsblpDevice::logLine, this, &UsbFusePrinter::logLine);
}

UsbFusePrinter::~UsbFusePrinter()
{
    // Sessions first, the current one and any ended one not yet deleted: each lets go of
    // the device, which as a child would otherwise go before them.
    qDeleteAll(findChildren<EmulatorSession *>(QString(), Qt::FindDirectChildrenOnly));
}

QString UsbFusePrinter::devicePath() const
{
    return UsbSysfs::listedPath(m_device->nodePath());
}

bool UsbFusePrinter::start(const QString &sysfsRoot, const QString &mountPoint, quint16 vendorId,
                           quint16 productId)
{
    if (!m_device->mount(QDir(mountPoint).absolutePath())) {
        m_error = m_device->errorString();
        return false;
    }
    const QString root = QDir(sysfsRoot).absolutePath();
    if (!UsbSysfs::writePrinter(root, m_device->nodePath(), vendorId, productId)) {
        m_error = QStringLiteral("cannot write the sysfs tree under %1").arg(root);
        return false;
    }
    emit logLine(QStringLiteral("usb: printer on %1 (%2:%3); sysfs tree %4")
                     .arg(devicePath())
                     .arg(vendorId, 4, 16, QLatin1Char('0'))
                     .arg(productId, 4, 16, QLatin1Char('0'))
                     .arg(root));
    return true;
}

void UsbFusePrinter::unplug()
{
    m_device->close();
}

void UsbFusePrinter::onHostOpened()
{
    delete m_session;
    // The restart fault plays a command port going away; a printer on USB has none.
    EmulatorOptions options = m_options;
    options.restartMidUpload = 0;
    m_session = new EmulatorSession(m_device, QStringLiteral("usb %1").arg(devicePath()), m_state,
                                    options, this);
    connect(m_session, &EmulatorSession::logLine, this, &UsbFusePrinter::logLine);
    connect(m_session, &EmulatorSession::requestReceived, this, &UsbFusePrinter::requestReceived);
    connect(m_session, &EmulatorSession::finished, this, [this] { m_session = nullptr; });
    emit logLine(QStringLiteral("connection from usb %1").arg(devicePath()));
}

void UsbFusePrinter::endSession()
{
    if (m_session)
        m_session->deviceGone();
}
