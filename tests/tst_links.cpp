#include "app/conf.h"
#include "emulator/printeremulator.h"
#include "emulator/usbptyprinter.h"
#ifdef ZOMRA_HAVE_FUSE
#include "emulator/usbfuseprinter.h"
#include "emulator/usblpdevice.h"
#endif
#include "protocol/hostcmd.h"
#include "transport/tcpprinter.h"
#include "transport/transceiver.h"
#include "transport/usbport.h"
#include "transport/usbprinter.h"
#include "tests/logtext.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// One printer-class device of a fake sysfs tree.
void addDevice(const QString &root, int index, const char *vendor, const char *product,
               const QByteArray &devName)
{
    const QString lp = QStringLiteral("%1/class/usbmisc/lp%2").arg(root).arg(index);
    QVERIFY(QDir().mkpath(lp + QStringLiteral("/device")));
    writeFile(lp + QStringLiteral("/idVendor"), QByteArray(vendor) + '\n');
    writeFile(lp + QStringLiteral("/idProduct"), QByteArray(product) + '\n');
    if (!devName.isEmpty())
        writeFile(lp + QStringLiteral("/uevent"), "MAJOR=180\nDEVNAME=" + devName + '\n');
}

// A printer at a case's own loopback address, since the command port is fixed.
EmulatorOptions at(const char *address)
{
    EmulatorOptions options;
    options.listen = QHostAddress(QString::fromLatin1(address));
    return options;
}

// HostCmd's announcements and answers, queued as the program's receivers get them: no race with the reader.
struct HostCmdEvents
{
    HostCmdEvents()
    {
        QObject::connect(&g_hostCmd, &HostCmd::deviceFound, &context, [this] { ++found; }, Qt::QueuedConnection);
        QObject::connect(&g_hostCmd, &HostCmd::responseReceived, &context,
                         [this](const QByteArray &response) { responses << response; }, Qt::QueuedConnection);
    }

    QObject context;
    int found = 0;
    QList<QByteArray> responses;
};

enum Fault { Pieces, ZeroLength, ReadErrors, Unplug, RefuseOpen };

// A write to the usblp double: how its transfers go, the write, and what must come of it.
struct WriteCase
{
    int transferMs;
    bool stalled;
    int size;
    int timeoutMs;
    bool unplugMidWrite;
    bool written;
    int delivered; // what the printer has in the end
    int minMs;     // from the write to the end of the close; under 1.5 s always
};

} // namespace

Q_DECLARE_METATYPE(WriteCase)

// The tool's links against the emulator in this process: TCP over loopback, USB on doubles and a fake sysfs.
class TestLinks : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    Transceiver *transceiver = nullptr;
    PrinterState state;
    EmulatorOptions options;
    HostCmdEvents events;
#ifdef ZOMRA_HAVE_FUSE
    // Outlive the link, which cleanup() closes first.
    std::unique_ptr<QTemporaryDir> fuseDir;
    std::unique_ptr<UsbFusePrinter> fuse;

    // Mounts the usblp double and points the tool's sysfs root at it; else says why not.
    QString startUsblp()
    {
        fuseDir = std::make_unique<QTemporaryDir>();
        QDir(fuseDir->path()).mkdir(QStringLiteral("mnt"));
        fuse = std::make_unique<UsbFusePrinter>(state, options);
        if (!fuse->start(fuseDir->filePath(QStringLiteral("sys")), fuseDir->filePath(QStringLiteral("mnt")),
                         0x3273, 0x0002))
            return QStringLiteral("no usblp double: FUSE unavailable (%1)").arg(fuse->errorString());
        UsbPort::setSysfsRoot(fuseDir->filePath(QStringLiteral("sys")).toStdString());
        return QString();
    }

    // The driver's misbehaviour a case names, on the usblp double.
    void injectFault(int fault)
    {
        UsblpDevice::Faults faults;
        faults.refuseOpen = fault == RefuseOpen ? EACCES : 0;
        faults.zlpEvery = fault == ZeroLength ? 2 : 0;
        fuse->device()->setFaults(faults);
        if (fault == ZeroLength)
            fuse->device()->injectZeroLengthPackets(4); // a run of them before the first answer
        if (fault == ReadErrors)
            fuse->device()->injectReadErrors(5);
        if (fault == Unplug)
            fuse->device()->unplug();
    }
#endif

    QByteArray log() { return logTextSoFar(dir.filePath(QStringLiteral("log.txt"))); }

    // Hello answered: the link is up and has its session key.
    bool handshake(const QString &path, bool probe)
    {
        const int found = events.found;
        return transceiver->openUsb(path, probe) && QTest::qWaitFor([&] { return events.found > found; }, 3000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(logOpen(dir.filePath(QStringLiteral("log.txt"))));
        // The tags are built once, at the first link; the same pair twice lists a device twice.
        writeFile(dir.filePath(QStringLiteral("conf.ini")),
                  "[Conf]\nFileVersion=1\nVID_PID_List=\"3273:0002;abcd:0001;ABCD:0001\"\n");
        g_conf.setFileName(dir.filePath(QStringLiteral("conf.ini")));
        g_conf.load();
        options.keepAliveMs = 0;
        state.serialNumber = QStringLiteral("SN-LINK-1");
    }
    void init()
    {
        transceiver = new Transceiver;
        g_transceiver = transceiver;
        log();
    }
    void cleanup()
    {
        g_transceiver = nullptr;
        delete transceiver;
#ifdef ZOMRA_HAVE_FUSE
        fuse.reset(); // unmounts
        fuseDir.reset();
#endif
        UsbPort::setSysfsRoot("/sys");
    }

    void enumerationMatchesConfiguredIdentifiers()
    {
        QTemporaryDir sysfs;
        addDevice(sysfs.path(), 0, "3273", "0002", "usb/lp0");
        addDevice(sysfs.path(), 1, "1234", "5678", "usb/lp1"); // someone else's printer
        addDevice(sysfs.path(), 2, "ABCD", "0001", "usb/lp2"); // twice on the list
        addDevice(sysfs.path(), 10, "3273", "0002", QByteArray()); // no uevent: the usual node
        UsbPort::setSysfsRoot(sysfs.path().toStdString());
        QCOMPARE(UsbPrinter::enumeratePrinters(),
                 (QStringList{"/dev/usb/lp0", "/dev/usb/lp2", "/dev/usb/lp2", "/dev/usb/lp10"}));
        QVERIFY(log().contains("2: /dev/usb/lp1 (usb#vid_1234&pid_5678)")); // seen, not listed
        QTemporaryDir empty; // no printer-class driver at all
        UsbPort::setSysfsRoot(empty.path().toStdString());
        QCOMPARE(UsbPrinter::enumeratePrinters(), QStringList());
    }

    // One link at a time, a probe announces nothing, traffic survives the driver, an unplug ends the reader
    // once. The pseudo-terminal double's sessions run in tst_dialogconnect and tst_mainwindow.
    void sessions_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("tcp: answers in 7-byte pieces") << int(Pieces);
        QTest::newRow("usblp: zero-length packets are no end") << int(ZeroLength);
        QTest::newRow("usblp: EIO survived, logged within bounds") << int(ReadErrors);
        QTest::newRow("usblp: ENODEV: unplugged, one disconnected()") << int(Unplug);
        QTest::newRow("usblp: open refused with EACCES, even to root") << int(RefuseOpen);
    }
    void sessions()
    {
        QFETCH(int, fault);
        const bool tcp = fault == Pieces;
        std::unique_ptr<PrinterEmulator> emulator;
        QString path;
        QVERIFY(!transceiver->write("x", 1, 100) && !g_hostCmd.query(GetDeviceInfo)); // no link yet
        if (!tcp) {
#ifdef ZOMRA_HAVE_FUSE
            const QString unavailable = startUsblp();
            if (!unavailable.isEmpty())
                QSKIP(qPrintable(unavailable));
            path = fuse->devicePath();
            if (fault == RefuseOpen) {
                injectFault(fault);
                QVERIFY(!transceiver->openUsb(path, true));
                QVERIFY(log().contains("CreateFile failed (err=13)."));
                return;
            }
#else
            QSKIP("built without FUSE: no usblp double");
#endif
        }
        QSignalSpy connected(transceiver, &Transceiver::connected);
        if (tcp) {
            EmulatorOptions pieces = at("127.0.0.2");
            pieces.chunk = 7; // whole answers come in every window test
            emulator = std::make_unique<PrinterEmulator>(pieces);
            emulator->state().serialNumber = state.serialNumber;
            QVERIFY2(emulator->listen(), qPrintable(emulator->errorString()));
            QVERIFY(transceiver->connectTcp(pieces.listen));
            QCOMPARE(transceiver->linkType(), Transceiver::LinkTcp); // while it connects
            QVERIFY(!transceiver->connectTcp(pieces.listen));
            QVERIFY(connected.wait(5000));
            // The options reach the connected socket itself (Qt drops those set before).
            const int fd = int(transceiver->tcpPrinter()->findChild<QTcpSocket *>()->socketDescriptor());
            int keepAlive = 0, noDelay = 0;
            socklen_t length = sizeof(int);
            QVERIFY(getsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &keepAlive, &length) == 0 && keepAlive);
            QVERIFY(getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, &length) == 0 && noDelay);
        } else {
            QVERIFY(handshake(path, true));
            QTest::qWait(20);
            QVERIFY(connected.isEmpty() && transceiver->probing()); // a probe announces nothing
            transceiver->close(); // else the next open is refused: one link at a time
            QVERIFY(handshake(path, false));
            QTRY_COMPARE(connected.count(), 1);
            QCOMPARE(transceiver->linkType(), Transceiver::LinkUsb);
            QVERIFY(!transceiver->usbPrinter()->usbOpen(path));
        }
        // One link at a time; the open one is untouched.
        QVERIFY(!transceiver->openUsb(path, false));
        QVERIFY(!transceiver->connectTcp(QHostAddress::LocalHost));
        log();
        QSignalSpy disconnected(transceiver, &Transceiver::disconnected);
#ifdef ZOMRA_HAVE_FUSE
        if (!tcp)
            injectFault(fault);
#endif
        if (fault == Unplug) {
            QTRY_COMPARE(disconnected.count(), 1);
            QTest::qWait(50);
            QCOMPARE(disconnected.count(), 1);
            QVERIFY(!transceiver->usbPrinter()->isOpen() && !transceiver->usbPrinter()->readerRunning());
            // The link type stays until close(): the window tells a lost USB link that way.
            QCOMPARE(transceiver->linkType(), Transceiver::LinkUsb);
            const QByteArray text = log();
            QCOMPARE(text.count("ReadFile failed (err=19)."), 1);
            QCOMPARE(text.count("USB closed."), 1);
            QVERIFY(!g_hostCmd.query(GetDeviceInfo));
            return;
        }
        QSignalSpy written(transceiver, &Transceiver::bytesWritten);
        events.responses.clear();
        for (quint16 word = GetDeviceInfo; word <= GetNvImageList; ++word)
            QVERIFY(g_hostCmd.query(word));
        QTRY_COMPARE(events.responses.count(), 9);
        QCOMPARE(written.count(), 9);
        QCOMPARE(events.responses.at(0).mid(34, 9), QByteArray("SN-LINK-1"));
        const QByteArray text = log();
        QCOMPARE(text.count("GetOverlappedResult failed."), fault == ReadErrors ? int(UsbPrinter::LoggedReadFailures) : 0);
        QCOMPARE(text.contains("Reading again after 5 failed reads."), fault == ReadErrors);
        transceiver->close();
        QCOMPARE(transceiver->linkType(), Transceiver::LinkNone);
        QTRY_COMPARE(disconnected.count(), 1);
        transceiver->close(); // closing a closed link does nothing and says nothing
        transceiver->usbPrinter()->usbClose();
        QTest::qWait(20);
        QCOMPARE(disconnected.count(), 1);
    }

    void keepAliveHoldsAndSilenceDrops()
    {
        EmulatorOptions options = at("127.0.0.3");
        options.keepAliveMs = 10;
        PrinterEmulator talking(options);
        QVERIFY(talking.listen());
        transceiver->tcpPrinter()->setHeartbeatInterval(50);
        QSignalSpy connected(transceiver, &Transceiver::connected);
        QSignalSpy disconnected(transceiver, &Transceiver::disconnected);
        QVERIFY(transceiver->connectTcp(options.listen));
        QVERIFY(connected.wait(5000));
        QTest::qWait(50 * TcpPrinter::HeartbeatLimit * 2);
        QCOMPARE(disconnected.count(), 0);
        transceiver->close();
        QTRY_COMPARE(disconnected.count(), 1);

        // Announced, then nothing more: lost once the heartbeat runs out.
        options = at("127.0.0.4");
        options.keepAliveMs = 0;
        PrinterEmulator quiet(options);
        QVERIFY(quiet.listen());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(transceiver->connectTcp(options.listen));
        QTRY_COMPARE_WITH_TIMEOUT(disconnected.count(), 2, 5000);
        QVERIFY(clock.elapsed() >= 50 * (TcpPrinter::HeartbeatLimit - 1));
        QCOMPARE(connected.count(), 2);
        QCOMPARE(transceiver->linkType(), Transceiver::LinkTcp); // lost, not closed
        QCOMPARE(log().count("Heartbeat lost"), 1);
    }

    // Attempts that never reach an announced printer: one connectFailed and log line, no disconnected().
    void failedAttempts_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing listens") << false << "Cannot connect to 127.0.0.5:17900: connection refused";
        QTest::newRow("no handshake answer") << true << "The printer at 127.0.0.5 did not answer the handshake";
    }
    void failedAttempts()
    {
        QFETCH(bool, listening);
        QFETCH(QString, message);
        EmulatorOptions options = at("127.0.0.5");
        options.silent = true;
        PrinterEmulator printer(options);
        if (listening)
            QVERIFY(printer.listen());
        transceiver->setHandshakeTimeout(300);
        QSignalSpy failed(transceiver, &Transceiver::connectFailed);
        QSignalSpy disconnected(transceiver, &Transceiver::disconnected);
        QVERIFY(transceiver->connectTcp(options.listen));
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 3000);
        QVERIFY2(failed.at(0).at(0).toString().startsWith(message), qPrintable(failed.at(0).at(0).toString()));
        QTest::qWait(100);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(disconnected.count(), 0);
        QCOMPARE(transceiver->linkType(), Transceiver::LinkNone);
        const QByteArray text = log();
        QVERIFY(text.count(message.toUtf8()) == 1 && !text.contains("error="));
    }

    // A reader's end reaches the GUI thread late, maybe after another device opened: that one stays.
    void lateEndOfAnOldReaderKeepsTheNewDevice()
    {
        QTemporaryDir first, second;
        UsbPtyPrinter old(state, options), current(state, options);
        QVERIFY(old.start(first.path(), 0x3273, 0x0002));
        QVERIFY(current.start(second.path(), 0x3273, 0x0002));
        UsbPrinter *usb = transceiver->usbPrinter();
        QVERIFY(usb->usbOpen(old.devicePath()));
        old.unplug();
        QElapsedTimer clock;
        clock.start();
        while (usb->readerRunning() && clock.elapsed() < 3000)
            QThread::msleep(5); // no event loop: the reader's end stays queued
        QVERIFY(!usb->readerRunning());
        usb->usbClose();
        QVERIFY(usb->usbOpen(current.devicePath()));
        QTest::qWait(50);
        QCOMPARE(usb->interfaceName(), current.devicePath()); // cleared, had it been closed
        usb->usbClose();
    }

    void refusedPaths()
    {
        UsbPrinter *usb = transceiver->usbPrinter();
        QVERIFY(!usb->usbOpen(QStringLiteral("/dev/") + QString(300, QLatin1Char('x'))));
        QVERIFY(!usb->usbOpen(dir.filePath(QStringLiteral("no-such-device"))));
        const QByteArray text = log();
        QVERIFY(text.contains("CreateFile failed (err=36).")); // too long: refused, not cut
        QVERIFY(text.contains("CreateFile failed (err=2)."));
        QVERIFY(!usb->write("x", 1, 100)); // nothing open
    }

#ifdef ZOMRA_HAVE_FUSE
    // The write side: written means the transfer has ended.
    void usblpWrites_data()
    {
        QTest::addColumn<WriteCase>("c");
        const int transfer = UsblpDevice::TransferSize;
        // Three transfers of 100 ms each: reported once all have ended, not when queued.
        QTest::newRow("reported when the transfers ended") << WriteCase{100, false, 20000, 2000, false, true, 20000, 290};
        QTest::newRow("stalled: fails after its time limit") << WriteCase{0, true, 20000, 200, false, false, transfer, 190};
        QTest::newRow("unplugged while stalled: fails at once") << WriteCase{0, true, 100, 3000, true, false, 0, 90};
        // Too slow for the time limit, but the close lets it end rather than drop it.
        QTest::newRow("slow tail finishes before the close") << WriteCase{400, false, 100, 100, false, false, 100, 390};
    }
    void usblpWrites()
    {
        QFETCH(WriteCase, c);
        const auto [transferMs, stalled, size, timeoutMs, unplugMidWrite, written, delivered, minMs] = c;
        const QString unavailable = startUsblp();
        if (!unavailable.isEmpty())
            QSKIP(qPrintable(unavailable));
        UsblpDevice *node = fuse->device();
        UsbPrinter *usb = transceiver->usbPrinter();
        QVERIFY(usb->usbOpen(fuse->devicePath()));
        UsblpDevice::Faults faults;
        faults.transferMs = transferMs;
        faults.stalled = stalled;
        node->setFaults(faults);
        log();

        // This thread is blocked in the write: the unplug comes through the control file.
        std::thread unplugger;
        if (unplugMidWrite) {
            const QString control = QFileInfo(node->nodePath()).dir().filePath(QStringLiteral("control"));
            unplugger = std::thread([control] {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                QFile f(control);
                if (f.open(QIODevice::WriteOnly))
                    f.write("unplug\n");
            });
        }
        QSignalSpy bytesWritten(usb, &UsbPrinter::bytesWritten);
        const QByteArray data(size, 'A');
        QElapsedTimer clock;
        clock.start();
        const bool ok = usb->write(data.constData(), quint32(size), quint32(timeoutMs));
        if (unplugger.joinable())
            unplugger.join();
        QCOMPARE(ok, written);
        QCOMPARE(bytesWritten.count(), written ? 1 : 0);
        if (written) // all of it, already
            QVERIFY(node->counters().transferred == size && bytesWritten.at(0).at(0).toLongLong() == size);
        else
            QVERIFY(log().contains(unplugMidWrite ? "WriteFile failed (err=19)." : "Write timed out after"));
        if (stalled && !unplugMidWrite) {
            faults.stalled = false; // paper back in: the close need not wait out its limit
            node->setFaults(faults);
        }
        QSignalSpy released(node, &UsblpDevice::hostClosed);
        usb->usbClose();
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= minMs && elapsed < 1500, qPrintable(QString::number(elapsed)));
        QVERIFY(released.count() == 1 || released.wait(2000));
        QCOMPARE(node->counters().droppedAtClose, 0);
        QCOMPARE(node->counters().transferred, qint64(delivered));
    }
#endif
};

QTEST_GUILESS_MAIN(TestLinks)
#include "tst_links.moc"
