#include "protocol/wifinetworkrecord.h"

#include "protocol/bytefields.h"
#include "protocol/hostcmdword.h"

QByteArray WifiNetworkRecord::toBytes() const
{
    using namespace ByteFields;
    QByteArray bytes(Size, '\0');
    if (ssid.isEmpty()) {
        putU16(bytes, 0, HostCmdWord::ClearWifiNetwork);
        return bytes;
    }
    putU16(bytes, 0, HostCmdWord::SetWifiNetwork);
    putText(bytes, 2, FieldSize, ssid.toUtf8());
    // The password goes out as the workstation's own encoding makes it.
    putText(bytes, 130, FieldSize, password.toLocal8Bit());
    return bytes;
}
