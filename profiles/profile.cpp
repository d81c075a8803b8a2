#include "profiles/profile.h"

#include "pages/fieldlimits.h"
#include "pages/ipv4validator.h"
#include "print/codepages.h"
#include "protocol/hostcmdword.h"
#include "protocol/modelpredicates.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QVector>

#include <cmath>

namespace {

enum class Kind { Address, Flag, Number, Listed, Word, Millimetres, Latin1, Ssid, Password };

struct Setting
{
    const char *key;
    Kind kind;
    const char *name;
    int min = 0; // Number and Millimetres: the range; Latin1: max is the length
    int max = 0;
    // 0 besides the range: what a printer on receipt paper or with the feed off reports.
    bool zeroToo = false;
};

// File order. The ranges and lists are those of the pages.
const QVector<Setting> &settings()
{
    static const QVector<Setting> all = {
        {"ethernet.staticAddress", Kind::Address, QT_TRANSLATE_NOOP("Profile", "Ethernet static address")},
        {"ethernet.staticNetmask", Kind::Address, QT_TRANSLATE_NOOP("Profile", "Ethernet static netmask")},
        {"ethernet.staticGateway", Kind::Address, QT_TRANSLATE_NOOP("Profile", "Ethernet static gateway")},
        {"wifi.staticAddress", Kind::Address, QT_TRANSLATE_NOOP("Profile", "Wi-Fi static address")},
        {"wifi.staticNetmask", Kind::Address, QT_TRANSLATE_NOOP("Profile", "Wi-Fi static netmask")},
        {"wifi.staticGateway", Kind::Address, QT_TRANSLATE_NOOP("Profile", "Wi-Fi static gateway")},
        {"wifi.ssid", Kind::Ssid, QT_TRANSLATE_NOOP("Profile", "Wi-Fi network (SSID)")},
        {"wifi.password", Kind::Password, QT_TRANSLATE_NOOP("Profile", "Wi-Fi password")},
        {"audio.all", Kind::Flag, QT_TRANSLATE_NOOP("Profile", "All audio")},
        {"audio.cloud", Kind::Flag, QT_TRANSLATE_NOOP("Profile", "Cloud audio")},
        {"audio.warning", Kind::Flag, QT_TRANSLATE_NOOP("Profile", "Warning audio")},
        {"audio.notice", Kind::Flag, QT_TRANSLATE_NOOP("Profile", "Notice audio")},
        {"audio.paperNotTakenVoice", Kind::Flag, QT_TRANSLATE_NOOP("Profile", "Paper not taken: voice")},
        {"audio.paperNotTakenBeep", Kind::Flag, QT_TRANSLATE_NOOP("Profile", "Paper not taken: beep")},
        {"serial.baudRate", Kind::Listed, QT_TRANSLATE_NOOP("Profile", "Baud rate")},
        {"serial.dataBits", Kind::Listed, QT_TRANSLATE_NOOP("Profile", "Data bits")},
        {"serial.stopBits", Kind::Listed, QT_TRANSLATE_NOOP("Profile", "Stop bits")},
        {"serial.parity", Kind::Word, QT_TRANSLATE_NOOP("Profile", "Parity")},
        {"wnet.useSpecificApn", Kind::Flag, QT_TRANSLATE_NOOP("Profile", "Specific APN and dial number")},
        {"wnet.apn", Kind::Latin1, QT_TRANSLATE_NOOP("Profile", "APN"), 0, 63},
        {"wnet.dialNumber", Kind::Latin1, QT_TRANSLATE_NOOP("Profile", "Dial number"), 0, 15},
        {"print.utf8Mode", Kind::Flag, QT_TRANSLATE_NOOP("Profile", "UTF-8 mode")},
        {"print.cjk", Kind::Listed, QT_TRANSLATE_NOOP("Profile", "CJK")},
        {"print.codePage", Kind::Listed, QT_TRANSLATE_NOOP("Profile", "Code page")},
        {"print.density", Kind::Number, QT_TRANSLATE_NOOP("Profile", "Density"), 70, 130},
        {"print.quality", Kind::Number, QT_TRANSLATE_NOOP("Profile", "Quality"), 0, 100},
        {"print.finePrintMode", Kind::Flag, QT_TRANSLATE_NOOP("Profile", "Fine print mode")},
        {"print.paperType", Kind::Word, QT_TRANSLATE_NOOP("Profile", "Paper type")},
        {"print.blackMarkLocation", Kind::Word, QT_TRANSLATE_NOOP("Profile", "Black mark location")},
        {"print.cutPositionMm", Kind::Millimetres, QT_TRANSLATE_NOOP("Profile", "Cut position"), -100, 25},
        {"print.printPositionMm", Kind::Millimetres, QT_TRANSLATE_NOOP("Profile", "Print position"), 10, 100, true},
        {"print.feedOnCoverClose", Kind::Flag, QT_TRANSLATE_NOOP("Profile", "Feed and cut on cover closed")},
        {"print.feedMm", Kind::Number, QT_TRANSLATE_NOOP("Profile", "Feed length"), 20, 200, true},
        {"print.stopPrintingWhenNotTaken", Kind::Flag, QT_TRANSLATE_NOOP("Profile", "Stop printing when not taken")},
        {"print.voiceAlertWhenNotTaken", Kind::Flag, QT_TRANSLATE_NOOP("Profile", "Voice alert when not taken")},
    };
    return all;
}

const Setting *setting(const QString &key)
{
    for (const Setting &s : settings()) {
        if (key == QLatin1String(s.key))
            return &s;
    }
    return nullptr;
}

const QStringList &groups()
{
    static const QStringList names = {QStringLiteral("ethernet"), QStringLiteral("wifi"), QStringLiteral("audio"),
                                      QStringLiteral("serial"),   QStringLiteral("wnet"), QStringLiteral("print")};
    return names;
}

QVector<int> listed(const QString &key)
{
    if (key == QLatin1String("serial.baudRate")) // as the serial page offers them
        return {2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600, 2000000};
    if (key == QLatin1String("serial.dataBits"))
        return {7, 8};
    if (key == QLatin1String("serial.stopBits"))
        return {1, 2};
    if (key == QLatin1String("print.cjk"))
        return {0, 1, 11, 12, 21, 128};
    QVector<int> pages;
    for (const CodePages::CodePage &page : CodePages::list())
        pages << page.number;
    return pages;
}

struct Word
{
    const char *text;
    int value;
};

QVector<Word> words(const QString &key)
{
    if (key == QLatin1String("serial.parity"))
        return {{"none", SerialSettingsRecord::ParityNone},
                {"odd", SerialSettingsRecord::ParityOdd},
                {"even", SerialSettingsRecord::ParityEven}};
    if (key == QLatin1String("print.paperType"))
        return {{"receipt", int(PrintSettingsRecord::PaperReceipt)},
                {"blackMark", int(PrintSettingsRecord::PaperBlackMark)}};
    return {{"side", 1}, {"center", 2}};
}

// A value the pages cannot show (a parity of 7) stays a number, so that it differs from
// every word a profile can hold.
QJsonValue wordOf(const QString &key, int value)
{
    for (const Word &w : words(key)) {
        if (w.value == value)
            return QString::fromLatin1(w.text);
    }
    return value;
}

int valueOfWord(const QString &key, const QJsonValue &word)
{
    for (const Word &w : words(key)) {
        if (word.toString() == QLatin1String(w.text))
            return w.value;
    }
    return word.toInt();
}

bool isPosition(const QString &key)
{
    return key == QLatin1String("print.cutPositionMm") || key == QLatin1String("print.printPositionMm");
}

double tenthsOfMm(double mm)
{
    return std::round(mm * 10.0) / 10.0;
}

// The feed length goes out only with the feed on, the positions only on black-mark paper:
// otherwise the printer cannot hold another value, and a difference there is none.
bool matters(const QString &key, const Profile::Values &profile, const Profile::Values &printer)
{
    const auto wanted = [&](const char *other) {
        const QString k = QLatin1String(other);
        return profile.contains(k) ? profile.value(k) : printer.value(k);
    };
    if (key == QLatin1String("print.feedMm"))
        return wanted("print.feedOnCoverClose").toBool();
    if (isPosition(key))
        return wanted("print.paperType") == QLatin1String("blackMark");
    return true;
}

// A value as JSON writes it: "fast" with its quotes, 115200.5, true.
QByteArray valueText(const QJsonValue &value)
{
    const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2);
}

// The same for a message, cut so that the message stays one readable line.
QString jsonText(const QJsonValue &value)
{
    const QString text = QString::fromUtf8(valueText(value));
    return text.size() > 40 ? text.left(39) + QChar(0x2026) : text;
}

QString numberText(double value)
{
    return QString::number(value, 'g', 15);
}

bool isAddress(const QString &text)
{
    return !text.isEmpty() && FieldLimits::ipv4Problem(QString(), text, true).isEmpty();
}

QString passwordOf(const QJsonValue &value, bool *ok)
{
    *ok = true;
    if (value.isString())
        return value.toString();
    const QJsonObject secret = value.toObject();
    *ok = value.isObject() && secret.size() == 1 && secret.value(QLatin1String("secret")).isString();
    return secret.value(QLatin1String("secret")).toString();
}

// Empty when the value may stand in a profile, otherwise why not (without the key).
QString problem(const Setting &s, const QJsonValue &value)
{
    const QString key = QLatin1String(s.key);
    const QString text = jsonText(value);
    switch (s.kind) {
    case Kind::Address:
        if (!isAddress(value.toString()))
            return QCoreApplication::translate("Profile", "%1 is not an IPv4 address").arg(text);
        return QString();
    case Kind::Flag:
        if (!value.isBool())
            return QCoreApplication::translate("Profile", "%1 is not true or false").arg(text);
        return QString();
    case Kind::Word: {
        QStringList choices;
        for (const Word &w : words(key))
            choices << QString::fromLatin1(w.text);
        if (!choices.contains(value.toString()))
            return QCoreApplication::translate("Profile", "%1 is not one of %2")
                .arg(text, choices.join(QLatin1String(", ")));
        return QString();
    }
    case Kind::Number:
    case Kind::Listed:
    case Kind::Millimetres: {
        if (!value.isDouble())
            return QCoreApplication::translate("Profile", "%1 is not a number").arg(text);
        const double number = value.toDouble();
        if (s.kind != Kind::Millimetres && number != std::floor(number))
            return QCoreApplication::translate("Profile", "%1 is not a whole number").arg(text);
        if (s.kind == Kind::Listed) {
            const QVector<int> list = listed(key);
            if (std::abs(number) < 1e9 && list.contains(int(number)))
                return QString();
            if (key == QLatin1String("print.codePage"))
                return QCoreApplication::translate("Profile", "%1 is not in the code page list").arg(text);
            QStringList choices;
            for (const int v : list)
                choices << QString::number(v);
            return QCoreApplication::translate("Profile", "%1 is not one of %2")
                .arg(text, choices.join(QLatin1String(", ")));
        }
        if ((number >= s.min && number <= s.max) || (s.zeroToo && number == 0))
            return QString();
        if (s.zeroToo)
            return QCoreApplication::translate("Profile", "%1 is out of range (%2 to %3, or 0)")
                .arg(text)
                .arg(s.min)
                .arg(s.max);
        return QCoreApplication::translate("Profile", "%1 is out of range (%2 to %3)").arg(text).arg(s.min).arg(s.max);
    }
    case Kind::Latin1: {
        if (!value.isString())
            return QCoreApplication::translate("Profile", "%1 is not a text").arg(text);
        const QString string = value.toString();
        for (const QChar c : string) {
            if (c.unicode() > 0xff)
                return QCoreApplication::translate("Profile", "%1 has characters other than Latin-1").arg(text);
        }
        if (string.size() > s.max)
            return QCoreApplication::translate("Profile", "%1 is longer than %2 characters").arg(text).arg(s.max);
        return QString();
    }
    case Kind::Ssid:
        if (!value.isString())
            return QCoreApplication::translate("Profile", "%1 is not a text").arg(text);
        if (value.toString().toUtf8().size() > FieldLimits::SsidBytes)
            return QCoreApplication::translate("Profile", "%1 is longer than %2 bytes of UTF-8")
                .arg(text)
                .arg(FieldLimits::SsidBytes);
        return QString();
    case Kind::Password: {
        // Never the password itself in a message.
        bool ok = false;
        const QString password = passwordOf(value, &ok);
        if (!ok)
            return QCoreApplication::translate("Profile", "neither a text nor {\"secret\": text}");
        if (!FieldLimits::passwordProblem(QString(), password).isEmpty())
            return QCoreApplication::translate("Profile", "must be empty, 8 to 63 characters or 64 hex digits "
                                                          "(the file's has %1)")
                .arg(password.toLocal8Bit().size());
        return QString();
    }
    }
    return QString();
}

QByteArray indent(int depth)
{
    return QByteArray(4 * depth, ' ');
}

QByteArray member(int depth, const QString &name, const QByteArray &value)
{
    return indent(depth) + valueText(name) + ": " + value;
}

QByteArray object(int depth, const QList<QByteArray> &members)
{
    QByteArray text = "{\n";
    for (int i = 0; i < members.size(); ++i)
        text += members.at(i) + (i + 1 < members.size() ? ",\n" : "\n");
    return text + indent(depth) + '}';
}

StaticIpRecord asSent(const StaticIpRecord &record)
{
    // What the printer would be sent: an empty or unusable text is 0.0.0.0 there.
    return StaticIpRecord::fromBytes(record.toBytes(0), HostCmdWordSize);
}

QString readHeader(const QJsonObject &root, Profile *profile)
{
    const QJsonValue tool = root.value(QLatin1String("tool"));
    if (!tool.isUndefined() && !tool.isString())
        return QCoreApplication::translate("Profile", "tool: %1 is not a text").arg(jsonText(tool));
    profile->toolVersion = tool.toString();
    const QJsonValue date = root.value(QLatin1String("date"));
    if (!date.isUndefined()) {
        profile->date = QDateTime::fromString(date.toString(), Qt::ISODate).toUTC();
        if (!profile->date.isValid())
            return QCoreApplication::translate("Profile", "date: %1 is not a date and time such as %2")
                .arg(jsonText(date), QStringLiteral("2026-12-08T09:30:00Z"));
    }
    const QJsonValue printer = root.value(QLatin1String("printer"));
    if (printer.isUndefined())
        return QString();
    if (!printer.isObject())
        return QCoreApplication::translate("Profile", "printer: %1 is not a group of settings").arg(jsonText(printer));
    const QJsonObject fields = printer.toObject();
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        QString *field = it.key() == QLatin1String("project")        ? &profile->project
                         : it.key() == QLatin1String("model")        ? &profile->model
                         : it.key() == QLatin1String("serialNumber") ? &profile->serialNumber
                                                                     : nullptr;
        if (!field)
            return QCoreApplication::translate("Profile", "printer.%1: unknown setting").arg(it.key());
        if (!it.value().isString())
            return QCoreApplication::translate("Profile", "printer.%1: %2 is not a text")
                .arg(it.key(), jsonText(it.value()));
        *field = it.value().toString();
    }
    return QString();
}

} // namespace

QStringList Profile::keys()
{
    QStringList all;
    for (const Setting &s : settings())
        all << QLatin1String(s.key);
    return all;
}

QString Profile::displayName(const QString &key)
{
    const Setting *s = setting(key);
    return s ? QCoreApplication::translate("Profile", s->name) : key;
}

bool Profile::isPerPrinter(const QString &key)
{
    return key.startsWith(QLatin1String("ethernet.static")) || key.startsWith(QLatin1String("wifi.static"))
        || key == QLatin1String("wifi.ssid") || key == QLatin1String("wifi.password");
}

bool Profile::isSecret(const QString &key)
{
    return key == QLatin1String("wifi.password");
}

bool Profile::isSupported(const QString &key, const QString &project, const QString &model)
{
    if (!setting(key))
        return false;
    if (key.startsWith(QLatin1String("ethernet.")))
        return ModelPredicates::hasEthernet(project);
    if (key.startsWith(QLatin1String("wifi.")))
        return ModelPredicates::hasWifi(project, model);
    if (key.startsWith(QLatin1String("wnet.")))
        return ModelPredicates::has4G(project, model);
    // The print page enables paper layout, cover and paper-not-taken on the Ethernet
    // projects only (the 58 mm printer has none of them).
    static const QStringList paperLayout = {QStringLiteral("print.paperType"),
                                            QStringLiteral("print.blackMarkLocation"),
                                            QStringLiteral("print.cutPositionMm"),
                                            QStringLiteral("print.printPositionMm"),
                                            QStringLiteral("print.feedOnCoverClose"),
                                            QStringLiteral("print.feedMm"),
                                            QStringLiteral("print.stopPrintingWhenNotTaken"),
                                            QStringLiteral("print.voiceAlertWhenNotTaken")};
    if (paperLayout.contains(key))
        return ModelPredicates::hasEthernet(project);
    return true;
}

Profile::Values Profile::valuesOf(const PrinterSettings &s)
{
    Values v;
    const StaticIpRecord lan = asSent(s.lanStaticIp), wifi = asSent(s.wifiStaticIp);
    v[QStringLiteral("ethernet.staticAddress")] = lan.address;
    v[QStringLiteral("ethernet.staticNetmask")] = lan.netmask;
    v[QStringLiteral("ethernet.staticGateway")] = lan.gateway;
    v[QStringLiteral("wifi.staticAddress")] = wifi.address;
    v[QStringLiteral("wifi.staticNetmask")] = wifi.netmask;
    v[QStringLiteral("wifi.staticGateway")] = wifi.gateway;
    v[QStringLiteral("wifi.ssid")] = s.wifiSsid;
    v[QStringLiteral("audio.all")] = s.audio.allAudio;
    v[QStringLiteral("audio.cloud")] = s.audio.cloudAudio;
    v[QStringLiteral("audio.warning")] = s.audio.warningAudio;
    v[QStringLiteral("audio.notice")] = s.audio.noticeAudio;
    v[QStringLiteral("audio.paperNotTakenVoice")] = s.audio.paperNotTakenVoice;
    v[QStringLiteral("audio.paperNotTakenBeep")] = s.audio.paperNotTakenBeep;
    v[QStringLiteral("serial.baudRate")] = s.serial.baudRate;
    v[QStringLiteral("serial.dataBits")] = s.serial.dataBits;
    v[QStringLiteral("serial.stopBits")] = s.serial.stopBits;
    v[QStringLiteral("serial.parity")] = wordOf(QStringLiteral("serial.parity"), s.serial.parity);
    v[QStringLiteral("wnet.useSpecificApn")] = s.wnetApn.useSpecificApn;
    v[QStringLiteral("wnet.apn")] = s.wnetApn.apn;
    v[QStringLiteral("wnet.dialNumber")] = s.wnetApn.dialNumber;
    v[QStringLiteral("print.utf8Mode")] = s.print.utf8Mode != 0;
    v[QStringLiteral("print.cjk")] = s.print.cjk;
    v[QStringLiteral("print.codePage")] = s.print.codePage;
    v[QStringLiteral("print.density")] = s.print.density;
    v[QStringLiteral("print.quality")] = s.print.quality;
    v[QStringLiteral("print.finePrintMode")] = s.finePrint.enabled;
    v[QStringLiteral("print.paperType")] = wordOf(QStringLiteral("print.paperType"), int(s.print.paperType));
    v[QStringLiteral("print.blackMarkLocation")] =
        wordOf(QStringLiteral("print.blackMarkLocation"), s.print.blackMarkLocation);
    v[QStringLiteral("print.cutPositionMm")] = tenthsOfMm(s.print.cutPositionMm);
    v[QStringLiteral("print.printPositionMm")] = tenthsOfMm(s.print.printPositionMm);
    v[QStringLiteral("print.feedOnCoverClose")] = s.print.feedEnabled;
    v[QStringLiteral("print.feedMm")] = s.print.feedMm;
    v[QStringLiteral("print.stopPrintingWhenNotTaken")] = s.print.stopPrinting;
    v[QStringLiteral("print.voiceAlertWhenNotTaken")] = s.print.voiceAlert;
    return v;
}

Profile Profile::fromSettings(const PrinterSettings &settings, const QString &toolVersion, const QString &wifiPassword)
{
    Profile profile;
    profile.toolVersion = toolVersion;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    profile.date = now.addMSecs(-now.time().msec()); // the file holds whole seconds
    profile.project = settings.project;
    profile.model = settings.model;
    profile.serialNumber = settings.serialNumber;
    Values values = valuesOf(settings);
    if (!wifiPassword.isNull())
        values[QStringLiteral("wifi.password")] = wifiPassword;
    // A value the pages could not set either (a baud rate off the list) is left out, so that
    // every saved file reads back.
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (problem(*setting(it.key()), it.value()).isEmpty())
            profile.values.insert(it.key(), it.value());
    }
    return profile;
}

QByteArray Profile::toJson() const
{
    // Written by hand: QJsonObject would sort the keys, and the file reads best in the
    // pages' order.
    QList<QByteArray> top;
    top << member(1, QStringLiteral("formatVersion"), QByteArray::number(formatVersion));
    top << member(1, QStringLiteral("tool"), valueText(toolVersion));
    if (date.isValid())
        top << member(1, QStringLiteral("date"), valueText(date.toUTC().toString(Qt::ISODate)));
    top << member(1, QStringLiteral("printer"),
                  object(1, {member(2, QStringLiteral("project"), valueText(project)),
                             member(2, QStringLiteral("model"), valueText(model)),
                             member(2, QStringLiteral("serialNumber"), valueText(serialNumber))}));
    for (const QString &group : groups()) {
        QList<QByteArray> members;
        for (const QString &key : keys()) {
            if (!values.contains(key) || key.section(QLatin1Char('.'), 0, 0) != group)
                continue;
            const QString name = key.section(QLatin1Char('.'), 1);
            const QByteArray value = valueText(values.value(key));
            members << member(2, name, isSecret(key) ? object(2, {member(3, QStringLiteral("secret"), value)}) : value);
        }
        if (!members.isEmpty())
            top << member(1, group, object(1, members));
    }
    return object(0, top) + '\n';
}

bool Profile::fromFile(const QString &path, Profile *profile, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    return fromJson(file.readAll(), profile, error);
}

bool Profile::fromJson(const QByteArray &json, Profile *profile, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    const auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (parseError.error != QJsonParseError::NoError)
        return fail(QCoreApplication::translate("Profile", "Not a profile: %1 at character %2")
                        .arg(parseError.errorString())
                        .arg(parseError.offset));
    if (!document.isObject())
        return fail(QCoreApplication::translate("Profile", "Not a profile: the file holds no JSON object"));
    const QJsonObject root = document.object();
    const QJsonValue version = root.value(QLatin1String("formatVersion"));
    if (version.isUndefined())
        return fail(QCoreApplication::translate("Profile", "Not a profile: it has no formatVersion"));
    if (version != QJsonValue(FormatVersion))
        return fail(QCoreApplication::translate("Profile",
                                                "Unknown profile format version %1; this tool reads version %2.")
                        .arg(jsonText(version))
                        .arg(FormatVersion));

    Profile read;
    const QString headerProblem = readHeader(root, &read);
    if (!headerProblem.isEmpty())
        return fail(headerProblem);
    static const QStringList header = {QStringLiteral("formatVersion"), QStringLiteral("tool"),
                                       QStringLiteral("date"), QStringLiteral("printer")};
    for (auto group = root.begin(); group != root.end(); ++group) {
        if (header.contains(group.key()))
            continue;
        if (!groups().contains(group.key()))
            return fail(QCoreApplication::translate("Profile", "%1: unknown group of settings").arg(group.key()));
        if (!group.value().isObject())
            return fail(QCoreApplication::translate("Profile", "%1: %2 is not a group of settings")
                            .arg(group.key(), jsonText(group.value())));
        const QJsonObject members = group.value().toObject();
        for (auto it = members.begin(); it != members.end(); ++it) {
            const QString key = group.key() + QLatin1Char('.') + it.key();
            const Setting *s = setting(key);
            if (!s)
                return fail(QCoreApplication::translate("Profile", "%1: unknown setting").arg(key));
            const QString why = problem(*s, it.value());
            if (!why.isEmpty())
                return fail(key + QLatin1String(": ") + why);
            bool ok = false;
            read.values.insert(key, s->kind == Kind::Password ? QJsonValue(passwordOf(it.value(), &ok)) : it.value());
        }
    }
    *profile = read;
    return true;
}

PrinterSettings Profile::applyTo(const PrinterSettings &settings, const QStringList &keys) const
{
    PrinterSettings s = settings;
    const Values current = valuesOf(settings);
    for (const QString &key : keys) {
        if (!values.contains(key) || sameValue(key, current.value(key), values.value(key)))
            continue; // an equal value keeps the printer's own bytes
        const QJsonValue v = values.value(key);
        const QString group = key.section(QLatin1Char('.'), 0, 0), name = key.section(QLatin1Char('.'), 1);
        if (name.startsWith(QLatin1String("static"))) {
            StaticIpRecord &ip = group == QLatin1String("ethernet") ? s.lanStaticIp : s.wifiStaticIp;
            QString &field = name == QLatin1String("staticAddress")   ? ip.address
                             : name == QLatin1String("staticNetmask") ? ip.netmask
                                                                      : ip.gateway;
            field = v.toString();
        } else if (key == QLatin1String("wifi.ssid")) {
            s.wifiSsid = v.toString();
        } else if (key == QLatin1String("audio.all")) {
            s.audio.allAudio = v.toBool();
        } else if (key == QLatin1String("audio.cloud")) {
            s.audio.cloudAudio = v.toBool();
        } else if (key == QLatin1String("audio.warning")) {
            s.audio.warningAudio = v.toBool();
        } else if (key == QLatin1String("audio.notice")) {
            s.audio.noticeAudio = v.toBool();
        } else if (key == QLatin1String("audio.paperNotTakenVoice")) {
            s.audio.paperNotTakenVoice = v.toBool();
        } else if (key == QLatin1String("audio.paperNotTakenBeep")) {
            s.audio.paperNotTakenBeep = v.toBool();
        } else if (key == QLatin1String("serial.baudRate")) {
            s.serial.baudRate = qRound(v.toDouble());
        } else if (key == QLatin1String("serial.dataBits")) {
            s.serial.dataBits = qRound(v.toDouble());
        } else if (key == QLatin1String("serial.stopBits")) {
            s.serial.stopBits = qRound(v.toDouble());
        } else if (key == QLatin1String("serial.parity")) {
            s.serial.parity = valueOfWord(key, v);
        } else if (key == QLatin1String("wnet.useSpecificApn")) {
            s.wnetApn.useSpecificApn = v.toBool();
        } else if (key == QLatin1String("wnet.apn")) {
            s.wnetApn.apn = v.toString();
        } else if (key == QLatin1String("wnet.dialNumber")) {
            s.wnetApn.dialNumber = v.toString();
        } else if (key == QLatin1String("print.utf8Mode")) {
            s.print.utf8Mode = v.toBool() ? 1 : 0;
        } else if (key == QLatin1String("print.cjk")) {
            s.print.cjk = quint8(qRound(v.toDouble()));
        } else if (key == QLatin1String("print.codePage")) {
            s.print.codePage = quint8(qRound(v.toDouble()));
        } else if (key == QLatin1String("print.density")) {
            s.print.density = quint8(qRound(v.toDouble()));
        } else if (key == QLatin1String("print.quality")) {
            s.print.quality = quint8(qRound(v.toDouble()));
        } else if (key == QLatin1String("print.finePrintMode")) {
            s.finePrint.enabled = v.toBool();
        } else if (key == QLatin1String("print.paperType")) {
            s.print.paperType = quint32(valueOfWord(key, v));
        } else if (key == QLatin1String("print.blackMarkLocation")) {
            s.print.blackMarkLocation = quint8(valueOfWord(key, v));
        } else if (key == QLatin1String("print.cutPositionMm")) {
            s.print.cutPositionMm = tenthsOfMm(v.toDouble());
        } else if (key == QLatin1String("print.printPositionMm")) {
            s.print.printPositionMm = tenthsOfMm(v.toDouble());
        } else if (key == QLatin1String("print.feedOnCoverClose")) {
            s.print.feedEnabled = v.toBool();
        } else if (key == QLatin1String("print.feedMm")) {
            s.print.feedMm = qRound(v.toDouble());
        } else if (key == QLatin1String("print.stopPrintingWhenNotTaken")) {
            s.print.stopPrinting = v.toBool();
        } else if (key == QLatin1String("print.voiceAlertWhenNotTaken")) {
            s.print.voiceAlert = v.toBool();
        }
    }
    return s;
}

QString Profile::displayValue(const QString &key, const QJsonValue &value)
{
    if (value.isUndefined() || value.isNull())
        return QStringLiteral("\u2014");
    if (isSecret(key))
        return QString(8, QChar(0x2022));
    if (value.isBool())
        return value.toBool() ? QCoreApplication::translate("Profile", "Yes")
                              : QCoreApplication::translate("Profile", "No");
    const QString word = value.toString();
    if (key == QLatin1String("serial.parity")) {
        if (word == QLatin1String("none"))
            return QCoreApplication::translate("Profile", "None");
        if (word == QLatin1String("odd"))
            return QCoreApplication::translate("Profile", "Odd");
        if (word == QLatin1String("even"))
            return QCoreApplication::translate("Profile", "Even");
    }
    if (key == QLatin1String("print.paperType")) {
        if (word == QLatin1String("receipt"))
            return QCoreApplication::translate("Profile", "Receipt");
        if (word == QLatin1String("blackMark"))
            return QCoreApplication::translate("Profile", "Paper with Black Mark");
    }
    if (key == QLatin1String("print.blackMarkLocation")) {
        if (word == QLatin1String("side"))
            return QCoreApplication::translate("Profile", "Side");
        if (word == QLatin1String("center"))
            return QCoreApplication::translate("Profile", "Center");
    }
    if (!value.isDouble())
        return word;
    const double number = value.toDouble();
    if (isPosition(key))
        return QCoreApplication::translate("Profile", "%1 mm").arg(QString::number(number, 'f', 1));
    if (key == QLatin1String("print.feedMm"))
        return QCoreApplication::translate("Profile", "%1 mm").arg(numberText(number));
    if (key == QLatin1String("print.codePage") && CodePages::contains(int(number)))
        return CodePages::name(int(number));
    if (key == QLatin1String("print.cjk")) {
        // The print page's names.
        static const QVector<Word> cjk = {
            {"GB18030", 0}, {"BIG5", 1}, {"Shift JIS", 11}, {"JIS 0208", 12}, {"KS C 5601", 21}};
        for (const Word &w : cjk) {
            if (w.value == number)
                return QString::fromLatin1(w.text);
        }
        if (number == 128)
            return QCoreApplication::translate("Profile", "Disable CJK Mode");
    }
    return numberText(number);
}

bool Profile::sameValue(const QString &key, const QJsonValue &a, const QJsonValue &b)
{
    if (a.isDouble() && b.isDouble())
        return isPosition(key) ? qRound(a.toDouble() * 10.0) == qRound(b.toDouble() * 10.0)
                               : a.toDouble() == b.toDouble();
    return a == b;
}

QList<Profile::Difference> Profile::compare(const PrinterSettings &printer) const
{
    QList<Difference> rows;
    const Values printerValues = valuesOf(printer);
    for (const QString &key : keys()) {
        if (!values.contains(key))
            continue;
        Difference row;
        row.key = key;
        row.profile = values.value(key);
        row.supported = isSupported(key, printer.project, printer.model);
        row.printer = row.supported ? printerValues.value(key, QJsonValue::Undefined) : QJsonValue::Undefined;
        // The printer never tells its password: no difference can be seen there.
        row.differs = row.supported && !isSecret(key) && matters(key, values, printerValues)
            && !sameValue(key, row.printer, row.profile);
        rows << row;
    }
    return rows;
}

QList<Profile::Difference> Profile::differences(const PrinterSettings &printer) const
{
    QList<Difference> rows;
    for (const Difference &row : compare(printer)) {
        if (row.differs && row.supported)
            rows << row;
    }
    return rows;
}
