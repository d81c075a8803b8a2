#include "protocol/packetreceiver.h"

#include <algorithm>
#include <cstring>

using namespace PacketCodec;

namespace {
constexpr quint32 MinPacket = HeaderSize + BlockSize;
}

PacketReceiver::Result PacketReceiver::receive(const uchar *data, quint32 length,
                                               const Key &sessionKey)
{
    if (m_held != 0) {
        const quint32 k = std::min(m_missing, length);
        std::memcpy(m_buffer + m_held, data, k);
        m_held += k;
        m_missing -= k;
        if (m_missing != 0)
            return {k, Event::None, 0};
        return decodeHeld(k, sessionKey);
    }

    if (length < MinPacket || std::memcmp(data, Signature, sizeof Signature) != 0)
        return {};

    const uchar blockCount = data[3];
    if (blockCount == KeepAliveBlockCount)
        return {HeaderSize, Event::None, 0};
    if (blockCount > MaxBlocks)
        return {};

    if (blockCount == HandshakeBlockCount) {
        // The handshake states no length: every whole block at hand belongs to it.
        const quint32 blocks = (length - HeaderSize) / BlockSize;
        const int plain = blocks > quint32(MaxBlocks)
                              ? 0
                              : decryptBody(data + HeaderSize, int(blocks), builtInKey(), m_plain);
        return {length, Event::Handshake, plain};
    }

    const quint32 total = HeaderSize + BlockSize * quint32(blockCount);
    if (total > length) {
        std::memcpy(m_buffer, data, length);
        m_held = length;
        m_missing = total - length;
        return {length, Event::None, 0};
    }
    std::memcpy(m_buffer, data, total);
    m_held = total;
    m_missing = 0;
    return decodeHeld(total, sessionKey);
}

PacketReceiver::Result PacketReceiver::decodeHeld(quint32 consumed, const Key &sessionKey)
{
    const int plain = decryptBody(m_buffer + HeaderSize, m_buffer[3], sessionKey, m_plain);
    m_held = 0;
    m_missing = 0;
    return {consumed, plain ? Event::Packet : Event::None, plain};
}
