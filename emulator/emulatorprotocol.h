#pragma once

#include "emulator/printerstate.h"
#include "protocol/packetcodec.h"
#include "protocol/packetreceiver.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The printer's end of one connection, over bytes and without a socket: takes the chunks the
// tool sent, decodes them the way the printer does, and builds the packets that go back.
class EmulatorProtocol
{
public:
    struct Event
    {
        enum class Kind { Hello, Request, KeepAlive, Dropped };
        Kind kind = Kind::Dropped;
        quint32 nonce = 0;  // Hello
        quint16 word = 0;   // Request with a command word
        QByteArray payload; // Hello, Request: the decrypted payload
        QByteArray answer;  // the whole packet to send back; empty: none
        QString received;   // log line: what arrived
        QString reply;      // log line: what goes back or why nothing does; may be empty
    };

    explicit EmulatorProtocol(PrinterState &state, bool wrongKey = false);

    // Decodes one chunk as read from the connection, with the tool's own calling contract:
    // receive on the unconsumed rest until it consumes nothing, then drop what is left.
    QVector<Event> feed(const QByteArray &chunk);

    bool hasSession() const { return m_hasSession; }
    const PacketCodec::Key &sessionKey() const { return m_sessionKey; }

    // "0x0001 GetDeviceInfo", "0x1234 unknown".
    static QString describeWord(quint16 word);

private:
    Event hello(const uchar *payload, int length);
    Event request(const uchar *payload, int length);
    QByteArray seal(const QByteArray &payload) const;
    QByteArray sealWithWrongKey(const QByteArray &payload) const;

    PrinterState &m_state;
    bool m_wrongKey;
    PacketReceiver m_receiver;
    PacketCodec::Key m_sessionKey{};
    bool m_hasSession = false;
};
