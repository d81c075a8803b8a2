#include "pages/testpage.h"

#include <QtTest>

namespace {

const QDateTime Now(QDate(2026, 12, 6), QTime(9, 5, 7));
const TestPage::NetworkFields Fields{"A4:C1:38:5E:21:07", "192.168.1.57", "255.255.255.0", "192.168.1.200", "255.255.255.0"};

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

// The frame written out by hand, so that a slip in the shared builder shows.
QByteArray frame(const QByteArray &title, const QByteArray &afterTitle, const QByteArray &body, bool rx100)
{
    return hex("1d28450300060301") + "\n" + hex("1b61011d2101") + title + afterTitle + hex("1b61001d2100")
           + body + hex("1b61011d2101") + "*** END ***\n" + hex("1b61001d2100") + hex("1d284503000603ff")
           + QByteArray(rx100 ? 4 : 8, '\n');
}

QByteArray ethernetBody(const char *sep)
{
    const QByteArray s(sep);
    return " MAC Address:" + s + "A4:C1:38:5E:21:07\n" + "    IP(DHCP):" + s + "192.168.1.57\n"
           + "     Netmask:" + s + "255.255.255.0\n" + "  IP(Static):" + s + "192.168.1.200\n"
           + "     Netmask:" + s + "255.255.255.0\n" + "Current Time:" + s + "2026/12/06 09:05:07\n\n";
}

} // namespace

// The test pages byte for byte.
class TestTestPage : public QObject
{
    Q_OBJECT

private slots:
    void networkPages()
    {
        const QByteArray title = "*** Ethernet Print Test Page ***";
        // RX200: spaced, blank line, long feed; RX100: labels touch values, short feed, blank line in Chinese only.
        QCOMPARE(TestPage::ethernet(Fields, Now, false, true), frame(title, "\n\n", ethernetBody(" "), false));
        QCOMPARE(TestPage::ethernet(Fields, Now, true, true), frame(title, "\n", ethernetBody(""), true));
        QCOMPARE(TestPage::ethernet(Fields, Now, true, false), frame(title, "\n\n", ethernetBody(""), true));

        // Wi-Fi: field values go out as Latin-1, the SSID as UTF-8, after the time.
        TestPage::NetworkFields fields = Fields;
        fields.mac = QStringLiteral("caf\u00e9");
        QByteArray body = ethernetBody(" ");
        body.replace("A4:C1:38:5E:21:07", "caf\xe9");
        body.chop(1);
        body += "        SSID: Caf\xc3\xa9 5G\n\n";
        QCOMPARE(TestPage::wifi(fields, QStringLiteral("Caf\u00e9 5G"), Now, false),
                 frame("*** Wi-Fi Print Test Page ***", "\n\n", body, false));
    }

    void serialPrintSettingsAndBlackMarkPages()
    {
        const TestPage::SerialFields fields{QStringLiteral("115200"), QStringLiteral("8"), QStringLiteral("1"), 2};
        const QByteArray serial = "   Baud Rate: 115200\n   Data Bits: 8\n   Stop Bits: 1\n"
                                  "      Parity: Even Parity\nCurrent Time: 2026/12/06 09:05:07\n\n";
        // Always spaced, even for an RX100.
        QCOMPARE(TestPage::serial(fields, Now, true), frame("*** Serial Print Test Page ***", "\n", serial, true));
        QVERIFY(TestPage::serial({QString(), QString(), QString(), 7}, Now, false).contains("Parity: No Parity\n"));

        const QByteArray print = "  UTF-8 Mode:No\n         CJK:Disable CJK Mode\n"
                                 "   Code Page:(0) PC437: USA, Standard Europe\nCurrent Time:2026/12/06 09:05:07\n\n";
        QCOMPARE(TestPage::printSettings(QStringLiteral("No"), QStringLiteral("Disable CJK Mode"),
                                         QStringLiteral("(0) PC437: USA, Standard Europe"), Now, false),
                 frame("*** Print Test Page ***", "\n\n", print, false));

        // Black mark: feed to the mark, no line feed before the title, the sample in UTF-8, feed to the cutter, cut.
        const QByteArray page = TestPage::blackMark(Now);
        const QByteArray head = hex("1c284c02004330") + hex("1d28450300060301") + hex("1b61011d2101")
                                + "*** Black Mark Print Test ***\n\n" + hex("1b61001d2100");
        const QByteArray tail = "Current Time: 2026/12/06 09:05:07\n\n" + hex("1b61011d2101") + "*** END ***\n"
                                + hex("1b61001d2100") + hex("1d284503000603ff") + hex("1c284c02004231") + hex("1d5630");
        QVERIFY(page.startsWith(head) && page.endsWith(tail));
        QCOMPARE(page.size() - head.size() - tail.size(), 938);
    }
};

QTEST_APPLESS_MAIN(TestTestPage)
#include "tst_testpage.moc"
