#include "emulator/usbsysfs.h"
#include "transport/usbdiagnosis.h"
#ifdef ZOMRA_HAVE_FUSE
#include "emulator/usbfuseprinter.h"
#include "emulator/usblpdevice.h"
#endif

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

static void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()) && f.open(QIODevice::WriteOnly) && f.write(content) >= 0);
}

class TestUsbDiagnosis : public QObject
{
    Q_OBJECT

private slots:
    // Plain files stand in for nodes and open; a device of someone else's, and one without a node.
    void madeTree()
    {
        QTemporaryDir dir;
        const QString sys = dir.filePath(QStringLiteral("sys"));
        for (int n : {10, 9, 3}) {
            const QString node = dir.filePath(QStringLiteral("dev/lp%1").arg(n));
            writeFile(node, QByteArray());
            QVERIFY(UsbSysfs::writePrinter(sys, node, n == 3 ? 0x1234 : 0x3273, 0x0002, n));
        }
        writeFile(sys + QStringLiteral("/bus/usb/devices/1-2/idVendor"), "3273\n");
        writeFile(sys + QStringLiteral("/bus/usb/devices/1-2/idProduct"), "00d2\n");
        // The device of lp9 seen from the bus as well: listed once.
        QVERIFY(QFile::link(sys + QStringLiteral("/class/usbmisc/lp9"), sys + QStringLiteral("/bus/usb/devices/1-1")));

        QStringList found;
        for (const UsbDiagnosis::Printer &p : UsbDiagnosis::check({0x32730002, 0x327300d2}, {sys, QString(), dir.path()}))
            found << QStringLiteral("%1 %2 %3 %4").arg(p.device, QFileInfo(p.node).fileName()).arg(int(p.state)).arg(p.fix());
        QCOMPARE(found, QStringList({"lp9 lp9 0 ", "lp10 lp10 0 ", "1-2  1 sudo modprobe usblp"}));
    }

#ifdef ZOMRA_HAVE_FUSE
    // The usblp double refuses every open, even to root, as a node without rights or one held would.
    void refused_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("ours"); // the holder is this process, as with the window's own link
        QTest::newRow("no permission") << EACCES << "You may not open %1 (owner " << false;
        QTest::newRow("busy") << EBUSY << "%1 is held by another program: cupsd (pid 812)" << false;
        QTest::newRow("held by this tool") << EBUSY << "%1 opens: the printer can be used" << true;
    }

    void refused()
    {
        QFETCH(int, error);
        QFETCH(QString, reason);
        QFETCH(bool, ours);
        QTemporaryDir dir;
        PrinterState state;
        UsbFusePrinter fuse(state, EmulatorOptions());
        if (!QDir(dir.path()).mkdir(QStringLiteral("mnt"))
            || !fuse.start(dir.filePath(QStringLiteral("sys")), dir.filePath(QStringLiteral("mnt")), 0x3273, 0x00d2))
            QSKIP(qPrintable(QStringLiteral("no usblp double: FUSE unavailable (%1)").arg(fuse.errorString())));
        UsblpDevice::Faults faults;
        faults.refuseOpen = error;
        fuse.device()->setFaults(faults);
        const QString holder = dir.filePath(QStringLiteral("proc/%1").arg(ours ? getpid() : 812));
        writeFile(holder + QStringLiteral("/comm"), "cupsd\n");
        writeFile(holder + QStringLiteral("/fd/3"), QByteArray()); // a file of its own, then the node
        QVERIFY(QFile::link(fuse.devicePath(), holder + QStringLiteral("/fd/4")));
        const QString proc = dir.filePath(QStringLiteral("proc"));

        const auto printers = UsbDiagnosis::check({0x327300d2}, {dir.filePath(QStringLiteral("sys")), QString(), proc});
        QCOMPARE(printers.size(), 1);
        QVERIFY2(printers.at(0).reason().startsWith(reason.arg(fuse.devicePath())), qPrintable(printers.at(0).reason()));
        QCOMPARE(printers.at(0).fix().isEmpty(), error == EBUSY);
    }
#endif
};

QTEST_GUILESS_MAIN(TestUsbDiagnosis)
#include "tst_usbdiagnosis.moc"
