#include "protocol/staticiprecord.h"

#include "protocol/bytefields.h"
#include "protocol/hostcmdword.h"

namespace {
// Within a triple, in the request and in the GetStaticIp answer alike.
constexpr int AddressOffset = 0, NetmaskOffset = 4, GatewayOffset = 8;
} // namespace

QByteArray StaticIpRecord::toBytes(quint16 word) const
{
    QByteArray bytes(Size, '\0');
    ByteFields::putU16(bytes, 0, word);
    ByteFields::putIpv4(bytes, HostCmdWordSize + AddressOffset, address);
    ByteFields::putIpv4(bytes, HostCmdWordSize + NetmaskOffset, netmask);
    ByteFields::putIpv4(bytes, HostCmdWordSize + GatewayOffset, gateway);
    return bytes;
}

StaticIpRecord StaticIpRecord::fromBytes(const QByteArray &bytes, int offset)
{
    return {ByteFields::ipv4Text(bytes, offset + AddressOffset), ByteFields::ipv4Text(bytes, offset + NetmaskOffset),
            ByteFields::ipv4Text(bytes, offset + GatewayOffset)};
}
