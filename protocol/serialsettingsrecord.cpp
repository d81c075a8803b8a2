#include "protocol/serialsettingsrecord.h"

#include "protocol/bytefields.h"
#include "protocol/hostcmd.h"

QByteArray SerialSettingsRecord::toBytes() const
{
    using namespace ByteFields;
    QByteArray bytes(Size, '\0');
    putU16(bytes, 0, HostCmdWord::SetSerialSettings);
    putI32(bytes, 2, baudRate);
    putI32(bytes, 6, dataBits);
    putI32(bytes, 10, stopBits);
    putI32(bytes, 14, parity);
    return bytes;
}

bool SerialSettingsRecord::decode(const QByteArray &response, SerialSettingsRecord *record)
{
    using ByteFields::i32;
    if (response.size() < Size)
        return false;
    record->baudRate = i32(response, 2);
    record->dataBits = i32(response, 6);
    record->stopBits = i32(response, 10);
    record->parity = i32(response, 14);
    return true;
}
