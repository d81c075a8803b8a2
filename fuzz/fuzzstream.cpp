#include "fuzz/fuzzstream.h"

#include <algorithm>

namespace {
constexpr int MaxRaw = 1024;
constexpr int WholeChunk = 1024;
} // namespace

FuzzStream::FuzzStream(const uint8_t *data, size_t size)
    : m_data(data)
    , m_size(size)
{
    m_end = size - (size == 0 ? 0 : std::min<size_t>(data[0], size - 1));
}

uint8_t FuzzStream::u8()
{
    return m_pos < m_end ? m_data[m_pos++] : 0;
}

quint16 FuzzStream::u16()
{
    const quint16 low = u8();
    return quint16(low | quint16(u8()) << 8);
}

QByteArray FuzzStream::take(int n)
{
    const int k = int(std::min<size_t>(size_t(n), m_end - std::min(m_pos, m_end)));
    const QByteArray b(reinterpret_cast<const char *>(m_data + m_pos), k);
    m_pos += size_t(k);
    return b;
}

QByteArray FuzzStream::stream(PacketCodec::Key key, const SealHandshake &handshake, QVector<QByteArray> *sealed,
                              bool *onlyPackets)
{
    QByteArray out;
    bool packets = true;
    while (m_pos < m_end) {
        const uint8_t op = u8();
        switch (Kind(op % 4)) {
        case Raw:
            out += take(u16() % MaxRaw);
            packets = false;
            break;
        case Sealed: {
            const QByteArray payload = take(u16() % (PacketCodec::MaxPayload + 1));
            out += PacketCodec::encodePacket(payload, key);
            if (sealed && !payload.isEmpty())
                sealed->append(payload);
            break;
        }
        case Handshake:
            out += handshake(take((op & 4) ? u8() : PacketCodec::DeviceRecordSize), &key);
            packets = false;
            break;
        case KeepAlive:
            out += PacketCodec::keepAlivePacket();
            break;
        }
    }
    if (onlyPackets)
        *onlyPackets = packets;
    return out;
}

QVector<QByteArray> FuzzStream::chunks(const QByteArray &stream) const
{
    QVector<QByteArray> out;
    int at = 0;
    for (size_t i = m_end; i < m_size && at < stream.size(); ++i) {
        const int n = m_data[i] == 0 ? WholeChunk : m_data[i];
        out.append(stream.mid(at, n));
        at += n;
    }
    if (at < stream.size())
        out.append(stream.mid(at));
    return out;
}

QByteArray FuzzStream::segment(Kind kind, const QByteArray &bytes)
{
    if (kind == KeepAlive || (kind == Handshake && bytes.size() == PacketCodec::DeviceRecordSize))
        return char(kind) + bytes;
    if (kind == Handshake)
        return QByteArray(1, char(Handshake | 4)) + char(std::min(bytes.size(), 255)) + bytes.left(255);
    const int n = std::min(bytes.size(), kind == Raw ? MaxRaw - 1 : PacketCodec::MaxPayload);
    return QByteArray(1, char(kind)) + char(n & 0xff) + char(n >> 8) + bytes.left(n);
}

QByteArray FuzzStream::input(const QByteArray &segments, const QVector<uint8_t> &chunkSizes)
{
    QByteArray out = char(chunkSizes.size()) + segments;
    for (const uint8_t c : chunkSizes)
        out += char(c);
    return out;
}
