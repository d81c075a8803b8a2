#include "emulator/discoveryresponder.h"

#include "emulator/emulatorsession.h"
#include "protocol/wireconstants.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>

namespace {

constexpr int RequestSize = 4;

} // namespace

DiscoveryResponder::DiscoveryResponder(PrinterState &state, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_socket(new QUdpSocket(this))
{
    connect(m_socket, &QUdpSocket::readyRead, this, &DiscoveryResponder::onReadyRead);
}

bool DiscoveryResponder::start()
{
    if (isActive())
        return true;
    // Shared: several printers, or the tool itself, may sit on one machine.
    if (!m_socket->bind(QHostAddress::AnyIPv4, Wire::DiscoveryPort,
                        QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint))
        return false;
    const QHostAddress group(QString::fromLatin1(Wire::DiscoveryGroup));
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        if (iface.flags() & QNetworkInterface::CanMulticast)
            m_socket->joinMulticastGroup(group, iface);
    }
    return true;
}

void DiscoveryResponder::stop()
{
    m_socket->close();
}

bool DiscoveryResponder::isActive() const
{
    return m_socket->state() == QAbstractSocket::BoundState;
}

QString DiscoveryResponder::errorString() const
{
    return m_socket->errorString();
}

void DiscoveryResponder::onReadyRead()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram request = m_socket->receiveDatagram();
        if (!request.isValid())
            return;
        const QString from = EmulatorSession::endpoint(request.senderAddress(),
                                                       quint16(request.senderPort()));
        // Only a request is answered: another printer's answer arriving on the shared port
        // must not start an exchange between the two.
        if (request.data().size() != RequestSize) {
            emit logLine(QStringLiteral("discovery: %1 bytes from %2 ignored")
                             .arg(request.data().size()).arg(from));
            continue;
        }
        m_socket->writeDatagram(m_state.deviceRecord().toBytes(), request.senderAddress(),
                                quint16(request.senderPort()));
        emit logLine(QStringLiteral("discovery request from %1, answered").arg(from));
    }
}
