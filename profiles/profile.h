#pragma once

#include "profiles/printersettings.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// A printer's settings saved to a file: a header naming the tool and the source printer,
// and the values grouped as the pages show them ("group.name" keys here, one JSON object
// per group in the file). Pure: no widgets, no sockets.
class Profile
{
public:
    static constexpr int FormatVersion = 1;
    using Values = QMap<QString, QJsonValue>;

    int formatVersion = FormatVersion;
    QString toolVersion;
    QDateTime date; // UTC
    QString project;
    QString model;
    QString serialNumber;
    // Only the keys the file holds; a value is a JSON string, number or bool as the file
    // has it (the Wi-Fi password as a plain string here, marked secret in the file).
    Values values;

    // Every key a profile may hold, in file order ("ethernet.staticAddress", ...).
    static QStringList keys();
    // The setting's name as the user reads it ("Ethernet static address").
    static QString displayName(const QString &key);
    // Settings that belong to one printer: the static addresses and the Wi-Fi network.
    static bool isPerPrinter(const QString &key);
    // Written as {"secret": "..."}: the Wi-Fi password.
    static bool isSecret(const QString &key);
    // Whether a printer of this project and model has the setting at all.
    static bool isSupported(const QString &key, const QString &project, const QString &model);

    // Every key (but the password) with the printer's value, in profile form.
    static Values valuesOf(const PrinterSettings &settings);
    // A profile of the printer; the password is included when wifiPassword is not null.
    static Profile fromSettings(const PrinterSettings &settings, const QString &toolVersion,
                                const QString &wifiPassword = QString());

    QByteArray toJson() const;
    // Strict: false, with *error naming the key and the value, for anything not a profile of
    // this format version (unknown version, unknown key, wrong type, value out of range).
    static bool fromJson(const QByteArray &json, Profile *profile, QString *error);
    // The same from a file; a file that cannot be read gets the system's words in *error.
    static bool fromFile(const QString &path, Profile *profile, QString *error);

    // The settings with this profile's values for the given keys put in; other keys keep
    // the printer's values.
    PrinterSettings applyTo(const PrinterSettings &settings, const QStringList &keys) const;

    // Equal as compare() sees it: numbers as numbers, positions to 0.1 mm.
    static bool sameValue(const QString &key, const QJsonValue &a, const QJsonValue &b);

    // A value as a person reads it in a table or a line: 115200, "192.168.1.50", yes/no.
    static QString displayValue(const QString &key, const QJsonValue &value);

    struct Difference
    {
        QString key;
        QJsonValue printer; // undefined where the printer does not have the setting
        QJsonValue profile;
        bool differs = false;
        bool supported = true;
    };
    // One row per key the profile holds, in file order.
    QList<Difference> compare(const PrinterSettings &printer) const;
    // The rows that differ on a printer that supports them.
    QList<Difference> differences(const PrinterSettings &printer) const;
};
