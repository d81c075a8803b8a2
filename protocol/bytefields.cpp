#include "protocol/bytefields.h"

#include <cctype>
#include <limits>

#include <QStringList>

#include <cstring>

namespace ByteFields {

namespace {

// One number of an IPv4 text as strtoull reads it with base 0: leading blanks and a plus
// sign skipped, 0x for hexadecimal, a leading 0 for octal. Sets *end past the digits; false
// when there are none or the value passes 64 bits.
bool readNumber(const char *text, const char **end, quint64 *value)
{
    const char *p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    if (*p == '+')
        ++p;
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && std::isxdigit(uchar(p[2]))) {
        base = 16;
        p += 2;
    } else if (p[0] == '0') {
        base = 8;
    }
    quint64 number = 0;
    const char *digits = p;
    for (;; ++p) {
        const int c = std::tolower(uchar(*p));
        const int digit = std::isdigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : 99;
        if (digit >= base)
            break;
        if (number > (std::numeric_limits<quint64>::max() - quint64(digit)) / quint64(base))
            return false;
        number = number * quint64(base) + quint64(digit);
    }
    if (p == digits)
        return false;
    *end = p;
    *value = number;
    return true;
}

// An IPv4 address read the way QHostAddress reads one (the program's link code uses it,
// so the two must agree): one to four numbers, the last filling the bytes the others
// leave. IPv6 texts, whose IPv4-mapped forms QHostAddress would also take, count as none.
bool parseIpv4(const QString &text, quint32 *address)
{
    const QString simple = text.simplified();
    if (simple.isEmpty() || simple.contains(QLatin1Char(':')))
        return false;
    for (const QChar c : simple) {
        if (c.unicode() >= 0x7f)
            return false;
    }
    const QByteArray latin1 = simple.toLatin1();
    const char *p = latin1.constData();
    quint32 value = 0;
    for (int dots = 0; dots < 4; ++dots) {
        const char *end = nullptr;
        quint64 number = 0;
        if (!readNumber(p, &end, &number) || number > 0xffffffffu)
            return false;
        const bool last = *end != '.' || dots == 3;
        // The last part fills what is left: all 32 bits when alone, 8 when fourth.
        const int bits = last ? 32 - 8 * dots : 8;
        if (bits < 32 && number >> bits != 0)
            return false;
        value = bits == 32 ? quint32(number) : value << bits | quint32(number);
        if (last) {
            if (*end != '\0')
                return false;
            *address = value;
            return true;
        }
        p = end + 1;
    }
    return false;
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
