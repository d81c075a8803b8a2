#include "protocol/bytefields.h"
#include "protocol/deviceinformation.h"
#include "protocol/discoveryanswer.h"
#include "protocol/filerecord.h"
#include "protocol/fineprintmoderecord.h"
#include "protocol/hostcmdword.h"
#include "protocol/lastknownrecords.h"
#include "protocol/networkinformation.h"
#include "protocol/nvimagelist.h"
#include "protocol/printsettingsrecord.h"
#include "protocol/serialsettingsrecord.h"
#include "protocol/staticiprecord.h"
#include "protocol/wifinetworkrecord.h"
#include "protocol/wnetapnrecord.h"
#include "protocol/wnetinformation.h"

#include "tests/testbytes.h"

#include <QtTest>

// Request and answer layouts, byte for byte, and the last known records built from answers.
class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void requests_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("LAN: inet_aton's short forms, unusable gateway; Wi-Fi")
            << StaticIpRecord{"10.1", "0xffffff00", "1.2.3.4.5"}.toBytes(SetLanStaticIp) +
                   StaticIpRecord{"192.168.1.20", "255.255.255.0", {}}.toBytes(SetWifiStaticIp)
            << hex("0101 0a000001 ffffff00 00000000 0201 c0a80114 ffffff00 00000000");
        // As QHostAddress reads them: blanks and a plus before a number, long zeros; not after it.
        QTest::newRow("addresses as QHostAddress reads them")
            << StaticIpRecord{" +1.2.3.4", "5. 1", "205 .8"}.toBytes(SetLanStaticIp) +
                   StaticIpRecord{"0000000000001.2.3.4", "::ffff:1.2.3.4", {}}.toBytes(SetLanStaticIp)
            << hex("0101 01020304 05000001 00000000 0101 01020304 00000000 00000000");

        // CJK, code page, UTF-8, density, quality, paper, positions, feed on, feed, mark location, stop, voice.
        const PrintSettingsRecord receipt{1, 0x10, 2, 130, 0, PrintSettingsRecord::PaperReceipt,
                                          12.5, -3.0, false, 20, 2, true, false};
        QTest::newRow("receipt paper: zero black-mark block and feed, quality 0 is 255")
            << receipt.toBytes()
            << hex("2101 00 01 10 02 82 ff 30000000 00000000 00000000 00000000 00000000"
                   "000000000000000000000000 00000000 02 01");
        const PrintSettingsRecord mark{1, 0x10, 2, 130, 100, PrintSettingsRecord::PaperBlackMark,
                                       2.3, -0.7, true, 20, 2, false, true};
        QTest::newRow("black mark: parameters, signed tenths not lost to rounding, feed in dots, quality 100 is 155")
            << mark.toBytes()
            << hex("2101 00 01 10 02 82 9b 71000000 d0070000 64000000 17000000 f9ffffff"
                   "000000000000000000000000 a0000000 02 02");

        QTest::newRow("serial") << SerialSettingsRecord{2000000, 7, 2, SerialSettingsRecord::ParityEven}.toBytes()
                                << hex("4101 80841e00 07000000 02000000 02000000");

        QTest::newRow("fine print off, on in tst_printpage") << FinePrintModeRecord{false}.toBytes() << hex("2201 00");
        QTest::newRow("APN, dial number cut to 15")
            << WnetApnRecord{true, QStringLiteral("cmnet"), QString(20, QLatin1Char('9'))}.toBytes()
            << hex("3101 01 00") + "cmnet" + QByteArray(59, '\0') + QByteArray(15, '9') + '\0';

        // 126 ASCII bytes and a two-byte character: 128 bytes, cut after 127 mid-character.
        const QString longSsid = QString(126, QLatin1Char('s')) + QStringLiteral("é");
        QTest::newRow("SSID cut mid-character")
            << WifiNetworkRecord{longSsid, QStringLiteral("secret")}.toBytes()
            << hex("1101") + longSsid.toUtf8().left(127) + '\0' + "secret" + QByteArray(122, '\0');
        QTest::newRow("no SSID clears, password and all")
            << WifiNetworkRecord{QString(), QStringLiteral("typed anyway")}.toBytes() << hex("1201") + QByteArray(256, '\0');

        const QByteArray path = "/data/PUB/fonts/Sans.ttf";
        const QByteArray pathField = path + QByteArray(128 - path.size(), '\0');
        const QByteArray digest = hex("00112233445566778899aabbccddeeff");
        QTest::newRow("delete file") << FileRecord::pathRecord(DeleteFile, path) << hex("6401") + pathField;
        const FileRecord upload{0, path, 0x12345, digest};
        QTest::newRow("begin upload: no digest yet; commit")
            << upload.toBytes(BeginFileUpload) + upload.toBytes(CommitFileUpload)
            << hex("6201 0000") + pathField + hex("45230100") + QByteArray(16, '\0') + hex("6301 0000") + pathField +
                   hex("45230100") + digest;
    }
    void requests()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, expected);
        QCOMPARE(bytes.toHex(' '), expected.toHex(' '));
    }

    void answersDecode()
    {
        QByteArray info = record(GetDeviceInfo, DeviceInformation::MinSize);
        place(info, 18, "RX220_S");
        place(info, 170, QByteArray(16, 'T')); // the last field fills itself: read to the end
        DeviceInformation device;
        QVERIFY(!DeviceInformation::decode(info.left(185), &device));
        QVERIFY(DeviceInformation::decode(info, &device));
        QCOMPARE((QStringList{device.model, device.ttsVersion}), (QStringList{"RX220_S", QString(16, QLatin1Char('T'))}));

        QByteArray net = record(GetNetworkInfo, NetworkInformation::MinSize);
        place(net, 2, "aa:bb:cc:00:11:22");
        place(net, 20, hex("c0a8010a ffffff00"));
        place(net, 36, QStringLiteral("Café 5G").toUtf8());
        place(net, 190, hex("0a000005 ff000000"));
        place(net, 198, "a4:c1:38:5e:21:09");
        place(net, 216, "ZR-1234");
        NetworkInformation n;
        QVERIFY(NetworkInformation::decode(net, &n));
        QCOMPARE((QStringList{n.ethernetMac, n.ethernetDhcpAddress, n.ethernetDhcpNetmask, n.ethernetStaticAddress,
                              n.wifiSsid, n.wifiStaticAddress, n.wifiStaticNetmask, n.bluetoothName}),
                 (QStringList{"aa:bb:cc:00:11:22", "192.168.1.10", "255.255.255.0", "0.0.0.0",
                              QStringLiteral("Café 5G"), "10.0.0.5", "255.0.0.0", "ZR-1234"}));

        QByteArray print = record(GetPrintSettings, 46);
        place(print, 7, hex("9b"));
        place(print, 20, hex("64000000 e7ffffff"));
        place(print, 40, hex("a3000000 02 03"));
        PrintSettingsRecord p;
        QVERIFY(!PrintSettingsRecord::decode(print.left(45), &p));
        QVERIFY(PrintSettingsRecord::decode(print, &p));
        QCOMPARE((QVector<double>{double(p.quality), p.printPositionMm, p.cutPositionMm, double(p.feedMm)}),
                 (QVector<double>{100, 10.0, -2.5, 20})); // 163 dots of feed
        QVERIFY(p.feedEnabled && p.stopPrinting && p.voiceAlert);

        FinePrintModeRecord fine;
        QVERIFY(FinePrintModeRecord::decode(hex("0800 00"), &fine) && !fine.enabled);

        QByteArray reply = record(BeginFileUpload, 152);
        place(reply, 2, hex("0100"));
        FileRecord status;
        QVERIFY(FileRecord::decode(reply, &status) && status.status == 1);
        QVERIFY(!FileRecord::decode(reply.left(151), &status));
    }

    // A text runs to its next zero, at most to the end of the bytes, even into the next field; a
    // number that does not fit reads as zero.
    void textsStopAtTheEnd()
    {
        const QByteArray valid = deviceRecord("RX200", "RX230", "ZR-LONG");
        const QPair<QByteArray, QStringList> cases[] = {
            {valid, {"RX200", "RX230", "ZR-LONG"}},
            {valid.left(20), {"RX200", "RX23", ""}},
            {QByteArray(16, 'P') + "M" + QByteArray(15, '\0') + "S", {QString(16, QLatin1Char('P')) + "M", "M", "S"}}};
        for (const auto &c : cases) {
            const DiscoveryAnswer a = DiscoveryAnswer::fromDatagram(c.first);
            QCOMPARE((QStringList{a.project, a.model, a.sn}), c.second);
        }
        QCOMPARE(ByteFields::text("abc", -1), QByteArray());
        QCOMPARE(ByteFields::u32("abc", 0), 0u);
        QCOMPARE(ByteFields::ipv4Text("ab", 0), QStringLiteral("0.0.0.0"));
    }

    // The entries themselves are read in tst_nvimage; here the stated count is capped.
    void nvImageListNeverReadsPastTheAnswer()
    {
        QByteArray list = record(GetNvImageList, NvImageList::MinSize);
        place(list, 12, hex("ffff"));
        NvImageList images;
        QVERIFY(NvImageList::decode(list, &images));
        QCOMPARE(images.statedCount, quint16(0xffff));
        QCOMPARE(images.images.size(), NvImageList::MaxImages);
        QVERIFY(!NvImageList::decode(list.left(397), &images));
    }

    // A Save builds its record from the decoded answer: it must equal the last known one. What a
    // changed Save sends, once, the page tests check.
    void lastKnownRecords()
    {
        LastKnownRecords records;
        QByteArray print = record(GetPrintSettings, 50); // longer than needed: extra ignored
        place(print, 2, hex("07 01 10 02 64 e1 71000000 d0070000 64000000 2c010000 e7ffffff"));
        place(print, 40, hex("50000000 01 02"));
        QVERIFY(records.takeResponse(print));
        PrintSettingsRecord settings;
        QVERIFY(PrintSettingsRecord::decode(print, &settings));
        QCOMPARE(records.record(LastKnownRecords::PrintSettings), settings.toBytes());

        QByteArray wnet = record(GetWnetInfo, WnetInformation::MinSize);
        place(wnet, 262, hex("0100") + "cmnet");
        place(wnet, 328, "*99#");
        QVERIFY(records.takeResponse(wnet));
        WnetInformation module;
        QVERIFY(WnetInformation::decode(wnet, &module));
        QCOMPARE(records.record(LastKnownRecords::WnetApn),
                 (WnetApnRecord{module.useSpecificApn, module.apn, module.dialNumber}.toBytes()));

        // The static records come from two answers: the network one brings address and netmask.
        QByteArray stat = record(GetStaticIp, 26);
        place(stat, 2, hex("c0a80114 ffffff00 c0a80101 0a000005 ff000000 0a000001"));
        QVERIFY(records.takeResponse(stat));
        QCOMPARE(records.record(LastKnownRecords::LanStaticIp), hex("0101 c0a80114 ffffff00 c0a80101"));
        QCOMPARE(records.record(LastKnownRecords::WifiStaticIp), hex("0201 0a000005 ff000000 0a000001"));
        QByteArray net = record(GetNetworkInfo, NetworkInformation::MinSize);
        place(net, 28, hex("c0a80115 ffff0000"));
        place(net, 190, hex("0a000006 ffffff00"));
        QVERIFY(records.takeResponse(net));
        QCOMPARE(records.record(LastKnownRecords::LanStaticIp), hex("0101 c0a80115 ffff0000 c0a80101"));
        QCOMPARE(records.record(LastKnownRecords::WifiStaticIp), hex("0201 0a000006 ffffff00 0a000001"));
    }

    void shortAndForeignAnswersChangeNothing()
    {
        // Non-zero content, so that a record taken from it would show.
        const auto filled = [](quint16 w, int size) { return word(w) + QByteArray(size - 2, '\x5a'); };
        for (const QByteArray &response :
             {filled(GetPrintSettings, 45), filled(GetStaticIp, 25), filled(GetNetworkInfo, 247),
              filled(SetLanStaticIp, 14), QByteArray(1, '\x03')}) {
            LastKnownRecords records;
            QVERIFY(!records.takeResponse(response));
            for (int r = 0; r < LastKnownRecords::RecordCount; ++r) {
                const auto record = LastKnownRecords::Record(r);
                QCOMPARE(records.record(record), QByteArray(LastKnownRecords::size(record), '\0'));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestRecords)
#include "tst_records.moc"
