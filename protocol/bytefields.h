#pragma once

#include <QByteArray>
#include <QString>

// Little-endian integers, network-order IPv4 addresses and NUL-terminated single-byte texts
// at fixed offsets of a payload. Readers never look past the end of the bytes they are
// given; a field that does not fit reads as zero or empty.
namespace ByteFields {

quint8 u8(const QByteArray &bytes, int offset);
quint16 u16(const QByteArray &bytes, int offset);
qint16 i16(const QByteArray &bytes, int offset);
quint32 u32(const QByteArray &bytes, int offset);
qint32 i32(const QByteArray &bytes, int offset);

void putU8(QByteArray &bytes, int offset, quint8 value);
void putU16(QByteArray &bytes, int offset, quint16 value);
void putU32(QByteArray &bytes, int offset, quint32 value);
void putI32(QByteArray &bytes, int offset, qint32 value);

// The bytes from offset up to the first zero. A text that fills its field without a zero
// runs on into the next field, as the printer's own readers do, but never past the end.
QByteArray text(const QByteArray &bytes, int offset);
QString latin1Text(const QByteArray &bytes, int offset);
// Copies at most size - 1 bytes of text into the field and zeroes the rest of it.
void putText(QByteArray &bytes, int offset, int size, const QByteArray &text);

// An IPv4 address stored first octet first, in dotted-decimal form.
QString ipv4Text(const QByteArray &bytes, int offset);
// Stores the address a text names; a text that is not an IPv4 address stores 0.0.0.0.
void putIpv4(QByteArray &bytes, int offset, const QString &text);

} // namespace ByteFields
