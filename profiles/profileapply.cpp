#include "profiles/profileapply.h"

#include <QCoreApplication>

namespace {

const QString SsidKey = QStringLiteral("wifi.ssid");
const QString PasswordKey = QStringLiteral("wifi.password");

bool isSent(ProfileApply::Outcome outcome)
{
    return outcome == ProfileApply::Outcome::Verified || outcome == ProfileApply::Outcome::Failed;
}

} // namespace

ProfileApply::ProfileApply(const Profile &profile, const PrinterSettings &current, bool rollout,
                           const Profile::Values &overrides)
    : m_profile(profile)
    , m_current(current)
    , m_rollout(rollout)
{
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        m_profile.values.insert(it.key(), it.value());
    const bool hasPassword = m_profile.values.contains(PasswordKey);
    m_wifiPassword = m_profile.values.value(PasswordKey).toString();

    QStringList send;
    Outcome ssid = Outcome::LeftOut; // a password without an SSID has nothing to go with
    for (const Profile::Difference &d : m_profile.compare(current)) {
        Row row{d.key, Outcome::Unchanged, d.printer, d.profile, QJsonValue::Undefined};
        if (!d.supported)
            row.outcome = Outcome::NotSupported;
        else if (rollout && Profile::isPerPrinter(d.key) && !overrides.contains(d.key))
            row.outcome = Outcome::LeftOut;
        // Joining another network needs its password; clearing the network does not.
        else if (d.key == SsidKey && d.differs && !hasPassword && !d.profile.toString().isEmpty())
            row.outcome = Outcome::LeftOut;
        else if (d.differs)
            row.outcome = Outcome::Verified;
        if (row.outcome == Outcome::Verified)
            send << d.key;
        if (d.key == SsidKey)
            ssid = row.outcome;
        m_rows << row;
    }
    // The password is never compared: it goes, or not, with the SSID (which comes first).
    for (Row &row : m_rows) {
        if (row.key == PasswordKey && row.outcome == Outcome::Unchanged)
            row.outcome = ssid;
    }
    m_target = m_profile.applyTo(current, send);
}

QList<QByteArray> ProfileApply::requests() const
{
    return PrinterSettings::setRequests(m_current, m_target, m_wifiPassword);
}

QStringList ProfileApply::keysToSend() const
{
    QStringList keys;
    for (const Row &row : m_rows) {
        if (isSent(row.outcome))
            keys << row.key;
    }
    return keys;
}

void ProfileApply::verify(const PrinterSettings &readBack)
{
    const Profile::Values after = Profile::valuesOf(readBack);
    Outcome ssid = Outcome::Failed;
    for (Row &row : m_rows) {
        if (row.key != PasswordKey)
            row.after = after.value(row.key, QJsonValue::Undefined);
        if (!isSent(row.outcome))
            continue;
        if (row.key == PasswordKey) {
            row.outcome = ssid;
            continue;
        }
        // A printer that ignored the Set still holds the old value: that is a failure too.
        row.outcome = Profile::sameValue(row.key, row.after, row.wanted) ? Outcome::Verified : Outcome::Failed;
        if (row.key == SsidKey)
            ssid = row.outcome;
    }
}

void ProfileApply::failAll()
{
    for (Row &row : m_rows) {
        if (isSent(row.outcome))
            row.outcome = Outcome::Failed;
    }
}

bool ProfileApply::allVerified() const
{
    return count(Outcome::Failed) == 0;
}

int ProfileApply::count(Outcome outcome) const
{
    int n = 0;
    for (const Row &row : m_rows)
        n += row.outcome == outcome ? 1 : 0;
    return n;
}

QString ProfileApply::summary() const
{
    QStringList parts;
    const int verified = count(Outcome::Verified), failed = count(Outcome::Failed);
    const int unchanged = count(Outcome::Unchanged), notSupported = count(Outcome::NotSupported),
              leftOut = count(Outcome::LeftOut);
    // English has no plural forms loaded, so the singular is a text of its own.
    if (verified == 1)
        parts << QCoreApplication::translate("ProfileApply", "1 setting applied and verified");
    else if (verified > 1)
        parts << QCoreApplication::translate("ProfileApply", "%n settings applied and verified", nullptr, verified);
    if (verified + failed == 0 && unchanged > 0) {
        if (notSupported + leftOut == 0)
            return unchanged == 1
                ? QCoreApplication::translate("ProfileApply", "the 1 setting already as in the profile")
                : QCoreApplication::translate("ProfileApply", "all %n settings already as in the profile", nullptr,
                                              unchanged);
        parts << QCoreApplication::translate("ProfileApply", "%n already as in the profile", nullptr, unchanged);
    }
    if (notSupported > 0) {
        const QString model = m_current.model.isEmpty() ? m_current.project : m_current.model;
        parts << QCoreApplication::translate("ProfileApply", "%n not supported by %1", nullptr, notSupported)
                     .arg(model);
    }
    if (leftOut > 0)
        parts << (m_rollout ? QCoreApplication::translate("ProfileApply", "%n left out (per-printer)", nullptr, leftOut)
                            : QCoreApplication::translate("ProfileApply", "%n left out", nullptr, leftOut));
    if (failed > 0) {
        QStringList keys;
        for (const Row &row : m_rows) {
            if (row.outcome == Outcome::Failed)
                keys << row.key;
        }
        parts << QCoreApplication::translate("ProfileApply", "%n failed (%1)", nullptr, failed)
                     .arg(keys.join(QLatin1String(", ")));
    }
    if (parts.isEmpty())
        return QCoreApplication::translate("ProfileApply", "no settings in the profile");
    return parts.join(QLatin1String("; "));
}
