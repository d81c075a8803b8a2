#pragma once

#include "profiles/printersettings.h"
#include "profiles/profile.h"

#include <QList>
#include <QString>
#include <QStringList>

// What applying a profile to one printer means, before and after the Set requests: which
// settings to send, and per setting whether the printer took it. Pure: the window and the
// headless roll-out both drive it.
class ProfileApply
{
public:
    enum class Outcome {
        Unchanged,    // the printer already had the profile's value
        Verified,     // sent, and read back with the profile's value
        NotSupported, // this model has no such setting
        LeftOut,      // a per-printer setting in a roll-out, or the SSID without a password
        Failed,       // sent, but read back with another value (or no read-back)
    };
    struct Row
    {
        QString key;
        Outcome outcome = Outcome::Unchanged;
        QJsonValue before;
        QJsonValue wanted;
        QJsonValue after;
    };

    // rollout: the profile goes to more than one printer, so per-printer settings are left
    // out. overrides (such as an assigned ethernet.staticAddress) are applied whatever
    // rollout says and are checked like the profile's own values.
    ProfileApply(const Profile &profile, const PrinterSettings &current, bool rollout,
                 const Profile::Values &overrides = Profile::Values());

    // The settings the printer should have afterwards, and the requests that get it there.
    const PrinterSettings &target() const { return m_target; }
    QList<QByteArray> requests() const;
    // The keys that are to be sent (Row outcome Verified until verify() says otherwise).
    QStringList keysToSend() const;

    // Compares what the printer reads back with the target; each sent key becomes Verified
    // or Failed.
    void verify(const PrinterSettings &readBack);
    // No read-back came: every sent key is Failed.
    void failAll();

    const QList<Row> &rows() const { return m_rows; }
    bool allVerified() const; // no Failed row
    int count(Outcome outcome) const;

    // "2 settings applied and verified; 1 not supported by RX100" (no address or serial:
    // the caller puts those in front).
    QString summary() const;

private:
    Profile m_profile;
    PrinterSettings m_current;
    PrinterSettings m_target;
    QList<Row> m_rows;
    QString m_wifiPassword;
    bool m_rollout = false;
};
