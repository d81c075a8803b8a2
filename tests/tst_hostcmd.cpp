#include "protocol/hostcmd.h"
#include "tests/testbytes.h"

#include <QSignalSpy>
#include <QtTest>

using namespace PacketCodec;

namespace {

const QByteArray Record = deviceRecord("RX210", "RX220_S", "SN0042");

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

    // The key the handshake of init() gives; fixed, so that _data functions can seal too.
    static QByteArray packet(const QByteArray &payload)
    {
        return encodePacket(payload, deriveSessionKey(0, "SN0042", 6));
    }

private slots:
    void init()
    {
        engine = new HostCmd;
        responses = new QSignalSpy(engine, &HostCmd::responseReceived);
        QSignalSpy found(engine, &HostCmd::deviceFound);
        feed(*engine, encodePacket(Record, builtInKey(), true));
        QCOMPARE(found.count(), 1);
        QCOMPARE(engine->sessionKey(), deriveSessionKey(0, "SN0042", 6));
    }
    void cleanup()
    {
        delete responses;
        delete engine;
    }

    // The key comes from the hello's nonce; a record of the wrong size, or split, is lost.
    void handshake()
    {
        engine->sendHello(true); // no link: nothing is written, but the nonce is set
        QCOMPARE(engine->nonce(), 1u);
        QSignalSpy found(engine, &HostCmd::deviceFound);
        QCOMPARE(feed(*engine, encodePacket(Record.left(40), builtInKey(), true)), QList<quint32>{0});
        const QByteArray answer = encodePacket(Record, builtInKey(), true);
        feed(*engine, answer.left(36));
        feed(*engine, answer.mid(36));
        QCOMPARE(found.count(), 0);
        feed(*engine, answer);
        QCOMPARE(engine->sessionKey(), deriveSessionKey(1, "SN0042", 6));
    }

    void chunking_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QList<QByteArray>>("payloads");
        const QByteArray a50(50, 'a'), b50(50, 'b'), x200(200, 'x');
        const QByteArray query("\x01\x00", 2), big = QByteArray("\x02\x00", 2) + QByteArray(300, 'n');
        const QByteArray p = packet(x200), first = packet(a50), second = packet(b50), late = packet(QByteArray(40, 'c'));
        QTest::newRow("two packets in one chunk") << QList<QByteArray>{packet(query) + packet(big)}
                                                  << QList<QByteArray>{query, big};
        QTest::newRow("split over three chunks") << QList<QByteArray>{p.left(20), p.mid(20, 100), p.mid(120)}
                                                 << QList<QByteArray>{x200};
        QTest::newRow("tail of a chunk starts the next packet")
            << QList<QByteArray>{first.left(30), first.mid(30) + second.left(25), second.mid(25)}
            << QList<QByteArray>{a50, b50};
        QTest::newRow("packet starting too late in a chunk is lost")
            << QList<QByteArray>{packet("AB") + late.left(10), late.mid(10)} << QList<QByteArray>{"AB"};
    }
    void chunking()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QList<QByteArray>, payloads);
        for (const QByteArray &chunk : chunks)
            feed(*engine, chunk);
        // The engine is not left holding anything: the next packet decodes.
        feed(*engine, packet("ok"));
        QList<QByteArray> got;
        for (const QList<QVariant> &signal : qAsConst(*responses))
            got << signal.at(0).toByteArray();
        QCOMPARE(got, payloads + QList<QByteArray>{"ok"});
    }

    void receiveReturnsWhatItTook()
    {
        QCOMPARE(feed(*engine, keepAlivePacket() + packet("hi")), (QList<quint32>{4, 20}));
        QCOMPARE(feed(*engine, keepAlivePacket()), QList<quint32>{0}); // a lone keep-alive
        QCOMPARE(feed(*engine, packet(QByteArray(200, 'x')).left(20)), QList<quint32>{20}); // held
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
};

QTEST_GUILESS_MAIN(TestHostCmd)
#include "tst_hostcmd.moc"
