#include "tests/windowfixture.h"
#include "app/globals.h"
#include "emulator/rawprintserver.h"
#include "emulator/usbptyprinter.h"
#include "pages/dialogconfigurewifi.h"
#include "pages/tcprawprint.h"
#include "pages/widgetlan.h"
#include "pages/widgetwifi.h"

#include <QLabel>
#include <QTabWidget>

class TestMainWindow : public WindowFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpWindow(); }
    void cleanupTestCase() { tearDownWindow(); }

    void notConnectedWindow()
    {
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(window->sizeHint(), QSize(640, 600));
        QCOMPARE(window->windowTitle(), QStringLiteral("Zomra Cloud Printer Setup v1.11"));
        QVERIFY(window->connectAction()->isEnabled());
        QVERIFY(!window->disconnectAction()->isEnabled());
        QVERIFY(!window->reloadAction()->isEnabled());
        QVERIFY(!window->tabWidget()->isEnabled());
        QCOMPARE(window->statusLabel()->text(), QStringLiteral("Not Connected"));
    }

    void connectingFillsTheWindow()
    {
        g_hostCmd.setProject(QStringLiteral("stale"));
        g_hostCmd.setModel(QStringLiteral("stale"));
        QVERIFY(connectTo("127.0.0.20", "RX210", "RX220_S"));

        // The handshake named the printer before it was announced.
        QCOMPARE(g_hostCmd.project(), QStringLiteral("RX210"));
        QCOMPARE(g_hostCmd.model(), QStringLiteral("RX220_S"));
        QCOMPARE(wordsSince(0), (QList<quint16>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

        QCOMPARE(field(WidgetDeviceInformation::Model), QStringLiteral("RX220_S"));
        QCOMPARE(field(WidgetDeviceInformation::SerialNumber), QStringLiteral("SN-WINDOW-1"));
        QCOMPARE(field(WidgetDeviceInformation::TtsVersion), QStringLiteral("TTS-1.2"));
        QCOMPARE(field(WidgetDeviceInformation::BluetoothMac), QStringLiteral("A4:C1:38:5E:21:09"));
        QCOMPARE(field(WidgetDeviceInformation::BluetoothName), QStringLiteral("ZR-1234"));
        QVERIFY(!window->deviceInformationPage()->field(WidgetDeviceInformation::BluetoothMac)->isHidden());
        QVERIFY(window->deviceInformationPage()->field(WidgetDeviceInformation::Model)->isReadOnly());

        QTabWidget *tabs = window->tabWidget();
        QVERIFY(tabs->isEnabled());
        for (int tab = 0; tab < tabs->count(); ++tab)
            QVERIFY2(tabs->isTabEnabled(tab), qPrintable(tabs->tabText(tab)));
        for (const QPushButton *save : window->saveButtons())
            QVERIFY(!save->isEnabled());
        QCOMPARE(window->statusLabel()->text(), QStringLiteral("Connected (127.0.0.20)"));
        QVERIFY(!window->connectAction()->isEnabled());
        QVERIFY(window->disconnectAction()->isEnabled());
        QTRY_VERIFY(window->reloadAction()->isEnabled()); // after the 100 ms guard

        WidgetLan *lan = window->lanPage();
        WidgetWiFi *wifi = window->wifiPage();
        QCOMPARE(lan->macField()->text(), QStringLiteral("A4:C1:38:5E:21:07"));
        QCOMPARE(lan->dhcpAddressField()->text(), QStringLiteral("192.168.1.57"));
        QCOMPARE(lan->staticAddressField()->text(), QStringLiteral("192.168.1.200"));
        QCOMPARE(lan->staticGatewayField()->text(), QStringLiteral("192.168.1.1"));
        QCOMPARE(wifi->macField()->text(), QStringLiteral("A4:C1:38:5E:21:08"));
        QCOMPARE(wifi->staticNetmaskField()->text(), QStringLiteral("255.255.255.0"));
        QCOMPARE(wifi->ssidField()->text(), QStringLiteral("Zomra-Shop"));
        QVERIFY(lan->macField()->isReadOnly() && wifi->ssidField()->isReadOnly());

        // Demo mode shows sample DHCP addresses; the static ones stay the printer's.
        g_demoMode = true;
        window->handleResponse(lastAnswer(GetNetworkInfo));
        g_demoMode = false;
        QCOMPARE(lan->dhcpNetmaskField()->text(), QStringLiteral("255.255.255.0"));
        QCOMPARE(lan->dhcpAddressField()->text(), QStringLiteral("192.168.1.123"));
        QCOMPARE(wifi->dhcpNetmaskField()->text(), QStringLiteral("255.255.240.0"));
        QCOMPARE(lan->staticAddressField()->text(), QStringLiteral("192.168.1.200"));
        QVERIFY(!lan->saveButton()->isEnabled());
    }

    void modelDecidesTabsAndBluetoothRows()
    {
        QTabWidget *tabs = window->tabWidget();
        WidgetDeviceInformation *info = window->deviceInformationPage();
        const auto shown = [&] {
            return QList<bool>{tabs->isTabEnabled(MainWindow::TabLan), tabs->isTabEnabled(MainWindow::TabWnet),
                               tabs->isTabEnabled(MainWindow::TabWifi), tabs->isTabEnabled(MainWindow::TabAudio),
                               !info->field(WidgetDeviceInformation::BluetoothMac)->isHidden(),
                               !info->field(WidgetDeviceInformation::BluetoothName)->isHidden()};
        };
        // Ethernet, 4G, Wi-Fi, audio, and the Bluetooth rows that come with Wi-Fi.
        QVERIFY(connectTo("127.0.0.21", "RX200", "RX230"));
        QCOMPARE(shown(), (QList<bool>{true, true, false, true, false, false}));
        QVERIFY(connectTo("127.0.0.22", "RX100", "RX160"));
        QCOMPARE(shown(), (QList<bool>{false, false, true, true, true, true}));
        QCOMPARE(field(WidgetDeviceInformation::Model), QStringLiteral("RX160"));
    }

    void reloadWithUnsavedChangesAsksFirst()
    {
        QVERIFY(connectTo("127.0.0.23", "RX210", "RX220_S"));
        QTRY_VERIFY(window->reloadAction()->isEnabled());
        window->lanPage()->onSettingsChanged();
        QVERIFY(window->lanPage()->saveButton()->isEnabled());

        bool asked = false;
        const int before = requests->count();
        answerMessageBox(QMessageBox::No, &asked);
        window->reloadAction()->trigger();
        QVERIFY(asked);
        QVERIFY(quietAt(before));
        QVERIFY(window->reloadAction()->isEnabled());
        QVERIFY(window->lanPage()->saveButton()->isEnabled());

        asked = false;
        answerMessageBox(QMessageBox::Yes, &asked);
        window->reloadAction()->trigger();
        QVERIFY(asked);
        QVERIFY(!window->reloadAction()->isEnabled()); // no second Reload within 100 ms
        QTRY_COMPARE(requests->count(), before + 9);
        QCOMPARE(wordsSince(before), (QList<quint16>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
        QTRY_VERIFY(window->reloadAction()->isEnabled());
        window->lanPage()->saveButton()->setEnabled(false);
    }

    void dispatcherIgnoresShortAndForeignAnswers()
    {
        QByteArray info = answer(GetDeviceInfo, 186);
        info.replace(18, 5, "MODEL");
        window->handleResponse(info);
        QCOMPARE(field(WidgetDeviceInformation::Model), QStringLiteral("MODEL"));

        QByteArray shortInfo = info.left(185);
        shortInfo.replace(18, 5, "SHORT");
        window->handleResponse(shortInfo);
        QByteArray foreign = info;
        ByteFields::putU16(foreign, 0, SetLanStaticIp);
        foreign.replace(18, 5, "OTHER");
        window->handleResponse(foreign);
        window->handleResponse(QByteArray());
        window->handleResponse(QByteArray(1, '\x01'));
        QCOMPARE(field(WidgetDeviceInformation::Model), QStringLiteral("MODEL"));

        QByteArray net = answer(GetNetworkInfo, 248);
        net.replace(216, 32, QByteArray(32, 'N'));
        window->handleResponse(net.left(247));
        QVERIFY(field(WidgetDeviceInformation::BluetoothName) != QString(32, QLatin1Char('N')));
        window->handleResponse(net);
        QCOMPARE(field(WidgetDeviceInformation::BluetoothName), QString(32, QLatin1Char('N')));
        QCOMPARE(field(WidgetDeviceInformation::BluetoothMac), QString()); // replaced, not kept
    }

    void disconnectReturnsToNotConnected()
    {
        QVERIFY(connectTo("127.0.0.25", "RX210", "RX220_S"));
        const QString model = field(WidgetDeviceInformation::Model);
        window->disconnectAction()->trigger();
        QTRY_VERIFY(window->connectAction()->isEnabled());
        QVERIFY(!window->tabWidget()->isEnabled());
        QCOMPARE(window->statusLabel()->text(), QStringLiteral("Not Connected"));
        QCOMPARE(g_transceiver->linkType(), int(Transceiver::LinkNone));
        QCOMPARE(field(WidgetDeviceInformation::Model), model); // pages keep their content

        QVERIFY(!QApplication::activeModalWidget()); // closed by the user: no retrying
    }

    void netmaskRule_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<bool>("valid");
        QTest::newRow("longest") << "255.255.255.254" << true;
        QTest::newRow("one bit") << "128.0.0.0" << true;
        QTest::newRow("class C") << "255.255.255.0" << true;
        QTest::newRow("none") << "0.0.0.0" << true;
        QTest::newRow("all ones") << "255.255.255.255" << false;
        QTest::newRow("gap") << "255.0.255.0" << false;
        QTest::newRow("low bit alone") << "0.0.0.1" << false;
    }
    void netmaskRule()
    {
        QFETCH(QString, mask);
        QFETCH(bool, valid);
        QCOMPARE(isValidNetmask(mask), valid);
    }

    void savingStaticAddresses()
    {
        QVERIFY(connectTo("127.0.0.29", "RX210", "RX220_S"));
        WidgetLan *lan = window->lanPage();
        WidgetWiFi *wifi = window->wifiPage();
        const int sent = requests->count();

        // Nothing changed: no packet, yet Save is done.
        for (NetworkPage *page : {static_cast<NetworkPage *>(lan), static_cast<NetworkPage *>(wifi)}) {
            page->onSettingsChanged();
            page->saveButton()->click();
            QVERIFY(!page->saveButton()->isEnabled());
        }
        QVERIFY(quietAt(sent));

        // A refused netmask (the rule is netmaskRule's) sends nothing and keeps Save.
        lan->staticNetmaskField()->setText(QStringLiteral("255.0.255.0"));
        QString shown;
        readMessageBox(&shown);
        lan->saveButton()->click();
        QCOMPARE(shown, QStringLiteral("Error|Invalid netmask."));
        QVERIFY(lan->saveButton()->isEnabled());
        QVERIFY(quietAt(sent));

        // An empty mask is the DHCP one; an empty address goes out as 0.0.0.0.
        lan->dhcpNetmaskField()->setText(QStringLiteral("255.255.240.0"));
        lan->staticNetmaskField()->clear();
        lan->staticAddressField()->clear();
        lan->saveButton()->click();
        QCOMPARE(lan->staticNetmaskField()->text(), QStringLiteral("255.255.240.0"));
        QTRY_COMPARE(requests->count(), sent + 1);
        QCOMPARE(lastWord(), quint16(SetLanStaticIp));
        QCOMPARE(requests->last().at(1).toByteArray().mid(2, 8), QByteArray::fromHex("00000000fffff000"));

        // Without a DHCP mask either, the usual class C one; the printer reports it back.
        wifi->dhcpNetmaskField()->clear();
        wifi->staticNetmaskField()->setText(QStringLiteral("0.0.0.0"));
        wifi->staticAddressField()->setText(QStringLiteral("192.168.31.77"));
        wifi->saveButton()->click();
        QCOMPARE(wifi->staticNetmaskField()->text(), QStringLiteral("255.255.255.0"));
        QTRY_COMPARE(requests->count(), sent + 2);
        QCOMPARE(lastWord(), quint16(SetWifiStaticIp));
        reload();
        QCOMPARE(wifi->staticAddressField()->text(), QStringLiteral("192.168.31.77"));
        QCOMPARE(lan->staticAddressField()->text(), QStringLiteral("0.0.0.0"));
        QVERIFY(!lan->saveButton()->isEnabled() && !wifi->saveButton()->isEnabled());
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
            wifi->configureButton()->click();
        };
        const int sent = requests->count();
        configure(QStringLiteral("Café"), false);
        QVERIFY(quietAt(sent));
        QCOMPARE(wifi->ssidField()->text(), QStringLiteral("Zomra-Shop"));

        configure(QStringLiteral("Café"), true);
        QCOMPARE(wifi->ssidField()->text(), QStringLiteral("Café"));
        QTRY_COMPARE(requests->count(), sent + 1);
        QCOMPARE(lastWord(), quint16(SetWifiNetwork));
        QVERIFY(!wifi->saveButton()->isEnabled()); // not a setting Save writes

        configure(QString(), true);
        QTRY_COMPARE(requests->count(), sent + 2);
        QCOMPARE(lastWord(), quint16(ClearWifiNetwork));
        QCOMPARE(wifi->ssidField()->text(), QString());
    }

    void testPagesReachTheRawPort()
    {
        QVERIFY(connectTo("127.0.0.31", "RX210", "RX220_S"));
        RawPrintServer printer;
        QVERIFY(printer.listen(QHostAddress(QStringLiteral("127.0.0.31"))));
        QSignalSpy jobs(&printer, &RawPrintServer::jobReceived);

        for (NetworkPage *page : {static_cast<NetworkPage *>(window->lanPage()),
                                  static_cast<NetworkPage *>(window->wifiPage())}) {
            // The static address unless it is unusable, else the DHCP one.
            page->staticAddressField()->setText(QStringLiteral("0.0.0.0"));
            page->dhcpAddressField()->setText(QStringLiteral("127.0.0.31"));
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
        lan->staticAddressField()->setText(QStringLiteral("255.255.255.255"));
        lan->dhcpAddressField()->clear();
        QString shown;
        readMessageBox(&shown);
        lan->testPageButton()->click();
        QCOMPARE(shown, QStringLiteral("Error|No valid IP address."));
        QVERIFY(lan->testPageButton()->isEnabled());

        // A printer that refuses: Qt's reason in an error box, then the button is back.
        lan->staticAddressField()->setText(QStringLiteral("127.0.0.32"));
        shown.clear();
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown = box->windowTitle() + QLatin1Char('|') + box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        poll.start(10);
        lan->testPageButton()->click();
        QTRY_VERIFY(!shown.isEmpty());
        QVERIFY(shown.startsWith(QStringLiteral("Error|")));
        QTRY_VERIFY(lan->testPageButton()->isEnabled());
        poll.stop();

        // rawPrint over the network opens its own connection to the printer's raw port.
        rawPrint(QByteArray("\x1b@raw job"));
        QTRY_COMPARE(jobs.count(), 3);
        QCOMPARE(jobs.last().at(0).toByteArray(), QByteArray("\x1b@raw job"));
        g_transceiver->close();
        QTest::qWait(20);
        rawPrint(QByteArray("no link")); // nothing to send it on: nothing happens
        QTest::qWait(100);
        QCOMPARE(jobs.count(), 3);
    }

    // A USB printer pulled out only returns the window to not connected.
    void lostUsbLinkOpensNoDialog()
    {
        closeLink();
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
        // Another printer than the last one by address: the status line names it.
        QTRY_COMPARE(window->statusLabel()->text().left(15), QStringLiteral("Connected (USB)"));
        QTRY_COMPARE(field(WidgetDeviceInformation::Model), QStringLiteral("RX110"));
        // Raw bytes go down the USB link itself (the printer finds no packet in them).
        QSignalSpy lines(&printer, &UsbPtyPrinter::logLine);
        rawPrint(QByteArray("\x1b@raw"));
        QTRY_VERIFY(std::any_of(lines.begin(), lines.end(), [](const QList<QVariant> &l) {
            return l.at(0).toString().startsWith(QStringLiteral("dropped 5 bytes"));
        }));

        bool dialog = false;
        QTimer::singleShot(100, [&] { dialog = QApplication::activeModalWidget() != nullptr; });
        printer.unplug();
        QTRY_VERIFY(window->connectAction()->isEnabled());
        QTest::qWait(150);
        QVERIFY(!dialog);
        QCOMPARE(window->statusLabel()->text(), QStringLiteral("Not Connected"));
        g_transceiver->close();
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
