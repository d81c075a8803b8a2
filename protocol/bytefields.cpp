#include "protocol/bytefields.h"

#include <QHostAddress>
#include <QtEndian>

#include <cstring>

namespace ByteFields {

namespace {

bool fits(const QByteArray &bytes, int offset, int size)
{
    return offset >= 0 && size >= 0 && offset <= bytes.size() - size;
}

quint32 unsignedAt(const QByteArray &bytes, int offset, int size)
{
    if (!fits(bytes, offset, size))
        return 0;
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | quint8(bytes.at(offset + i));
    return value;
}

void putUnsigned(QByteArray &bytes, int offset, int size, quint32 value)
{
    if (!fits(bytes, offset, size))
        return;
    for (int i = 0; i < size; ++i, value >>= 8)
        bytes[offset + i] = char(value & 0xff);
}

} // namespace

quint8 u8(const QByteArray &bytes, int offset) { return quint8(unsignedAt(bytes, offset, 1)); }
quint16 u16(const QByteArray &bytes, int offset) { return quint16(unsignedAt(bytes, offset, 2)); }
qint16 i16(const QByteArray &bytes, int offset) { return qint16(u16(bytes, offset)); }
quint32 u32(const QByteArray &bytes, int offset) { return unsignedAt(bytes, offset, 4); }
qint32 i32(const QByteArray &bytes, int offset) { return qint32(u32(bytes, offset)); }

void putU8(QByteArray &bytes, int offset, quint8 value) { putUnsigned(bytes, offset, 1, value); }
void putU16(QByteArray &bytes, int offset, quint16 value) { putUnsigned(bytes, offset, 2, value); }
void putU32(QByteArray &bytes, int offset, quint32 value) { putUnsigned(bytes, offset, 4, value); }
void putI32(QByteArray &bytes, int offset, qint32 value)
{
    putUnsigned(bytes, offset, 4, quint32(value));
}

QByteArray text(const QByteArray &bytes, int offset)
{
    if (offset < 0 || offset >= bytes.size())
        return {};
    const char *begin = bytes.constData() + offset;
    const auto *zero = static_cast<const char *>(std::memchr(begin, 0, size_t(bytes.size() - offset)));
    return QByteArray(begin, zero ? int(zero - begin) : bytes.size() - offset);
}

QString latin1Text(const QByteArray &bytes, int offset)
{
    return QString::fromLatin1(text(bytes, offset));
}

void putText(QByteArray &bytes, int offset, int size, const QByteArray &text)
{
    if (size <= 0 || !fits(bytes, offset, size))
        return;
    const int length = qMin(text.size(), size - 1);
    std::memset(bytes.data() + offset, 0, size_t(size));
    std::memcpy(bytes.data() + offset, text.constData(), size_t(length));
}

QString ipv4Text(const QByteArray &bytes, int offset)
{
    // First octet first on the wire: the big-endian value QHostAddress takes.
    return QHostAddress(qFromBigEndian(u32(bytes, offset))).toString();
}

void putIpv4(QByteArray &bytes, int offset, const QString &text)
{
    bool ok = false;
    quint32 value = QHostAddress(text).toIPv4Address(&ok);
    if (!ok)
        value = 0;
    putU32(bytes, offset, qToBigEndian(value));
}

} // namespace ByteFields
