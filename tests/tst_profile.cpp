#include "profiles/profile.h"
#include "profiles/profileapply.h"
#include "protocol/bytefields.h"

#include <QtTest>

// An RX200 RX220 (Ethernet, Wi-Fi, 4G) on black-mark paper with the feed on.
static PrinterSettings full()
{
    PrinterSettings s;
    s.project = "RX200", s.model = "RX220", s.serialNumber = "ZR2108A0001234";
    s.lanStaticIp = {"192.168.1.50", "255.255.255.0", "192.168.1.1"}, s.wifiStaticIp = {"10.0.0.8", "255.0.0.0", "1.0.0.1"};
    s.wifiSsid = QStringLiteral("Café"), s.audio = {true, true, false, true, false, true};
    s.serial = {9600, 7, 2, SerialSettingsRecord::ParityOdd};
    s.wnetApn = {true, "internet.example", "*99#"}, s.finePrint.enabled = true;
    s.print = {128, 16, 0, 115, 40, PrintSettingsRecord::PaperBlackMark, 12.5, -3.0, true, 50, 2, true, false};
    return s;
}

Q_DECLARE_METATYPE(PrinterSettings)

class TestProfile : public QObject
{
    Q_OBJECT

private slots:
    void refused_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        const auto row = [](const char *name, const QByteArray &groups, const char *error) {
            QTest::newRow(name) << (groups[0] == '{' ? groups : "{\"formatVersion\": 1, " + groups + '}') << QString(error);
        };
        row("version", "{\"formatVersion\": 2}", "Unknown profile format version 2;");
        row("unknown key", "\"audio\": {\"volume\": 3}", "audio.volume: unknown setting");
        row("text for number", "\"serial\": {\"baudRate\": \"fast\"}", "serial.baudRate: \"fast\" is not a number");
        row("fraction", "\"serial\": {\"baudRate\": 115200.5}", "serial.baudRate: 115200.5");
        row("density", "\"print\": {\"density\": 150}", "print.density: 150 is out of range (70 to 130)");
        row("parity", "\"serial\": {\"parity\": \"mark\"}", "serial.parity: \"mark\"");
        row("code page", "\"print\": {\"codePage\": 6}", "print.codePage: 6");
        row("feed", "\"print\": {\"feedMm\": 10}", "print.feedMm: 10 is out of range");
        row("address", "\"ethernet\": {\"staticAddress\": \"1.0.0.300\"}", "ethernet.staticAddress: \"1.0.0.300\" is not an IPv4");
        row("APN of 64", "\"wnet\": {\"apn\": \"" + QByteArray(64, 'a') + "\"}", "wnet.apn: \"aaa");
        row("SSID of 34 bytes", "\"wifi\": {\"ssid\": \"" + QString(17, QChar(0xe9)).toUtf8() + "\"}", "wifi.ssid:");
        row("password of 5, not shown", "\"wifi\": {\"password\": {\"secret\": \"hunt1\"}}", "wifi.password: must be");
    }
    void refused()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        Profile profile;
        profile.toolVersion = "untouched";
        QString message;
        QVERIFY(!Profile::fromJson(json, &profile, &message));
        QVERIFY2(message.startsWith(error) && !message.contains('\n') && !message.contains("hunt1"), qPrintable(message));
        QCOMPARE(profile.toolVersion, QString("untouched"));
    }

    void roundTrip_data()
    {
        QTest::addColumn<PrinterSettings>("settings");
        QTest::addColumn<QString>("password");
        QTest::newRow("RX200 RX220, password") << full() << "hunter22";
        QTest::newRow("nothing read yet") << PrinterSettings() << QString();
        PrinterSettings rx100;
        rx100.project = "RX100", rx100.model = "RX110";
        rx100.print = {0, 0, 1, 70, 100, PrintSettingsRecord::PaperReceipt, 0, 0, false, 0, 1, false, false};
        QTest::newRow("RX100 on receipt paper, feed off") << rx100 << QString();
    }
    void roundTrip()
    {
        QFETCH(PrinterSettings, settings);
        QFETCH(QString, password);
        const Profile saved = Profile::fromSettings(settings, "zomra-cloud-printer-setup 1.11", password);
        QCOMPARE(saved.values.size(), Profile::keys().size() - (password.isNull() ? 1 : 0));
        Profile read;
        QString error;
        QVERIFY2(Profile::fromJson(saved.toJson(), &read, &error), qPrintable(error + saved.toJson()));
        QCOMPARE(read.toJson(), saved.toJson());
        QVERIFY(read.differences(settings).isEmpty());
    }

    void differences_data()
    {
        QTest::addColumn<Profile::Values>("values");
        QTest::addColumn<QStringList>("differing");
        QTest::newRow("numbers as numbers, positions to 0.1 mm")
            << Profile::Values{{"print.density", 115.0}, {"serial.baudRate", 19200}, {"print.cutPositionMm", -3.04}}
            << QStringList{"serial.baudRate"};
        QTest::newRow("positions on receipt paper, length with the feed off")
            << Profile::Values{{"print.paperType", "receipt"}, {"print.cutPositionMm", 1.0},
                               {"print.feedOnCoverClose", false}, {"print.feedMm", 20}}
            << QStringList{"print.paperType", "print.feedOnCoverClose"};
    }
    void differences()
    {
        QFETCH(Profile::Values, values);
        QFETCH(QStringList, differing);
        Profile profile;
        profile.values = values;
        QStringList keys;
        for (const Profile::Difference &d : profile.differences(full()))
            keys << d.key;
        QCOMPARE(keys, differing);
    }

    void apply_data()
    {
        QTest::addColumn<PrinterSettings>("current");
        QTest::addColumn<Profile::Values>("overrides"); // given: a roll-out
        QTest::addColumn<QList<quint16>>("requests");
        QTest::addColumn<bool>("keepsOld"); // the read-back has the old values
        QTest::addColumn<QString>("summary");
        const auto row = [](const char *name, const PrinterSettings &current, const Profile::Values &overrides,
                            const QList<quint16> &requests, bool keepsOld, const char *summary) {
            QTest::newRow(name) << current << overrides << requests << keepsOld << QString(summary);
        };
        PrinterSettings rx100 = full(), other = full();
        rx100.project = "RX100", rx100.model = "RX100", rx100.print.density = 70;
        other.lanStaticIp.address = "192.168.1.51", other.wifiSsid = "Shop", other.serial.baudRate = 115200;
        row("RX100 without 4G", rx100, {}, {0x0121}, false, "1 setting applied and verified; 14 not supported by RX100");
        row("ignored", rx100, {}, {0x0121}, true, "14 not supported by RX100; 1 failed (print.density)");
        row("roll-out, address assigned", other, {{"ethernet.staticAddress", "192.168.1.9"}}, {0x0101, 0x0141}, false,
            "2 settings applied and verified; 7 left out (per-printer)");
        row("one printer: the network too", other, {}, {0x0101, 0x0111, 0x0141}, false, "4 settings applied and verified");
        row("all equal", full(), {}, {}, false, "all 35 settings already as in the profile");
    }
    void apply()
    {
        QFETCH(PrinterSettings, current);
        QFETCH(Profile::Values, overrides);
        QFETCH(QList<quint16>, requests);
        QFETCH(bool, keepsOld);
        QFETCH(QString, summary);
        ProfileApply apply(Profile::fromSettings(full(), "t", "hunter22"), current, !overrides.isEmpty(), overrides);
        QList<quint16> words;
        for (const QByteArray &request : apply.requests())
            words << ByteFields::u16(request, 0);
        QCOMPARE(words, requests);
        apply.verify(keepsOld ? current : apply.target());
        QCOMPARE(apply.allVerified(), !keepsOld);
        QCOMPARE(apply.summary(), summary);
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_profile.moc"
