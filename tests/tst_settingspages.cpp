#include "tests/windowfixture.h"

#include "emulator/ptydevice.h"
#include "pages/dialogserialconnect.h"
#include "pages/widgetaudio.h"
#include "pages/widgetlan.h"
#include "pages/widgetserial.h"
#include "pages/widgetwifi.h"
#include "pages/widgetwnet.h"
#include "protocol/audiosettingsrecord.h"
#include "protocol/networkinformation.h"
#include "protocol/serialsettingsrecord.h"
#include "protocol/wnetapnrecord.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSerialPort>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QList<qint32> values(const SerialSettingsRecord &r) { return {r.baudRate, r.dataBits, r.stopBits, r.parity}; }

QByteArray wnetAnswer(const QByteArray &position, qint16 rssi, quint16 status, quint16 flag)
{
    QByteArray a = answer(GetWnetInfo, 344);
    a.replace(194, position.size(), position);
    ByteFields::putU16(a, 258, quint16(rssi));
    ByteFields::putU16(a, 260, status);
    ByteFields::putU16(a, 262, flag);
    a.replace(264, 5, "cmnet");
    a.replace(328, 4, "*99#");
    return a;
}

// Picks the entry with the given port path in the next serial port dialog, or cancels it
// for an empty path.
void choosePort(const QString &path)
{
    QTimer::singleShot(0, [path] {
        if (auto *dialog = qobject_cast<DialogSerialConnect *>(QApplication::activeModalWidget())) {
            dialog->portBox()->setCurrentIndex(dialog->portBox()->findData(path));
            path.isEmpty() ? dialog->doCancel() : dialog->doOk();
        }
    });
}

} // namespace

// The settings tabs, each case connected to a printer of its own so that the tabs are enabled.
class TestSettingsPages : public WindowFixture
{
    Q_OBJECT

    int host = 100;
    int countOf(quint16 word, int from) const { return int(wordsSince(from).count(word)); }

private slots:
    void initTestCase() { setUpWindow(); }
    void init() { QVERIFY(connectTo(qPrintable(QStringLiteral("127.0.0.%1").arg(host++)), "RX210", "RX220_S")); }
    void cleanup() { resetWindow(); }
    void cleanupTestCase() { tearDownWindow(); }

    void serialSelectionsFallBackToFirstItem()
    {
        WidgetSerial *page = window->serialPage();
        page->fill({9601, 9, 0, 3}); // none of them offered
        QCOMPARE(values(page->settings()), (QList<qint32>{2400, 7, 1, 0}));
        QVERIFY(!page->saveButton()->isEnabled());
        // A change and back is still a change: the user touched it.
        page->findChild<QComboBox *>()->setCurrentIndex(3);
        page->findChild<QComboBox *>()->setCurrentIndex(0);
        QVERIFY(page->saveButton()->isEnabled());
    }

    void audioMasterSwitch()
    {
        WidgetAudio *page = window->audioPage();
        const QList<QCheckBox *> boxes = page->findChildren<QCheckBox *>(); // All first
        const auto enabled = [&] {
            return std::count_if(boxes.begin() + 1, boxes.end(), [](const QCheckBox *b) { return b->isEnabled(); });
        };
        window->handleResponse(answer(GetAudioSettings, 2) + QByteArray::fromHex("0101010103"));
        QVERIFY(!page->saveButton()->isEnabled());
        // Off, the others are greyed out but keep, and save, their state.
        boxes.first()->setChecked(false);
        QCOMPARE(enabled(), 0);
        QVERIFY(page->saveButton()->isEnabled());
        QCOMPARE(page->settings().toBytes(), QByteArray::fromHex("03010001010103"));
        // Only bit 0 counts for the four switches; voice is bit 1, beep bit 0.
        window->handleResponse(answer(GetAudioSettings, 2) + QByteArray::fromHex("0300fe0102"));
        QCOMPARE(enabled(), 5);
        QCOMPARE(page->settings().toBytes(), QByteArray::fromHex("03010100000102"));
        QVERIFY(!page->saveButton()->isEnabled());
    }

    void wnetAnswerFillsThePage()
    {
        struct Case { QByteArray answer; QStringList shown; bool useApn; }; // longitude, latitude, RSSI, status
        const Case cases[] = {
            {wnetAnswer("113.9,22.5", -55, 4, 1), {"113.9", "22.5", "-55", "Connected"}, true},
            {wnetAnswer("113.9,", 255, 7, 255), {"113.9", "", "", ""}, false}, // no signal, unknown
            {wnetAnswer("1,2,3", -1, 0, 2), {"", "", "-1", "Disabled"}, true},
        };
        WidgetWnet *page = window->wnetPage();
        for (const Case &c : cases) {
            window->handleResponse(c.answer);
            const QStringList shown{page->field(WidgetWnet::Longitude)->text(), page->field(WidgetWnet::Latitude)->text(),
                                    page->field(WidgetWnet::Rssi)->text(), page->field(WidgetWnet::Status)->text()};
            QCOMPARE(shown, c.shown);
            QCOMPARE(page->apnSettings().toBytes(), (WnetApnRecord{c.useApn, "cmnet", "*99#"}.toBytes()));
            QVERIFY(page->apnField()->isEnabled() == c.useApn && page->dialNumberField()->isEnabled() == c.useApn);
            QVERIFY(!page->saveButton()->isEnabled());
        }
        // Demo mode shows sample module values; the access point stays the printer's.
        g_demoMode = true;
        window->handleResponse(cases[1].answer);
        QCOMPARE(page->field(WidgetWnet::Rssi)->text() + page->field(WidgetWnet::Status)->text(), QStringLiteral("-55Connected"));
        QCOMPARE(page->apnSettings().apn, QStringLiteral("cmnet"));
    }

    // The page's own selections, saved or not, go into the page and onto the port.
    void serialTestPageOnAPseudoTerminal()
    {
        PtyDevice pty;
        QVERIFY2(pty.openPty(), qPrintable(pty.errorString()));
        const QString missing = QStringLiteral("/nonexistent/ttyZ9");
        qputenv("ZOMRA_SERIAL_PORTS", (pty.slaveName() + QLatin1Char(':') + missing).toLocal8Bit());
        WidgetSerial *page = window->serialPage();
        page->fill(SerialSettingsRecord{19200, 7, 2, SerialSettingsRecord::ParityEven});
        for (const QString &port : {QString(), missing}) {
            choosePort(port);
            page->testPageButton()->click();
            QVERIFY(!page->port() && page->testPageButton()->isEnabled());
        }
        QVERIFY(page->testPageBytes().isEmpty());
        QByteArray received;
        connect(&pty, &QIODevice::readyRead, this, [&] { received += pty.readAll(); });
        choosePort(pty.slaveName());
        page->testPageButton()->click();
        QVERIFY(page->port() && !page->testPageButton()->isEnabled());
        // A pseudo-terminal keeps speed and stop bits but forces eight bits without parity:
        // those two are read from the port, the others from the terminal.
        QCOMPARE(page->port()->dataBits(), QSerialPort::Data7);
        QCOMPARE(page->port()->parity(), QSerialPort::EvenParity);
        const int fd = ::open(pty.slaveName().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        termios t{};
        QCOMPARE(tcgetattr(fd, &t), 0);
        ::close(fd);
        QVERIFY(cfgetospeed(&t) == speed_t(B19200) && (t.c_cflag & CSTOPB));
        QTRY_COMPARE(received, page->testPageBytes());
        QVERIFY(received.contains("Baud Rate: 19200\n   Data Bits: 7\n   Stop Bits: 2\n      Parity: Even Parity"));
        QTRY_VERIFY(page->testPageButton()->isEnabled() && !page->port());
        QTRY_VERIFY(!pty.slaveIsOpen());
    }

    // The emulated module's own timing through a restart is pinned in tst_printerstate.
    void restartFollowsTheModule()
    {
        emulator->state().wnet.restartMs = 3600 * 1000; // never connected again on its own
        WidgetWnet *page = window->wnetPage();
        page->setRestartPollInterval(3600 * 1000);      // the test ticks
        const auto editable = [page] { // Restart, Save, the APN box and its two fields
            return QList<bool>{page->restartButton()->isEnabled(), page->saveButton()->isEnabled(), page->useApnBox()->isEnabled(),
                               page->apnField()->isEnabled(), page->dialNumberField()->isEnabled()};
        };
        const auto restart = [page](QMessageBox::StandardButton answer) {
            bool asked = false;
            answerMessageBox(answer, &asked);
            page->doRestart();
            QVERIFY(asked);
        };
        // One poll per tick; each answer arrives before the next tick.
        const auto tick = [&](int polls) {
            for (int i = 0; i < polls; ++i) {
                const int answers = responses->count();
                page->restartTick();
                QTRY_COMPARE(responses->count(), answers + 1);
            }
        };
        int from = requests->count();
        restart(QMessageBox::No);
        QVERIFY(quietAt(from) && !page->restarting());
        restart(QMessageBox::Yes);
        QVERIFY(page->restarting() && page->countdown() == 60);
        QCOMPARE(editable(), QVector<bool>(5, false).toList());
        QTRY_COMPARE(wordsSince(from), QList<quint16>{RestartWnetModule});
        tick(5);
        window->handleResponse(wnetAnswer("1,2", -60, 4, 0)); // too early to trust
        QCOMPARE(page->countdown(), 55);
        tick(7);
        window->handleResponse(wnetAnswer("1,2", -60, 4, 1));
        QCOMPARE(page->countdown(), 0);
        page->restartTick();
        QVERIFY(!page->restarting() && quietAt(requests->count()));
        QCOMPARE(countOf(GetWnetInfo, from), 12);
        QCOMPARE(editable(), (QList<bool>{true, false, true, true, true})); // the last answer asked for an APN

        // A module that never reports Connected is polled sixty times, then left.
        from = requests->count();
        restart(QMessageBox::Yes);
        tick(60);
        QVERIFY(!page->restarting() && !page->saveButton()->isEnabled());
        QCOMPARE(countOf(GetWnetInfo, from), 60);
        QCOMPARE(page->field(WidgetWnet::Status)->text(), QStringLiteral("Disabling"));
    }

    // Each page's Save sends nothing unchanged, else its record once; a Reload shows it kept.
    void savesReachThePrinterAndComeBack()
    {
        WidgetLan *lan = window->lanPage();
        WidgetWiFi *wifi = window->wifiPage();
        WidgetSerial *serial = window->serialPage();
        WidgetAudio *audio = window->audioPage();
        WidgetWnet *wnet = window->wnetPage();
        const QList<SettingsPage *> pages{lan, wifi, serial, audio, wnet};
        const int from = requests->count();
        for (SettingsPage *page : pages)
            page->doSave();
        QVERIFY(quietAt(from));

        // A refused netmask (the rule is tst_mainwindow's) sends nothing and keeps Save.
        lan->fill(StaticIpRecord{"192.168.1.200", "255.0.255.0", "192.168.1.1"});
        lan->onSettingsChanged();
        QCOMPARE(messageOf([&] { lan->doSave(); }), QStringLiteral("Error|Invalid netmask."));
        QVERIFY(lan->saveButton()->isEnabled() && quietAt(from));

        // An empty mask is the DHCP one, else class C; an empty address goes out as 0.0.0.0.
        NetworkInformation dhcp;
        dhcp.ethernetDhcpNetmask = QStringLiteral("255.255.240.0");
        lan->fill(dhcp);
        wifi->fill(dhcp);
        lan->fill(StaticIpRecord{"", "", "192.168.1.1"});
        wifi->fill(StaticIpRecord{"192.168.31.77", "0.0.0.0", ""});
        const SerialSettingsRecord newSerial{921600, 8, 1, SerialSettingsRecord::ParityOdd};
        serial->fill(newSerial);
        const AudioSettingsRecord newAudio{false, false, false, false, false, true};
        audio->fill(newAudio);
        wnet->useApnBox()->setChecked(true);
        wnet->apnField()->setText(QStringLiteral("internet.example"));
        wnet->useApnBox()->setChecked(false); // the text is sent all the same
        const QByteArray newApn = wnet->apnSettings().toBytes();
        for (SettingsPage *page : pages)
            page->doSave();
        QTRY_COMPARE(requests->count(), from + 5);
        QVERIFY(quietAt(from + 5));
        QCOMPARE(wordsSince(from),
                 (QList<quint16>{SetLanStaticIp, SetWifiStaticIp, SetSerialSettings, SetAudioSettings, SetWnetApn}));

        // Show something else, then have the printer's values back.
        window->clearPages();
        reload();
        QCOMPARE(texts(lan->staticIp()), (QStringList{"0.0.0.0", "255.255.240.0", "192.168.1.1"}));
        QCOMPARE(texts(wifi->staticIp()), (QStringList{"192.168.31.77", "255.255.255.0", "0.0.0.0"}));
        QCOMPARE(serial->settings().toBytes(), newSerial.toBytes());
        QCOMPARE(audio->settings().toBytes(), newAudio.toBytes());
        QCOMPARE(wnet->apnSettings().toBytes(), newApn);
        QVERIFY(!wnet->apnField()->isEnabled());
        for (SettingsPage *page : pages)
            QVERIFY(!page->saveButton()->isEnabled());
    }
};

QTEST_MAIN(TestSettingsPages)
#include "tst_settingspages.moc"
