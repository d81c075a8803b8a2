#include "emulator/fileupload.h"
#include "emulator/printerstate.h"
#include "protocol/filerecord.h"
#include "protocol/bytefields.h"
#include "protocol/hostcmdword.h"
#include "protocol/modelpredicates.h"
#include "tests/testbytes.h"

#include <QtTest>

// Offsets written out, not taken from the emulator, so that a wrong layout there shows.
namespace {

using ByteFields::text;
using ByteFields::u16;
using ByteFields::u32;

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

} // namespace

class TestPrinterState : public QObject
{
    Q_OBJECT

private slots:
    // Answer sizes and words are read by the window tests; here what only the emulator decides.
    void otherOutcomes()
    {
        PrinterState s;
        QCOMPARE(s.answer(word(0x0002) + "xx").payloads.value(0), query(s, 0x0002)); // a longer request still asks
        QCOMPARE(int(s.answer(QByteArray(1, '\x01')).outcome), int(PrinterState::Outcome::NoWord));
        QCOMPARE(int(s.answer(word(0x0777)).outcome), int(PrinterState::Outcome::Unknown));
        QCOMPARE(int(s.answer(record(0x0153, 438)).outcome), int(PrinterState::Outcome::Ignored));
        apply(s, word(0x0165));
        QCOMPARE(s.webPasswordClears, 1);
    }

    // The model rules, and the emulator answering with the parts they give.
    void profile_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("dots");
        QTest::addColumn<QString>("parts"); // E Ethernet, W Wi-Fi, 4 a 4G module
        QTest::newRow("RX100 RX150-X") << "RX100" << "RX150-X" << 384 << "W4";
        QTest::newRow("RX100 other model keeps Wi-Fi") << "RX100" << "RX160" << 384 << "W";
        QTest::newRow("RX200 RX210") << "RX200" << "RX210" << 576 << "EW";
        QTest::newRow("RX200 RX220") << "RX200" << "RX220" << 576 << "EW4";
        QTest::newRow("RX200 RX230") << "RX200" << "RX230" << 576 << "E4";
        QTest::newRow("RX210 RX210_S") << "RX210" << "RX210_S" << 576 << "EW";
        QTest::newRow("RX210 RX220_S") << "RX210" << "RX220_S" << 576 << "EW4";
        QTest::newRow("RX210 RX220_E") << "RX210" << "RX220_E" << 576 << "EW4";
        QTest::newRow("RX210 RX220 without suffix") << "RX210" << "RX220" << 576 << "E";
        QTest::newRow("project is case-sensitive") << "rx100" << "RX110" << 0 << "";
    }
    void profile()
    {
        QFETCH(QString, project);
        QFETCH(QString, model);
        QFETCH(int, dots);
        QFETCH(QString, parts);
        const bool ethernet = parts.contains('E'), wifi = parts.contains('W'), g4 = parts.contains('4');
        QCOMPARE(ModelPredicates::dotsPerLine(project), dots);
        QCOMPARE((QVector<bool>{ModelPredicates::hasEthernet(project), ModelPredicates::hasWifi(project, model),
                                ModelPredicates::has4G(project, model)}),
                 (QVector<bool>{ethernet, wifi, g4}));
        PrinterState s;
        s.project = project;
        s.model = model;
        // MACs of 17 characters, addresses, the network name, a lower-case Bluetooth identity and a
        // module (IMEI of 15, ICCID of 20, a signal), each only where the model has the part.
        const QByteArray net = query(s, 0x0002), ip = query(s, 0x0007), w = query(s, 0x0004);
        const QByteArray none(16, '\0'), bt = text(net, 198);
        QCOMPARE((QVector<bool>{text(net, 2).size() == 17, net.mid(20, 16) != none, ip.mid(2, 12) != none.left(12),
                                text(net, 164).size() == 17, net.mid(182, 16) != none, !text(net, 36).isEmpty(),
                                ip.mid(14, 12) != none.left(12), bt.size() == 17 && bt == bt.toLower(),
                                !text(net, 216).isEmpty(), text(w, 66).size() == 15 && text(w, 82).size() == 20,
                                qint16(u16(w, 258)) < 0}),
                 (QVector<bool>{ethernet, ethernet, ethernet, wifi, wifi, wifi, wifi, wifi, wifi, g4, g4}));
        QCOMPARE(u16(w, 260), quint16(g4 ? 4 : 0)); // Connected, or Disabled
        if (g4)
            QCOMPARE(text(w, 194).split(',').size(), 2); // a position of two parts
        else
            QCOMPARE(w.mid(2, 258), QByteArray(256, '\0') + QByteArray("\xff\0", 2)); // and no signal
    }

    // Set records whose query answer carries the same bytes from offset 2 on (audio and serial: tst_settingspages).
    void mirroredSettings()
    {
        const QPair<QByteArray, quint16> cases[] = {
            {hex("2101 00 80 2e 01 82 9b 71000000 d0070000 64000000 64000000 e7ffffff"
                 "000000000000000000000000 a0000000 02 03"), 0x0003}, // quality inverted, signed cut position
            {hex("2201 02"), 0x0008}};
        for (const auto &c : cases) {
            PrinterState s;
            QVERIFY(query(s, c.second).mid(2) != c.first.mid(2)); // defaults differ
            apply(s, c.first);
            QCOMPARE(query(s, c.second).mid(2), c.first.mid(2));
        }
    }

    void wifiNetwork()
    {
        PrinterState s;
        // The tool cuts a long SSID inside a two-byte character: it reads back byte for byte.
        const QByteArray ssid = QString(QChar(0x00E9)).repeated(64).toUtf8().left(127);
        apply(s, record(0x0111, 258).replace(2, ssid.size(), ssid));
        QCOMPARE(text(query(s, 0x0002), 36), ssid);
        apply(s, record(0x0112, 258));
        QVERIFY(text(query(s, 0x0002), 36).isEmpty());
    }

    void restartWnet()
    {
        qint64 now = 0;
        const auto wnetInfo = [&now](PrinterState &s, qint64 at) {
            now = at;
            const QByteArray a = query(s, 0x0004);
            return qMakePair(u16(a, 260), qint16(u16(a, 258)));
        };
        PrinterState s;
        s.clock = [&now] { return now; };
        s.wnet.restartMs = 6000;
        s.wnet.rssi = -81;

        // Disabling for a sixth, Enabling to a third, Connecting to the end; no signal until Connected.
        apply(s, word(0x0132));
        const QPair<qint64, quint16> steps[] = {{999, 1}, {1000, 2}, {1999, 2}, {2000, 5}, {5999, 5}, {6000, 4}};
        for (const auto &step : steps) {
            const auto info = wnetInfo(s, step.first);
            QVERIFY2(info.first == step.second, qPrintable(QString::number(step.first)));
            QCOMPARE(info.second, qint16(step.second == 4 ? -81 : 255));
        }

        // A restart while restarting starts over.
        now = 60000;
        apply(s, word(0x0132));
        now = 65000;
        apply(s, word(0x0132));
        QCOMPARE(wnetInfo(s, 66500).first, quint16(2));
        QCOMPARE(wnetInfo(s, 71000).first, quint16(4));

        // Nothing to restart without a module.
        PrinterState plain;
        plain.model = QStringLiteral("RX220");
        apply(plain, word(0x0132));
        QCOMPARE(wnetInfo(plain, now), qMakePair(quint16(0), qint16(255)));
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

    // One byte short, or the bare word, is refused and changes nothing.
    void shortSetIgnored()
    {
        const int cases[][3] = {{0x0101, 14, 0x0007}, {0x0102, 14, 0x0007}, {0x0103, 7, 0x0006},
                                {0x0111, 258, 0x0002}, {0x0112, 258, 0x0002}, {0x0121, 46, 0x0003},
                                {0x0122, 3, 0x0008},  {0x0131, 84, 0x0004},  {0x0141, 18, 0x0005}};
        for (const auto &c : cases) {
            PrinterState s;
            const QByteArray before = query(s, quint16(c[2]));
            QByteArray r = record(quint16(c[0]), c[1] - 1);
            r.replace(2, c[1] - 3, QByteArray(c[1] - 3, '\x07'));
            QCOMPARE(int(s.answer(r).outcome), int(PrinterState::Outcome::TooShort));
            QCOMPARE(int(s.answer(word(quint16(c[0]))).outcome), int(PrinterState::Outcome::TooShort));
            QVERIFY2(query(s, quint16(c[2])) == before, qPrintable(QString::number(c[0], 16)));
        }
    }

    // The commit installs nothing that did not arrive whole, under its own path, with its digest.
    void uploadCommit()
    {
        PrinterState s;
        const QByteArray path("/data/PUB/fonts/new.ttf");
        const QByteArray bytes("glyphs!");
        const FileRecord commit{0, path, quint32(bytes.size()), FileRecord::md5(bytes)};

        FileUpload partial(path, commit.size);
        partial.take(bytes.constData(), 3);
        FileUpload whole(path, commit.size);
        whole.take(bytes.constData(), quint32(bytes.size()));
        const FileRecord wrongDigest{0, path, commit.size, FileRecord::md5("other")};
        const FileRecord otherPath{0, "/data/PUB/fonts/else.ttf", commit.size, commit.digest};

        QCOMPARE(int(s.answer(commit.toBytes(CommitFileUpload)).outcome), int(PrinterState::Outcome::Ignored));
        QVERIFY(s.answer(commit.toBytes(CommitFileUpload), &partial).notes.first().endsWith("discarded"));
        QVERIFY(s.answer(wrongDigest.toBytes(CommitFileUpload), &whole).notes.first().contains("MD5 bad"));
        QVERIFY(s.answer(otherPath.toBytes(CommitFileUpload), &whole).notes.first().endsWith("discarded"));
        QVERIFY(!s.fontFolder.contains("new.ttf")); // a whole one is installed in tst_fontsettings
    }
};

QTEST_APPLESS_MAIN(TestPrinterState)
#include "tst_printerstate.moc"
