#pragma once

#include "app/language.h"

#include <QList>
#include <QObject>
#include <QString>

// The maker's registered USB vendor identifier, carried by the default VID/PID pairs.
constexpr quint16 DefaultUsbVendorId = 0x3273;

// The tool's own settings, kept in an INI file in the working directory.
class Conf : public QObject
{
    Q_OBJECT

public:
    static constexpr int CurrentFileVersion = 1;

    explicit Conf(QObject *parent = nullptr);

    // The VID/PID pairs used when the settings name none; the udev rule is made from them too.
    static QList<quint32> defaultUsbIds();

    void load();
    void save();

    int fileVersion() const { return m_fileVersion; }
    Language language() const { return m_language; }
    void setLanguage(Language language) { m_language = language; }
    // Above 0: shown; 0 or below: hidden; -1 also means "not set", never written.
    int fontSettingsEnabled() const { return m_fontSettingsEnabled; }
    int dualColorSettingsEnabled() const { return m_dualColorSettingsEnabled; }
    // Each entry is (vendor << 16) | product.
    const QList<quint32> &usbIds() const { return m_usbIds; }

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &fileName) { m_fileName = fileName; }

private:
    int m_fileVersion = 0;
    Language m_language = Language::English;
    int m_fontSettingsEnabled = -1;
    int m_dualColorSettingsEnabled = -1;
    QList<quint32> m_usbIds;
    QString m_fileName = QStringLiteral("zomra-cloud-printer-setup.ini");
};

extern Conf g_conf;
