#pragma once

#include "protocol/packetcodec.h"

#include <QByteArray>
#include <QVector>

#include <cstddef>
#include <cstdint>

// Reads a fuzz input as a byte stream for a packet decoder: segments (raw bytes, payloads
// for the entry to seal, handshakes, keep-alives), then the chunk sizes the stream is read in.
//
// Layout: byte 0 is N, the number of chunk-size bytes at the input's end. The bytes between
// are segments, each an op byte and its operands:
//   op % 4 == 0  raw:       u16 length (little-endian, mod 1024), then that many bytes
//   op % 4 == 1  sealed:    u16 length (mod 481), then the plain payload
//   op % 4 == 2  handshake: the 56-byte device record; with op bit 2 set, a u8 length first
//   op % 4 == 3  keep-alive
// Each chunk-size byte c reads c bytes (0 reads 1024); what is left after the last one is
// read in one chunk. Short operands take what there is, so every input means something.
class FuzzStream
{
public:
    enum Kind { Raw, Sealed, Handshake, KeepAlive };
    struct Segment
    {
        Kind kind = Raw;
        QByteArray bytes;
    };

    FuzzStream(const uint8_t *data, size_t size);

    bool atEnd() const { return m_pos >= m_end; }
    Segment nextSegment();
    // The stream the segments stand for: raw bytes, payloads sealed with the key the peer
    // holds, handshakes and keep-alives. handshake(record, &key) seals a handshake segment
    // and may change the key; *onlyPackets tells whether the stream holds nothing but
    // packets and keep-alives.
    template <typename SealHandshake>
    QByteArray stream(PacketCodec::Key key, SealHandshake handshake, QVector<QByteArray> *sealed = nullptr,
                      bool *onlyPackets = nullptr);
    // The stream cut as the chunk-size bytes say.
    QVector<QByteArray> chunks(const QByteArray &stream) const;

    // Builds an input: the segments' bytes as the layout above, and the chunk sizes.
    static QByteArray raw(const QByteArray &bytes);
    static QByteArray sealed(const QByteArray &payload);
    static QByteArray handshake(const QByteArray &record);
    static QByteArray keepAlive();
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

template <typename SealHandshake>
QByteArray FuzzStream::stream(PacketCodec::Key key, SealHandshake handshake, QVector<QByteArray> *sealed,
                              bool *onlyPackets)
{
    using namespace PacketCodec;
    QByteArray out;
    bool packets = true;
    while (!atEnd()) {
        const Segment s = nextSegment();
        switch (s.kind) {
        case Raw:
            out += s.bytes;
            packets = false;
            break;
        case Sealed:
            out += encodePacket(s.bytes, key);
            if (sealed && !s.bytes.isEmpty())
                sealed->append(s.bytes);
            break;
        case Handshake:
            out += handshake(s.bytes, &key);
            packets = false;
            break;
        case KeepAlive:
            out += keepAlivePacket();
            break;
        }
    }
    if (onlyPackets)
        *onlyPackets = packets;
    return out;
}
