#include "transport/usbprinter.h"

#include "app/conf.h"
#include "app/log.h"
#include "protocol/hostcmd.h"

#include <algorithm>

namespace {

// One tag per configured identifier pair, built once, when the first link is made: the
// configuration is loaded by then and later changes apply at the next start.
const QStringList &tags()
{
    static const QStringList list = [] {
        QStringList t;
        for (quint32 id : g_conf.usbIds())
            t.append(UsbPrinter::tag(id));
        return t;
    }();
    return list;
}

} // namespace

UsbPrinter::UsbPrinter(QObject *parent)
    : QObject(parent)
{
    tags();
}

UsbPrinter::~UsbPrinter()
{
    // No signals from a link that is going away.
    blockSignals(true);
    usbClose();
}

QString UsbPrinter::tag(quint32 usbId)
{
    return QString::asprintf("usb#vid_%04x&pid_%04x", usbId >> 16, usbId & 0xffff);
}

QStringList UsbPrinter::enumeratePrinters()
{
    std::vector<UsbPort::Device> devices;
    std::string error;
    if (!UsbPort::enumerate(&devices, &error)) {
        LOG_LINE("%s", error.c_str());
        return {};
    }
    QStringList paths;
    unsigned index = 0;
    for (const UsbPort::Device &device : devices) {
        const QString path = QString::fromStdString(device.path);
        const QString ids = QString::fromStdString(device.ids);
        if (ids == path)
            LOG_LINE("%u: %s", ++index, device.path.c_str());
        else
            LOG_LINE("%u: %s (%s)", ++index, device.path.c_str(), device.ids.c_str());
        for (const QString &tag : tags()) {
            if (ids.contains(tag, Qt::CaseInsensitive))
                paths.append(path);
        }
    }
    return paths;
}

bool UsbPrinter::isOpen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_port.isOpen();
}

bool UsbPrinter::usbOpen(const QString &interfaceName)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_port.isOpen())
            return false;
        unsigned long error = 0;
        if (!m_port.open(interfaceName.toStdString(), &error)) {
            LOG_LINE("CreateFile failed (err=%lu).", error);
            return false;
        }
    }
    m_stop = false;
    m_interfaceName = interfaceName;
    ++m_generation;
    LOG_LINE("USB opened.");
    m_readerRunning = true;
    m_reader = std::thread(&UsbPrinter::run, this, m_generation);
    emit connected();
    return true;
}

void UsbPrinter::usbClose()
{
    // Stop the reader before the device goes: it may be blocked in a read on it.
    m_stop = true;
    m_port.wake();
    if (m_reader.joinable())
        m_reader.join();
    bool wasOpen = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_port.isOpen()) {
            m_port.close();
            wasOpen = true;
        }
    }
    m_interfaceName.clear();
    if (wasOpen) {
        LOG_LINE("USB closed.");
        emit disconnected();
    }
}

bool UsbPrinter::write(const void *data, quint32 size, quint32 milliseconds)
{
    if (!isOpen())
        return false;
    std::size_t written = 0;
    unsigned long error = 0;
    switch (m_port.write(data, size, int(milliseconds), &written, &error)) {
    case UsbPort::WriteResult::Done:
        emit bytesWritten(qint64(written));
        return true;
    case UsbPort::WriteResult::TimedOut:
        LOG_LINE("Write timed out after %u ms (%zu of %u bytes written).", milliseconds, written, size);
        return false;
    case UsbPort::WriteResult::Failed:
        break;
    }
    LOG_LINE("WriteFile failed (err=%lu).", error);
    return false;
}

void UsbPrinter::run(quint64 generation)
{
    LOG_LINE("thread started");
    uchar buffer[ReadChunk];
    // Failed reads in a row. A device that keeps failing must neither spin the reader nor
    // fill the log: each retry waits longer, and only the first few failures are logged.
    unsigned failures = 0;
    while (!m_stop) {
        UsbPort::ReadStatus status;
        const UsbPort::ReadResult result = m_port.read(buffer, sizeof buffer, &status);
        if (result == UsbPort::ReadResult::Failed) {
            LOG_LINE("ReadFile failed (err=%lu).", status.error);
            break;
        }
        if (result == UsbPort::ReadResult::Woken || m_stop)
            break;
        if (result != UsbPort::ReadResult::Data) {
            if (++failures <= LoggedReadFailures) {
                if (result == UsbPort::ReadResult::WaitFailed)
                    LOG_LINE("WaitForSingleObject failed (ret=0x%lx, err=%lu).", status.waitResult, status.error);
                else
                    LOG_LINE("GetOverlappedResult failed.");
            }
            m_port.pause(std::min(MaxRetryPauseMs, FirstRetryPauseMs << std::min(failures - 1, 8u)));
            continue;
        }
        if (failures > LoggedReadFailures)
            LOG_LINE("Reading again after %u failed reads.", failures);
        failures = 0;
        quint32 offset = 0;
        while (offset < status.received) {
            const quint32 used = g_hostCmd.receive(buffer + offset, quint32(status.received) - offset);
            if (used == 0)
                break;
            offset += used;
        }
    }
    LOG_LINE("thread exited");
    m_readerRunning = false;
    // A reader that ended by itself (the printer went away) closes the device, from the
    // GUI thread; the generation keeps a late call from closing a device opened since.
    if (!m_stop)
        QMetaObject::invokeMethod(this, [this, generation] { onReaderEnded(generation); },
                                  Qt::QueuedConnection);
}

void UsbPrinter::onReaderEnded(quint64 generation)
{
    if (generation == m_generation)
        usbClose();
}
