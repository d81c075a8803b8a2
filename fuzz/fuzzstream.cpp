#include "fuzz/fuzzstream.h"

#include "protocol/packetcodec.h"

#include <algorithm>

namespace {
constexpr int MaxRaw = 1024;
constexpr int WholeChunk = 1024;
} // namespace

FuzzStream::FuzzStream(const uint8_t *data, size_t size)
    : m_data(data)
    , m_size(size)
{
    const size_t sizes = size == 0 ? 0 : std::min<size_t>(data[0], size - 1);
    m_end = size - sizes;
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

FuzzStream::Segment FuzzStream::nextSegment()
{
    Segment s;
    const uint8_t op = u8();
    s.kind = Kind(op % 4);
    switch (s.kind) {
    case Raw:
        s.bytes = take(u16() % MaxRaw);
        break;
    case Sealed:
        s.bytes = take(u16() % (PacketCodec::MaxPayload + 1));
        break;
    case Handshake:
        s.bytes = take((op & 4) ? u8() : PacketCodec::DeviceRecordSize);
        break;
    case KeepAlive:
        break;
    }
    return s;
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

QByteArray FuzzStream::raw(const QByteArray &bytes)
{
    const int n = std::min(int(bytes.size()), MaxRaw - 1);
    return QByteArray(1, char(Raw)) + char(n & 0xff) + char(n >> 8) + bytes.left(n);
}

QByteArray FuzzStream::sealed(const QByteArray &payload)
{
    const int n = std::min(int(payload.size()), PacketCodec::MaxPayload);
    return QByteArray(1, char(Sealed)) + char(n & 0xff) + char(n >> 8) + payload.left(n);
}

QByteArray FuzzStream::handshake(const QByteArray &record)
{
    if (record.size() == PacketCodec::DeviceRecordSize)
        return QByteArray(1, char(Handshake)) + record;
    const int n = std::min(int(record.size()), 255);
    return QByteArray(1, char(Handshake | 4)) + char(n) + record.left(n);
}

QByteArray FuzzStream::keepAlive()
{
    return QByteArray(1, char(KeepAlive));
}

QByteArray FuzzStream::input(const QByteArray &segments, const QVector<uint8_t> &chunkSizes)
{
    QByteArray out(1, char(chunkSizes.size()));
    out += segments;
    for (const uint8_t c : chunkSizes)
        out += char(c);
    return out;
}
