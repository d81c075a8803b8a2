#include "app/conf.h"

#include "app/log.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStringList>

Conf g_conf;

namespace {

const QString Group = QStringLiteral("Conf");
const QString KeyFileVersion = QStringLiteral("FileVersion");
const QString KeyLanguage = QStringLiteral("Language");
const QString KeyFontSettings = QStringLiteral("FontSettingsEnabled");
const QString KeyDualColorSettings = QStringLiteral("DualColorSettingsEnabled");
const QString KeyUsbIds = QStringLiteral("VID_PID_List");

// QSettings hands back a value holding a comma as a list; the text is what was in the file.
QString settingText(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key, QString());
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

// The value of key in [group] as the file holds it. Qt's reader ends an unquoted value at a
// ";" (its comment mark), yet a list of pairs written by hand is just that: "a;;b". Null
// when the file or the key is missing.
QString rawValue(const QString &fileName, const QString &group, const QString &key)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    bool inGroup = false;
    QString value;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == header;
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (inGroup && equals > 0 && line.left(equals).trimmed() == key)
            value = line.mid(equals + 1).trimmed(); // the last one wins, as in Qt's reader
    }
    return value;
}

void writeSwitch(QSettings &settings, const QString &key, int value)
{
    if (value >= 0)
        settings.setValue(key, value != 0 ? 1 : 0);
}

} // namespace

Conf::Conf(QObject *parent)
    : QObject(parent)
{
}

QList<quint32> Conf::defaultUsbIds()
{
    return {(quint32(DefaultUsbVendorId) << 16) | 0x0002, (quint32(DefaultUsbVendorId) << 16) | 0x00D2};
}

void Conf::load()
{
    QSettings settings(m_fileName, QSettings::IniFormat);
    settings.beginGroup(Group);

    m_fileVersion = settings.value(KeyFileVersion, 0).toInt();
    m_language = Language(settings.value(KeyLanguage, 0).toInt());
    m_fontSettingsEnabled = settings.value(KeyFontSettings, -1).toInt();
    m_dualColorSettingsEnabled = settings.value(KeyDualColorSettings, -1).toInt();

    static const QRegularExpression pair(QStringLiteral("^([0-9A-Fa-f]{4}):([0-9A-Fa-f]{4})$"));
    m_usbIds.clear();
    QString usbIds = settingText(settings, KeyUsbIds);
    const QString raw = rawValue(m_fileName, Group, KeyUsbIds);
    // A quoted value (as save() writes it) Qt reads whole; an unquoted one it may have cut.
    if (!raw.isEmpty() && !raw.startsWith(QLatin1Char('"')))
        usbIds = raw;
    const QStringList pieces = usbIds.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &piece : pieces) {
        const QRegularExpressionMatch match = pair.match(piece);
        if (!match.hasMatch())
            continue;
        bool vendorOk = false;
        bool productOk = false;
        const uint vendor = match.captured(1).toUInt(&vendorOk, 16);
        const uint product = match.captured(2).toUInt(&productOk, 16);
        if (vendorOk && productOk) {
            m_usbIds.append((vendor << 16) | product);
            LOG_LINE("VID/PID %04x:%04x loaded.", vendor, product);
        }
    }
    if (m_usbIds.isEmpty())
        m_usbIds = defaultUsbIds();

    settings.endGroup();
}

void Conf::save()
{
    QSettings settings(m_fileName, QSettings::IniFormat);
    settings.beginGroup(Group);

    settings.setValue(KeyFileVersion, CurrentFileVersion);
    settings.setValue(KeyLanguage, int(m_language));
    writeSwitch(settings, KeyFontSettings, m_fontSettingsEnabled);
    writeSwitch(settings, KeyDualColorSettings, m_dualColorSettingsEnabled);

    QStringList pairs;
    for (const quint32 id : qAsConst(m_usbIds))
        pairs.append(QString::asprintf("%04x:%04x", id >> 16, id & 0xffff));
    settings.setValue(KeyUsbIds, pairs.join(QLatin1Char(';')));

    settings.endGroup();
}
