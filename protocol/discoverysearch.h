#pragma once

#include "protocol/discoveryanswer.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QUdpSocket;

// The network half of finding printers, with no UI: sends the discovery request by
// multicast on every interface that can carry it, collects the answers, and tells for each
// interface whether the send went out. The connect dialog and the diagnosis both use it.
class DiscoverySearch : public QObject
{
    Q_OBJECT

public:
    struct Subnet
    {
        QHostAddress address;
        int prefixLength = 0;
    };

    struct Interface
    {
        QString name;
        // Every IPv4 address: a second one, added to reach a printer's factory subnet,
        // counts as much as the first.
        QList<Subnet> subnets;
        bool sent = false;   // the last multicast send on it succeeded
        QString sendError;   // why not, in the system's words

        // "10.0.0.5/24 192.168.1.9/24"; empty without an IPv4 address.
        QString subnet() const;
        // "eth0 10.0.0.5/24", or the name alone without an IPv4 address.
        QString describe() const;
    };

    struct Found
    {
        DiscoveryAnswer answer;
        QHostAddress address; // where the answer came from
        // Not inside any searched interface's subnet: reachable by multicast, perhaps not
        // by TCP (a printer set up for another network).
        bool otherSubnet = false;
    };

    explicit DiscoverySearch(QObject *parent = nullptr);
    ~DiscoverySearch() override;

    // Forgets the answers and takes a new request number: a new search.
    void restart();
    // Sends one round of requests (the dialog calls it once a step).
    void sendRequest();
    const QList<Interface> &interfaces() const { return m_interfaces; }
    const QList<Found> &found() const { return m_found; }

    // Pure: whether address lies in one of the interfaces' subnets.
    static bool onLocalSubnet(const QHostAddress &address, const QList<Interface> &interfaces);
    // "10.0.0.5/24, 172.20.0.2/16": this computer's subnets, for the user.
    static QString subnetsText(const QList<Interface> &interfaces);

signals:
    void printerFound(DiscoverySearch::Found found);

private:
    void onReadyRead();

    QUdpSocket *m_socket;
    quint32 m_random = 0;
    QList<Interface> m_interfaces;
    QList<Found> m_found;
};
