#pragma once

#include "protocol/packetcodec.h"

// Reassembles host command packets from the chunks a link reads and decrypts them.
// Follows the printer protocol's own rules, quirks included: a packet must start a chunk
// with at least 20 of its bytes, a handshake packet is never split, and anything that does
// not fit is dropped by the caller (a return of 0 consumed bytes means "drop the rest").
class PacketReceiver
{
public:
    enum class Event { None, Handshake, Packet };

    struct Result
    {
        quint32 consumed = 0;
        Event event = Event::None;
        // Payload length without padding; 0 for a handshake body that did not decrypt.
        int length = 0;
    };

    // Handshake bodies are decrypted with the built-in key, ordinary packets with sessionKey.
    Result receive(const uchar *data, quint32 length, const PacketCodec::Key &sessionKey);

    // The decrypted payload of the last Handshake or Packet event; valid until the next call.
    const uchar *payload() const { return m_plain; }

    quint32 held() const { return m_held; }
    quint32 missing() const { return m_missing; }

private:
    Result decodeHeld(quint32 consumed, const PacketCodec::Key &sessionKey);

    uchar m_buffer[512] = {};
    uchar m_plain[PacketCodec::BlockSize * PacketCodec::MaxBlocks] = {};
    quint32 m_held = 0;
    quint32 m_missing = 0;
};
