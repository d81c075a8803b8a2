#include "emulator/printerstate.h"

#include "protocol/hostcmd.h"

#include <cstring>

void putText(QByteArray &record, int offset, int size, const QString &text)
{
    const QByteArray bytes = text.toLatin1().left(size - 1);
    std::memcpy(record.data() + offset, bytes.constData(), size_t(bytes.size()));
}

host_cmd_dev_info_t PrinterState::deviceRecord() const
{
    QByteArray record(sizeof(host_cmd_dev_info_t), '\0');
    putText(record, 0, 16, project);
    putText(record, 16, 16, model);
    putText(record, 32, 24, serialNumber);
    return host_cmd_dev_info_t::fromBytes(record.constData(), record.size());
}

QByteArray PrinterState::answer(const QByteArray &request)
{
    if (request.size() < 2)
        return {};
    const quint16 word = quint16(quint8(request.at(0)) | quint8(request.at(1)) << 8);
    switch (word) {
    case GetDeviceInfo: {
        QByteArray info(186, '\0');
        info[0] = char(word);
        info[1] = char(word >> 8);
        putText(info, 2, 16, project);
        putText(info, 18, 16, model);
        putText(info, 34, 24, serialNumber);
        putText(info, 58, 16, hardwareVersion);
        putText(info, 74, 16, bootloaderVersion);
        putText(info, 90, 16, firmwareVersion);
        putText(info, 106, 16, appVersion);
        putText(info, 122, 16, partnerAppVersion);
        putText(info, 138, 16, miniAppVersion);
        putText(info, 154, 16, fontVersion);
        putText(info, 170, 16, ttsVersion);
        return info;
    }
    default:
        return {};
    }
}
