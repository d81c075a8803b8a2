#include "protocol/hostcmdword.h"

#include "protocol/audiosettingsrecord.h"
#include "protocol/deviceinformation.h"
#include "protocol/fineprintmoderecord.h"
#include "protocol/networkinformation.h"
#include "protocol/nvimagelist.h"
#include "protocol/printsettingsrecord.h"
#include "protocol/serialsettingsrecord.h"
#include "protocol/staticiprecord.h"
#include "protocol/wnetinformation.h"

int queryAnswerMinSize(quint16 word)
{
    switch (word) {
    case HostCmdWord::GetDeviceInfo:
        return DeviceInformation::MinSize;
    case HostCmdWord::GetNetworkInfo:
        return NetworkInformation::MinSize;
    case HostCmdWord::GetPrintSettings:
        return PrintSettingsRecord::Size;
    case HostCmdWord::GetWnetInfo:
        return WnetInformation::MinSize;
    case HostCmdWord::GetSerialSettings:
        return SerialSettingsRecord::Size;
    case HostCmdWord::GetAudioSettings:
        return AudioSettingsRecord::Size;
    case HostCmdWord::GetStaticIp:
        return StaticIpRecord::StaticIpMinSize;
    case HostCmdWord::GetFinePrintMode:
        return FinePrintModeRecord::Size;
    case HostCmdWord::GetNvImageList:
        return NvImageList::MinSize;
    default:
        return 0;
    }
}
