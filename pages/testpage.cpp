#include "pages/testpage.h"

#include <QCoreApplication>
#include <QVector>

namespace TestPage {

namespace {

constexpr const char *DateFormat = "yyyy/MM/dd hh:mm:ss";
const QByteArray TailFeed("\n\n\n\n");

QByteArray latin1Date(const QDateTime &now)
{
    return now.toString(QLatin1String(DateFormat)).toLatin1();
}

// Each page's texts live in that page's translation context.
struct LanTexts { Q_DECLARE_TR_FUNCTIONS(WidgetLan) };
struct WiFiTexts { Q_DECLARE_TR_FUNCTIONS(WidgetWiFi) };
struct SerialTexts { Q_DECLARE_TR_FUNCTIONS(WidgetSerial) };
struct PrintTexts { Q_DECLARE_TR_FUNCTIONS(WidgetPrint) };

// The address labels the Ethernet and the Wi-Fi pages share, marked in both contexts.
const char *const LanAddressLabels[] = {
    QT_TRANSLATE_NOOP("WidgetLan", " MAC Address:"), QT_TRANSLATE_NOOP("WidgetLan", "    IP(DHCP):"),
    QT_TRANSLATE_NOOP("WidgetLan", "     Netmask:"), QT_TRANSLATE_NOOP("WidgetLan", "  IP(Static):"),
};
const char *const WiFiAddressLabels[] = {
    QT_TRANSLATE_NOOP("WidgetWiFi", " MAC Address:"), QT_TRANSLATE_NOOP("WidgetWiFi", "    IP(DHCP):"),
    QT_TRANSLATE_NOOP("WidgetWiFi", "     Netmask:"), QT_TRANSLATE_NOOP("WidgetWiFi", "  IP(Static):"),
};

QVector<Line> addressLines(const char *context, const char *const labels[], const NetworkFields &f)
{
    const auto label = [&](int i) { return QCoreApplication::translate(context, labels[i]); };
    return {
        {label(0), f.mac.toLatin1()},
        {label(1), f.dhcpAddress.toLatin1()},
        {label(2), f.dhcpNetmask.toLatin1()},
        {label(3), f.staticAddress.toLatin1()},
        {label(2), f.staticNetmask.toLatin1()},
    };
}

} // namespace

QByteArray PagePrologue() { return QByteArray::fromHex("1d284503000603" "01"); }
QByteArray PageEpilogue() { return QByteArray::fromHex("1d284503000603" "ff"); }
QByteArray TitleStyle() { return QByteArray::fromHex("1b61011d2101"); }
QByteArray BodyStyle() { return QByteArray::fromHex("1b61001d2100"); }

QByteArray page(const QString &title, const QByteArray &afterTitle, const QVector<Line> &lines,
                const QByteArray &separator, const QString &end, bool rx100)
{
    QByteArray bytes = PagePrologue() + '\n' + TitleStyle() + title.toUtf8() + afterTitle + BodyStyle();
    for (const Line &line : lines)
        bytes += line.label.toUtf8() + separator + line.value + line.end;
    bytes += TitleStyle() + end.toUtf8() + '\n' + BodyStyle() + PageEpilogue() + TailFeed;
    // The RX100's paper path is short; the others need more feed to clear the cutter.
    if (!rx100)
        bytes += TailFeed;
    return bytes;
}

QByteArray ethernet(const NetworkFields &f, const QDateTime &now, bool rx100, bool english)
{
    QVector<Line> lines = addressLines("WidgetLan", LanAddressLabels, f);
    lines.append({LanTexts::tr("Current Time:"), latin1Date(now), "\n\n"});
    return page(LanTexts::tr("*** Ethernet Print Test Page ***"),
                rx100 && english ? QByteArray("\n") : QByteArray("\n\n"), lines,
                rx100 ? QByteArray() : QByteArray(" "), LanTexts::tr("*** END ***"), rx100);
}

QByteArray wifi(const NetworkFields &f, const QString &ssid, const QDateTime &now, bool rx100)
{
    QVector<Line> lines = addressLines("WidgetWiFi", WiFiAddressLabels, f);
    lines.append({WiFiTexts::tr("Current Time:"), latin1Date(now)});
    // The network name may be any language's; it is the one UTF-8 value here.
    lines.append({WiFiTexts::tr("        SSID:"), ssid.toUtf8(), "\n\n"});
    return page(WiFiTexts::tr("*** Wi-Fi Print Test Page ***"), "\n\n", lines,
                rx100 ? QByteArray() : QByteArray(" "), WiFiTexts::tr("*** END ***"), rx100);
}

QByteArray serial(const SerialFields &f, const QDateTime &now, bool rx100)
{
    const QString parity = f.parity == 1   ? SerialTexts::tr("Odd Parity")
                           : f.parity == 2 ? SerialTexts::tr("Even Parity")
                                           : SerialTexts::tr("No Parity");
    const QVector<Line> lines = {
        {SerialTexts::tr("   Baud Rate: "), f.baudRate.toLatin1()},
        {SerialTexts::tr("   Data Bits: "), f.dataBits.toLatin1()},
        {SerialTexts::tr("   Stop Bits: "), f.stopBits.toLatin1()},
        {SerialTexts::tr("      Parity: "), parity.toUtf8()},
        {SerialTexts::tr("Current Time: "), latin1Date(now), "\n\n"},
    };
    // The labels carry their own space.
    return page(SerialTexts::tr("*** Serial Print Test Page ***"), "\n", lines, QByteArray(),
                SerialTexts::tr("*** END ***"), rx100);
}

QByteArray printSettings(const QString &utf8Mode, const QString &cjk, const QString &codePage,
                         const QDateTime &now, bool rx100)
{
    const QVector<Line> lines = {
        {PrintTexts::tr("  UTF-8 Mode:"), utf8Mode.toUtf8()},
        {PrintTexts::tr("         CJK:"), cjk.toUtf8()},
        {PrintTexts::tr("   Code Page:"), codePage.toUtf8()},
        {PrintTexts::tr("Current Time:"), latin1Date(now), "\n\n"},
    };
    return page(PrintTexts::tr("*** Print Test Page ***"), "\n\n", lines, QByteArray(),
                PrintTexts::tr("*** END ***"), rx100);
}

QByteArray BlackMarkFeedToPrintStart() { return QByteArray::fromHex("1c284c02004330"); }
QByteArray BlackMarkFeedToCut() { return QByteArray::fromHex("1c284c02004231"); }

QByteArray blackMark(const QDateTime &now)
{
    // Not translated: the point is to see every script the fonts cover.
    static const char *const Sample[] = {
        "The quick brown fox jumps over a lazy dog",
        "那只敏捷的棕色狐狸跳过一只懒狗",
        "速い茶色のキツネは怠惰な犬を飛び越える",
        "그날쌘갈색여우는게으른개를뛰어넘었다",
        "Та ловкая бурая лиса пропускает ленивую собаку",
        // Khmer writes no spaces; zero width spaces mark where a line may break.
        "ក្រហម\u200Bខ្មៅ\u200Bរហ័ស\u200Bលោត\u200Bលើ\u200Bក្រហម\u200Bខ្មៅ",
        "тез қызыл қызыл қызыл әйірден айналады",
        "မြန်မြန်မြန်မြန်မြန်မြန်မြန်တဲ့ ခွေးပေါ်က",
        "สุนัขจิ้งจอกสีน้ำตาลกระโดดข้ามสุนัขที่ขี้เกียจ",
        "Η γρήγορη καφέ αλεπού πηδάει πάνω από ένα τεμπέλικο σκυλί",
        "जल्दी भूरा फॉक्स एक धीमा कुत्ता पर जाता है",
    };
    QByteArray bytes = BlackMarkFeedToPrintStart() + PagePrologue() + TitleStyle()
                       + PrintTexts::tr("*** Black Mark Print Test ***").toUtf8() + "\n\n" + BodyStyle();
    for (const char *line : Sample)
        bytes += QByteArray(line) + '\n';
    bytes += PrintTexts::tr("Current Time: ").toUtf8() + latin1Date(now) + "\n\n";
    bytes += TitleStyle() + PrintTexts::tr("*** END ***").toUtf8() + '\n' + BodyStyle() + PageEpilogue();
    return bytes + BlackMarkFeedToCut() + QByteArray::fromHex("1d5630");
}

} // namespace TestPage
