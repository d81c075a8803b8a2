#pragma once

#include "protocol/packetcodec.h"

#include <QByteArray>
#include <QVector>

#include <cstddef>
#include <cstdint>
#include <functional>

// Reads a fuzz input as a byte stream for a packet decoder, then the chunk sizes it is read in.
// Byte 0 is N, the number of chunk-size bytes at the input's end. The bytes between are
// segments, each an op byte and its operands:
//   op % 4 == 0  raw:       u16 length (little-endian, mod 1024), then that many bytes
//   op % 4 == 1  sealed:    u16 length (mod 481), then the plain payload
//   op % 4 == 2  handshake: the 56-byte device record; with op bit 2 set, a u8 length first
//   op % 4 == 3  keep-alive
// Chunk-size byte c reads c bytes (0: 1024), the rest is one chunk. Short operands take what
// there is, so every input means something.
class FuzzStream
{
public:
    enum Kind { Raw, Sealed, Handshake, KeepAlive };
    // Seals a handshake segment's record; may change the key the peer holds.
    using SealHandshake = std::function<QByteArray(const QByteArray &record, PacketCodec::Key *key)>;

    FuzzStream(const uint8_t *data, size_t size);
    // The segments as bytes on the wire, payloads sealed with the peer's key. *sealed gets the
    // non-empty payloads, *onlyPackets whether there was nothing but packets and keep-alives.
    QByteArray stream(PacketCodec::Key key, const SealHandshake &handshake, QVector<QByteArray> *sealed = nullptr,
                      bool *onlyPackets = nullptr);
    QVector<QByteArray> chunks(const QByteArray &stream) const;

    // Build inputs (makeseeds.cpp); a handshake of other than one record takes the long form.
    static QByteArray segment(Kind kind, const QByteArray &bytes = {});
    static QByteArray input(const QByteArray &segments, const QVector<uint8_t> &chunkSizes = {});

private:
    uint8_t u8();
    quint16 u16();
    QByteArray take(int n);

    const uint8_t *m_data;
    size_t m_pos = 1;
    size_t m_end = 0;
    size_t m_size = 0;
};
