#include "protocol/discoveryanswer.h"

#include "protocol/bytefields.h"
#include "protocol/hostcmddevinfo.h"

DiscoveryAnswer DiscoveryAnswer::fromDatagram(const QByteArray &datagram)
{
    using ByteFields::latin1Text;
    return {latin1Text(datagram, host_cmd_dev_info_t::ProjectOffset),
            latin1Text(datagram, host_cmd_dev_info_t::ModelOffset),
            latin1Text(datagram, host_cmd_dev_info_t::SnOffset)};
}
