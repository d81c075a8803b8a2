#include "protocol/staticiprecord.h"

#include "protocol/bytefields.h"

QByteArray StaticIpRecord::toBytes(quint16 word) const
{
    QByteArray bytes(Size, '\0');
    ByteFields::putU16(bytes, 0, word);
    ByteFields::putIpv4(bytes, 2, address);
    ByteFields::putIpv4(bytes, 6, netmask);
    ByteFields::putIpv4(bytes, 10, gateway);
    return bytes;
}

StaticIpRecord StaticIpRecord::fromBytes(const QByteArray &bytes, int offset)
{
    return {ByteFields::ipv4Text(bytes, offset), ByteFields::ipv4Text(bytes, offset + 4),
            ByteFields::ipv4Text(bytes, offset + 8)};
}
