#include "emulator/printerstate.h"

#include "protocol/hostcmd.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

const PrinterState::Command *PrinterState::command(quint16 word)
{
    // One row per command word. Playing a new command is one builder and its row.
    static const Command commands[] = {
        {GetDeviceInfo, "GetDeviceInfo", &PrinterState::deviceInfo},
        {GetNetworkInfo, "GetNetworkInfo", nullptr},
        {GetPrintSettings, "GetPrintSettings", nullptr},
        {GetWnetInfo, "GetWnetInfo", nullptr},
        {GetSerialSettings, "GetSerialSettings", nullptr},
        {GetAudioSettings, "GetAudioSettings", nullptr},
        {GetStaticIp, "GetStaticIp", nullptr},
        {GetFinePrintMode, "GetFinePrintMode", nullptr},
        {GetNvImageList, "GetNvImageList", nullptr},
    };
    const auto it = std::find_if(std::begin(commands), std::end(commands),
                                 [word](const Command &c) { return c.word == word; });
    return it == std::end(commands) ? nullptr : it;
}

const char *PrinterState::commandName(quint16 word)
{
    const Command *c = command(word);
    return c ? c->name : nullptr;
}

int PrinterState::commandWord(const QByteArray &request)
{
    if (request.size() < 2)
        return -1;
    return quint8(request.at(0)) | quint8(request.at(1)) << 8;
}

void PrinterState::putText(QByteArray &out, int offset, int size, const QString &text)
{
    const QByteArray bytes = text.toLatin1().left(size - 1);
    std::memset(out.data() + offset, 0, size_t(size));
    std::memcpy(out.data() + offset, bytes.constData(), size_t(bytes.size()));
}

host_cmd_dev_info_t PrinterState::deviceRecord() const
{
    QByteArray record(sizeof(host_cmd_dev_info_t), '\0');
    putText(record, offsetof(host_cmd_dev_info_t, project), TextFieldSize, project);
    putText(record, offsetof(host_cmd_dev_info_t, model), TextFieldSize, model);
    putText(record, offsetof(host_cmd_dev_info_t, sn), SerialFieldSize, serialNumber);
    return host_cmd_dev_info_t::fromBytes(record.constData(), record.size());
}

PrinterState::Answer PrinterState::answer(const QByteArray &request)
{
    const int word = commandWord(request);
    if (word < 0)
        return {Outcome::NoWord, {}};
    const Command *c = command(quint16(word));
    if (!c)
        return {Outcome::Unknown, {}};
    if (!c->build)
        return {Outcome::NotImplemented, {}};
    return {Outcome::Answered, (this->*c->build)(request)};
}

QByteArray PrinterState::deviceInfo(const QByteArray &request)
{
    QByteArray info(DeviceInfoSize, '\0');
    // Every answer starts with the word of its request.
    info[0] = request.at(0);
    info[1] = request.at(1);
    // The tool does not read 2..17; the firmware puts the project code there.
    putText(info, 2, TextFieldSize, project);
    putText(info, 18, TextFieldSize, model);
    putText(info, 34, SerialFieldSize, serialNumber);
    putText(info, 58, TextFieldSize, hardwareVersion);
    putText(info, 74, TextFieldSize, bootloaderVersion);
    putText(info, 90, TextFieldSize, firmwareVersion);
    putText(info, 106, TextFieldSize, appVersion);
    putText(info, 122, TextFieldSize, partnerAppVersion);
    putText(info, 138, TextFieldSize, miniAppVersion);
    putText(info, 154, TextFieldSize, fontVersion);
    putText(info, 170, TextFieldSize, ttsVersion);
    return info;
}
