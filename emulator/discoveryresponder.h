#pragma once

#include "emulator/printerstate.h"

#include <QObject>
#include <QString>

class QUdpSocket;

// The printer's side of network discovery: answers each 4-byte request on the discovery
// port with the device record, sent back to where the request came from.
class DiscoveryResponder : public QObject
{
    Q_OBJECT

public:
    explicit DiscoveryResponder(PrinterState &state, QObject *parent = nullptr);

    // Binds the discovery port (shared) and joins the group; false, with errorString(),
    // when the port cannot be had. Group joins that fail are ignored.
    bool start();
    void stop();
    bool isActive() const;
    QString errorString() const;

signals:
    void logLine(QString line);

private:
    void onReadyRead();

    PrinterState &m_state;
    QUdpSocket *m_socket;
};
