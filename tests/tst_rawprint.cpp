#include "tests/logtext.h"
#include "tests/testfiles.h"
#include "emulator/rawprintserver.h"
#include "pages/tcprawprint.h"

#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

bool inPrivateNetns()
{
    char link[64];
    const ssize_t n = readlink("/proc/self/ns/net", link, sizeof link);
    return n > 0 && !qEnvironmentVariableIsEmpty("ZOMRA_PRIVATE_NETNS") && qgetenv("ZOMRA_PRIVATE_NETNS") == QByteArray(link, int(n));
}

} // namespace

// TcpRawPrint against the emulator's raw print port, both in this process. TcpRawPrint's
// port is fixed, so each case listens on a 127.0.0.x address of its own.
class TestRawPrint : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        if (!inPrivateNetns())
            QSKIP("opens sockets: run inside scripts/netns-run.sh");
    }
    void init() { QVERIFY(logOpen(dir.filePath(QStringLiteral("log.txt")))); }
    void cleanup() { logClose(); }

    void jobsArriveWholeAndTheObjectsGo()
    {
        RawPrintServer server;
        const QHostAddress address(QStringLiteral("127.0.0.60"));
        QVERIFY(server.listen(address));
        const QByteArray big = patternBytes(512 * 1024); // written in many pieces
        QPointer<TcpRawPrint> first = new TcpRawPrint(address, big);
        QPointer<TcpRawPrint> second = new TcpRawPrint(address, "\x1b@short");
        QTRY_VERIFY(first.isNull() && second.isNull());
        QTRY_COMPARE(server.jobCount(), 2);
        const QList<QByteArray> jobs = server.jobs();
        QVERIFY(jobs.contains("\x1b@short") && jobs.contains(big)); // no QCOMPARE: half a megabyte
        const QByteArray text = logTextSoFar(dir.filePath(QStringLiteral("log.txt")));
        QCOMPARE(text.count("TCP socket connected."), 2);
        QCOMPARE(text.count("TCP socket disconnected."), 2);
        QPointer<TcpRawPrint> refused = new TcpRawPrint(QHostAddress(QStringLiteral("127.0.0.61")), "x");
        QTRY_VERIFY(refused.isNull()); // refused ones go too
    }

    // The server alone, from plain sockets: numbering, the log line, the spool files, an
    // empty connection that still counts as a job, and only the last jobs kept.
    void serverSpoolsAndKeepsTheLastJobs()
    {
        QTemporaryDir spool;
        RawPrintServer server;
        server.setSpoolDir(spool.filePath(QStringLiteral("jobs"))); // made on first use
        QSignalSpy lines(&server, &RawPrintServer::logLine);
        QVERIFY(server.listen(QHostAddress(QStringLiteral("127.0.0.64")), 0));
        QCOMPARE(lines.count(), 1);
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
        QVERIFY(lines.at(2).at(0).toString().startsWith(QStringLiteral("raw print job 2: 0 bytes from ")));
        QCOMPARE(fileBytes(spool.filePath(QStringLiteral("jobs/job-0001.bin"))), QByteArray("\x1b@one\n"));
        QVERIFY(QFile::exists(spool.filePath(QStringLiteral("jobs/job-0002.bin"))));

        const int total = RawPrintServer::KeptJobs + 3;
        for (int i = 2; i < total; ++i)
            send(QByteArray::number(i));
        QCOMPARE(server.jobs().size(), int(RawPrintServer::KeptJobs));
        QCOMPARE(server.jobs().first(), QByteArray::number(3));
        QCOMPARE(server.jobs().last(), QByteArray::number(total - 1));
    }
};

QTEST_MAIN(TestRawPrint)
#include "tst_rawprint.moc"
