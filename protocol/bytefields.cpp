#include "protocol/bytefields.h"

#include <QStringList>

#include <cstring>

namespace ByteFields {

namespace {

// An IPv4 address in the forms inet_aton reads: one to four parts, each decimal, octal
// (leading 0) or hexadecimal (0x), the last part filling the bytes the others leave.
bool parseIpv4(const QString &text, quint32 *address)
{
    const QString simple = text.simplified();
    if (simple.isEmpty() || simple.size() > 15)
        return false;
    const QStringList parts = simple.split(QLatin1Char('.'));
    if (parts.size() > 4)
        return false;
    quint32 value = 0;
    for (int i = 0; i < parts.size(); ++i) {
        const QString &part = parts.at(i);
        if (part.isEmpty() || !part.at(0).isDigit())
            return false;
        bool ok = false;
        const quint64 number = part.toULongLong(&ok, 0);
        // The last part fills what is left: all 32 bits when alone, 8 when fourth.
        const int bits = i == parts.size() - 1 ? 32 - 8 * i : 8;
        if (!ok || number >> bits != 0)
            return false;
        value = bits == 32 ? quint32(number) : value << bits | quint32(number);
    }
    *address = value;
    return true;
}

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
    if (!fits(bytes, offset, 4))
        return QStringLiteral("0.0.0.0");
    return QStringLiteral("%1.%2.%3.%4")
        .arg(u8(bytes, offset))
        .arg(u8(bytes, offset + 1))
        .arg(u8(bytes, offset + 2))
        .arg(u8(bytes, offset + 3));
}

void putIpv4(QByteArray &bytes, int offset, const QString &text)
{
    quint32 value = 0;
    if (!parseIpv4(text, &value))
        value = 0;
    // First octet first on the wire.
    for (int i = 0; i < 4; ++i)
        putU8(bytes, offset + i, quint8(value >> (24 - 8 * i)));
}

} // namespace ByteFields
