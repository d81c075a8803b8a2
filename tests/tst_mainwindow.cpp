#include "tests/windowfixture.h"
#include "tests/logtext.h"
#include "tests/testfiles.h"
#include "emulator/rawprintserver.h"
#include "emulator/usbptyprinter.h"
#include "pages/dialogconfigurewifi.h"
#include "pages/tcprawprint.h"
#include "pages/widgetlan.h"
#include "pages/widgetwifi.h"
#include "protocol/networkinformation.h"

#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTcpSocket>

using Row = WidgetDeviceInformation::Row;

class TestMainWindow : public WindowFixture
{
    Q_OBJECT

    // The actions and tabs without a link, and the pages as they were.
    void verifyNotConnected()
    {
        QTRY_VERIFY(window->connectAction()->isEnabled());
        QVERIFY(!window->disconnectAction()->isEnabled() && !window->reloadAction()->isEnabled());
        QVERIFY(!window->tabWidget()->isEnabled());
        QCOMPARE(window->statusLabel()->text(), QStringLiteral("Not Connected"));
    }

private slots:
    void initTestCase() { setUpWindow(); }
    void cleanup() { resetWindow(); }
    void cleanupTestCase() { tearDownWindow(); }

    void connectingFillsTheWindowAndDisconnectingKeepsIt()
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
        QCOMPARE(window->statusLabel()->text(), QStringLiteral("Connected (127.0.0.20)"));
        QVERIFY(!window->connectAction()->isEnabled() && window->disconnectAction()->isEnabled());
        QTRY_VERIFY(window->reloadAction()->isEnabled()); // after the 100 ms guard

        // Demo mode shows sample DHCP addresses; the static ones stay the printer's.
        g_demoMode = true;
        reload();
        QCOMPARE(texts(window->lanPage()->addresses()).mid(1),
                 (QStringList{"192.168.1.123", "255.255.255.0", "192.168.1.200", "255.255.255.0"}));
        QCOMPARE(window->wifiPage()->addresses().dhcpNetmask, QStringLiteral("255.255.240.0"));
        QVERIFY(!window->lanPage()->saveButton()->isEnabled());

        window->disconnectAction()->trigger();
        verifyNotConnected();
        QVERIFY(g_transceiver->linkType() == Transceiver::LinkNone && !QApplication::activeModalWidget()); // no retrying
        QCOMPARE(field(Row::Model), QStringLiteral("RX220_S")); // pages keep their content
    }

    void modelDecidesTabsAndBluetoothRows()
    {
        QTabWidget *tabs = window->tabWidget();
        const auto shown = [&] {
            return QList<bool>{tabs->isTabEnabled(MainWindow::TabLan), tabs->isTabEnabled(MainWindow::TabWnet),
                               tabs->isTabEnabled(MainWindow::TabWifi), tabs->isTabEnabled(MainWindow::TabAudio),
                               window->deviceInformationPage()->showsBluetooth()};
        };
        // Ethernet, 4G, Wi-Fi, audio, and the Bluetooth rows that come with Wi-Fi.
        QVERIFY(connectTo("127.0.0.21", "RX200", "RX230"));
        QCOMPARE(shown(), (QList<bool>{true, true, false, true, false}));
        QVERIFY(connectTo("127.0.0.22", "RX100", "RX160"));
        QCOMPARE(shown(), (QList<bool>{false, false, true, true, true}));
    }

    // Edits are asked about (No is tst_faults' comeback); Yes reloads, and no second Reload
    // is allowed within the guard time.
    void reloadWithUnsavedChangesAsksFirst()
    {
        QVERIFY(connectTo("127.0.0.23", "RX210", "RX220_S"));
        QTRY_VERIFY(window->reloadAction()->isEnabled());
        window->lanPage()->onSettingsChanged();
        const int before = requests->count();
        bool asked = false;
        answerMessageBox(QMessageBox::Yes, &asked);
        window->reloadAction()->trigger();
        QVERIFY(asked && !window->reloadAction()->isEnabled());
        QTRY_COMPARE(requests->count(), before + 9);
        QTRY_VERIFY(window->reloadAction()->isEnabled());
    }

    // A short answer is dropped whole, as is one to a Set command; a whole one replaces
    // every field it carries.
    void dispatcherIgnoresShortAndForeignAnswers()
    {
        QByteArray net = answer(GetNetworkInfo, 248).replace(216, 32, QByteArray(32, 'N'));
        window->handleResponse(net);
        net.replace(216, 32, QByteArray(32, 'X'));
        for (const QByteArray &ignored : {net.left(247), QByteArray(net).replace(0, 2, "\x01\x01"), QByteArray(1, 2), {}})
            window->handleResponse(ignored);
        QCOMPARE(field(Row::BluetoothName), QString(32, QLatin1Char('N')));
        QCOMPARE(field(Row::BluetoothMac), QString()); // replaced, not kept
    }

    void netmaskRule() // what Save accepts
    {
        const std::pair<const char *, bool> masks[] = {{"255.255.255.254", true}, {"0.0.0.0", true},
                                                       {"255.255.255.255", false}, {"255.0.255.0", false},
                                                       {"0.0.0.1", false}};
        for (const auto &mask : masks)
            QVERIFY2(isValidNetmask(QString::fromLatin1(mask.first)) == mask.second, mask.first);
    }

    void joiningAWifiNetwork()
    {
        QVERIFY(connectTo("127.0.0.30", "RX210", "RX220_S"));
        WidgetWiFi *wifi = window->wifiPage();
        const auto configure = [&](const QString &ssid, bool accept) {
            QTimer::singleShot(0, [ssid, accept] {
                auto *dialog = qobject_cast<DialogConfigureWiFi *>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                QVERIFY(dialog->ssidField()->text().isEmpty()); // never shows the current one
                dialog->ssidField()->setText(ssid);
                dialog->passwordField()->setText(QStringLiteral("secret"));
                accept ? dialog->doOk() : dialog->doCancel();
            });
            wifi->doConfigure();
        };
        const int sent = requests->count();
        configure(QStringLiteral("Café"), false);
        QVERIFY(quietAt(sent) && wifi->ssid() == QLatin1String("Zomra-Shop"));
        configure(QStringLiteral("Café"), true);
        QCOMPARE(wifi->ssid(), QStringLiteral("Café")); // at once
        QVERIFY(!wifi->saveButton()->isEnabled()); // not a setting Save writes
        configure(QString(), true);
        QCOMPARE(wifi->ssid(), QString());
        QTRY_COMPARE(wordsSince(sent), (QList<quint16>{SetWifiNetwork, ClearWifiNetwork}));
    }

    void testPagesReachTheRawPort()
    {
        QVERIFY(connectTo("127.0.0.31", "RX210", "RX220_S"));
        RawPrintServer printer;
        QVERIFY(printer.listen(QHostAddress(QStringLiteral("127.0.0.31"))));
        QSignalSpy jobs(&printer, &RawPrintServer::jobReceived);
        const auto target = [](NetworkPage *page, const char *staticAddress, const char *dhcpAddress) {
            NetworkInformation info;
            info.ethernetStaticAddress = info.wifiStaticAddress = QString::fromLatin1(staticAddress);
            info.ethernetDhcpAddress = info.wifiDhcpAddress = QString::fromLatin1(dhcpAddress);
            page->fill(info);
        };
        for (NetworkPage *page : QList<NetworkPage *>{window->lanPage(), window->wifiPage()}) {
            // The static address unless it is unusable, else the DHCP one.
            target(page, "0.0.0.0", "127.0.0.31");
            const int before = jobs.count();
            page->testPageButton()->click();
            QVERIFY(!page->testPageButton()->isEnabled()); // one test page at a time
            QTRY_COMPARE(jobs.count(), before + 1);
            QCOMPARE(jobs.last().at(0).toByteArray(), page->testPageBytes());
            QVERIFY(page->testPageBytes().endsWith(QByteArray(8, '\n')));
            QTRY_VERIFY(page->testPageButton()->isEnabled());
        }
        QVERIFY(window->wifiPage()->testPageBytes().contains("*** Wi-Fi Print Test Page ***"));

        // Nowhere to print: said, and nothing tried.
        WidgetLan *lan = window->lanPage();
        target(lan, "255.255.255.255", "");
        QCOMPARE(messageOf([&] { lan->testPageButton()->click(); }), QStringLiteral("Error|No valid IP address."));
        QVERIFY(lan->testPageButton()->isEnabled());

        // A printer that refuses: Qt's reason in an error box, then the button is back.
        target(lan, "127.0.0.32", "");
        QVERIFY(messageOf([&] { lan->testPageButton()->click(); }).startsWith(QStringLiteral("Error|Connection refused")));
        QTRY_VERIFY(lan->testPageButton()->isEnabled());

        // rawPrint over the network: a connection of its own per job, side by side, each job
        // whole however many writes it takes, both ends logged; every one goes, refused too.
        const QString log = dir.filePath(QStringLiteral("log.txt"));
        logTextSoFar(log); // from here on
        const QByteArray big = patternBytes(512 * 1024);
        rawPrint(big);
        rawPrint(QByteArray("\x1b@short"));
        QPointer<TcpRawPrint> refused = new TcpRawPrint(QHostAddress(QStringLiteral("127.0.0.32")), "x");
        QTRY_COMPARE(jobs.count(), 4);
        QVERIFY(printer.jobs().contains(big) && printer.jobs().contains("\x1b@short")); // no QCOMPARE: half a megabyte
        QTRY_VERIFY(refused.isNull() && TcpRawPrint::inFlight() == 0);
        const QByteArray text = logTextSoFar(log);
        QVERIFY2(text.count("TCP socket connected.") == 2 && text.count("TCP socket disconnected.") == 3, text);
        closeLink();
        rawPrint(QByteArray("no link")); // nothing to send it on: nothing happens
        QTest::qWait(100);
        QCOMPARE(jobs.count(), 4);
    }

    // The raw print server from plain sockets: numbering, the log line, the spool files, an
    // empty connection that still counts as a job, and only the last jobs kept.
    void rawPrintServerSpoolsAndKeepsTheLastJobs()
    {
        QTemporaryDir spool;
        RawPrintServer server;
        server.setSpoolDir(spool.filePath(QStringLiteral("jobs"))); // made on first use
        QSignalSpy lines(&server, &RawPrintServer::logLine);
        QVERIFY(server.listen(QHostAddress(QStringLiteral("127.0.0.64")), 0));
        const auto send = [&](const QByteArray &bytes) {
            QTcpSocket client;
            client.connectToHost(QHostAddress(QStringLiteral("127.0.0.64")), server.serverPort());
            QVERIFY(client.waitForConnected(5000));
            client.write(bytes);
            client.disconnectFromHost();
            const int before = server.jobCount();
            QTRY_COMPARE(server.jobCount(), before + 1); // one after the other, so the order is known
            QVERIFY(client.bytesAvailable() == 0);       // the port answers nothing
        };
        send("\x1b@one\n");
        send(QByteArray());
        QCOMPARE(server.jobs(), (QList<QByteArray>{"\x1b@one\n", QByteArray()}));
        const QString one = lines.at(1).at(0).toString();
        QVERIFY2(QRegularExpression(QStringLiteral("^raw print job 1: 6 bytes from 127\\.0\\.0\\.1:\\d+ \\(saved to .*/jobs/job-0001\\.bin\\)$"))
                     .match(one).hasMatch(), qPrintable(one));
        QCOMPARE(fileBytes(spool.filePath(QStringLiteral("jobs/job-0001.bin"))), QByteArray("\x1b@one\n"));
        QVERIFY(QFile::exists(spool.filePath(QStringLiteral("jobs/job-0002.bin"))));
        for (int i = 2; i < RawPrintServer::KeptJobs + 3; ++i)
            send(QByteArray::number(i));
        QCOMPARE(server.jobs().size(), int(RawPrintServer::KeptJobs));
        QCOMPARE(server.jobs().first(), QByteArray::number(3)); // the oldest three went
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
        QTRY_COMPARE(field(Row::Model), QStringLiteral("RX110"));
        // Raw bytes go down the USB link itself (the printer finds no packet in them).
        QSignalSpy lines(&printer, &UsbPtyPrinter::logLine);
        rawPrint(QByteArray("\x1b@raw"));
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
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
