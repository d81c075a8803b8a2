#include "protocol/audiosettingsrecord.h"

#include "protocol/bytefields.h"
#include "protocol/hostcmdword.h"

namespace {
// Where the fields sit, in the request and in the answer alike.
constexpr int AllOffset = 2, CloudOffset = 3, WarningOffset = 4, NoticeOffset = 5, PaperNotTakenOffset = 6;
} // namespace

QByteArray AudioSettingsRecord::toBytes() const
{
    using namespace ByteFields;
    QByteArray bytes(Size, '\0');
    putU16(bytes, 0, HostCmdWord::SetAudioSettings);
    putU8(bytes, AllOffset, allAudio);
    putU8(bytes, CloudOffset, cloudAudio);
    putU8(bytes, WarningOffset, warningAudio);
    putU8(bytes, NoticeOffset, noticeAudio);
    putU8(bytes, PaperNotTakenOffset, quint8((paperNotTakenVoice ? 2 : 0) | (paperNotTakenBeep ? 1 : 0)));
    return bytes;
}

bool AudioSettingsRecord::decode(const QByteArray &response, AudioSettingsRecord *record)
{
    using ByteFields::u8;
    if (response.size() < Size)
        return false;
    record->allAudio = u8(response, AllOffset) & 1;
    record->cloudAudio = u8(response, CloudOffset) & 1;
    record->warningAudio = u8(response, WarningOffset) & 1;
    record->noticeAudio = u8(response, NoticeOffset) & 1;
    record->paperNotTakenVoice = u8(response, PaperNotTakenOffset) & 2;
    record->paperNotTakenBeep = u8(response, PaperNotTakenOffset) & 1;
    return true;
}
