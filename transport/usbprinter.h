#pragma once

#include "transport/usbport.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <thread>

// The USB command link: a printer on the workstation's USB ports, found by the configured
// vendor and product identifiers. Writes come from the GUI thread; a reader thread of its
// own hands every chunk it reads to g_hostCmd. The reader is a standard thread, whose start
// and end thread checkers understand.
class UsbPrinter : public QObject
{
    Q_OBJECT

public:
    static constexpr int ReadChunk = 8192;
    // After a failed read the reader pauses, from the first pause doubling up to the
    // longest, and logs the first few failures of a run.
    static constexpr int FirstRetryPauseMs = 5;
    static constexpr int MaxRetryPauseMs = 200;
    static constexpr unsigned LoggedReadFailures = 3;

    explicit UsbPrinter(QObject *parent = nullptr);
    ~UsbPrinter() override;

    // The device paths of attached printers whose identifiers are on the configured list;
    // a device that matches two entries is listed twice.
    static QStringList enumeratePrinters();
    // The tag looked for in a device's identifiers for one configured (vendor << 16) | product.
    static QString tag(quint32 usbId);

    QString interfaceName() const { return m_interfaceName; }
    bool isOpen() const;
    // True from the open until the reader has ended, by a close or by itself.
    bool readerRunning() const { return m_readerRunning; }

signals:
    void connected();
    void disconnected();
    // A write's transfer has ended on the device (queued is not enough): it paces uploads.
    void bytesWritten(qint64 bytes);

public slots:
    bool usbOpen(const QString &interfaceName);
    void usbClose();
    bool write(const void *data, quint32 size, quint32 milliseconds = 100);

private:
    void run(quint64 generation);
    void onReaderEnded(quint64 generation);

    mutable std::mutex m_mutex; // guards the port between the reader and the GUI thread
    QString m_interfaceName;
    UsbPort m_port;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_readerRunning{false};
    std::thread m_reader;
    // Counts opens, so that the end of an old reader never closes a newer device.
    quint64 m_generation = 0;
};
