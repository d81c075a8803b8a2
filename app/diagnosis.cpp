#include "app/diagnosis.h"

#include "app/conf.h"
#include "app/log.h"
#include "protocol/wireconstants.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

// How often the search sends its request: printers that miss one answer the next.
constexpr int RequestEveryMs = 500;

QString printerName(const DiscoverySearch::Found &found)
{
    const QString name = QStringList{found.answer.model, found.answer.sn}.join(QLatin1Char(' ')).trimmed();
    return name.isEmpty() ? Diagnosis::tr("A printer") : name;
}

} // namespace

Diagnosis::Diagnosis(QObject *parent)
    : QObject(parent)
    , m_port(Wire::CommandPort)
    , m_step(new QTimer(this))
{
    m_step->setInterval(RequestEveryMs);
    connect(m_step, &QTimer::timeout, this, &Diagnosis::onSearchStep);
}

void Diagnosis::setSearchMs(int ms)
{
    m_searchMs = ms;
}

void Diagnosis::setCommandPort(quint16 port)
{
    m_port = port;
}

void Diagnosis::start()
{
    if (m_searching || (!m_finished && !m_probes.isEmpty()))
        return;
    m_finished = false;
    m_probes.clear();
    m_interfaces.clear();
    m_ids = g_conf.usbIds();
    m_usb = UsbDiagnosis::check(m_ids);

    if (!m_search) {
        m_search = new DiscoverySearch(this);
        connect(m_search, &DiscoverySearch::printerFound, this, &Diagnosis::probe);
    }
    m_search->restart();
    m_searching = true;
    m_elapsed.start();
    m_step->start();
    onSearchStep();
}

void Diagnosis::onSearchStep()
{
    if (m_elapsed.elapsed() >= m_searchMs) {
        m_step->stop();
        m_searching = false;
        finishIfDone();
        return;
    }
    m_search->sendRequest();
    m_interfaces = m_search->interfaces();
}

void Diagnosis::probe(const DiscoverySearch::Found &found)
{
    const int index = m_probes.size();
    m_probes.append({found, Probe::Pending, QString()});
    auto *socket = new QTcpSocket(this);
    auto *timer = new QTimer(socket);
    timer->setSingleShot(true);
    connect(socket, &QTcpSocket::connected, this, [this, index, socket] {
        settle(index, Probe::Open);
        socket->abort();
        socket->deleteLater();
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, index, socket](QAbstractSocket::SocketError error) {
        settle(index, error == QAbstractSocket::ConnectionRefusedError ? Probe::Refused : Probe::Failed,
               socket->errorString());
        socket->deleteLater();
    });
    connect(timer, &QTimer::timeout, this, [this, index, socket] {
        settle(index, Probe::NoAnswer);
        socket->abort();
        socket->deleteLater();
    });
    timer->start(PortProbeMs);
    // A mapped ::ffff:a.b.c.d from the dual-stack socket is dialled as the IPv4 address it is.
    socket->connectToHost(QHostAddress(found.address.toIPv4Address()), m_port);
}

void Diagnosis::settle(int index, Probe::Outcome outcome, const QString &error)
{
    Probe &probe = m_probes[index];
    if (probe.outcome != Probe::Pending)
        return; // an abort's own error after the outcome is known
    probe.outcome = outcome;
    probe.error = error;
    LOG_LINE("diagnosis: %s:%u probed: %d", qPrintable(probe.found.address.toString()), unsigned(m_port), int(outcome));
    finishIfDone();
}

void Diagnosis::finishIfDone()
{
    if (m_searching || m_finished)
        return;
    for (const Probe &probe : qAsConst(m_probes)) {
        if (probe.outcome == Probe::Pending)
            return;
    }
    m_finished = true;
    emit finished();
}

bool Diagnosis::isFinished() const
{
    return m_finished;
}

bool Diagnosis::anyUsable() const
{
    for (const UsbDiagnosis::Printer &printer : m_usb) {
        if (printer.state == UsbDiagnosis::State::Usable)
            return true;
    }
    for (const Probe &probe : m_probes) {
        if (probe.outcome == Probe::Open)
            return true;
    }
    return false;
}

QStringList Diagnosis::report() const
{
    return QStringList{tr("USB:")} + usbReport() + QStringList{tr("Network:")} + networkReport();
}

QStringList Diagnosis::usbReport() const
{
    const QString indent = QStringLiteral("  ");
    QStringList lines;
    for (const UsbDiagnosis::Printer &printer : m_usb) {
        const QString id = UsbDiagnosis::idText(printer.vendor, printer.product);
        if (printer.state == UsbDiagnosis::State::Usable) {
            lines << indent + tr("%1 (%2) at %3: usable").arg(id, printer.device, printer.node);
            continue;
        }
        // The reason already names the command that fixes it.
        lines << indent + tr("%1 (%2): %3").arg(id, printer.device, printer.reason());
    }
    if (lines.isEmpty()) {
        QStringList ids;
        for (const quint32 id : m_ids)
            ids << UsbDiagnosis::idText(quint16(id >> 16), quint16(id));
        lines << indent + tr("no USB printer with an identifier on the list (%1)").arg(ids.join(QStringLiteral(", ")));
    }
    return lines;
}

QStringList Diagnosis::networkReport() const
{
    const QString indent = QStringLiteral("  ");
    QStringList lines;
    QStringList searched;
    for (const DiscoverySearch::Interface &iface : m_interfaces) {
        const QString where = iface.describe();
        searched << (iface.sent ? tr("%1 (sent)").arg(where) : tr("%1 (send failed: %2)").arg(where, iface.sendError));
    }
    if (searched.isEmpty())
        lines << indent + tr("no interface to search but loopback");
    else
        lines << indent + tr("searched %1").arg(searched.join(QStringLiteral(", ")));

    for (const Probe &probe : m_probes) {
        const QString address = QHostAddress(probe.found.address.toIPv4Address()).toString();
        const QString printer = tr("%1 at %2: ").arg(printerName(probe.found), address);
        const QString port = QStringLiteral("%1:%2").arg(address).arg(m_port);
        if (probe.outcome == Probe::Open) {
            lines << indent + printer + tr("command port %1 takes connections - usable").arg(m_port);
        } else if (probe.found.otherSubnet) {
            lines << indent + printer
                         + tr("on another subnet (%1, this computer: %2) - its address can be set over USB on the Ethernet page")
                               .arg(address, DiscoverySearch::subnetsText(m_interfaces));
        } else if (probe.outcome == Probe::Refused) {
            lines << indent + printer + tr("answered the search, but %1 refused the connection").arg(port);
        } else if (probe.outcome == Probe::NoAnswer) {
            lines << indent + printer + tr("answered the search, but %1 did not answer within %2 s").arg(port).arg(PortProbeMs / 1000);
        } else {
            lines << indent + printer + tr("answered the search, but %1 could not be reached: %2").arg(port, probe.error);
        }
    }
    if (m_probes.isEmpty())
        lines << indent + tr("nothing answered the search: type the printer's address in the connect dialog");
    return lines;
}
