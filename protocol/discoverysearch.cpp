#include "protocol/discoverysearch.h"

#include "app/log.h"
#include "protocol/wireconstants.h"

#include <QNetworkAddressEntry>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QUdpSocket>

namespace {

QStringList subnetTexts(const QList<DiscoverySearch::Interface> &interfaces)
{
    QStringList texts;
    for (const DiscoverySearch::Interface &iface : interfaces) {
        for (const DiscoverySearch::Subnet &s : iface.subnets)
            texts << QStringLiteral("%1/%2").arg(s.address.toString()).arg(s.prefixLength);
    }
    return texts;
}

} // namespace

DiscoverySearch::DiscoverySearch(QObject *parent)
    : QObject(parent)
    , m_socket(new QUdpSocket(this))
    , m_random(QRandomGenerator::system()->generate())
{
    // Shared, so an emulated printer on this machine may listen on the same port. A failed
    // bind is not fatal: the first send binds the socket to some port.
    m_socket->bind(QHostAddress::AnyIPv4, Wire::DiscoveryPort,
                   QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
    m_socket->setSocketOption(QAbstractSocket::MulticastLoopbackOption, 0);
    connect(m_socket, &QUdpSocket::readyRead, this, &DiscoverySearch::onReadyRead);
}

DiscoverySearch::~DiscoverySearch() = default;

void DiscoverySearch::restart()
{
    m_random = QRandomGenerator::system()->generate();
    m_interfaces.clear();
    m_found.clear();
}

void DiscoverySearch::sendRequest()
{
    const QByteArray request(reinterpret_cast<const char *>(&m_random), sizeof m_random);
    const QHostAddress group(QString::fromLatin1(Wire::DiscoveryGroup));
    m_interfaces.clear();
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = iface.flags();
        if (flags & (QNetworkInterface::IsLoopBack | QNetworkInterface::IsPointToPoint))
            continue;
        if (!(flags & (QNetworkInterface::IsUp | QNetworkInterface::IsRunning
                       | QNetworkInterface::CanMulticast)))
            continue;
        Interface searched;
        searched.name = iface.humanReadableName();
        const QList<QNetworkAddressEntry> entries = iface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                searched.subnets << Subnet{entry.ip(), entry.prefixLength()};
        }
        // Unbound (the bind failed), the socket has no interface to set; it still sends.
        if (m_socket->state() == QAbstractSocket::BoundState)
            m_socket->setMulticastInterface(iface);
        searched.sent = m_socket->writeDatagram(request, group, Wire::DiscoveryPort) >= 0;
        if (!searched.sent)
            searched.sendError = m_socket->errorString();
        m_interfaces << searched;
    }
}

QString DiscoverySearch::Interface::subnet() const
{
    return subnetTexts({*this}).join(QLatin1Char(' '));
}

QString DiscoverySearch::Interface::describe() const
{
    return subnets.isEmpty() ? name : name + QLatin1Char(' ') + subnet();
}

bool DiscoverySearch::onLocalSubnet(const QHostAddress &address, const QList<Interface> &interfaces)
{
    const QHostAddress v4(address.toIPv4Address()); // a mapped ::ffff:a.b.c.d as well
    if (v4.isLoopback())
        return true; // this computer itself
    for (const Interface &iface : interfaces) {
        for (const Subnet &s : iface.subnets) {
            if (v4.isInSubnet(s.address, s.prefixLength))
                return true;
        }
    }
    return false;
}

QString DiscoverySearch::subnetsText(const QList<Interface> &interfaces)
{
    return subnetTexts(interfaces).join(QStringLiteral(", "));
}

void DiscoverySearch::onReadyRead()
{
    while (m_socket->hasPendingDatagrams()) {
        QByteArray datagram(int(qMax<qint64>(0, m_socket->pendingDatagramSize())), '\0');
        QHostAddress sender;
        quint16 senderPort = 0;
        const qint64 size = m_socket->readDatagram(datagram.data(), datagram.size(), &sender, &senderPort);
        if (size < 0)
            return;
        datagram.truncate(int(size));
        LOG_LINE("%d bytes received from %s:%u", datagram.size(), qPrintable(sender.toString()),
                 unsigned(senderPort));

        Found found;
        found.answer = DiscoveryAnswer::fromDatagram(datagram);
        found.address = sender;
        found.otherSubnet = !onLocalSubnet(sender, m_interfaces);
        bool known = false;
        for (const Found &f : qAsConst(m_found))
            known = known || (f.answer.sn == found.answer.sn && f.address == sender);
        if (known)
            continue; // one per printer, however many requests it answers
        m_found << found;
        emit printerFound(found);
    }
}
