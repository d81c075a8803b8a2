#include "emulator/fileupload.h"
#include "emulator/printerstate.h"
#include "protocol/filerecord.h"
#include "protocol/bytefields.h"
#include "protocol/hostcmdword.h"
#include "tests/testbytes.h"

#include <QtTest>

// Offsets are written out here, not taken from the emulator, so a wrong layout there shows.
namespace {

using ByteFields::u16;
using ByteFields::u32;

QByteArray text(const QByteArray &r, int at, int size)
{
    const QByteArray f = r.mid(at, size);
    const int nul = f.indexOf('\0');
    return nul < 0 ? f : f.left(nul);
}

QByteArray query(PrinterState &s, quint16 w)
{
    const PrinterState::Answer a = s.answer(word(w));
    return a.outcome == PrinterState::Outcome::Answered ? a.payloads.value(0) : QByteArray();
}

void apply(PrinterState &s, const QByteArray &request)
{
    const PrinterState::Answer a = s.answer(request);
    QCOMPARE(int(a.outcome), int(PrinterState::Outcome::Applied));
    QVERIFY(a.payloads.isEmpty());
}

PrinterState printer(const char *project, const char *model)
{
    PrinterState s;
    s.project = QLatin1String(project);
    s.model = QLatin1String(model);
    return s;
}

} // namespace

class TestPrinterState : public QObject
{
    Q_OBJECT

private slots:
    // Each answer as long as the tool reads it, behind its word; a longer request still asks.
    void queries()
    {
        const int sizes[] = {186, 248, 46, 344, 18, 7, 26, 3, 398};
        PrinterState s;
        for (quint16 w = 1; w <= 9; ++w) {
            const QByteArray a = query(s, w);
            QCOMPARE(a.size(), sizes[w - 1]);
            QCOMPARE(u16(a, 0), w);
            QCOMPARE(s.answer(word(w) + "xx").payloads.value(0).size(), sizes[w - 1]);
        }
    }

    void otherOutcomes()
    {
        PrinterState s;
        QCOMPARE(int(s.answer(QByteArray(1, '\x01')).outcome), int(PrinterState::Outcome::NoWord));
        QCOMPARE(int(s.answer(word(0x0777)).outcome), int(PrinterState::Outcome::Unknown));
        QCOMPARE(int(s.answer(record(0x0153, 438)).outcome), int(PrinterState::Outcome::Ignored));
        apply(s, word(0x0165));
        QCOMPARE(s.webPasswordClears, 1);
    }

    // Each part on and off once; which model has which is tst_modelpredicates'.
    void profile_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("ethernet");
        QTest::addColumn<bool>("wifi");
        QTest::addColumn<bool>("g4");
        QTest::newRow("RX100 without 4G") << "RX100" << "RX100" << false << true << false;
        QTest::newRow("RX200 RX230") << "RX200" << "RX230" << true << false << true;
        QTest::newRow("RX210 RX220_S") << "RX210" << "RX220_S" << true << true << true;
    }
    void profile()
    {
        QFETCH(QString, project);
        QFETCH(QString, model);
        QFETCH(bool, ethernet);
        QFETCH(bool, wifi);
        QFETCH(bool, g4);
        PrinterState s;
        s.project = project;
        s.model = model;
        const QByteArray zero(16, '\0');

        // Ethernet and Wi-Fi MACs of 17 characters, addresses, the network name and a
        // Bluetooth identity in lower case, each only where the model has the part.
        const QByteArray net = query(s, 0x0002);
        const QByteArray bt = text(net, 198, 18);
        QCOMPARE((QVector<bool>{text(net, 2, 18).size() == 17, net.mid(20, 16) != zero, !text(net, 36, 128).isEmpty(),
                                text(net, 164, 18).size() == 17, net.mid(182, 16) != zero, bt.size() == 17,
                                !text(net, 216, 32).isEmpty()}),
                 (QVector<bool>{ethernet, ethernet, wifi, wifi, wifi, wifi, wifi}));
        QCOMPARE(bt, bt.toLower());

        const QByteArray ip = query(s, 0x0007);
        QCOMPARE((QVector<bool>{ip.mid(2, 12) != zero.left(12), ip.mid(14, 12) != zero.left(12)}), (QVector<bool>{ethernet, wifi}));
        if (ethernet)
            QCOMPARE(ip.mid(2, 8), net.mid(28, 8)); // static address and netmask agree

        // A module: IMEI of 15, ICCID of 20, a signal, Connected and a two-part position.
        const QByteArray w = query(s, 0x0004);
        const qint16 rssi = qint16(u16(w, 258));
        if (g4) {
            QCOMPARE((QVector<int>{text(w, 66, 16).size(), text(w, 82, 24).size(), u16(w, 260),
                                   text(w, 194, 64).split(',').size()}), (QVector<int>{15, 20, 4, 2}));
            QVERIFY(rssi < 0);
        } else {
            QCOMPARE(w.mid(2, 256), QByteArray(256, '\0'));
            QCOMPARE((QVector<int>{rssi, u16(w, 260)}), (QVector<int>{255, 0}));
        }
    }

    // Set records whose query answer carries the same bytes from offset 2 on.
    void mirroredSettings_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("queryWord");

        QTest::newRow("print settings: quality inverted, signed cut position")
            << hex("2101 00 80 2e 01 82 9b 71000000 d0070000 64000000 64000000 e7ffffff"
                   "000000000000000000000000 a0000000 02 03") << 0x0003;
        QTest::newRow("audio") << hex("0301 00 01 00 01 01") << 0x0006;
        QTest::newRow("serial") << hex("4101 80250000 07000000 02000000 02000000") << 0x0005;
        QTest::newRow("fine print on") << hex("2201 02") << 0x0008;
    }
    void mirroredSettings()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, queryWord);
        PrinterState s;
        QVERIFY(query(s, quint16(queryWord)).mid(2) != request.mid(2)); // defaults differ
        apply(s, request);
        QCOMPARE(query(s, quint16(queryWord)).mid(2), request.mid(2));
    }

    void wifiNetwork()
    {
        PrinterState s = printer("RX100", "RX100");
        // The tool cuts a long SSID after 127 bytes, here inside the last two-byte character;
        // it must read back byte for byte.
        const QByteArray ssid = QString(QChar(0x00E9)).repeated(64).toUtf8().left(127);
        QByteArray r = record(0x0111, 258);
        r.replace(2, ssid.size(), ssid);
        r.replace(130, 6, "secret");
        apply(s, r);
        QCOMPARE(text(query(s, 0x0002), 36, 128), ssid);

        apply(s, record(0x0112, 258));
        QCOMPARE(text(query(s, 0x0002), 36, 128), QByteArray());
    }

    void restartWnet()
    {
        qint64 now = 50000;
        const auto wnetInfo = [&now](PrinterState &s, qint64 at) {
            now = at;
            const QByteArray a = query(s, 0x0004);
            return qMakePair(u16(a, 260), qint16(u16(a, 258)));
        };
        PrinterState s;
        s.clock = [&now] { return now; };
        s.wnet.restartMs = 6000;
        s.wnet.rssi = -81;
        QCOMPARE(wnetInfo(s, now), qMakePair(quint16(4), qint16(-81)));

        // Disabling for a sixth, Enabling to a third, Connecting to the end; no signal figure
        // until Connected.
        const qint64 t0 = now;
        apply(s, word(0x0132));
        const QPair<qint64, quint16> steps[] = {{0, 1},    {999, 1},  {1000, 2}, {1999, 2},
                                                {2000, 5}, {5999, 5}, {6000, 4}, {60000, 4}};
        for (const auto &step : steps) {
            const auto info = wnetInfo(s, t0 + step.first);
            QVERIFY2(info.first == step.second, qPrintable(QString::number(step.first)));
            QCOMPARE(info.second, qint16(step.second == 4 ? -81 : 255));
        }

        // A restart while restarting starts over.
        now = t0 + 60000;
        apply(s, word(0x0132));
        now = t0 + 65000;
        apply(s, word(0x0132));
        QCOMPARE(wnetInfo(s, t0 + 66500).first, quint16(2));
        QCOMPARE(wnetInfo(s, t0 + 71000).first, quint16(4));

        s.wnet.restartMs = 0;
        apply(s, word(0x0132));
        QCOMPARE(wnetInfo(s, now), qMakePair(quint16(4), qint16(-81)));

        // Nothing to restart without a module: once the model has one, it is up.
        PrinterState plain = printer("RX100", "RX100");
        plain.clock = s.clock;
        apply(plain, word(0x0132));
        QCOMPARE(wnetInfo(plain, now), qMakePair(quint16(0), qint16(255)));
        plain.model = QStringLiteral("RX110");
        QCOMPARE(wnetInfo(plain, now).first, quint16(4));
    }

    // The samples' listing is pinned in tst_nvmemory; here what every listing does.
    void nvImageListing()
    {
        PrinterState s;
        QVERIFY(u32(query(s, 0x0009), 2) != u32(query(s, 0x0009), 2)); // a fresh identity each time
        for (int i = 0; i < 70; ++i)
            QVERIFY(s.nvMemory.define({char('a' + i / 10), char('0' + i % 10), {8, 1, QByteArray(1, '\xff')}},
                                      s.nvMemorySize));
        const QByteArray full = query(s, 0x0009);
        QCOMPARE(full.size(), 398);
        QCOMPARE(u16(full, 12), quint16(64));
    }

    void shortSetIgnored_data()
    {
        QTest::addColumn<int>("setWord");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("queryWord");
        QTest::newRow("SetLanStaticIp") << 0x0101 << 14 << 0x0007;
        QTest::newRow("SetWifiStaticIp") << 0x0102 << 14 << 0x0007;
        QTest::newRow("SetAudioSettings") << 0x0103 << 7 << 0x0006;
        QTest::newRow("SetWifiNetwork") << 0x0111 << 258 << 0x0002;
        QTest::newRow("ClearWifiNetwork") << 0x0112 << 258 << 0x0002;
        QTest::newRow("SetPrintSettings") << 0x0121 << 46 << 0x0003;
        QTest::newRow("SetFinePrintMode") << 0x0122 << 3 << 0x0008;
        QTest::newRow("SetWnetApn") << 0x0131 << 84 << 0x0004;
        QTest::newRow("SetSerialSettings") << 0x0141 << 18 << 0x0005;
    }
    void shortSetIgnored()
    {
        QFETCH(int, setWord);
        QFETCH(int, size);
        QFETCH(int, queryWord);
        PrinterState s;
        const QByteArray before = query(s, quint16(queryWord));
        QByteArray r = record(quint16(setWord), size - 1);
        r.replace(2, size - 3, QByteArray(size - 3, '\x07'));
        QCOMPARE(int(s.answer(r).outcome), int(PrinterState::Outcome::TooShort));
        QCOMPARE(int(s.answer(word(quint16(setWord))).outcome), int(PrinterState::Outcome::TooShort));
        QCOMPARE(query(s, quint16(queryWord)), before);
    }

    // The commit installs only what arrived whole, under its own path, with its digest.
    void uploadCommit()
    {
        PrinterState s;
        const QByteArray path("/data/PUB/fonts/new.ttf");
        const QByteArray bytes("glyphs!");
        FileRecord commit;
        commit.path = path;
        commit.size = quint32(bytes.size());
        commit.digest = FileRecord::md5(bytes);

        FileUpload partial(path, commit.size);
        partial.take(bytes.constData(), 3);
        FileUpload whole(path, commit.size);
        whole.take(bytes.constData(), quint32(bytes.size()));
        FileRecord wrongDigest = commit;
        wrongDigest.digest = FileRecord::md5("other");
        FileRecord otherPath = commit;
        otherPath.path = "/data/PUB/fonts/else.ttf";

        const auto commitWith = [&s](const FileRecord &r, const FileUpload *u) {
            return s.answer(r.toBytes(CommitFileUpload), u);
        };
        QCOMPARE(int(commitWith(commit, nullptr).outcome), int(PrinterState::Outcome::Ignored));
        QVERIFY(commitWith(commit, &partial).notes.first().endsWith(QStringLiteral("discarded")));
        QVERIFY(commitWith(wrongDigest, &whole).notes.first().contains(QStringLiteral("MD5 bad")));
        QVERIFY(commitWith(otherPath, &whole).notes.first().endsWith(QStringLiteral("discarded")));
        QVERIFY(!s.fontFolder.contains("new.ttf"));
        QVERIFY(commitWith(commit, &whole).notes.first().contains(QStringLiteral("MD5 good, installed")));
        QCOMPARE(s.fontFolder.content("new.ttf"), bytes);
    }
};

QTEST_APPLESS_MAIN(TestPrinterState)
#include "tst_printerstate.moc"
