#include "app/log.h"
#include "emulator/printeremulator.h"
#include "protocol/hostcmd.h"
#include "transport/tcpprinter.h"
#include "transport/transceiver.h"
#include "tests/logtext.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {

// A printer at a case's own loopback address, since the command port is fixed.
EmulatorOptions at(const char *address)
{
    EmulatorOptions options;
    options.listen = QHostAddress(QString::fromLatin1(address));
    return options;
}

} // namespace

// The tool's TCP link against the emulator, both in this process, over loopback only.
class TestTcpLink : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    Transceiver *transceiver = nullptr;

    QByteArray log() { return logTextSoFar(dir.filePath(QStringLiteral("log.txt"))); }

private slots:
    void init()
    {
        QVERIFY(logOpen(dir.filePath(QStringLiteral("log.txt"))));
        transceiver = new Transceiver;
        g_transceiver = transceiver;
    }
    void cleanup()
    {
        g_transceiver = nullptr;
        delete transceiver;
        logClose();
    }

    void handshakeAndQuery_data()
    {
        QTest::addColumn<int>("chunk");
        QTest::newRow("whole answers") << 0;
        QTest::newRow("answers in 7-byte pieces") << 7;
    }
    void handshakeAndQuery()
    {
        QFETCH(int, chunk);
        EmulatorOptions options = at("127.0.0.2");
        options.chunk = chunk;
        PrinterEmulator emulator(options);
        emulator.state().serialNumber = QStringLiteral("SN-LINK-1");
        QVERIFY2(emulator.listen(), qPrintable(emulator.errorString()));
        QSignalSpy requests(&emulator, &PrinterEmulator::requestReceived);
        QSignalSpy connected(transceiver, &Transceiver::connected);
        QSignalSpy responses(&g_hostCmd, &HostCmd::responseReceived);
        QVERIFY(!transceiver->write("x", 1, 100) && !g_hostCmd.query(GetDeviceInfo)); // no link yet
        QVERIFY(transceiver->connectTcp(options.listen));
        QCOMPARE(transceiver->linkType(), Transceiver::LinkTcp);
        QVERIFY(!transceiver->connectTcp(options.listen)); // one link at a time
        QVERIFY(connected.wait(5000));
        // The options reach the connected socket itself (Qt drops those set before).
        const int fd = int(transceiver->tcpPrinter()->findChild<QTcpSocket *>()->socketDescriptor());
        int keepAlive = 0, noDelay = 0;
        socklen_t length = sizeof(int);
        QVERIFY(getsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &keepAlive, &length) == 0 && keepAlive);
        QVERIFY(getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, &length) == 0 && noDelay);

        QVERIFY(g_hostCmd.query(GetDeviceInfo));
        QVERIFY(responses.wait(5000));
        const QByteArray info = responses.at(0).at(0).toByteArray();
        QVERIFY(info.size() == 186 && fieldText(info.constData() + 34, 24) == "SN-LINK-1");
        QVERIFY(requests.count() == 2 && requests.at(1).at(0).toUInt() == GetDeviceInfo);
        QSignalSpy disconnected(transceiver, &Transceiver::disconnected);
        transceiver->close();
        QCOMPARE(transceiver->linkType(), Transceiver::LinkNone);
        QTRY_COMPARE(disconnected.count(), 1);
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

    // Attempts that never reach an announced printer are no lost links: one connectFailed
    // with the cause, one log line, the link closed, no disconnected().
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
};

QTEST_MAIN(TestTcpLink)
#include "tst_tcplink.moc"
