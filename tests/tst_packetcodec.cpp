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

QByteArray payloadOf(int n)
{
    QByteArray p(n, '\0');
    for (int i = 0; i < n; ++i)
        p[i] = char(i * 7 + 3);
    return p;
}

QByteArray plainOf(const QByteArray &packet, const Key &key)
{
    QByteArray plain(packet.size() - HeaderSize, '\0');
    decryptBlocks(key, reinterpret_cast<const uchar *>(packet.constData()) + HeaderSize, plain.size(),
                  reinterpret_cast<uchar *>(plain.data()));
    return plain;
}

} // namespace

class TestPacketCodec : public QObject
{
    Q_OBJECT

private slots:
    void framingAndPadding_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("pad");
        // A 2-byte query and a 438-byte record are in the known answers below.
        QTest::newRow("whole block gets a padding block") << 16 << 2 << 0x10;
        QTest::newRow("largest") << 480 << 31 << 0x10;
    }
    void framingAndPadding()
    {
        QFETCH(int, length);
        QFETCH(int, blocks);
        QFETCH(int, pad);
        const Key key = keyFromHex("000102030405060708090a0b0c0d0e0f");
        const QByteArray packet = encodePacket(payloadOf(length), key);
        QCOMPARE(packet.size(), HeaderSize + 16 * blocks);
        QCOMPARE(packet.left(4), QByteArray("\x10\x01\x11", 3) + char(blocks));
        const QByteArray plain = plainOf(packet, key);
        QCOMPARE(plain.left(length), payloadOf(length));
        QCOMPARE(plain.mid(length), QByteArray(plain.size() - length, char(pad)));
    }

    void lengthsOutsideTheLimitsSendNothing()
    {
        QVERIFY(encodePacket(QByteArray(), builtInKey()).isEmpty() && encodePacket(QByteArray(481, 'x'), builtInKey()).isEmpty());
        QCOMPARE(encodePacket(QByteArray(4, 'x'), builtInKey(), true).at(3), char(0));
    }

    // Each thread keeps its own cipher contexts with the key they last took: threads that
    // seal under different keys at once must each get their own key's packets.
    void threadsWithTheirOwnKeys()
    {
        const Key keys[2] = {builtInKey(), keyFromHex("000102030405060708090a0b0c0d0e0f")};
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

    // Vectors made by the openssl command line (scripts/make-aes-vectors.sh): a mistake that
    // both directions share, such as a wrong vector, would still round-trip.
    void knownAnswers()
    {
        QFile file(QStringLiteral(TEST_DATA_DIR "/aes-vectors.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        int checked = 0;
        while (!file.atEnd()) {
            const QList<QByteArray> f = file.readLine().trimmed().split(' ');
            if (f.isEmpty() || f.first().startsWith('#'))
                continue;
            if (f.first() == "md5") {
                const QByteArray serial = f.at(2);
                const Key key = deriveSessionKey(f.at(1).toUInt(), serial.constData(), serial.size());
                QCOMPARE(QByteArray(reinterpret_cast<const char *>(key.data()), 16).toHex(), f.at(3));
                ++checked;
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
            ++checked;
        }
        QCOMPARE(checked, 5);
    }

    void badPaddingIsRefused_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<int>("expected");
        QTest::newRow("zero") << QByteArray(1, 0) << 0;
        QTest::newRow("above sixteen") << QByteArray(1, 0x11) << 0;
        QTest::newRow("mismatched run") << QByteArray("\x03\x02\x03", 3) << 0;
        QTest::newRow("pad fills the body") << QByteArray(16, 0x10) << 0;
        QTest::newRow("good") << QByteArray(3, 0x03) << 13;
    }
    void badPaddingIsRefused()
    {
        QFETCH(QByteArray, tail);
        QFETCH(int, expected);
        QByteArray plain(16, 'a');
        plain.replace(16 - tail.size(), tail.size(), tail);
        QByteArray cipher(16, '\0');
        encryptBlocks(builtInKey(), reinterpret_cast<const uchar *>(plain.constData()), 16,
                      reinterpret_cast<uchar *>(cipher.data()));
        uchar out[16];
        QCOMPARE(decryptBody(reinterpret_cast<const uchar *>(cipher.constData()), 1, builtInKey(), out), expected);
    }

    void sessionKeyTakesSixteenSerialCharactersUpToTheZero()
    {
        const char longSerial[24] = "ABCDEFGHIJKLMNOPQRSTUVW";
        const char cut[16] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P'};
        QCOMPARE(deriveSessionKey(7, longSerial, 24), deriveSessionKey(7, cut, 16));
        const char shortSerial[24] = "AB\0garbage";
        QCOMPARE(deriveSessionKey(7, shortSerial, 24), deriveSessionKey(7, "AB", 2));
        QVERIFY(deriveSessionKey(7, "AB", 2) != deriveSessionKey(8, "AB", 2));
    }
};

QTEST_GUILESS_MAIN(TestPacketCodec)
#include "tst_packetcodec.moc"
