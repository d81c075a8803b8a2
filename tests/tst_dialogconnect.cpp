#include "tests/privatenetns.h"
#include "tests/testbytes.h"
#include "tests/windowfixture.h" // message box helpers
#include "app/conf.h"
#include "app/log.h"
#include "app/globals.h"
#include "emulator/usbptyprinter.h"
#include "emulator/usbsysfs.h"
#include "profiles/dialogrollout.h"
#include "protocol/dialogconnect.h"
#include "transport/usbport.h"
#include "transport/usbprinter.h"

#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QNetworkDatagram>
#include <QTableWidget>
#include <QUdpSocket>

namespace {

constexpr int FastStepMs = 10;

// A printer answering from its own loopback address straight to the dialog's port: the
// namespace has only loopback, which the dialog never sends on.
struct Answerer
{
    QUdpSocket socket;
    QByteArray answer;
    Answerer(const QString &address, const QByteArray &bytes) : answer(bytes) { socket.bind(QHostAddress(address), 0); }
    void send() { socket.writeDatagram(answer, QHostAddress::LocalHost, Wire::DiscoveryPort); }
};

bool waitIdle(DialogConnect &dialog, int ms = 10000)
{
    return QTest::qWaitFor([&] { return dialog.phase() == DialogConnect::PhaseIdle; }, ms);
}

QStringList row(QTableWidget *table, int r)
{
    return {table->item(r, 0)->text(), table->item(r, 1)->text(), table->item(r, 2)->text()};
}

void typeAddress(DialogConnect &dialog, const QString &address)
{
    dialog.addressEdit()->clear();
    QTest::keyClicks(dialog.addressEdit(), address);
}

} // namespace

class TestDialogConnect : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QTemporaryDir noUsb; // a sysfs tree without printers: no real device is ever probed
    Transceiver *transceiver = nullptr;

private slots:
    void initTestCase()
    {
        if (!inPrivateNetns()) // the dialog multicasts as soon as it exists
            QSKIP("sends multicast: run inside scripts/netns-run.sh");
        QVERIFY(logOpen(dir.filePath(QStringLiteral("log.txt"))));
        // Default identifiers, before the first USB link builds its tags from them.
        g_conf.setFileName(dir.filePath(QStringLiteral("conf.ini")));
        g_conf.load();
    }
    void init()
    {
        UsbPort::setSysfsRoot(noUsb.path().toStdString());
        DialogConnect::setStepInterval(FastStepMs);
        g_transceiver = transceiver = new Transceiver;
    }
    void cleanup()
    {
        g_transceiver = nullptr;
        delete transceiver;
        g_demoMode = false;
    }

    void scanWithoutPrinters_data()
    {
        QTest::addColumn<bool>("demo");
        QTest::newRow("nothing answers") << false;
        QTest::newRow("demo mode") << true;
    }
    void scanWithoutPrinters()
    {
        QFETCH(bool, demo);
        g_demoMode = demo;
        QElapsedTimer clock;
        clock.start();
        DialogConnect dialog;
        QVERIFY(!dialog.scanButton()->isEnabled());
        QVERIFY(waitIdle(dialog));
        QVERIFY(clock.elapsed() >= DialogConnect::NetworkSteps * FastStepMs * 95 / 100); // coarse: 5 % early
        QVERIFY(dialog.scanButton()->isEnabled());
        QCOMPARE(dialog.table()->rowCount(), demo ? 2 : 0);
        QCOMPARE(dialog.connectButton()->isEnabled(), demo); // sample row 0 is selected
        dialog.connectButton()->click(); // and leads nowhere
        QCOMPARE(dialog.result(), 0);
        QCOMPARE(transceiver->linkType(), Transceiver::LinkNone);
    }

    void networkAnswersBecomeRows_data()
    {
        QTest::addColumn<QStringList>("answerers"); // address, sn, address, sn, ...
        QTest::newRow("one serial number at two addresses") << QStringList{"127.0.0.2", "ZR-A", "127.0.0.3", "ZR-A"};
        QTest::newRow("two serial numbers at one address") << QStringList{"127.0.0.2", "ZR-A", "127.0.0.2", "ZR-B"};
    }
    void networkAnswersBecomeRows()
    {
        QFETCH(QStringList, answerers);
        std::vector<std::unique_ptr<Answerer>> printers;
        for (int i = 0; i < answerers.size(); i += 2)
            printers.push_back(std::make_unique<Answerer>(
                answerers.at(i), deviceRecord("RX210", "RX220_S", qPrintable(answerers.at(i + 1)))));
        DialogConnect dialog;
        int steps = 0;
        connect(&dialog, &DialogConnect::nextDevice, this, [&] { // as if answering each request
            if (dialog.phase() != DialogConnect::PhaseNetwork)
                return;
            ++steps;
            for (auto &p : printers)
                p->send();
        });
        QVERIFY(waitIdle(dialog));
        QVERIFY(steps >= DialogConnect::NetworkSteps);
        QCOMPARE(dialog.table()->rowCount(), 2); // every answer repeated, each printer once
        for (int r = 0; r < 2; ++r) {
            const QString network = QStringLiteral("Network (%1)").arg(answerers.at(2 * r));
            QCOMPARE(row(dialog.table(), r), (QStringList{"RX220_S", answerers.at(2 * r + 1), network}));
            QCOMPARE(dialog.entry(r)->project, QStringLiteral("RX210"));
        }
        QCOMPARE(dialog.table()->selectedItems().first()->row(), 0);
        QVERIFY(dialog.connectButton()->isEnabled());
        QVERIFY(dialog.applyProfileButton()->isEnabled());
    }

    // The search line through the phases; the titles whole before any row; none found: the Address field.
    void searchLineFollowsTheScan()
    {
        Answerer printer(QStringLiteral("127.0.0.2"), deviceRecord("RX210", "RX220_S", "ZR-A"));
        DialogConnect::setStepInterval(1000);
        DialogConnect dialog;
        const QLabel *line = dialog.searchLabel();
        QCOMPARE(line->text(), QStringLiteral("Searching USB printers..."));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const QHeaderView *header = dialog.table()->horizontalHeader();
        for (int c = 0; c < 3; ++c)
            QVERIFY(header->sectionSize(c) >= header->fontMetrics().horizontalAdvance(dialog.table()->horizontalHeaderItem(c)->text()));
        QTRY_COMPARE(line->text(), QStringLiteral("Searching the network: 60 s left, 0 found"));
        printer.send();
        QTRY_VERIFY(line->text().endsWith(QLatin1String(" s left, 1 found")));
        DialogConnect::setStepInterval(FastStepMs);
        QVERIFY(waitIdle(dialog));
        QCOMPARE(line->text(), QStringLiteral("Search finished: 1 found"));
        dialog.addressEdit()->setText(QStringLiteral("127.0.0.5"));
        dialog.scanButton()->click();
        QVERIFY(waitIdle(dialog));
        QVERIFY(line->text().startsWith(QLatin1String("No printer answered. Type the printer's IPv4 address")));
        QVERIFY(dialog.addressEdit()->hasFocus());
        QCOMPARE(dialog.addressEdit()->selectedText(), QStringLiteral("127.0.0.5"));
    }

    // Four paths: a printer, a node that cannot be opened, the first printer again, another.
    void usbProbesThenConnects()
    {
        EmulatorOptions options;
        options.keepAliveMs = 0;
        PrinterState first, second;
        first.model = QStringLiteral("RX160");
        first.serialNumber = QStringLiteral("ZR-USB-1");
        QTemporaryDir a, b, c, sysfs;
        UsbPtyPrinter p1(first, options), p1again(first, options), p2(second, options);
        QVERIFY(p1.start(a.path(), 0x3273, 2) && p1again.start(b.path(), 0x3273, 2) && p2.start(c.path(), 0x3273, 2));
        const QStringList nodes{p1.devicePath(), "/dev/zomra-no-such-printer", p1again.devicePath(), p2.devicePath()};
        for (int i = 0; i < nodes.size(); ++i)
            QVERIFY(UsbSysfs::writePrinter(sysfs.path(), nodes.at(i), 0x3273, 2, i));
        UsbPort::setSysfsRoot(sysfs.path().toStdString());
        DialogConnect::setStepInterval(DialogConnect::DefaultStepMs); // time for each answer

        DialogConnect dialog;
        bool enabledWhileProbing = true;
        connect(&dialog, &DialogConnect::nextDevice, this, [&] {
            if (dialog.phase() == DialogConnect::PhaseUsb && dialog.table()->rowCount() == 1
                && dialog.table()->selectedItems().isEmpty()) {
                dialog.table()->selectRow(0);
                enabledWhileProbing = dialog.connectButton()->isEnabled();
            }
            if (dialog.phase() == DialogConnect::PhaseNetwork)
                DialogConnect::setStepInterval(FastStepMs);
        });
        QVERIFY(waitIdle(dialog, 20000));
        QVERIFY(!enabledWhileProbing); // a probe link is open
        dialog.table()->selectAll(); // Connect takes the current row, 0
        QVERIFY(!dialog.applyProfileButton()->isEnabled()); // USB rows take no part in a roll-out
        QCOMPARE(dialog.table()->rowCount(), 3); // and the node that cannot be opened, greyed
        QCOMPARE(row(dialog.table(), 0), (QStringList{"RX160", "ZR-USB-1", "USB"}));
        QCOMPARE(row(dialog.table(), 1), (QStringList{"RX220_S", "ZR2108A0001234", "USB"}));
        QCOMPARE(dialog.entry(1)->address, p2.devicePath());
        QCOMPARE(transceiver->linkType(), Transceiver::LinkNone);

        QSignalSpy connected(transceiver, &Transceiver::connected);
        dialog.connectButton()->click();
        QCOMPARE(g_hostCmd.model(), QStringLiteral("RX160"));
        QCOMPARE(transceiver->usbPrinter()->interfaceName(), p1.devicePath());
        QVERIFY(connected.wait(3000));
        QCOMPARE(dialog.result(), int(QDialog::Accepted)); // once the printer answered
        transceiver->close();
    }

    void addressRules()
    {
        for (const char *text : {"192.168.1.256", "10.1.2", "192.168.01.5", "224.0.0.1", "0.0.0.0"})
            QVERIFY2(DialogConnect::parseAddress(QLatin1String(text)).isNull(), text);
        QCOMPARE(DialogConnect::parseAddress(QStringLiteral(" 10.0.0.1 ")), QHostAddress(QStringLiteral("10.0.0.1")));
    }

    void typedAddressConnects()
    {
        EmulatorOptions options;
        options.listen = QHostAddress(QStringLiteral("127.0.0.40"));
        options.printer.project = QStringLiteral("RX200");
        options.printer.model = QStringLiteral("RX230");
        PrinterEmulator printer(options);
        QVERIFY(printer.listen());
        QVERIFY(!printer.isAnsweringDiscovery()); // on loopback, never searched
        Answerer other(QStringLiteral("127.0.0.41"), deviceRecord("RX210", "RX220_S", "ZR-OTHER"));

        DialogConnect dialog;
        dialog.show();
        QTRY_COMPARE(dialog.phase(), DialogConnect::PhaseNetwork);
        // An incomplete address, then one nothing listens at: the dialog stays, says why, takes the next.
        typeAddress(dialog, QStringLiteral("192.168.1."));
        QString shown;
        readMessageBox(&shown);
        dialog.connectButton()->click();
        QCOMPARE(shown, QStringLiteral("Error|Invalid IP address."));
        QCOMPARE(transceiver->linkType(), Transceiver::LinkNone);
        typeAddress(dialog, QStringLiteral("127.0.0.42"));
        dialog.connectButton()->click();
        QTRY_VERIFY(dialog.statusLabel()->text().startsWith(QStringLiteral("Cannot connect to 127.0.0.42")));
        QCOMPARE(dialog.result(), 0);
        QVERIFY(dialog.connectButton()->isEnabled());
        typeAddress(dialog, QStringLiteral("127.0.0.40"));
        other.send();
        QVERIFY(waitIdle(dialog));
        QVERIFY(dialog.table()->selectedItems().isEmpty()); // the typed address stands
        QSignalSpy connected(transceiver, &Transceiver::connected);
        dialog.connectButton()->click();
        QCOMPARE(transceiver->address(), options.listen);
        QCOMPARE(dialog.statusLabel()->text(), QStringLiteral("Connecting to 127.0.0.40..."));
        QVERIFY(!dialog.connectButton()->isEnabled());
        QVERIFY(connected.wait(3000));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(g_hostCmd.project(), QStringLiteral("RX200")); // from the handshake
        QCOMPARE(g_hostCmd.model(), QStringLiteral("RX230"));
        transceiver->close();
    }

    // Two printers and an address where nothing listens: each printer's own address stays as it was.
    void rolloutOverThreePrinters()
    {
        EmulatorOptions a, b;
        a.listen = QHostAddress(QStringLiteral("127.0.0.61"));
        b.listen = QHostAddress(QStringLiteral("127.0.0.62"));
        PrinterEmulator first(a), second(b);
        QVERIFY(first.listen() && second.listen());
        Profile profile;
        profile.values = {{"serial.baudRate", 9600}, {"ethernet.staticAddress", "10.9.9.9"}};
        DialogRollout dialog(profile, QStringLiteral("shop.json"), {{a.listen}, {b.listen}, {QHostAddress(QStringLiteral("127.0.0.63"))}});
        dialog.start();
        QVERIFY(QTest::qWaitFor([&] { return !dialog.isRunning(); }, 15000));
        QCOMPARE(dialog.leftOutLabel()->text(), QStringLiteral("Left out, as each printer has its own: Ethernet static address."));
        QCOMPARE(dialog.table()->item(1, DialogRollout::ColumnSerial)->text(), b.printer.serialNumber);
        for (const QTableWidgetItem *result : {dialog.table()->item(0, 2), dialog.table()->item(1, 2), dialog.table()->item(2, 2)})
            QVERIFY2((result->foreground().color() == Qt::red) == (result->row() == 2), qPrintable(result->text()));
        for (PrinterEmulator *p : {&first, &second})
            QCOMPARE(QPair(p->state().serial.baudRate, p->state().ethernetStatic.address), QPair(9600, 0xC0A801C8u));
    }

    void localSubnet_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("local");
        QTest::newRow("inside eth0's /24") << "10.0.0.77" << true;
        QTest::newRow("outside every subnet") << "192.168.1.50" << false;
        QTest::newRow("inside eth1's /16, IPv6-mapped") << "::ffff:172.20.9.1" << true;
        QTest::newRow("this computer's loopback") << "127.0.0.2" << true;
        QTest::newRow("inside eth0's second address") << "192.168.7.40" << true;
    }
    void localSubnet()
    {
        QFETCH(QString, address);
        QFETCH(bool, local);
        const QList<DiscoverySearch::Interface> interfaces{
            {"eth0", {{QHostAddress("10.0.0.5"), 24}, {QHostAddress("192.168.7.9"), 24}}, true, {}},
            {"wlan0", {}, false, {}},
            {"eth1", {{QHostAddress("172.20.0.2"), 16}}, true, {}}};
        QCOMPARE(DiscoverySearch::onLocalSubnet(QHostAddress(address), interfaces), local);
        QCOMPARE(DiscoverySearch::subnetsText(interfaces), QStringLiteral("10.0.0.5/24, 192.168.7.9/24, 172.20.0.2/16"));
    }

    void unboundUsbPrinterIsGreyedWithItsFix()
    {
        QTemporaryDir sysfs;
        QVERIFY(UsbSysfs::writeUnboundDevice(sysfs.path(), QStringLiteral("1-1.4"), 0x3273, 2));
        UsbPort::setSysfsRoot(sysfs.path().toStdString());
        DialogConnect dialog;
        QVERIFY(waitIdle(dialog));
        QCOMPARE(dialog.table()->rowCount(), 1);
        QVERIFY(!(dialog.table()->item(0, 0)->flags() & (Qt::ItemIsEnabled | Qt::ItemIsSelectable)));
        QVERIFY(dialog.table()->item(0, 3)->text().contains(QLatin1String("usblp driver is not bound")));
        dialog.copyFix(0);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("sudo modprobe usblp"));
    }

    void emulatorAnswersDiscovery()
    {
        EmulatorOptions options;
        options.listen = QHostAddress::AnyIPv4;
        options.port = 0;
        options.printer.serialNumber = QStringLiteral("ZR-EMU-9");
        PrinterEmulator printer(options);
        QVERIFY(printer.listen());
        QUdpSocket tool;
        QVERIFY(tool.bind(QHostAddress(QStringLiteral("127.0.0.7")), 0));
        tool.writeDatagram(QByteArray(4, 'r'), QHostAddress::LocalHost, Wire::DiscoveryPort);
        QVERIFY(QTest::qWaitFor([&] { return tool.hasPendingDatagrams(); }, 3000));
        QCOMPARE(tool.receiveDatagram().data(), deviceRecord("RX210", "RX220_S", "ZR-EMU-9"));
        // An answer is no request: two printers on one machine must not start a loop.
        tool.writeDatagram(deviceRecord("RX210", "RX220_S", "ZR-EMU-9"), QHostAddress::LocalHost, Wire::DiscoveryPort);
        QTest::qWait(100);
        QVERIFY(!tool.hasPendingDatagrams());
        printer.close();
        QVERIFY(!printer.isAnsweringDiscovery());
    }
};

QTEST_MAIN(TestDialogConnect)
#include "tst_dialogconnect.moc"
