#include "protocol/wnetinformation.h"

#include "protocol/bytefields.h"

bool WnetInformation::decode(const QByteArray &response, WnetInformation *info)
{
    using namespace ByteFields;
    if (response.size() < MinSize)
        return false;
    info->moduleVersion = latin1Text(response, 2);
    info->imei = latin1Text(response, 66);
    info->iccid = latin1Text(response, 82);
    info->imsi = latin1Text(response, 106);
    info->mcc = latin1Text(response, 122);
    info->mnc = latin1Text(response, 126);
    info->operatorName = latin1Text(response, 130);
    info->position = latin1Text(response, 194);
    info->signalStrength = i16(response, 258);
    info->status = u16(response, 260);
    const quint16 useApn = u16(response, ApnOffset);
    info->useSpecificApn = useApn != 0 && useApn != 255;
    info->apn = latin1Text(response, 264);
    info->dialNumber = latin1Text(response, 328);
    return true;
}
