#include "app/conf.h"

#include "app/log.h"

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

void Conf::load()
{
    QSettings settings(m_fileName, QSettings::IniFormat);
    settings.beginGroup(Group);

    m_fileVersion = settings.value(KeyFileVersion, 0).toInt();
    m_language = settings.value(KeyLanguage, 0).toInt();
    m_fontSettingsEnabled = settings.value(KeyFontSettings, -1).toInt();
    m_dualColorSettingsEnabled = settings.value(KeyDualColorSettings, -1).toInt();

    static const QRegularExpression pair(QStringLiteral("^([0-9A-Fa-f]{4}):([0-9A-Fa-f]{4})$"));
    m_usbIds.clear();
    const QStringList pieces = settingText(settings, KeyUsbIds).split(QLatin1Char(';'), Qt::SkipEmptyParts);
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
    if (m_usbIds.isEmpty()) {
        m_usbIds.append((quint32(DefaultUsbVendorId) << 16) | 0x0002);
        m_usbIds.append((quint32(DefaultUsbVendorId) << 16) | 0x00D2);
    }

    settings.endGroup();
}

void Conf::save()
{
    QSettings settings(m_fileName, QSettings::IniFormat);
    settings.beginGroup(Group);

    settings.setValue(KeyFileVersion, CurrentFileVersion);
    settings.setValue(KeyLanguage, m_language);
    writeSwitch(settings, KeyFontSettings, m_fontSettingsEnabled);
    writeSwitch(settings, KeyDualColorSettings, m_dualColorSettingsEnabled);

    QStringList pairs;
    for (const quint32 id : qAsConst(m_usbIds))
        pairs.append(QString::asprintf("%04x:%04x", id >> 16, id & 0xffff));
    settings.setValue(KeyUsbIds, pairs.join(QLatin1Char(';')));

    settings.endGroup();
}
