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

// The address lines the Ethernet and the Wi-Fi pages share, labels in the page's context.
QVector<Line> addressLines(const char *context, const NetworkFields &f)
{
    const auto tr = [context](const char *text) { return QCoreApplication::translate(context, text); };
    return {
        {tr(" MAC Address:"), f.mac.toLatin1()},
        {tr("    IP(DHCP):"), f.dhcpAddress.toLatin1()},
        {tr("     Netmask:"), f.dhcpNetmask.toLatin1()},
        {tr("  IP(Static):"), f.staticAddress.toLatin1()},
        {tr("     Netmask:"), f.staticNetmask.toLatin1()},
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
    const char *context = "WidgetLan";
    QVector<Line> lines = addressLines(context, f);
    lines.append({QCoreApplication::translate(context, "Current Time:"), latin1Date(now), "\n\n"});
    return page(QCoreApplication::translate(context, "*** Ethernet Print Test Page ***"),
                rx100 && english ? QByteArray("\n") : QByteArray("\n\n"), lines,
                rx100 ? QByteArray() : QByteArray(" "), QCoreApplication::translate(context, "*** END ***"),
                rx100);
}

QByteArray wifi(const NetworkFields &f, const QString &ssid, const QDateTime &now, bool rx100)
{
    const char *context = "WidgetWiFi";
    QVector<Line> lines = addressLines(context, f);
    lines.append({QCoreApplication::translate(context, "Current Time:"), latin1Date(now)});
    // The network name may be any language's; it is the one UTF-8 value here.
    lines.append({QCoreApplication::translate(context, "        SSID:"), ssid.toUtf8(), "\n\n"});
    return page(QCoreApplication::translate(context, "*** Wi-Fi Print Test Page ***"), "\n\n", lines,
                rx100 ? QByteArray() : QByteArray(" "), QCoreApplication::translate(context, "*** END ***"),
                rx100);
}

QByteArray serial(const SerialFields &f, const QDateTime &now, bool rx100)
{
    const char *context = "WidgetSerial";
    const auto tr = [context](const char *text) { return QCoreApplication::translate(context, text); };
    const QString parity = f.parity == 1 ? tr("Odd Parity") : f.parity == 2 ? tr("Even Parity") : tr("No Parity");
    const QVector<Line> lines = {
        {tr("   Baud Rate: "), f.baudRate.toLatin1()},
        {tr("   Data Bits: "), f.dataBits.toLatin1()},
        {tr("   Stop Bits: "), f.stopBits.toLatin1()},
        {tr("      Parity: "), parity.toUtf8()},
        {tr("Current Time: "), latin1Date(now), "\n\n"},
    };
    // The labels carry their own space.
    return page(tr("*** Serial Print Test Page ***"), "\n", lines, QByteArray(), tr("*** END ***"), rx100);
}

QByteArray printSettings(const QString &utf8Mode, const QString &cjk, const QString &codePage,
                         const QDateTime &now, bool rx100)
{
    const char *context = "WidgetPrint";
    const auto tr = [context](const char *text) { return QCoreApplication::translate(context, text); };
    const QVector<Line> lines = {
        {tr("  UTF-8 Mode:"), utf8Mode.toUtf8()},
        {tr("         CJK:"), cjk.toUtf8()},
        {tr("   Code Page:"), codePage.toUtf8()},
        {tr("Current Time:"), latin1Date(now), "\n\n"},
    };
    return page(tr("*** Print Test Page ***"), "\n\n", lines, QByteArray(), tr("*** END ***"), rx100);
}

QByteArray BlackMarkFeedToPrintStart() { return QByteArray::fromHex("1c284c02004330"); }
QByteArray BlackMarkFeedToCut() { return QByteArray::fromHex("1c284c02004231"); }

QByteArray blackMark(const QDateTime &now)
{
    const char *context = "WidgetPrint";
    const auto tr = [context](const char *text) { return QCoreApplication::translate(context, text); };
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
                       + tr("*** Black Mark Print Test ***").toUtf8() + "\n\n" + BodyStyle();
    for (const char *line : Sample)
        bytes += QByteArray(line) + '\n';
    bytes += tr("Current Time: ").toUtf8() + latin1Date(now) + "\n\n";
    bytes += TitleStyle() + tr("*** END ***").toUtf8() + '\n' + BodyStyle() + PageEpilogue();
    return bytes + BlackMarkFeedToCut() + QByteArray::fromHex("1d5630");
}

} // namespace TestPage
