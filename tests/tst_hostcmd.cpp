#include "protocol/hostcmd.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

using namespace PacketCodec;

namespace {

QByteArray deviceRecord()
{
    QByteArray r(56, '\0');
    r.replace(0, 5, "RX210");
    r.replace(16, 7, "RX220_S");
    r.replace(32, 6, "SN0042");
    return r;
}

// Feeds a chunk by the links' calling contract; returns the return values of receive.
QList<quint32> feed(HostCmd &engine, const QByteArray &chunk)
{
    QList<quint32> returns;
    const auto *data = reinterpret_cast<const uchar *>(chunk.constData());
    quint32 offset = 0;
    while (offset < quint32(chunk.size())) {
        const quint32 used = engine.receive(data + offset, quint32(chunk.size()) - offset);
        returns.append(used);
        if (used == 0)
            break;
        offset += used;
    }
    return returns;
}

} // namespace

class TestHostCmd : public QObject
{
    Q_OBJECT

    HostCmd *engine = nullptr;
    QSignalSpy *responses = nullptr;
    Key key{};

    QByteArray packet(const QByteArray &payload) const { return encodePacket(payload, key); }

private slots:
    void init()
    {
        engine = new HostCmd;
        responses = new QSignalSpy(engine, &HostCmd::responseReceived);
        QSignalSpy found(engine, &HostCmd::deviceFound);
        feed(*engine, encodePacket(deviceRecord(), builtInKey(), true));
        QCOMPARE(found.count(), 1);
        key = deriveSessionKey(0, "SN0042", 6);
        QCOMPARE(engine->sessionKey(), key);
    }
    void cleanup()
    {
        delete responses;
        delete engine;
    }

    void handshakeUsesTheHelloNonce()
    {
        engine->sendHello(true); // no link: nothing is written, but the nonce is set
        QCOMPARE(engine->nonce(), 1u);
        feed(*engine, encodePacket(deviceRecord(), builtInKey(), true));
        QCOMPARE(engine->sessionKey(), deriveSessionKey(1, "SN0042", 6));
    }

    void handshakeOfTheWrongSizeOrSplitIsLost()
    {
        QSignalSpy found(engine, &HostCmd::deviceFound);
        QCOMPARE(feed(*engine, encodePacket(deviceRecord().left(40), builtInKey(), true)), QList<quint32>{0});
        const QByteArray answer = encodePacket(deviceRecord(), builtInKey(), true);
        feed(*engine, answer.left(36));
        feed(*engine, answer.mid(36));
        QCOMPARE(found.count(), 0);
    }

    void twoPacketsInOneChunk()
    {
        feed(*engine, packet(QByteArray("\x01\x00", 2)) + packet(QByteArray("\x02\x00", 2) + QByteArray(300, 'n')));
        QCOMPARE(responses->count(), 2);
        QCOMPARE(responses->at(0).at(0).toByteArray(), QByteArray("\x01\x00", 2));
        QCOMPARE(responses->at(1).at(0).toByteArray().size(), 302);
    }

    void packetSplitOverThreeChunks()
    {
        const QByteArray p = packet(QByteArray(200, 'x'));
        QCOMPARE(feed(*engine, p.left(20)), QList<quint32>{20});
        QCOMPARE(feed(*engine, p.mid(20, 100)), QList<quint32>{100});
        QCOMPARE(responses->count(), 0);
        feed(*engine, p.mid(120));
        QCOMPARE(responses->count(), 1);
        QCOMPARE(responses->at(0).at(0).toByteArray(), QByteArray(200, 'x'));
    }

    void packetStartingTooLateInAChunkIsLost()
    {
        const QByteArray first = packet("AB");
        const QByteArray second = packet(QByteArray(40, 'c'));
        feed(*engine, first + second.left(10));
        feed(*engine, second.mid(10));
        QCOMPARE(responses->count(), 1);
        // The engine is not left holding anything: the next packet decodes.
        feed(*engine, packet("ok"));
        QCOMPARE(responses->count(), 2);
    }

    void tailOfAChunkStartsTheNextPacket()
    {
        const QByteArray first = packet(QByteArray(50, 'a'));
        const QByteArray second = packet(QByteArray(50, 'b'));
        feed(*engine, first.left(30));
        feed(*engine, first.mid(30) + second.left(25));
        QCOMPARE(responses->count(), 1);
        feed(*engine, second.mid(25));
        QCOMPARE(responses->count(), 2);
        QCOMPARE(responses->at(1).at(0).toByteArray(), QByteArray(50, 'b'));
    }

    void keepAliveIsSkipped()
    {
        QCOMPARE(feed(*engine, keepAlivePacket() + packet("hi")), (QList<quint32>{4, 20}));
        QCOMPARE(responses->count(), 1);
        QCOMPARE(feed(*engine, keepAlivePacket()), QList<quint32>{0});
        QCOMPARE(responses->count(), 1);
    }

    void badInputIsDropped_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QByteArray invalidCount = packet(QByteArray(20, 'z'));
        invalidCount[3] = char(32);
        QTest::newRow("no signature") << QByteArray(40, 'q');
        QTest::newRow("block count 32") << invalidCount;
        QTest::newRow("other key") << encodePacket("hi", builtInKey());
    }
    void badInputIsDropped()
    {
        QFETCH(QByteArray, chunk);
        feed(*engine, chunk);
        QCOMPARE(responses->count(), 0);
        feed(*engine, packet("ok"));
        QCOMPARE(responses->count(), 1);
    }

    // Whatever a network sends: random bytes, and real packets cut at random places.
    void randomChunksNeverBreakTheEngine()
    {
        QRandomGenerator random(20261205);
        QByteArray stream;
        for (int i = 0; i < 3000; ++i) {
            const int kind = random.bounded(4);
            if (kind == 0) {
                QByteArray noise(random.bounded(1, 600), '\0');
                for (char &c : noise)
                    c = char(random.bounded(256));
                if (random.bounded(2))
                    noise.replace(0, 3, "\x10\x01\x11");
                stream += noise;
            } else if (kind == 1) {
                stream += keepAlivePacket();
            } else {
                stream += packet(QByteArray(random.bounded(1, 481), char(i)));
            }
        }
        const auto *data = reinterpret_cast<const uchar *>(stream.constData());
        int offset = 0;
        while (offset < stream.size()) {
            const int size = std::min(random.bounded(1, 9000), stream.size() - offset);
            quint32 used = 0;
            while (used < quint32(size)) {
                const quint32 n = engine->receive(data + offset + used, quint32(size) - used);
                QVERIFY(n <= quint32(size) - used);
                if (n == 0)
                    break;
                used += n;
            }
            offset += size;
        }
        QVERIFY(responses->count() > 0);
        // Flush whatever partial packet is held, then the engine decodes cleanly again.
        feed(*engine, QByteArray(600, '\0'));
        responses->clear();
        feed(*engine, packet("ok"));
        QCOMPARE(responses->count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestHostCmd)
#include "tst_hostcmd.moc"
