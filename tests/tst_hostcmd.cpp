#include "protocol/hostcmd.h"
#include "tests/testbytes.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace PacketCodec;

namespace {

const QByteArray Record = deviceRecord("RX210", "RX220_S", "SN0042");

// Feeds a chunk by the links' calling contract; returns the return values of receive.
QList<quint32> feed(HostCmd &engine, const QByteArray &chunk)
{
    QList<quint32> returns;
    const auto *data = reinterpret_cast<const uchar *>(chunk.constData());
    for (quint32 offset = 0, used = 1; used != 0 && offset < quint32(chunk.size()); offset += used) {
        used = engine.receive(data + offset, quint32(chunk.size()) - offset);
        returns.append(used);
    }
    return returns;
}

} // namespace

class TestHostCmd : public QObject
{
    Q_OBJECT

    std::unique_ptr<HostCmd> engine;
    std::unique_ptr<QSignalSpy> responses;

    // Sealed under the key the handshake of init() gives.
    static QByteArray packet(const QByteArray &payload)
    {
        return encodePacket(payload, deriveSessionKey(0, "SN0042", 6));
    }

private slots:
    void init()
    {
        responses.reset();
        engine.reset(new HostCmd);
        responses.reset(new QSignalSpy(engine.get(), &HostCmd::responseReceived));
        QSignalSpy found(engine.get(), &HostCmd::deviceFound);
        feed(*engine, encodePacket(Record, builtInKey(), true));
        QCOMPARE(found.count(), 1);
        QCOMPARE(engine->sessionKey(), deriveSessionKey(0, "SN0042", 6));
    }

    // The key comes from the hello's nonce; a record of the wrong size, or split, is lost.
    void handshake()
    {
        engine->sendHello(true); // no link: nothing is written, but the nonce is set
        QCOMPARE(engine->nonce(), 1u);
        QSignalSpy found(engine.get(), &HostCmd::deviceFound);
        QCOMPARE(feed(*engine, encodePacket(Record.left(40), builtInKey(), true)), QList<quint32>{0});
        const QByteArray answer = encodePacket(Record, builtInKey(), true);
        feed(*engine, answer.left(36));
        feed(*engine, answer.mid(36));
        QCOMPARE(found.count(), 0);
        feed(*engine, answer);
        QCOMPARE(engine->sessionKey(), deriveSessionKey(1, "SN0042", 6));
    }

    void chunking()
    {
        const QByteArray a50(50, 'a'), b50(50, 'b');
        const QByteArray query("\x01\x00", 2), big = QByteArray("\x02\x00", 2) + QByteArray(300, 'n');
        const QByteArray first = packet(a50), second = packet(b50), late = packet(QByteArray(40, 'c'));
        const QPair<QList<QByteArray>, QList<QByteArray>> cases[] = {
            {{packet(query) + packet(big)}, {query, big}},
            {{first.left(30), first.mid(30) + second.left(25), second.mid(25)}, {a50, b50}}, // a tail starts the next
            {{packet("AB") + late.left(10), late.mid(10)}, {"AB"}}}; // one starting too late in a chunk is lost
        for (const auto &c : cases) {
            const int from = responses->count();
            for (const QByteArray &chunk : c.first)
                feed(*engine, chunk);
            feed(*engine, packet("ok")); // nothing is left held: the next packet decodes
            QList<QByteArray> got;
            for (int i = from; i < responses->count(); ++i)
                got << responses->at(i).at(0).toByteArray();
            QCOMPARE(got, c.second + QList<QByteArray>{"ok"});
        }
    }

    void receiveReturnsWhatItTook()
    {
        QCOMPARE(feed(*engine, keepAlivePacket() + packet("hi")), (QList<quint32>{4, 20}));
        QCOMPARE(feed(*engine, keepAlivePacket()), QList<quint32>{0}); // a lone keep-alive
        QCOMPARE(feed(*engine, packet(QByteArray(200, 'x')).left(20)), QList<quint32>{20}); // held
        QCOMPARE(responses->count(), 1);
    }

    // No signature, a block count of 32, another key: dropped, and the next packet decodes.
    void badInputIsDropped()
    {
        QByteArray invalidCount = packet(QByteArray(20, 'z'));
        invalidCount[3] = char(32);
        for (const QByteArray &chunk : {QByteArray(40, 'q'), invalidCount, encodePacket("hi", builtInKey())}) {
            const int before = responses->count();
            feed(*engine, chunk);
            feed(*engine, packet("ok"));
            QCOMPARE(responses->count(), before + 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestHostCmd)
#include "tst_hostcmd.moc"
