#include "emulator/usbsysfs.h"
#include "transport/usbdiagnosis.h"
#ifdef ZOMRA_HAVE_FUSE
#include "emulator/usbfuseprinter.h"
#include "emulator/usblpdevice.h"
#endif

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

namespace {

const QList<quint32> Ids = {0x32730002, 0x327300d2};

void writeFile(const QString &path, const QByteArray &content)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// Device, node's name and state of each printer found, in order.
QStringList found(const QList<UsbDiagnosis::Printer> &printers)
{
    QStringList lines;
    for (const UsbDiagnosis::Printer &p : printers)
        lines << QStringLiteral("%1 %2 %3").arg(p.device, QFileInfo(p.node).fileName()).arg(int(p.state));
    return lines;
}

} // namespace

class TestUsbDiagnosis : public QObject
{
    Q_OBJECT

private slots:
    // Plain files stand in for nodes: they open; a device of someone else's and one without a node.
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
        writeFile(sys + QStringLiteral("/bus/usb/devices/1-2:1.0/bInterfaceClass"), "07\n");
        // The device of lp9 seen from the bus as well: listed once.
        QVERIFY(QFile::link(sys + QStringLiteral("/class/usbmisc/lp9"), sys + QStringLiteral("/bus/usb/devices/1-1")));

        const QList<UsbDiagnosis::Printer> printers = UsbDiagnosis::check(Ids, {sys, QString(), dir.path()});
        QCOMPARE(found(printers), QStringList({"lp9 lp9 0", "lp10 lp10 0", "1-2  1"}));
        QVERIFY(printers.at(0).fix().isEmpty());
        QCOMPARE(printers.at(2).fix(), QStringLiteral("sudo modprobe usblp"));
    }

    // The usblp double refuses every open, even to root, as a node without rights or one held would.
    void refused_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no permission") << EACCES << "You may not open %1 (owner ";
        QTest::newRow("busy") << EBUSY << "%1 is held by another program: cupsd (pid 812)";
    }

    void refused()
    {
        QFETCH(int, error);
        QFETCH(QString, reason);
#ifdef ZOMRA_HAVE_FUSE
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("mnt")));
        PrinterState state;
        UsbFusePrinter fuse(state, EmulatorOptions());
        if (!fuse.start(dir.filePath(QStringLiteral("sys")), dir.filePath(QStringLiteral("mnt")), 0x3273, 0x00d2))
            QSKIP(qPrintable(QStringLiteral("no usblp double: FUSE unavailable (%1)").arg(fuse.errorString())));
        UsblpDevice::Faults faults;
        faults.refuseOpen = error;
        fuse.device()->setFaults(faults);
        const QString proc = dir.filePath(QStringLiteral("proc"));
        writeFile(proc + QStringLiteral("/812/comm"), "cupsd\n");
        writeFile(proc + QStringLiteral("/900/comm"), "bash\n");
        QVERIFY(QDir(proc).mkpath(QStringLiteral("812/fd")) && QDir(proc).mkpath(QStringLiteral("900/fd")));
        QVERIFY(QFile::link(fuse.devicePath(), proc + QStringLiteral("/812/fd/4")));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("sys")), proc + QStringLiteral("/900/fd/3")));

        const QList<UsbDiagnosis::Printer> printers
            = UsbDiagnosis::check(Ids, {dir.filePath(QStringLiteral("sys")), QString(), proc});
        QCOMPARE(printers.size(), 1);
        QCOMPARE(printers.at(0).error, error);
        QVERIFY2(printers.at(0).reason().startsWith(reason.arg(fuse.devicePath())), qPrintable(printers.at(0).reason()));
        QCOMPARE(printers.at(0).fix().isEmpty(), error == EBUSY);
#else
        Q_UNUSED(error);
        Q_UNUSED(reason);
        QSKIP("built without FUSE: no usblp double");
#endif
    }
};

QTEST_GUILESS_MAIN(TestUsbDiagnosis)
#include "tst_usbdiagnosis.moc"
