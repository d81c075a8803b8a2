#include "protocol/serialsettingsrecord.h"

#include "protocol/bytefields.h"
#include "protocol/hostcmdword.h"

namespace {
// Where the fields sit, in the request and in the answer alike.
constexpr int BaudRateOffset = 2, DataBitsOffset = 6, StopBitsOffset = 10, ParityOffset = 14;
} // namespace

QByteArray SerialSettingsRecord::toBytes() const
{
    using namespace ByteFields;
    QByteArray bytes(Size, '\0');
    putU16(bytes, 0, HostCmdWord::SetSerialSettings);
    putI32(bytes, BaudRateOffset, baudRate);
    putI32(bytes, DataBitsOffset, dataBits);
    putI32(bytes, StopBitsOffset, stopBits);
    putI32(bytes, ParityOffset, parity);
    return bytes;
}

bool SerialSettingsRecord::decode(const QByteArray &response, SerialSettingsRecord *record)
{
    using ByteFields::i32;
    if (response.size() < Size)
        return false;
    record->baudRate = i32(response, BaudRateOffset);
    record->dataBits = i32(response, DataBitsOffset);
    record->stopBits = i32(response, StopBitsOffset);
    record->parity = i32(response, ParityOffset);
    return true;
}
