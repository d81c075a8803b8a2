#include "tests/windowfixture.h"
#include "tests/logtext.h"
#include "tests/testfiles.h"
#include "app/conf.h"
#include "app/dialogpreferences.h"
#include "app/language.h"
#include "emulator/ptydevice.h"
#include "emulator/rawprintserver.h"
#include "emulator/usbptyprinter.h"
#include "pages/dialogconfigurewifi.h"
#include "pages/dialogserialconnect.h"
#include "pages/tcprawprint.h"
#include "pages/widgetaudio.h"
#include "pages/widgetlan.h"
#include "pages/widgetserial.h"
#include "pages/widgetwifi.h"
#include "profiles/profileapply.h"
#include "protocol/audiosettingsrecord.h"
#include "protocol/networkinformation.h"
#include "protocol/serialsettingsrecord.h"
#include "protocol/staticiprecord.h"
#include "protocol/wnetapnrecord.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTabBar>
#include <QTabWidget>
#include <QTcpSocket>
#include <QTranslator>

using Row = WidgetDeviceInformation::Row;
Q_DECLARE_METATYPE(ProfileApply::Outcome)

namespace {

// Records as texts, so that a failed comparison shows them.
QStringList texts(const TestPage::NetworkFields &f) { return {f.mac, f.dhcpAddress, f.dhcpNetmask, f.staticAddress, f.staticNetmask}; }
QStringList texts(const StaticIpRecord &r) { return {r.address, r.netmask, r.gateway}; }

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

// Picks the port with the path in the next serial port dialog, or cancels it for an empty path.
void choosePort(const QString &path)
{
    QTimer::singleShot(0, [path] {
        if (auto *dialog = qobject_cast<DialogSerialConnect *>(QApplication::activeModalWidget())) {
            dialog->portBox()->setCurrentIndex(dialog->portBox()->findData(path));
            path.isEmpty() ? dialog->doCancel() : dialog->doOk();
        }
    });
}

QStringList tabTexts(const MainWindow &window)
{
    QStringList texts;
    for (int i = 0; i < window.tabWidget()->count(); ++i)
        texts.append(window.tabWidget()->tabText(i));
    for (const QAction *action : {window.connectAction(), window.disconnectAction(), window.reloadAction(),
                                  window.preferencesAction()})
        texts.append(action->text());
    return texts;
}

} // namespace

// The window against the emulator: connecting, pages and Saves, test pages, raw print jobs, USB, language.
class TestMainWindow : public WindowFixture
{
    Q_OBJECT

    QStringList englishTexts; // of the window built before any translation
    int host = 100;

    // The actions and tabs without a link, and the pages as they were.
    void verifyNotConnected()
    {
        QTRY_VERIFY(window->connectAction()->isEnabled());
        QVERIFY(!window->disconnectAction()->isEnabled() && !window->reloadAction()->isEnabled() && !window->tabWidget()->isEnabled());
        QCOMPARE(window->statusLabel()->text(), QStringLiteral("Not Connected"));
    }


    // A printer of its own at the next address, connected, so that the tabs are enabled.
    bool connectNext() { return connectTo(qPrintable(QStringLiteral("127.0.0.%1").arg(host++)), "RX210", "RX220_S"); }


    // Picks a language in the preferences, OK or Cancel; tells what message box followed.
    QString choose(Language language, bool ok)
    {
        QTimer::singleShot(0, [&] {
            if (auto *dialog = qobject_cast<DialogPreferences *>(QApplication::activeModalWidget())) {
                dialog->findChild<QComboBox *>()->setCurrentIndex(int(language));
                ok ? dialog->doOk() : dialog->doCancel();
            }
        });
        return messageOf([this] { window->preferencesAction()->trigger(); }, 0);
    }

private slots:
    void initTestCase()
    {
        setUpWindow();
        englishTexts = tabTexts(*window);
    }
    void cleanup() { resetWindow(); }
    void cleanupTestCase() { tearDownWindow(); }

    void connectingFillsTheWindowForTheModel()
    {
        verifyNotConnected();
        QVERIFY(connectTo("127.0.0.20", "RX210", "RX220_S"));
        QCOMPARE(wordsSince(0), (QList<quint16>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
        const QStringList shown{field(Row::Model), field(Row::SerialNumber), field(Row::TtsVersion),
                                field(Row::BluetoothMac), field(Row::BluetoothName)};
        QCOMPARE(shown, (QStringList{"RX220_S", "SN-WINDOW-1", "TTS-1.2", "A4:C1:38:5E:21:09", "ZR-1234"}));
        QCOMPARE(texts(window->lanPage()->addresses()),
                 (QStringList{"A4:C1:38:5E:21:07", "192.168.1.57", "255.255.255.0", "192.168.1.200", "255.255.255.0"}));
        QCOMPARE(texts(window->wifiPage()->addresses()),
                 (QStringList{"A4:C1:38:5E:21:08", "192.168.31.88", "255.255.255.0", "192.168.31.200", "255.255.255.0"}));
        QCOMPARE(window->wifiPage()->ssid(), QStringLiteral("Zomra-Shop"));

        QTabWidget *tabs = window->tabWidget();
        for (int tab = 0; tab < tabs->count(); ++tab)
            QVERIFY2(tabs->isEnabled() && tabs->isTabEnabled(tab), qPrintable(tabs->tabText(tab)));
        window->resize(window->sizeHint()); // the first size: every title without scroll arrows
        window->layout()->activate();
        QVERIFY(tabs->tabBar()->sizeHint().width() <= tabs->width());
        QCOMPARE(window->statusLabel()->text(), QStringLiteral("Connected (127.0.0.20)"));
        QVERIFY(!window->connectAction()->isEnabled() && window->disconnectAction()->isEnabled());

        // Demo mode shows sample DHCP addresses; the static ones stay the printer's.
        g_demoMode = true;
        reload();
        QCOMPARE(texts(window->lanPage()->addresses()).mid(1),
                 (QStringList{"192.168.1.123", "255.255.255.0", "192.168.1.200", "255.255.255.0"}));
        QCOMPARE(window->wifiPage()->addresses().dhcpNetmask, QStringLiteral("255.255.240.0"));
        QVERIFY(!window->lanPage()->saveButton()->isEnabled());

        // Edits are asked about (No: tst_faults' comeback); Yes reloads, and no second Reload within the guard.
        window->lanPage()->onSettingsChanged();
        QTRY_VERIFY(window->reloadAction()->isEnabled());
        const int before = requests->count();
        bool asked = false;
        answerMessageBox(QMessageBox::Yes, &asked);
        window->reloadAction()->trigger();
        QVERIFY(asked && !window->reloadAction()->isEnabled());
        QTRY_COMPARE(requests->count(), before + 9);
        QTRY_VERIFY(window->reloadAction()->isEnabled());

        window->disconnectAction()->trigger();
        verifyNotConnected();
        QVERIFY(g_transceiver->linkType() == Transceiver::LinkNone && !QApplication::activeModalWidget()); // no retrying
        QCOMPARE(field(Row::Model), QStringLiteral("RX220_S")); // pages keep their content

        const auto tabsShown = [&] {
            return QList<bool>{tabs->isTabEnabled(MainWindow::TabLan), tabs->isTabEnabled(MainWindow::TabWnet),
                               tabs->isTabEnabled(MainWindow::TabWifi), tabs->isTabEnabled(MainWindow::TabAudio),
                               window->deviceInformationPage()->showsBluetooth()};
        };
        // The model decides: Ethernet, 4G, Wi-Fi, audio, and the Bluetooth rows that come with Wi-Fi.
        QVERIFY(connectTo("127.0.0.21", "RX200", "RX230"));
        QCOMPARE(tabsShown(), (QList<bool>{true, true, false, true, false}));
        QVERIFY(connectTo("127.0.0.22", "RX100", "RX160"));
        QCOMPARE(tabsShown(), (QList<bool>{false, false, true, true, true}));
    }

    // The raw print port: test pages, rawPrint jobs, and what the emulator's server logs, spools and keeps.
    void testPagesReachTheRawPort()
    {
        QVERIFY(connectTo("127.0.0.31", "RX210", "RX220_S"));
        RawPrintServer printer;
        QTemporaryDir spool;
        printer.setSpoolDir(spool.filePath(QStringLiteral("jobs"))); // made on first use
        QVERIFY(printer.listen(QHostAddress(QStringLiteral("127.0.0.31"))));
        QSignalSpy lines(&printer, &RawPrintServer::logLine);
        const auto target = [](NetworkPage *page, const char *staticAddress, const char *dhcpAddress) {
            NetworkInformation info;
            info.ethernetStaticAddress = info.wifiStaticAddress = QString::fromLatin1(staticAddress);
            info.ethernetDhcpAddress = info.wifiDhcpAddress = QString::fromLatin1(dhcpAddress);
            page->fill(info);
        };
        for (NetworkPage *page : QList<NetworkPage *>{window->lanPage(), window->wifiPage()}) {
            // The static address unless it is unusable, else the DHCP one.
            target(page, "0.0.0.0", "127.0.0.31");
            const int before = printer.jobCount();
            page->testPageButton()->click();
            QVERIFY(!page->testPageButton()->isEnabled()); // one test page at a time
            QTRY_COMPARE(printer.jobCount(), before + 1);
            QCOMPARE(printer.jobs().last(), page->testPageBytes());
            QVERIFY(page->testPageBytes().endsWith(QByteArray(8, '\n')));
            QTRY_VERIFY(page->testPageButton()->isEnabled());
        }
        QVERIFY(window->wifiPage()->testPageBytes().contains("*** Wi-Fi Print Test Page ***"));
        const QString one = lines.at(0).at(0).toString();
        QVERIFY2(QRegularExpression(QStringLiteral("^raw print job 1: %1 bytes from 127\\.0\\.0\\.1:\\d+ \\(saved to .*/jobs/job-0001\\.bin\\)$")
                                        .arg(window->lanPage()->testPageBytes().size()))
                     .match(one).hasMatch(), qPrintable(one));
        QCOMPARE(fileBytes(spool.filePath(QStringLiteral("jobs/job-0002.bin"))), window->wifiPage()->testPageBytes());

        // Nowhere to print: said, and nothing tried.
        WidgetLan *lan = window->lanPage();
        target(lan, "255.255.255.255", "");
        QCOMPARE(messageOf([&] { lan->testPageButton()->click(); }), QStringLiteral("Error|No valid IP address."));
        QVERIFY(lan->testPageButton()->isEnabled());

        // A printer that refuses: the address and port tried in an error box, then the button is back.
        target(lan, "127.0.0.32", "");
        QCOMPARE(messageOf([&] { lan->testPageButton()->click(); }),
                 QStringLiteral("Error|Test page not sent: 127.0.0.32:9100 refused the connection"));
        QTRY_VERIFY(lan->testPageButton()->isEnabled());

        // rawPrint: a connection per job, side by side, each job whole, both ends logged; all go, refused too.
        const QString log = dir.filePath(QStringLiteral("log.txt"));
        logTextSoFar(log); // from here on
        const QByteArray big = patternBytes(512 * 1024);
        rawPrint(big, QStringLiteral("Big"));
        rawPrint(QByteArray("\x1b@short"), QStringLiteral("Short"));
        QPointer<TcpRawPrint> refused = new TcpRawPrint(QHostAddress(QStringLiteral("127.0.0.32")), "x", QStringLiteral("X"));
        QTRY_COMPARE(printer.jobCount(), 4);
        QVERIFY(printer.jobs().contains(big) && printer.jobs().contains("\x1b@short")); // no QCOMPARE: half a megabyte
        QTRY_VERIFY(refused.isNull() && TcpRawPrint::inFlight() == 0);
        const QByteArray text = logTextSoFar(log);
        QVERIFY2(text.count("TCP socket connected.") == 2 && text.count("TCP socket disconnected.") == 3, text);
        closeLink();
        rawPrint(QByteArray("no link"), QStringLiteral("Page")); // nothing to send it on: said, nothing happens
        QCOMPARE(window->activityLabel()->text(), QStringLiteral("Page not sent: no printer is connected"));
        QTest::qWait(100);
        QCOMPARE(printer.jobCount(), 4);

        // An empty connection is a job too; the server keeps only the last ones.
        for (int i = 0; i < RawPrintServer::KeptJobs; ++i) {
            QTcpSocket client;
            client.connectToHost(QHostAddress(QStringLiteral("127.0.0.31")), Wire::RawPrintPort);
            QVERIFY(client.waitForConnected(5000));
            client.disconnectFromHost();
            QTRY_COMPARE(printer.jobCount(), 5 + i);
        }
        QCOMPARE(printer.jobs(), QVector<QByteArray>(RawPrintServer::KeptJobs).toList());
        QVERIFY(QFile::exists(spool.filePath(QStringLiteral("jobs/job-0068.bin"))));
    }

    // A USB printer pulled out only returns the window to not connected.
    void lostUsbLinkOpensNoDialog()
    {
        QTemporaryDir sysfs;
        PrinterState state;
        state.project = QStringLiteral("RX100");
        state.model = QStringLiteral("RX110");
        EmulatorOptions options;
        options.keepAliveMs = 0;
        UsbPtyPrinter printer(state, options);
        QVERIFY(printer.start(sysfs.path(), 0x3273, 0x0002));
        QSignalSpy usbRequests(&printer, &UsbPtyPrinter::requestReceived);
        g_hostCmd.setProject(QStringLiteral("RX100"));
        g_hostCmd.setModel(QStringLiteral("RX110"));
        QVERIFY(g_transceiver->openUsb(printer.devicePath(), false));
        QTRY_COMPARE(usbRequests.count(), 10);
        QTRY_VERIFY(window->statusLabel()->text().startsWith(QStringLiteral("Connected (USB)")));
        // Raw bytes go down the USB link itself (the printer finds no packet in them).
        QSignalSpy lines(&printer, &UsbPtyPrinter::logLine);
        rawPrint(QByteArray("\x1b@raw"), QStringLiteral("Raw"));
        QCOMPARE(window->activityLabel()->text(), QStringLiteral("Raw sent to the USB printer (5 bytes)"));
        QTRY_VERIFY(std::any_of(lines.begin(), lines.end(), [](const QList<QVariant> &l) {
            return l.at(0).toString().startsWith(QStringLiteral("dropped 5 bytes"));
        }));

        bool dialog = false;
        QTimer::singleShot(100, [&] { dialog = QApplication::activeModalWidget() != nullptr; });
        printer.unplug();
        verifyNotConnected();
        QTest::qWait(150);
        QVERIFY(!dialog);
    }

    // A short answer, or one to a Set command, is dropped whole; a whole one replaces every field it carries.
    // Then the audio master switch, and the 4G page's fields.
    void answersFillThePages()
    {
        QVERIFY(connectNext());
        QByteArray net = answer(GetNetworkInfo, 248).replace(216, 32, QByteArray(32, 'N'));
        window->handleResponse(net);
        net.replace(216, 32, QByteArray(32, 'X'));
        for (const QByteArray &ignored : {net.left(247), QByteArray(net).replace(0, 2, "\x01\x01"), QByteArray(1, 2), {}})
            window->handleResponse(ignored);
        QCOMPARE(field(Row::BluetoothName), QString(32, QLatin1Char('N')));
        QCOMPARE(field(Row::BluetoothMac), QString()); // replaced, not kept

        WidgetAudio *audio = window->audioPage();
        const QList<QCheckBox *> boxes = audio->findChildren<QCheckBox *>(); // All first
        const auto enabled = [&] {
            return std::count_if(boxes.begin() + 1, boxes.end(), [](const QCheckBox *b) { return b->isEnabled(); });
        };
        window->handleResponse(answer(GetAudioSettings, 2) + QByteArray::fromHex("0101010103"));
        // Off, the others are greyed out but keep, and save, their state.
        boxes.first()->setChecked(false);
        QCOMPARE(enabled(), 0);
        QVERIFY(audio->saveButton()->isEnabled());
        QCOMPARE(audio->settings().toBytes(), QByteArray::fromHex("03010001010103"));
        // Only bit 0 counts for the four switches; voice is bit 1, beep bit 0.
        window->handleResponse(answer(GetAudioSettings, 2) + QByteArray::fromHex("0300fe0102"));
        QCOMPARE(enabled(), 5);
        QCOMPARE(audio->settings().toBytes(), QByteArray::fromHex("03010100000102"));

        struct Case { QByteArray answer; QStringList shown; bool useApn; }; // longitude, latitude, RSSI, status
        const Case cases[] = {
            {wnetAnswer("113.9,22.5", -55, 4, 1), {"113.9", "22.5", "-55", "Connected"}, true},
            {wnetAnswer("113.9,", 255, 7, 255), {"113.9", "", "", ""}, false}, // no signal, unknown
            {wnetAnswer("1,2,3", -1, 0, 2), {"", "", "-1", "Disabled"}, true},
        };
        WidgetWnet *wnet = window->wnetPage();
        for (const Case &c : cases) {
            window->handleResponse(c.answer);
            const QStringList shown{wnet->field(WidgetWnet::Longitude)->text(), wnet->field(WidgetWnet::Latitude)->text(),
                                    wnet->field(WidgetWnet::Rssi)->text(), wnet->field(WidgetWnet::Status)->text()};
            QCOMPARE(shown, c.shown);
            QCOMPARE(wnet->apnSettings().toBytes(), (WnetApnRecord{c.useApn, "cmnet", "*99#"}.toBytes()));
            QVERIFY(wnet->apnField()->isEnabled() == c.useApn && wnet->dialNumberField()->isEnabled() == c.useApn);
        }
        // Demo mode shows sample module values; the access point stays the printer's.
        g_demoMode = true;
        window->handleResponse(cases[1].answer);
        QCOMPARE(wnet->field(WidgetWnet::Rssi)->text() + wnet->field(WidgetWnet::Status)->text(), QStringLiteral("-55Connected"));
        QCOMPARE(wnet->apnSettings().apn, QStringLiteral("cmnet"));
    }

    // Values not offered fall back to the first item; the selections, saved or not, go onto the test page and port.
    void serialPage()
    {
        QVERIFY(connectNext());
        WidgetSerial *page = window->serialPage();
        page->fill({9601, 9, 0, 3}); // none of them offered
        QCOMPARE(page->settings().toBytes(), (SerialSettingsRecord{2400, 7, 1, 0}.toBytes()));
        QVERIFY(!page->saveButton()->isEnabled());
        // A change and back is still a change: the user touched it.
        page->findChild<QComboBox *>()->setCurrentIndex(3);
        page->findChild<QComboBox *>()->setCurrentIndex(0);
        QVERIFY(page->saveButton()->isEnabled());
        PtyDevice pty;
        QVERIFY2(pty.openPty(), qPrintable(pty.errorString()));
        const QString missing = QStringLiteral("/nonexistent/ttyZ9");
        qputenv("ZOMRA_SERIAL_PORTS", (pty.slaveName() + QLatin1Char(':') + missing).toLocal8Bit());
        page->fill(SerialSettingsRecord{19200, 7, 2, SerialSettingsRecord::ParityEven});
        choosePort(QString());
        page->testPageButton()->click();
        const QString notOpened = QStringLiteral("Serial port /nonexistent/ttyZ9 could not be opened: no such port");
        choosePort(missing);
        QCOMPARE(messageOf([page] { page->testPageButton()->click(); }), "Error|" + notOpened);
        QVERIFY(!page->port() && page->testPageButton()->isEnabled() && page->testPageBytes().isEmpty());
        QCOMPARE(window->activityLabel()->text(), notOpened);
        QByteArray received;
        connect(&pty, &QIODevice::readyRead, this, [&] { received += pty.readAll(); });
        choosePort(pty.slaveName());
        page->testPageButton()->click();
        QVERIFY(page->port() && !page->testPageButton()->isEnabled());
        const QSerialPort *port = page->port();
        QCOMPARE((QList<int>{int(port->baudRate()), port->dataBits(), port->stopBits(), port->parity()}),
                 (QList<int>{19200, QSerialPort::Data7, QSerialPort::TwoStop, QSerialPort::EvenParity}));
        QTRY_COMPARE(received, page->testPageBytes());
        QVERIFY(received.contains("Baud Rate: 19200\n   Data Bits: 7\n   Stop Bits: 2\n      Parity: Even Parity"));
        QTRY_VERIFY(page->testPageButton()->isEnabled() && !page->port());
        QCOMPARE(window->activityLabel()->text(), QStringLiteral("Serial test page sent to %1 (%2 bytes)").arg(pty.slaveName()).arg(received.size()));
        QTRY_VERIFY(!pty.slaveIsOpen());
    }

    // The emulated module's own timing through a restart is pinned in tst_printerstate.
    void restartFollowsTheModule()
    {
        QVERIFY(connectNext());
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
        QCOMPARE(page->restartStateLabel()->text(), QStringLiteral("Restarting the 4G module: 55 s left"));
        tick(7);
        window->handleResponse(wnetAnswer("1,2", -60, 4, 1));
        QCOMPARE(page->countdown(), 0);
        page->restartTick();
        QVERIFY(!page->restarting() && quietAt(requests->count()));
        QCOMPARE(wordsSince(from).count(GetWnetInfo), 12);
        QCOMPARE(editable(), (QList<bool>{true, false, true, true, true})); // the last answer asked for an APN
        QCOMPARE(page->restartStateLabel()->text(), QStringLiteral("4G module restarted: Connected"));

        // A module that never reports Connected is polled sixty times, then left.
        from = requests->count();
        restart(QMessageBox::Yes);
        tick(60);
        QVERIFY(!page->restarting() && !page->saveButton()->isEnabled());
        QCOMPARE(wordsSince(from).count(GetWnetInfo), 60);
        QCOMPARE(window->activityLabel()->text(), QStringLiteral("4G module did not report Connected; gave up after 60 s"));
    }

    // Each page's Save sends nothing unchanged, else its record once; a Reload shows it kept.
    void savesReachThePrinterAndComeBack()
    {
        QVERIFY(connectNext());
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

        // An empty mask is the DHCP one, else class C; an empty gateway goes out as 0.0.0.0.
        NetworkInformation dhcp;
        dhcp.ethernetDhcpNetmask = QStringLiteral("255.255.240.0");
        lan->fill(dhcp);
        wifi->fill(dhcp);
        lan->fill(StaticIpRecord{"0.0.0.0", "", "192.168.1.1"});
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

        window->clearPages();
        reload();
        QCOMPARE(texts(lan->staticIp()), (QStringList{"0.0.0.0", "255.255.240.0", "192.168.1.1"}));
        QCOMPARE(texts(wifi->staticIp()), (QStringList{"192.168.31.77", "255.255.255.0", "0.0.0.0"}));
        QCOMPARE(serial->settings().toBytes(), newSerial.toBytes());
        QCOMPARE(audio->settings().toBytes(), newAudio.toBytes());
        QCOMPARE(wnet->apnSettings().toBytes(), newApn);
        for (SettingsPage *page : pages)
            QVERIFY(!page->saveButton()->isEnabled());
    }

    // Only the two records a profile changes go out before the read-back, which finds them taken,
    // or failed on a printer that drops settings commands.
    void applyingAProfileSendsWhatDiffers_data()
    {
        QTest::addColumn<bool>("ignoreSets");
        QTest::addColumn<ProfileApply::Outcome>("outcome");
        QTest::newRow("taken") << false << ProfileApply::Outcome::Verified;
        QTest::newRow("dropped") << true << ProfileApply::Outcome::Failed;
    }
    void applyingAProfileSendsWhatDiffers()
    {
        QFETCH(bool, ignoreSets);
        QFETCH(ProfileApply::Outcome, outcome);
        QVERIFY(connectNext() && window->applyProfileAction()->isEnabled());
        Profile profile = Profile::fromSettings(window->printerSettings(), QStringLiteral("test"));
        profile.values[QStringLiteral("serial.baudRate")] = 9600;
        profile.values[QStringLiteral("print.density")] = 120;
        emulator->state().ignoreSets = ignoreSets;
        const int from = requests->count();
        window->applySettings(profile);
        QTRY_VERIFY(window->applyProfileAction()->isEnabled());
        QCOMPARE(wordsSince(from), (QList<quint16>{SetSerialSettings, SetPrintSettings, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
        QCOMPARE(emulator->state().serial.baudRate, ignoreSets ? 115200 : 9600);
        QCOMPARE(int(emulator->state().printSettings.density), ignoreSets ? 100 : 120);
        QCOMPARE(window->profileApply()->count(outcome), 2);
        QCOMPARE(window->profileApply()->count(ProfileApply::Outcome::Unchanged), profile.values.size() - 2);
    }

    // What the fields take, counted as the wire holds it. A refusal says why, keeps the text (and the
    // dialog open) and sends nothing; a field that is full cuts what is typed.
    void fieldsTakeWhatCanBeSent_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("accepted"); // kept whole and sent
        QTest::addColumn<QString>("message");
        QTest::newRow("out of range") << "lan address" << "999.1.1.1" << false << "IP Address (Static): \"999.1.1.1\" is not an IPv4 address.";
        QTest::newRow("a word") << "wifi gateway" << "gateway" << false << "Gateway (Static): \"gateway\" is not an IPv4 address.";
        QTest::newRow("incomplete") << "wifi netmask" << "1.2.3" << false << "Netmask (Static): \"1.2.3\"";
        QTest::newRow("octal to the printer") << "lan gateway" << "192.168.1.010" << false << "\"192.168.1.010\" is not";
        QTest::newRow("no address") << "wifi address" << "" << false << "IP Address (Static): enter an IPv4 address";
        QTest::newRow("no gateway") << "lan gateway" << "" << true << "";
        QTest::newRow("an address") << "wifi address" << "10.0.0.7" << true << "";
        QTest::newRow("mask with a gap") << "lan netmask" << "255.0.255.0" << false << "Invalid netmask.";
        QTest::newRow("longest mask") << "lan netmask" << "255.255.255.254" << true << "";
        QTest::newRow("APN of 64") << "apn" << QString(64, 'a') << false << "";
        QTest::newRow("APN not Latin-1") << "apn" << "中国移动" << false << "APN: \"中\" cannot be sent";
        QTest::newRow("dial number of 16") << "dial" << QString(16, '9') << false << "";
        QTest::newRow("no SSID: forgotten") << "ssid" << "" << true << "";
        QTest::newRow("SSID of 33 bytes") << "ssid" << QString(16, QChar(0xe9)) + "x" << false << "SSID: at most 32 bytes of UTF-8 (this one has 33).";
        QTest::newRow("password of 7") << "password" << "1234567" << false << "Password: 8 to 63 characters, or 64 hex digits (this one has 7).";
        QTest::newRow("password of 8") << "password" << "12345678" << true << "";
        QTest::newRow("password of 63") << "password" << QString(63, 'p') << true << "";
        QTest::newRow("key of 64") << "password" << QString(32, 'a') + QString(32, 'F') << true << "";
        QTest::newRow("key not hex") << "password" << QString(63, 'a') + "g" << false << "Password: a key of 64 characters must be hex digits only";
    }
    void fieldsTakeWhatCanBeSent()
    {
        QFETCH(QString, field);
        QFETCH(QString, input);
        QFETCH(bool, accepted);
        QFETCH(QString, message);
        QVERIFY(connectNext());
        const int from = requests->count();
        QString said, shown;
        if (field == "ssid" || field == "password") { // the dialog, never showing the current network
            QTimer::singleShot(0, [&] {
                auto *dialog = qobject_cast<DialogConfigureWiFi *>(QApplication::activeModalWidget());
                QVERIFY(dialog->ssidField()->text().isEmpty());
                dialog->ssidField()->setText(field == "ssid" ? input : "Zomra-Shop");
                dialog->passwordField()->setText(field == "ssid" ? "" : input);
                said = messageOf([dialog] { dialog->doOk(); }, 0);
                shown = (field == "ssid" ? dialog->ssidField() : dialog->passwordField())->text();
                if (dialog->isVisible())
                    dialog->doCancel();
            });
            window->wifiPage()->doConfigure();
            QCOMPARE(window->wifiPage()->ssid(), accepted && field == "ssid" ? input : "Zomra-Shop"); // at once
        } else if (field == "apn" || field == "dial") {
            QLineEdit *edit = field == "apn" ? window->wnetPage()->apnField() : window->wnetPage()->dialNumberField();
            edit->setText(input);
            said = messageOf([this] { window->wnetPage()->doSave(); }, 0);
            shown = edit->text();
        } else {
            NetworkPage *page = field.startsWith("lan") ? static_cast<NetworkPage *>(window->lanPage()) : window->wifiPage();
            StaticIpRecord r{"192.168.1.77", "255.255.255.0", "192.168.1.1"};
            (field.endsWith("address") ? r.address : field.endsWith("netmask") ? r.netmask : r.gateway) = input;
            page->fill(r);
            said = messageOf([page] { page->doSave(); }, 0);
            shown = texts(page->staticIp()).join(' ');
        }
        QVERIFY2(message.isEmpty() ? said.isEmpty() : said.startsWith("Error|") && said.contains(message), qPrintable(said));
        QCOMPARE(accepted, message.isEmpty() && shown.contains(input));
        QTRY_COMPARE(requests->count(), from + (message.isEmpty() ? 1 : 0));
        QVERIFY(quietAt(requests->count()));
    }

    void preferencesChangeOnlyOnOkWithAnotherLanguage()
    {
        const QString confFile = dir.filePath("zomra-cloud-printer-setup.ini");
        g_conf.setFileName(confFile);
        g_conf.setLanguage(Language::English);
        QCOMPARE(DialogPreferences().language(), Language::English); // opens on the configured one
        // Unchanged and OK, or another and Cancel: nothing written, nothing said.
        QCOMPARE(choose(Language::English, true), QString());
        QCOMPARE(choose(Language::Chinese, false), QString());
        QVERIFY(!QFile::exists(confFile));
        // Another and OK: stored, written, and a restart asked for; the window keeps its texts.
        QCOMPARE(choose(Language::Chinese, true),
                 QStringLiteral("Information|Restart the application to apply language changes."));
        QCOMPARE(g_conf.language(), Language::Chinese);
        QVERIFY(fileBytes(confFile).contains("Language=1"));
        QCOMPARE(tabTexts(*window), englishTexts);

        // A start looks for the translation in the working directory, beside the program, in its share.
        const QStringList candidates = translationCandidates("/opt/zomra/bin");
        QCOMPARE(candidates.mid(0, 3), (QStringList{"translations/zh_CN.qm", "/opt/zomra/bin/translations/zh_CN.qm",
                                                    "/opt/zomra/share/zomra-cloud-printer-setup/translations/zh_CN.qm"}));
    }

    // As a start in a working directory with or without the compiled translation.
    void languageAtStart_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("translationPresent");
        QTest::addColumn<QString>("font");
        QTest::newRow("Chinese, translation present") << int(Language::Chinese) << true << "微软雅黑";
        QTest::newRow("Chinese, translation missing") << int(Language::Chinese) << false << "微软雅黑";
        QTest::newRow("unknown language: English") << 7 << true << "Tahoma";
    }
    void languageAtStart()
    {
        QFETCH(int, language);
        QFETCH(bool, translationPresent);
        QFETCH(QString, font);
        QTemporaryDir cwd;
        // No installed copy of the program may stand in for the missing file.
        qputenv("XDG_DATA_HOME", cwd.filePath("data").toUtf8());
        qputenv("XDG_DATA_DIRS", cwd.filePath("data").toUtf8());
        if (translationPresent) {
            QVERIFY(QDir(cwd.path()).mkpath("translations"));
            QVERIFY(QFile::copy(TRANSLATION_FILE, cwd.filePath("translations/zh_CN.qm")));
        }
        g_conf.setLanguage(Language(language));
        QTranslator translator;
        QDir::setCurrent(cwd.path());
        applyLanguage(&translator);
        QDir::setCurrent(dir.path());
        QCOMPARE(QApplication::font().family(), font);
        const QStringList texts = tabTexts(MainWindow());
        QCoreApplication::removeTranslator(&translator);
        g_mainWindow = window;
        const bool chinese = g_conf.language() == Language::Chinese;
        QCOMPARE(chinese, language == int(Language::Chinese)); // an unknown one is stored as English
        if (!chinese || !translationPresent)
            QCOMPARE(texts, englishTexts);
        // "4G" and "Wi-Fi" may well stay; every other text is Chinese.
        for (const QString &text : texts)
            QVERIFY2(!chinese || !translationPresent || text == "4G" || text == "Wi-Fi"
                         || text.contains(QRegularExpression("\\p{Han}")), qPrintable(text));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
