#include "tests/windowfixture.h"

#include "app/globals.h"
#include "emulator/ptydevice.h"
#include "pages/dialogserialconnect.h"
#include "pages/widgetaudio.h"
#include "pages/widgetserial.h"
#include "pages/widgetwnet.h"
#include "protocol/audiosettingsrecord.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QSerialPort>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QByteArray serialAnswer(qint32 baud, qint32 dataBits, qint32 stopBits, qint32 parity)
{
    QByteArray a = answer(GetSerialSettings, 18);
    for (const auto &field : {std::pair<int, qint32>{2, baud}, {6, dataBits}, {10, stopBits}, {14, parity}})
        ByteFields::putU32(a, field.first, quint32(field.second));
    return a;
}

QByteArray audioAnswer(const char *hexBytes)
{
    return answer(GetAudioSettings, 2) + QByteArray::fromHex(hexBytes);
}

QByteArray wnetAnswer(const QByteArray &position, qint16 rssi, quint16 status, quint16 flag)
{
    QByteArray a = answer(GetWnetInfo, 344);
    a.replace(2, 6, "EC-1.0");
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
        auto *dialog = qobject_cast<DialogSerialConnect *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        const int index = dialog->portBox()->findData(path);
        if (path.isEmpty() || index < 0) {
            dialog->doCancel();
            return;
        }
        dialog->portBox()->setCurrentIndex(index);
        dialog->doOk();
    });
}

} // namespace

// The Serial, Audio and 4G tabs: filling from answers, their Save, the serial test page on a
// pseudo-terminal and the 4G module restart.
class TestSettingsPages : public WindowFixture
{
    Q_OBJECT

    int countOf(quint16 word, int from) const { return int(wordsSince(from).count(word)); }

private slots:
    // Connected, so that the tabs are enabled; some cases then feed answers of their own.
    void initTestCase()
    {
        setUpWindow();
        QVERIFY(connectTo("127.0.0.43", "RX210", "RX220_S"));
    }
    void cleanupTestCase() { tearDownWindow(); }

    void serialSelectionsFallBackToFirstItem()
    {
        WidgetSerial *page = window->serialPage();
        window->handleResponse(serialAnswer(9600, 8, 2, 1));
        QCOMPARE(page->baudRateBox()->currentText(), QStringLiteral("9600"));
        QCOMPARE(page->stopBitsBox()->currentText(), QStringLiteral("2"));
        QCOMPARE(page->parityBox()->currentText(), QStringLiteral("Odd"));
        QVERIFY(!page->saveButton()->isEnabled());

        window->handleResponse(serialAnswer(9601, 9, 0, 3));
        QCOMPARE(page->baudRateBox()->currentText(), QStringLiteral("2400"));
        QCOMPARE(page->dataBitsBox()->currentText(), QStringLiteral("7"));
        QCOMPARE(page->stopBitsBox()->currentText(), QStringLiteral("1"));
        QCOMPARE(page->parityBox()->currentText(), QStringLiteral("None"));
        QVERIFY(!page->saveButton()->isEnabled());

        // A change and back is still a change: the user touched it.
        page->baudRateBox()->setCurrentIndex(3);
        page->baudRateBox()->setCurrentIndex(0);
        QVERIFY(page->saveButton()->isEnabled());
        page->saveButton()->setEnabled(false);
    }

    void audioMasterSwitch()
    {
        WidgetAudio *page = window->audioPage();
        const QList<QCheckBox *> others{page->cloudBox(), page->warningBox(), page->noticeBox(),
                                        page->voiceBox(), page->beepBox()};
        window->handleResponse(audioAnswer("0101010103"));
        QVERIFY(!page->saveButton()->isEnabled());
        QCOMPARE(page->settings().toBytes(), QByteArray::fromHex("03010101010103"));

        page->allBox()->setChecked(false);
        for (const QCheckBox *box : others)
            QVERIFY(!box->isEnabled() && box->isChecked());
        QVERIFY(page->saveButton()->isEnabled());
        QCOMPARE(page->settings().toBytes(), QByteArray::fromHex("03010001010103"));

        // Only bit 0 counts for the four switches; voice is bit 1, beep bit 0.
        window->handleResponse(audioAnswer("0300fe0102"));
        for (const QCheckBox *box : others)
            QVERIFY(box->isEnabled());
        QVERIFY(!page->cloudBox()->isChecked() && !page->warningBox()->isChecked());
        QVERIFY(page->noticeBox()->isChecked());
        QVERIFY(page->voiceBox()->isChecked() && !page->beepBox()->isChecked());
        QVERIFY(!page->saveButton()->isEnabled());
    }

    void wnetAnswerFillsThePage_data()
    {
        QTest::addColumn<QByteArray>("position");
        QTest::addColumn<qint16>("rssi");
        QTest::addColumn<quint16>("status");
        QTest::addColumn<quint16>("flag");
        QTest::addColumn<QStringList>("shown"); // longitude, latitude, RSSI, status
        QTest::addColumn<bool>("useApn");

        QTest::newRow("connected") << QByteArray("113.9,22.5") << qint16(-55) << quint16(4) << quint16(1)
                                   << QStringList{"113.9", "22.5", "-55", "Connected"} << true;
        QTest::newRow("no signal, unknown status, flag 255")
            << QByteArray("113.9,22.5") << qint16(255) << quint16(7) << quint16(255)
            << QStringList{"113.9", "22.5", "", ""} << false;
        QTest::newRow("no comma") << QByteArray("113.9") << qint16(0) << quint16(6) << quint16(0)
                                  << QStringList{"", "", "0", "Ready"} << false;
        QTest::newRow("three parts") << QByteArray("1,2,3") << qint16(-1) << quint16(0) << quint16(2)
                                     << QStringList{"", "", "-1", "Disabled"} << true;
        QTest::newRow("only comma last") << QByteArray("113.9,") << qint16(31) << quint16(5) << quint16(0)
                                         << QStringList{"113.9", "", "31", "Connecting"} << false;
    }
    void wnetAnswerFillsThePage()
    {
        QFETCH(QByteArray, position);
        QFETCH(qint16, rssi);
        QFETCH(quint16, status);
        QFETCH(quint16, flag);
        QFETCH(QStringList, shown);
        QFETCH(bool, useApn);
        WidgetWnet *page = window->wnetPage();
        window->handleResponse(wnetAnswer(position, rssi, status, flag));
        const QStringList fields{page->field(WidgetWnet::Longitude)->text(),
                                 page->field(WidgetWnet::Latitude)->text(),
                                 page->field(WidgetWnet::Rssi)->text(),
                                 page->field(WidgetWnet::Status)->text()};
        QCOMPARE(fields, shown);
        QCOMPARE(page->field(WidgetWnet::Version)->text(), QStringLiteral("EC-1.0"));
        QCOMPARE(page->useApnBox()->isChecked(), useApn);
        QCOMPARE(page->apnField()->isEnabled(), useApn);
        QCOMPARE(page->dialNumberField()->isEnabled(), useApn);
        QCOMPARE(page->apnField()->text(), QStringLiteral("cmnet"));
        QVERIFY(!page->saveButton()->isEnabled());
    }

    void wnetDemoSamples()
    {
        WidgetWnet *page = window->wnetPage();
        g_demoMode = true;
        window->handleResponse(wnetAnswer("1,2", 255, 7, 0));
        g_demoMode = false;
        QCOMPARE(page->field(WidgetWnet::Rssi)->text(), QStringLiteral("-55"));
        QCOMPARE(page->field(WidgetWnet::Status)->text(), QStringLiteral("Connected"));
        QCOMPARE(page->field(WidgetWnet::Imei)->text().size(), 15);
        QCOMPARE(page->apnField()->text(), QStringLiteral("cmnet")); // the printer's
    }

    // The page's own selections, saved or not, go into the page and onto the port.
    void serialTestPageOnAPseudoTerminal()
    {
        PtyDevice pty;
        QVERIFY2(pty.openPty(), qPrintable(pty.errorString()));
        const QString missing = QStringLiteral("/nonexistent/ttyZ9");
        qputenv("ZOMRA_SERIAL_PORTS", (pty.slaveName() + QLatin1Char(':') + missing).toLocal8Bit());
        WidgetSerial *page = window->serialPage();
        page->baudRateBox()->setCurrentText(QStringLiteral("19200"));
        page->dataBitsBox()->setCurrentText(QStringLiteral("7"));
        page->stopBitsBox()->setCurrentText(QStringLiteral("2"));
        page->parityBox()->setCurrentIndex(2); // Even

        choosePort(QString());
        page->testPageButton()->click();
        QVERIFY(!page->port() && page->testPageButton()->isEnabled());
        choosePort(missing);
        page->testPageButton()->click();
        QVERIFY(!page->port() && page->testPageButton()->isEnabled());
        QVERIFY(page->testPageBytes().isEmpty());

        QByteArray received;
        connect(&pty, &QIODevice::readyRead, this, [&] { received += pty.readAll(); });
        choosePort(pty.slaveName());
        page->testPageButton()->click();
        QVERIFY(page->port());
        QVERIFY(!page->testPageButton()->isEnabled());

        // What the line is set to, read back from the terminal itself. A pseudo-terminal
        // keeps speed and stop bits but forces eight bits without parity, so those two are
        // taken from the port.
        QCOMPARE(page->port()->dataBits(), QSerialPort::Data7);
        QCOMPARE(page->port()->parity(), QSerialPort::EvenParity);
        const int fd = ::open(pty.slaveName().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        termios t{};
        QCOMPARE(tcgetattr(fd, &t), 0);
        ::close(fd);
        QCOMPARE(cfgetospeed(&t), speed_t(B19200));
        QVERIFY(t.c_cflag & CSTOPB);

        const QByteArray page1 = page->testPageBytes();
        QTRY_COMPARE(received, page1);
        QVERIFY(page1.contains("   Baud Rate: 19200\n   Data Bits: 7\n   Stop Bits: 2\n      Parity: Even Parity\n"));
        QTRY_VERIFY(page->testPageButton()->isEnabled());
        QVERIFY(!page->port());
        QTRY_VERIFY(!pty.slaveIsOpen());
        qunsetenv("ZOMRA_SERIAL_PORTS");
    }

    // The emulated module's own timing through a restart is pinned in tst_printerstate.
    void restartFollowsTheModule()
    {
        QVERIFY(connectTo("127.0.0.40", "RX210", "RX220_S"));
        emulator->state().wnet.restartMs = 3600 * 1000; // never connected again on its own
        WidgetWnet *page = window->wnetPage();
        page->setRestartPollInterval(3600 * 1000);      // the test ticks
        int from = requests->count();

        bool asked = false;
        answerMessageBox(QMessageBox::No, &asked);
        page->restartButton()->click();
        QVERIFY(asked);
        QVERIFY(quietAt(from));
        QVERIFY(page->restartButton()->isEnabled() && !page->restarting());

        answerMessageBox(QMessageBox::Yes, &asked);
        page->restartButton()->click();
        QVERIFY(page->restarting());
        QCOMPARE(page->countdown(), 60);
        for (QWidget *w : std::initializer_list<QWidget *>{page->restartButton(), page->saveButton(),
                                                           page->useApnBox(), page->apnField(),
                                                           page->dialNumberField()})
            QVERIFY(!w->isEnabled());
        QTRY_COMPARE(wordsSince(from), QList<quint16>{RestartWnetModule});

        // One poll per tick; each answer arrives before the next tick.
        const auto tick = [&](int polls) {
            for (int i = 0; i < polls; ++i) {
                const int answers = responses->count();
                page->restartTick();
                QTRY_COMPARE(responses->count(), answers + 1);
            }
        };
        tick(5);
        window->handleResponse(wnetAnswer("1,2", -60, 4, 0)); // too early to trust
        QCOMPARE(page->countdown(), 55);
        tick(7);
        QCOMPARE(countOf(GetWnetInfo, from), 12);
        window->handleResponse(wnetAnswer("1,2", -60, 4, 1));
        QCOMPARE(page->countdown(), 0);
        page->restartTick();
        QVERIFY(!page->restarting());
        QTest::qWait(50);
        QCOMPARE(countOf(GetWnetInfo, from), 12);
        QVERIFY(page->restartButton()->isEnabled() && page->useApnBox()->isEnabled());
        QVERIFY(page->apnField()->isEnabled()); // the last answer asked for a specific APN

        // A module that never reports Connected is polled sixty times, then left.
        from = requests->count();
        answerMessageBox(QMessageBox::Yes, &asked);
        page->restartButton()->click();
        tick(60);
        QVERIFY(!page->restarting());
        QCOMPARE(countOf(GetWnetInfo, from), 60);
        QCOMPARE(page->field(WidgetWnet::Status)->text(), QStringLiteral("Disabling"));
        QVERIFY(!page->saveButton()->isEnabled());
        page->setRestartPollInterval(WidgetWnet::RestartPollMs);
    }

    // Each page's Save sends nothing unchanged, else its record once; a Reload shows what
    // the printer kept.
    void savesReachThePrinterAndComeBack()
    {
        QVERIFY(connectTo("127.0.0.42", "RX210", "RX220_S"));
        WidgetSerial *serial = window->serialPage();
        WidgetAudio *audio = window->audioPage();
        WidgetWnet *wnet = window->wnetPage();
        const QList<QPushButton *> saves{serial->saveButton(), audio->saveButton(), wnet->saveButton()};
        const int from = requests->count();
        for (QPushButton *save : saves) {
            save->setEnabled(true);
            save->click();
        }
        QVERIFY(quietAt(from));

        serial->baudRateBox()->setCurrentText(QStringLiteral("921600"));
        serial->parityBox()->setCurrentIndex(1);
        serial->saveButton()->click();
        audio->allBox()->setChecked(false);
        audio->beepBox()->setChecked(true);
        audio->saveButton()->click();
        wnet->useApnBox()->setChecked(true);
        wnet->apnField()->setText(QStringLiteral("internet.example"));
        wnet->useApnBox()->setChecked(false); // the text is sent all the same
        wnet->saveButton()->click();
        QTRY_COMPARE(requests->count(), from + 3);
        QVERIFY(quietAt(from + 3));
        QCOMPARE(wordsSince(from), (QList<quint16>{SetSerialSettings, SetAudioSettings, SetWnetApn}));
        QCOMPARE(emulator->state().serial.baudRate, 921600);
        QCOMPARE(emulator->state().wnet.apn, QStringLiteral("internet.example"));
        QVERIFY(!emulator->state().wnet.useApn);
        for (QPushButton *save : saves)
            QVERIFY(!save->isEnabled());

        // Show something else, then have the printer's values back.
        serial->baudRateBox()->setCurrentIndex(0);
        audio->allBox()->setChecked(true);
        wnet->apnField()->setText(QString());
        for (QPushButton *save : saves)
            save->setEnabled(false);
        reload();
        QCOMPARE(serial->baudRateBox()->currentText(), QStringLiteral("921600"));
        QCOMPARE(serial->parityBox()->currentText(), QStringLiteral("Odd"));
        QVERIFY(!audio->allBox()->isChecked() && audio->beepBox()->isChecked());
        QVERIFY(!audio->beepBox()->isEnabled());
        QCOMPARE(wnet->apnField()->text(), QStringLiteral("internet.example"));
        QVERIFY(!wnet->useApnBox()->isChecked() && !wnet->apnField()->isEnabled());
        for (QPushButton *save : saves)
            QVERIFY(!save->isEnabled());
    }
};

QTEST_MAIN(TestSettingsPages)
#include "tst_settingspages.moc"
