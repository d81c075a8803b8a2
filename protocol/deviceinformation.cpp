#include "protocol/deviceinformation.h"

#include "protocol/bytefields.h"

bool DeviceInformation::decode(const QByteArray &response, DeviceInformation *info)
{
    if (response.size() < MinSize)
        return false;
    using ByteFields::latin1Text;
    // 2..17 carry the project code, which the handshake record already gave.
    info->model = latin1Text(response, 18);
    info->serialNumber = latin1Text(response, 34);
    info->hardwareVersion = latin1Text(response, 58);
    info->bootloaderVersion = latin1Text(response, 74);
    info->firmwareVersion = latin1Text(response, 90);
    info->appVersion = latin1Text(response, 106);
    info->partnerAppVersion = latin1Text(response, 122);
    info->miniAppVersion = latin1Text(response, 138);
    info->fontVersion = latin1Text(response, 154);
    info->ttsVersion = latin1Text(response, 170);
    return true;
}
