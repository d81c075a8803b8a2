#include "profiles/rollout.h"

#include "profiles/printersession.h"

#include <QJsonValue>

namespace {

const QString EthernetStaticAddress = QStringLiteral("ethernet.staticAddress");

} // namespace

Rollout::Rollout(const Profile &profile, const QList<Printer> &printers, QObject *parent)
    : QObject(parent)
    , m_profile(profile)
    , m_printers(printers)
{
    for (const Printer &printer : printers) {
        Result result;
        result.printer = printer;
        m_results << result;
    }
}

void Rollout::setParallelism(int sessions)
{
    m_parallelism = std::max(1, sessions);
}

void Rollout::setStaticIpFrom(const QHostAddress &first)
{
    m_staticIpFrom = first;
}

void Rollout::start()
{
    if (m_printers.isEmpty()) {
        QMetaObject::invokeMethod(this, [this] { emit finished(true); }, Qt::QueuedConnection);
        return;
    }
    while (m_next < m_printers.size() && int(m_running.size()) < m_parallelism)
        startNext();
}

void Rollout::startNext()
{
    const int index = m_next++;
    const Printer &printer = m_printers.at(index);
    auto *session = new PrinterSession(printer.address, printer.port, this);
    connect(session, &PrinterSession::settingsRead, this, [this, index] { onRead(index); });
    connect(session, &PrinterSession::failed, this, [this, index](const QString &reason) { onFailed(index, reason); });
    m_running[index].session = session;
    emit printerStarted(index);
    session->read();
}

QStringList Rollout::sharedWithStaticIp()
{
    return {QStringLiteral("ethernet.staticNetmask"), QStringLiteral("ethernet.staticGateway")};
}

Profile::Values Rollout::overridesFor(int index) const
{
    Profile::Values overrides;
    if (!m_staticIpFrom.isNull()) {
        const QHostAddress address(m_staticIpFrom.toIPv4Address() + quint32(index));
        overrides.insert(EthernetStaticAddress, address.toString());
        // The addresses share one network: its netmask and gateway go with them.
        for (const QString &key : Rollout::sharedWithStaticIp()) {
            if (m_profile.values.contains(key))
                overrides.insert(key, m_profile.values.value(key));
        }
    }
    return overrides;
}

void Rollout::onRead(int index)
{
    Running &running = m_running.at(index);
    Result &result = m_results[index];
    if (running.apply) {
        running.apply->verify(running.session->settings());
        finish(index);
        return;
    }
    result.serialNumber = running.session->settings().serialNumber;
    running.apply = std::make_unique<ProfileApply>(m_profile, running.session->settings(),
                                                  m_printers.size() > 1, overridesFor(index));
    const QList<QByteArray> requests = running.apply->requests();
    if (requests.isEmpty())
        finish(index);
    else
        running.session->sendAndReadBack(requests);
}

void Rollout::onFailed(int index, const QString &reason)
{
    Running &running = m_running.at(index);
    // Sent, but nothing read back: none of it counts as taken.
    if (running.apply)
        running.apply->failAll();
    finish(index, reason);
}

void Rollout::finish(int index, const QString &reason)
{
    auto it = m_running.find(index);
    Result &result = m_results[index];
    const QString address = result.printer.address.toString();
    if (it->second.apply) {
        const ProfileApply &apply = *it->second.apply;
        result.rows = apply.rows();
        result.ok = apply.allVerified() && apply.count(ProfileApply::Outcome::Failed) == 0;
        result.line = QStringLiteral("%1 %2: %3").arg(address, result.serialNumber, apply.summary());
        if (!reason.isEmpty())
            result.line += QStringLiteral(" (%1)").arg(reason);
    } else {
        result.ok = false;
        result.line = QStringLiteral("%1: %2").arg(address, reason);
    }
    it->second.session->close();
    it->second.session->deleteLater();
    m_running.erase(it);
    ++m_done;
    emit printerFinished(index);

    if (m_next < m_printers.size()) {
        startNext();
    } else if (m_done == m_printers.size()) {
        bool allOk = true;
        for (const Result &r : qAsConst(m_results))
            allOk = allOk && r.ok;
        emit finished(allOk);
    }
}
