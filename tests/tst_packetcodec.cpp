#include "protocol/packetcodec.h"

#include <QFile>
#include <QThread>
#include <QtTest>

#include <memory>

using namespace PacketCodec;

namespace {

Key keyFromHex(const QByteArray &hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    Key key{};
    std::copy(bytes.begin(), bytes.end(), key.begin());
    return key;
}

const Key OtherKey = keyFromHex("000102030405060708090a0b0c0d0e0f");

QByteArray payloadOf(int n)
{
    QByteArray p(n, '\0');
    for (int i = 0; i < n; ++i)
        p[i] = char(i * 7 + 3);
    return p;
}

} // namespace

class TestPacketCodec : public QObject
{
    Q_OBJECT

private slots:
    // A whole block gets a padding block; 480 is the largest payload, the known answers have others.
    void framingAndLimits()
    {
        for (const auto &c : {qMakePair(16, 2), qMakePair(480, 31)}) {
            const QByteArray packet = encodePacket(payloadOf(c.first), OtherKey);
            QCOMPARE(packet.size(), HeaderSize + 16 * c.second);
            QCOMPARE(packet.left(4), QByteArray("\x10\x01\x11", 3) + char(c.second));
            QByteArray plain(packet.size() - HeaderSize, '\0');
            decryptBlocks(OtherKey, reinterpret_cast<const uchar *>(packet.constData()) + HeaderSize, plain.size(),
                          reinterpret_cast<uchar *>(plain.data()));
            QCOMPARE(plain, payloadOf(c.first) + QByteArray(16, 0x10));
        }
        QVERIFY(encodePacket(QByteArray(), builtInKey()).isEmpty() && encodePacket(QByteArray(481, 'x'), builtInKey()).isEmpty());
        QCOMPARE(encodePacket(QByteArray(4, 'x'), builtInKey(), true).at(3), char(0));
    }

    // Each thread's cipher contexts keep the key they last took: two threads, two keys at once.
    void threadsWithTheirOwnKeys()
    {
        const Key keys[2] = {builtInKey(), OtherKey};
        const QByteArray expected[2] = {encodePacket(payloadOf(40), keys[0]), encodePacket(payloadOf(40), keys[1])};
        bool same[2] = {true, true};
        std::unique_ptr<QThread> threads[2];
        for (int t = 0; t < 2; ++t) {
            threads[t].reset(QThread::create([&, t] {
                for (int i = 0; i < 2000; ++i)
                    same[t] = same[t] && encodePacket(payloadOf(40), keys[t]) == expected[t];
            }));
            threads[t]->start();
        }
        for (auto &thread : threads)
            thread->wait();
        QVERIFY(same[0] && same[1]);
    }

    // Vectors made by openssl (scripts/make-aes-vectors.sh): a mistake both directions share would round-trip.
    void knownAnswers()
    {
        QFile file(QStringLiteral(TEST_DATA_DIR "/aes-vectors.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        int checked = 0;
        while (!file.atEnd()) {
            const QList<QByteArray> f = file.readLine().trimmed().split(' ');
            if (f.isEmpty() || f.first().startsWith('#'))
                continue;
            ++checked;
            if (f.first() == "md5") {
                const Key key = deriveSessionKey(f.at(1).toUInt(), f.at(2).constData(), f.at(2).size());
                QCOMPARE(QByteArray(reinterpret_cast<const char *>(key.data()), 16).toHex(), f.at(3));
                continue;
            }
            const Key key = keyFromHex(f.at(1));
            const QByteArray padded = QByteArray::fromHex(f.at(2));
            const QByteArray cipher = QByteArray::fromHex(f.at(3));
            const int pad = padded.back();
            const QByteArray packet = encodePacket(padded.left(padded.size() - pad), key, f.first() == "hello");
            QCOMPARE(packet.mid(HeaderSize).toHex(), cipher.toHex());
            QByteArray plain(cipher.size(), '\0');
            QCOMPARE(decryptBody(reinterpret_cast<const uchar *>(cipher.constData()), cipher.size() / 16, key,
                                 reinterpret_cast<uchar *>(plain.data())),
                     padded.size() - pad);
            QCOMPARE(plain, padded);
        }
        QCOMPARE(checked, 5);
    }

    void badPaddingIsRefused()
    {
        const QPair<QByteArray, int> cases[] = {{QByteArray(1, 0), 0},
                                                {QByteArray(1, 0x11), 0},
                                                {QByteArray("\x03\x02\x03", 3), 0},
                                                {QByteArray(16, 0x10), 0}, // pad fills the body
                                                {QByteArray(3, 0x03), 13}};
        for (const auto &c : cases) {
            const QByteArray plain = QByteArray(16 - c.first.size(), 'a') + c.first;
            QByteArray cipher(16, '\0');
            encryptBlocks(builtInKey(), reinterpret_cast<const uchar *>(plain.constData()), 16,
                          reinterpret_cast<uchar *>(cipher.data()));
            uchar out[16];
            QCOMPARE(decryptBody(reinterpret_cast<const uchar *>(cipher.constData()), 1, builtInKey(), out), c.second);
        }
    }

    // Up to its zero, in tst_hostcmd.
    void sessionKeyTakesSixteenSerialCharacters()
    {
        const char longSerial[24] = "ABCDEFGHIJKLMNOPQRSTUVW";
        QCOMPARE(deriveSessionKey(7, longSerial, 24), deriveSessionKey(7, longSerial, 16));
        QVERIFY(deriveSessionKey(7, "AB", 2) != deriveSessionKey(8, "AB", 2));
    }
};

QTEST_GUILESS_MAIN(TestPacketCodec)
#include "tst_packetcodec.moc"
