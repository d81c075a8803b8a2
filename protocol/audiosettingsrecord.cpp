#include "protocol/audiosettingsrecord.h"

#include "protocol/bytefields.h"
#include "protocol/hostcmd.h"

QByteArray AudioSettingsRecord::toBytes() const
{
    using namespace ByteFields;
    QByteArray bytes(Size, '\0');
    putU16(bytes, 0, HostCmdWord::SetAudioSettings);
    putU8(bytes, 2, allAudio);
    putU8(bytes, 3, cloudAudio);
    putU8(bytes, 4, warningAudio);
    putU8(bytes, 5, noticeAudio);
    putU8(bytes, 6, quint8((paperNotTakenVoice ? 2 : 0) | (paperNotTakenBeep ? 1 : 0)));
    return bytes;
}

bool AudioSettingsRecord::decode(const QByteArray &response, AudioSettingsRecord *record)
{
    using ByteFields::u8;
    if (response.size() < Size)
        return false;
    record->allAudio = u8(response, 2) & 1;
    record->cloudAudio = u8(response, 3) & 1;
    record->warningAudio = u8(response, 4) & 1;
    record->noticeAudio = u8(response, 5) & 1;
    record->paperNotTakenVoice = u8(response, 6) & 2;
    record->paperNotTakenBeep = u8(response, 6) & 1;
    return true;
}
