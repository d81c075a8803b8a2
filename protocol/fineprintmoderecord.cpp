#include "protocol/fineprintmoderecord.h"

#include "protocol/bytefields.h"
#include "protocol/hostcmdword.h"

namespace {
constexpr int EnabledOffset = 2; // in the request and in the answer
} // namespace

QByteArray FinePrintModeRecord::toBytes() const
{
    QByteArray bytes(Size, '\0');
    ByteFields::putU16(bytes, 0, HostCmdWord::SetFinePrintMode);
    ByteFields::putU8(bytes, EnabledOffset, enabled ? On : 0);
    return bytes;
}

bool FinePrintModeRecord::decode(const QByteArray &response, FinePrintModeRecord *record)
{
    if (response.size() < Size)
        return false;
    record->enabled = ByteFields::u8(response, EnabledOffset) != 0;
    return true;
}
