#include "tests/windowfixture.h"
#include "app/activity.h"
#include "app/conf.h"
#include "emulator/rawprintserver.h"
#include "nvimage/dialogdownloadnvimage.h"
#include "nvimage/widgetnvimage.h"
#include "pages/widgetaudio.h"
#include "print/dialogdualcolorsettings.h"
#include "print/dialogfontsettings.h"
#include "print/widgetprint.h"
#include "tests/logtext.h"
#include "tests/testfiles.h"
#include "transport/dialogreconnect.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressDialog>
#include <QTableWidget>
#include <QTcpSocket>

#include <ctime>

namespace {

DialogReconnect *reconnectDialog() { return qobject_cast<DialogReconnect *>(QApplication::activeModalWidget()); }

// Calls step, in modal loops too, until it is true or time is up, then closes what modal is left.
// Busy spins the loop itself every ms: the 10 ms sleeps of QTest::qWaitFor would thin out a flood.
bool drive(int ms, const std::function<bool()> &step, bool busy = false)
{
    const QDeadlineTimer deadline(ms);
    bool done = false;
    QEventLoop loop;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        done = done || step();
        if (done || deadline.hasExpired()) {
            timer.stop();
            while (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                modal->reject();
            loop.quit();
        }
    });
    timer.start(busy ? 1 : 10);
    if (busy)
        loop.exec();
    else
        (void)QTest::qWaitFor([&] { return !timer.isActive(); }, ms + 1000);
    return done;
}

} // namespace

// The window against misbehaving printers; after each, the settings file is untouched and a healthy one answers.
class TestFaults : public WindowFixture
{
    Q_OBJECT

    QByteArray confBefore;
    QString address;

    // The misbehaving printer, with the window's link to it on its way and its answers counted.
    bool startFaulty(const char *at, const std::function<void(EmulatorOptions &)> &fault)
    {
        address = QString::fromLatin1(at);
        EmulatorOptions options;
        fault(options);
        responses = std::make_unique<QSignalSpy>(&g_hostCmd, &HostCmd::responseReceived);
        return startEmulator(at, options) && g_transceiver->connectTcp(QHostAddress(address), Transceiver::IdentifyByHandshake);
    }
    bool comeBack() { return startEmulator(qPrintable(address)); }

    QString status() const { return window->statusLabel()->text(); }

private slots:
    void initTestCase()
    {
        setUpWindow();
        // Settings someone changed, plus what another version left; no fault may write the file.
        confBefore = "[Conf]\nLanguage=1\nVID_PID_List=\"abcd:0002\"\n[Other]\nKept=yes\n";
        QFile f(dir.filePath(QStringLiteral("faults.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(confBefore) == confBefore.size());
        f.close();
        g_conf.setFileName(f.fileName());
        g_conf.load();
    }
    void cleanupTestCase() { tearDownWindow(); }

    void cleanup()
    {
        const bool modalLeft = QApplication::activeModalWidget();
        resetWindow();
        QVERIFY(!modalLeft);
        QCOMPARE(fileBytes(g_conf.fileName()), confBefore);
        const bool fresh = connectTo(qPrintable(address), "RX210", "RX220_S")
                           && status().startsWith(QStringLiteral("Connected (%1)").arg(address));
        closeLink();
        QVERIFY2(fresh, qPrintable(status()));
    }

    // Connected but never answered: not a lost printer, so the reason is shown and nothing retried.
    void silentPrinter()
    {
        g_transceiver->setHandshakeTimeout(300);
        QVERIFY(startFaulty("127.0.0.80", [](EmulatorOptions &o) { o.silent = true; }));
        QSignalSpy opened(emulator.get(), &PrinterEmulator::connectionOpened);
        QTRY_COMPARE(status(), QStringLiteral("The printer at 127.0.0.80 did not answer the handshake"));
        QTest::qWait(500); // a dialog would still be up
        QVERIFY(!QApplication::activeModalWidget() && window->connectAction()->isEnabled() && requests->count() == 1
                && opened.count() == 1);
    }

    // Gone: one dialog, cheap retries at growing pauses, one log line each; back, found within the longest pause.
    void lostPrinterIsRetriedGently()
    {
        QVERIFY(startFaulty("127.0.0.81", [](EmulatorOptions &o) { o.closeAfter = 4; })); // hello and three queries
        const QString log = dir.filePath(QStringLiteral("log.txt"));
        constexpr int AwayMs = 2500;
        QElapsedTimer away, found;
        std::clock_t cpuAtLoss = 0;
        int dialogs = 0, attemptsAway = 0, logAway = 0;
        double cpuSeconds = 0;
        QVERIFY(drive(12000, [&] {
            DialogReconnect *dialog = reconnectDialog();
            if (found.isValid()) // back
                return requests->count() >= 10 && !dialog && status() == QLatin1String("Connected (127.0.0.81)");
            if (!dialog)
                return false;
            if (!away.isValid()) {
                stopEmulator();
                away.start();
                cpuAtLoss = std::clock();
                logTextSoFar(log); // from here on
            }
            if (away.elapsed() < AwayMs)
                return false;
            cpuSeconds = double(std::clock() - cpuAtLoss) / CLOCKS_PER_SEC;
            logAway = logTextSoFar(log).size();
            attemptsAway = dialog->attempts();
            dialogs = window->findChildren<DialogReconnect *>().size();
            found.start();
            return !comeBack();
        }));
        QVERIFY(dialogs == 1 && responses->count() >= 3); // what came before the hang-up was taken
        // At once, then 0.5, 1 and 2 s apart: four attempts in 2.5 s, not thousands.
        const QString measured = QStringLiteral("%1 attempts, %2 log bytes, %3 s CPU, found in %4 ms")
                                 .arg(attemptsAway).arg(logAway).arg(cpuSeconds).arg(found.elapsed());
        QVERIFY2(attemptsAway >= 3 && attemptsAway <= 5 && logAway < 2000 && cpuSeconds < 0.5 && found.elapsed() < 6000,
                 qPrintable(measured));
        QTRY_COMPARE(requests->count(), 10);
    }

    // A link back by itself asks before replacing edits made before it dropped: No keeps them.
    void comebackAsksBeforeReplacingEdits()
    {
        QVERIFY(startFaulty("127.0.0.85", [](EmulatorOptions &) {}));
        QTRY_COMPARE(requests->count(), 10);
        window->audioPage()->onSettingsChanged();
        stopEmulator();
        bool asked = false;
        QVERIFY(drive(8000, [&] {
            if (!emulator) // off, and on again once the window retries
                return reconnectDialog() && !comeBack();
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && box->text() == QLatin1String("Unsaved settings will be lost. Continue?")) {
                asked = true;
                box->button(QMessageBox::No)->click();
            }
            return asked;
        }));
        QVERIFY(quietAt(1)); // the handshake, no Reload
        QVERIFY(window->audioPage()->saveButton()->isEnabled());
        QCOMPARE(status(), QStringLiteral("Connected (127.0.0.85)"));
    }

    // A restart mid upload: no byte of the cut file reaches the new connection, and the next file installs.
    void restartMidUpload()
    {
        QVERIFY(startFaulty("127.0.0.82", [](EmulatorOptions &o) {
            o.restartMidUpload = 6000;
            o.restartDelayMs = 300;
        }));
        PrinterState &printer = emulator->state();
        QSignalSpy lines(emulator.get(), &PrinterEmulator::logLine);
        QTRY_COMPARE(requests->count(), 10);
        const int factoryFonts = printer.fontFolder.entries().size();
        // Far more than the link buffers, so blocks are still to go when the printer goes.
        const QString first = writeLocalFile(dir, QStringLiteral("Cut.ttf"), 300000);
        const QString second = writeLocalFile(dir, QStringLiteral("Whole.ttf"), 9000);

        enum { Opening, Uploading, Restarted, Reinstalling } stage = Opening;
        bool reconnectShown = false;
        int linesAtRestart = 0;
        QTimer::singleShot(0, window->printPage()->fontButton(), &QPushButton::click);
        const bool finished = drive(8000, [&] {
            auto *dialog = window->findChild<DialogFontSettings *>();
            reconnectShown = reconnectShown || reconnectDialog();
            if (!dialog)
                return false;
            if (stage == Opening && dialog->installedNames().size() == factoryFonts - 1 && dialog->installFont(first)) {
                stage = Uploading;
            } else if (stage == Uploading && reconnectShown && !reconnectDialog() && requests->count() >= 20
                       && window->disconnectAction()->isEnabled()) {
                // Back once the window has reloaded over the new connection.
                linesAtRestart = lines.count();
                stage = Restarted;
            } else if (stage == Restarted) {
                // The user gives up on the stalled progress and installs another file.
                if (dialog->progressDialog())
                    dialog->progressDialog()->cancel();
                if (dialog->installFont(second))
                    stage = Reinstalling;
            } else if (stage == Reinstalling && !dialog->uploading() && dialog->refreshButton()->isEnabled()) {
                dialog->doClose();
                return true;
            }
            return false;
        });
        QVERIFY2(finished, qPrintable(QStringLiteral("stuck at stage %1").arg(int(stage))));
        QVERIFY(!printer.fontFolder.contains("Cut.ttf"));
        // Up to the second upload, the new connection carried requests only.
        for (int i = linesAtRestart; i < lines.count(); ++i)
            QVERIFY2(!lines.at(i).at(0).toString().contains(QLatin1String("not the start of a packet")),
                     qPrintable(lines.at(i).at(0).toString()));
        QCOMPARE(printer.fontFolder.content("Whole.ttf"), fileBytes(second));
    }

    // Another printer, sealing with a key the tool lacks: the pages cleared, it is named, its answers dropped.
    void differentPrinterWithAnotherKey()
    {
        QVERIFY(connectTo("127.0.0.86", "RX210", "RX220_S")); // the pages show SN-WINDOW-1
        closeLink();
        QVERIFY(startFaulty("127.0.0.83", [](EmulatorOptions &o) { o.wrongKey = true; }));
        emulator->state().serialNumber = QStringLiteral("SN-WRONG-KEY");
        QTRY_COMPARE(requests->count(), 10); // the handshake is right, so the window reloads
        QCOMPARE(status(), QStringLiteral("Connected (127.0.0.83) to another printer: RX220_S, serial number SN-WRONG-KEY"));
        QCOMPARE(field(WidgetDeviceInformation::SerialNumber), QString());
        QVERIFY(window->nvImagePage()->keyCodes().isEmpty());
        QCOMPARE(g_hostCmd.lastKnown().record(LastKnownRecords::AudioSettings),
                 QByteArray(LastKnownRecords::size(LastKnownRecords::AudioSettings), '\0'));
        QTRY_COMPARE_WITH_TIMEOUT(status(),
                                  QStringLiteral("Connected (127.0.0.83), but none of the printer's answers could be read"),
                                  MainWindow::AnswerTimeoutMs + 2000);
        QVERIFY(responses->isEmpty() && !reconnectDialog());
    }

    // What the activity line tells of each printout, and, when the raw print port is closed, a box as well.
    void outcomes_data()
    {
        QTest::addColumn<QString>("at");
        QTest::addColumn<bool>("portClosed");
        QTest::addColumn<QObject *>("target");
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("outcome"); // %1 the address, %2 the bytes sent
        QObject *print = window->printPage(), *dualColor = window->printPage()->dualColorDialog(), *nv = window->nvImagePage();
        const QString refused = QStringLiteral(" not sent: %1:9100 refused the connection");
        QTest::newRow("test page") << "127.0.0.87" << false << print << "doPrintTestPage" << "Test page sent to %1:9100 (%2 bytes)";
        QTest::newRow("port closed") << "127.0.0.88" << true << print << "doPrintTestPage" << "Test page" + refused;
        QTest::newRow("dual-color") << "127.0.0.89" << false << dualColor << "doApply" << "Dual-color settings sent to %1:9100 (23 bytes)";
        QTest::newRow("NV image") << "127.0.0.90" << false << nv << "doDownload" << "NV image \"Z9\" stored";
        QTest::newRow("NV image, port closed") << "127.0.0.91" << true << nv << "doDownload" << "NV image \"Z9\"" + refused;
        QTest::newRow("NV print") << "127.0.0.92" << false << nv << "doPrint" << "Printout of NV image \"A1\" sent to %1:9100 (11 bytes)";
    }
    void outcomes()
    {
        QFETCH(QString, at);
        QFETCH(bool, portClosed);
        QFETCH(QObject *, target);
        QFETCH(QString, slot);
        QFETCH(QString, outcome);
        QVERIFY(startFaulty(qPrintable(at), [&](EmulatorOptions &o) { o.noRawPort = portClosed; }));
        RawPrintServer rawPort;
        rawPort.setPrinterState(&emulator->state());
        QVERIFY(rawPort.start(emulator->options()) && rawPort.isListening() == !portClosed);
        QTRY_COMPARE(responses->count(), 9);
        window->nvImagePage()->table()->selectRow(0); // A1, to print
        QTimer::singleShot(0, [] { // the download dialog, once up
            if (auto *dialog = qobject_cast<DialogDownloadNvImage *>(QApplication::activeModalWidget())) {
                dialog->setSourceImage(QImage(16, 8, QImage::Format_Mono));
                dialog->kc1Field()->setText(QStringLiteral("Z"));
                dialog->kc2Field()->setText(QStringLiteral("9"));
                dialog->doDownload();
            }
        });
        const QString box = messageOf([&] { QMetaObject::invokeMethod(target, qPrintable(slot)); }, portClosed ? 5000 : 1000);
        const int testPageBytes = window->printPage()->buildTestPage().size();
        outcome.replace(QLatin1String("%1"), at).replace(QLatin1String("%2"), QString::number(testPageBytes));
        QTRY_COMPARE(Activity::last(), outcome);
        QCOMPARE(box, portClosed ? QStringLiteral("Error|") + Activity::last() : QString());
    }

    // Keep-alives and garbage pour in: Reloads still work, no garbage passes for an answer, timers keep time.
    void flood()
    {
        QVERIFY(startFaulty("127.0.0.84", [](EmulatorOptions &o) { o.flood = true; }));
        QTRY_COMPARE(responses->count(), 9);

        // What the link carries: a second connection reads it raw.
        QTcpSocket raw;
        raw.connectToHost(QHostAddress(address), Wire::CommandPort);
        QVERIFY(raw.waitForConnected(2000));
        raw.write(PacketCodec::encodePacket(QByteArray("\x01\x00\x00\x00", 4), PacketCodec::builtInKey(), true));
        QElapsedTimer clock, sinceTick;
        clock.start();
        sinceTick.start();
        qint64 worstGap = 0, ticks = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout, [&] { worstGap = qMax(worstGap, sinceTick.restart()); ++ticks; });
        probe.start(10);
        for (int reload = 0; reload < 3; ++reload) {
            drive(400, [] { return false; }, true); // long enough for garbage between the Reloads
            const int before = responses->count();
            QVERIFY(drive(1000, [&] { return window->reloadAction()->isEnabled(); }, true));
            window->reloadAction()->trigger();
            QVERIFY(drive(3000, [&] { return responses->count() >= before + 9; }, true));
        }
        const QByteArray carried = raw.readAll();
        probe.stop();
        QVERIFY2(worstGap < 250 && ticks > clock.elapsed() / 10 / 2, qPrintable(QString::number(worstGap)));
        // Thousands of keep-alives, and garbage beside them and the handshake answer.
        const int keepAlives = carried.count(QByteArray("\x10\x01\x11\xff", 4));
        QVERIFY2(keepAlives > 1000, qPrintable(QString::number(keepAlives)));
        QVERIFY(carried.size() - 4 * keepAlives - 68 > 1000);
        QCOMPARE(responses->count(), 4 * 9); // the nine of each Reload: no garbage passed for an answer
        QCOMPARE(status(), QStringLiteral("Connected (127.0.0.84)"));
        QCOMPARE(requests->count(), 1 + 36 + 1);
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
