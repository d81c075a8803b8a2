#include "emulator/printerstate.h"

#include "protocol/hostcmd.h"
#include "protocol/modelpredicates.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

namespace {

// Where the fields sit in the records. Every record starts with its 2-byte command word.
constexpr int WordSize = 2;
constexpr int MacFieldSize = 18;
constexpr int IpSize = 4;

namespace DeviceInfo {
constexpr int Project = 2, Model = 18, SerialNumber = 34, Hardware = 58, Bootloader = 74,
              Firmware = 90, App = 106, PartnerApp = 122, MiniApp = 138, Font = 154, Tts = 170;
} // namespace DeviceInfo

namespace NetworkInfo {
constexpr int EthMac = 2, EthDhcpAddress = 20, EthDhcpNetmask = 24, EthStaticAddress = 28,
              EthStaticNetmask = 32, Ssid = 36, WifiMac = 164, WifiDhcpAddress = 182,
              WifiDhcpNetmask = 186, WifiStaticAddress = 190, WifiStaticNetmask = 194,
              BtMac = 198, BtName = 216;
constexpr int SsidSize = 128, BtNameSize = 32;
} // namespace NetworkInfo

// A static address triple is address, netmask and gateway in a row: once in
// SetLanStaticIp / SetWifiStaticIp, Ethernet then Wi-Fi in GetStaticIp.
namespace StaticIpTriple {
constexpr int InRecord = 2, Ethernet = 2, Wifi = 14;
constexpr int Address = 0, Netmask = 4, Gateway = 8;
} // namespace StaticIpTriple

namespace PrintRecord {
constexpr int Cjk = 3, CodePage = 4, Utf8Mode = 5, Density = 6, QualityInverted = 7,
              PaperType = 8, BlackMarkA = 12, BlackMarkB = 16, PrintPosition = 20,
              CutPosition = 24, FeedLength = 40, BlackMarkLocation = 44, Flags = 45;
} // namespace PrintRecord

namespace AudioRecord {
constexpr int All = 2, Cloud = 3, Warning = 4, Notice = 5, PaperNotTaken = 6;
} // namespace AudioRecord

namespace SerialRecord {
constexpr int BaudRate = 2, DataBits = 6, StopBits = 10, Parity = 14;
} // namespace SerialRecord

constexpr int FineModeAt = 2;

namespace WnetInfo {
constexpr int Version = 2, Imei = 66, Iccid = 82, Imsi = 106, Mcc = 122, Mnc = 126,
              Operator = 130, Position = 194, Rssi = 258, Status = 260, UseApn = 262,
              Apn = 264, DialNumber = 328;
constexpr qint16 NoRssi = 255;
} // namespace WnetInfo

// SetWnetApn; the same fields sit in GetWnetInfo from WnetInfo::UseApn on.
namespace ApnRecord {
constexpr int UseApn = 2, Apn = 4, DialNumber = 68;
constexpr int ApnSize = 64, DialNumberSize = 16;
} // namespace ApnRecord

namespace WifiRecord {
constexpr int Ssid = 2, Password = 130;
constexpr int FieldSize = 128;
} // namespace WifiRecord

namespace NvList {
constexpr int Identity = 2, MemorySize = 6, Count = 12, Entries = 14;
constexpr int EntrySize = 6;
} // namespace NvList

void putU8(QByteArray &out, int offset, quint8 value)
{
    out[offset] = char(value);
}

void putU16(QByteArray &out, int offset, quint16 value)
{
    out[offset] = char(value & 0xFF);
    out[offset + 1] = char(value >> 8);
}

void putU32(QByteArray &out, int offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out[offset + i] = char(value >> (8 * i) & 0xFF);
}

void putIp(QByteArray &out, int offset, quint32 address)
{
    for (int i = 0; i < IpSize; ++i)
        out[offset + i] = char(address >> (24 - 8 * i) & 0xFF);
}

// A NUL-terminated byte field, cut to size - 1 bytes.
void putBytes(QByteArray &out, int offset, int size, const QByteArray &bytes)
{
    const QByteArray cut = bytes.left(size - 1);
    std::memset(out.data() + offset, 0, size_t(size));
    std::memcpy(out.data() + offset, cut.constData(), size_t(cut.size()));
}

quint8 getU8(const QByteArray &in, int offset)
{
    return quint8(in.at(offset));
}

quint32 getU32(const QByteArray &in, int offset)
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value |= quint32(quint8(in.at(offset + i))) << (8 * i);
    return value;
}

quint32 getIp(const QByteArray &in, int offset)
{
    quint32 address = 0;
    for (int i = 0; i < IpSize; ++i)
        address = address << 8 | quint8(in.at(offset + i));
    return address;
}

// The bytes of a NUL-terminated field, at most size - 1 of them.
QByteArray getBytes(const QByteArray &in, int offset, int size)
{
    const QByteArray field = in.mid(offset, size - 1);
    const int nul = field.indexOf('\0');
    return nul < 0 ? field : field.left(nul);
}

void putStaticIp(QByteArray &out, int offset, const PrinterState::StaticIp &ip)
{
    using namespace StaticIpTriple;
    putIp(out, offset + Address, ip.address);
    putIp(out, offset + Netmask, ip.netmask);
    putIp(out, offset + Gateway, ip.gateway);
}

PrinterState::StaticIp getStaticIp(const QByteArray &request)
{
    using namespace StaticIpTriple;
    return {getIp(request, InRecord + Address), getIp(request, InRecord + Netmask),
            getIp(request, InRecord + Gateway)};
}

} // namespace

const PrinterState::Command *PrinterState::command(quint16 word)
{
    // One row per command word. Playing a new command is one builder and its row.
    using P = PrinterState;
    static const Command commands[] = {
        {GetDeviceInfo, "GetDeviceInfo", DeviceInfoSize, &P::deviceInfo, nullptr},
        {GetNetworkInfo, "GetNetworkInfo", NetworkInfoSize, &P::networkInfo, nullptr},
        {GetPrintSettings, "GetPrintSettings", PrintSettingsSize, &P::printSettingsInfo, nullptr},
        {GetWnetInfo, "GetWnetInfo", WnetInfoSize, &P::wnetInfo, nullptr},
        {GetSerialSettings, "GetSerialSettings", SerialSettingsSize, &P::serialInfo, nullptr},
        {GetAudioSettings, "GetAudioSettings", AudioSettingsSize, &P::audioInfo, nullptr},
        {GetStaticIp, "GetStaticIp", StaticIpSize, &P::staticIpInfo, nullptr},
        {GetFinePrintMode, "GetFinePrintMode", FinePrintModeSize, &P::finePrintInfo, nullptr},
        {GetNvImageList, "GetNvImageList", NvImageListSize, &P::nvImageList, nullptr},
        {SetLanStaticIp, "SetLanStaticIp", StaticIpRecordSize, nullptr, &P::setLanStaticIp},
        {SetWifiStaticIp, "SetWifiStaticIp", StaticIpRecordSize, nullptr, &P::setWifiStaticIp},
        {SetAudioSettings, "SetAudioSettings", AudioSettingsSize, nullptr, &P::setAudio},
        {SetWifiNetwork, "SetWifiNetwork", WifiNetworkRecordSize, nullptr, &P::setWifiNetwork},
        {ClearWifiNetwork, "ClearWifiNetwork", WifiNetworkRecordSize, nullptr, &P::clearWifiNetwork},
        {SetPrintSettings, "SetPrintSettings", PrintSettingsSize, nullptr, &P::setPrintSettings},
        {SetFinePrintMode, "SetFinePrintMode", FinePrintModeSize, nullptr, &P::setFinePrintMode},
        {SetWnetApn, "SetWnetApn", WnetApnRecordSize, nullptr, &P::setWnetApn},
        {RestartWnetModule, "RestartWnetModule", WordSize, nullptr, &P::restartWnetModule},
        {SetSerialSettings, "SetSerialSettings", SerialSettingsSize, nullptr, &P::setSerial},
        {GetFontScripts, "GetFontScripts", WordSize, nullptr, nullptr},
        {BeginFontScripts, "BeginFontScripts", WordSize, nullptr, nullptr},
        {SetFontScript, "SetFontScript", WordSize, nullptr, nullptr},
        {EndFontScripts, "EndFontScripts", WordSize, nullptr, nullptr},
        {ResetFontScripts, "ResetFontScripts", WordSize, nullptr, nullptr},
        {ListFiles, "ListFiles", WordSize, nullptr, nullptr},
        {BeginFileUpload, "BeginFileUpload", WordSize, nullptr, nullptr},
        {CommitFileUpload, "CommitFileUpload", WordSize, nullptr, nullptr},
        {DeleteFile, "DeleteFile", WordSize, nullptr, nullptr},
        {ClearWebPassword, "ClearWebPassword", WordSize, nullptr, &P::clearWebPassword},
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

int PrinterState::requestSize(quint16 word)
{
    const Command *c = command(word);
    return c && c->apply ? c->size : WordSize;
}

int PrinterState::commandWord(const QByteArray &request)
{
    if (request.size() < WordSize)
        return -1;
    return quint8(request.at(0)) | quint8(request.at(1)) << 8;
}

void PrinterState::putText(QByteArray &out, int offset, int size, const QString &text)
{
    putBytes(out, offset, size, text.toLatin1());
}

bool PrinterState::hasEthernet() const
{
    return ModelPredicates::hasEthernet(project);
}

bool PrinterState::hasWifi() const
{
    return ModelPredicates::hasWifi(project, model);
}

bool PrinterState::has4G() const
{
    return ModelPredicates::has4G(project, model);
}

quint16 PrinterState::wnetStatus() const
{
    if (!has4G())
        return WnetDisabled;
    if (!wnetRestartedAt)
        return WnetConnected;
    // Compared multiplied rather than divided, so no duration rounds a phase away.
    const qint64 elapsed = clock() - *wnetRestartedAt;
    const qint64 r = wnet.restartMs;
    if (elapsed * 6 < r)
        return WnetDisabling;
    if (elapsed * 3 < r)
        return WnetEnabling;
    if (elapsed < r)
        return WnetConnecting;
    return WnetConnected;
}

qint64 PrinterState::monotonicMs()
{
    return QDeadlineTimer::current().deadline();
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
    if (c->query) {
        QByteArray out(c->size, '\0');
        // Every answer starts with the word of its request.
        out[0] = request.at(0);
        out[1] = request.at(1);
        (this->*c->query)(out);
        return {Outcome::Answered, out};
    }
    if (c->apply) {
        if (request.size() < c->size)
            return {Outcome::TooShort, {}};
        (this->*c->apply)(request);
        return {Outcome::Applied, {}};
    }
    return {Outcome::NotImplemented, {}};
}

void PrinterState::deviceInfo(QByteArray &out)
{
    using namespace DeviceInfo;
    // The tool does not read the project field; the firmware puts the project code there.
    putText(out, Project, TextFieldSize, project);
    putText(out, Model, TextFieldSize, model);
    putText(out, SerialNumber, SerialFieldSize, serialNumber);
    putText(out, Hardware, TextFieldSize, hardwareVersion);
    putText(out, Bootloader, TextFieldSize, bootloaderVersion);
    putText(out, Firmware, TextFieldSize, firmwareVersion);
    putText(out, App, TextFieldSize, appVersion);
    putText(out, PartnerApp, TextFieldSize, partnerAppVersion);
    putText(out, MiniApp, TextFieldSize, miniAppVersion);
    putText(out, Font, TextFieldSize, fontVersion);
    putText(out, Tts, TextFieldSize, ttsVersion);
}

void PrinterState::networkInfo(QByteArray &out)
{
    using namespace NetworkInfo;
    // Absent interfaces keep the zero bytes the answer starts with.
    if (hasEthernet()) {
        putText(out, EthMac, MacFieldSize, ethernetMac);
        putIp(out, EthDhcpAddress, ethernetDhcp.address);
        putIp(out, EthDhcpNetmask, ethernetDhcp.netmask);
        putIp(out, EthStaticAddress, ethernetStatic.address);
        putIp(out, EthStaticNetmask, ethernetStatic.netmask);
    }
    if (hasWifi()) {
        putBytes(out, Ssid, SsidSize, wifiSsid);
        putText(out, WifiMac, MacFieldSize, wifiMac);
        putIp(out, WifiDhcpAddress, wifiDhcp.address);
        putIp(out, WifiDhcpNetmask, wifiDhcp.netmask);
        putIp(out, WifiStaticAddress, wifiStatic.address);
        putIp(out, WifiStaticNetmask, wifiStatic.netmask);
        // Bluetooth comes with the Wi-Fi chip.
        putText(out, BtMac, MacFieldSize, bluetoothMac);
        putText(out, BtName, BtNameSize, bluetoothName);
    }
}

void PrinterState::printSettingsInfo(QByteArray &out)
{
    using namespace PrintRecord;
    const PrintSettings &p = printSettings;
    putU8(out, Cjk, p.cjk);
    putU8(out, CodePage, p.codePage);
    putU8(out, Utf8Mode, p.utf8Mode);
    putU8(out, Density, p.density);
    putU8(out, QualityInverted, quint8(255 - p.quality));
    putU32(out, PaperType, p.paperType);
    putU32(out, BlackMarkA, p.blackMarkA);
    putU32(out, BlackMarkB, p.blackMarkB);
    putU32(out, PrintPosition, quint32(p.printPosition));
    putU32(out, CutPosition, quint32(p.cutPosition));
    putU32(out, FeedLength, p.feedLength);
    putU8(out, BlackMarkLocation, p.blackMarkLocation);
    putU8(out, Flags, p.flags);
}

void PrinterState::wnetInfo(QByteArray &out)
{
    using namespace WnetInfo;
    const quint16 status = wnetStatus();
    putU16(out, Status, status);
    if (!has4G()) {
        putU16(out, Rssi, quint16(NoRssi));
        return;
    }
    putText(out, Version, Wnet::VersionSize, wnet.moduleVersion);
    putText(out, Imei, Wnet::ImeiSize, wnet.imei);
    putText(out, Iccid, Wnet::IccidSize, wnet.iccid);
    putText(out, Imsi, Wnet::ImsiSize, wnet.imsi);
    putText(out, Mcc, Wnet::CodeSize, wnet.mcc);
    putText(out, Mnc, Wnet::CodeSize, wnet.mnc);
    putText(out, Operator, Wnet::OperatorSize, wnet.operatorName);
    putText(out, Position, Wnet::PositionSize, wnet.position);
    // No signal figure until the module is registered again.
    putU16(out, Rssi, quint16(status == WnetConnected ? wnet.rssi : NoRssi));
    putU16(out, UseApn, wnet.useApn ? 1 : 0);
    putText(out, Apn, ApnRecord::ApnSize, wnet.apn);
    putText(out, DialNumber, ApnRecord::DialNumberSize, wnet.dialNumber);
}

void PrinterState::serialInfo(QByteArray &out)
{
    using namespace SerialRecord;
    putU32(out, BaudRate, quint32(serial.baudRate));
    putU32(out, DataBits, quint32(serial.dataBits));
    putU32(out, StopBits, quint32(serial.stopBits));
    putU32(out, Parity, quint32(serial.parity));
}

void PrinterState::audioInfo(QByteArray &out)
{
    using namespace AudioRecord;
    putU8(out, All, audio.all);
    putU8(out, Cloud, audio.cloud);
    putU8(out, Warning, audio.warning);
    putU8(out, Notice, audio.notice);
    putU8(out, PaperNotTaken, audio.paperNotTaken);
}

void PrinterState::staticIpInfo(QByteArray &out)
{
    if (hasEthernet())
        putStaticIp(out, StaticIpTriple::Ethernet, ethernetStatic);
    if (hasWifi())
        putStaticIp(out, StaticIpTriple::Wifi, wifiStatic);
}

void PrinterState::finePrintInfo(QByteArray &out)
{
    putU8(out, FineModeAt, finePrintMode);
}

void PrinterState::nvImageList(QByteArray &out)
{
    using namespace NvList;
    putU32(out, Identity, ++nvListIdentity);
    putU32(out, MemorySize, nvMemorySize);
    const int count = std::min(int(nvImages.size()), MaxNvImages);
    putU16(out, Count, quint16(count));
    for (int i = 0; i < count; ++i) {
        const int at = Entries + i * EntrySize;
        putU8(out, at, quint8(nvImages.at(i).first));
        putU8(out, at + 1, quint8(nvImages.at(i).second));
        putU32(out, at + 2, nvImages.at(i).size);
    }
}

void PrinterState::setLanStaticIp(const QByteArray &request)
{
    ethernetStatic = getStaticIp(request);
}

void PrinterState::setWifiStaticIp(const QByteArray &request)
{
    wifiStatic = getStaticIp(request);
}

void PrinterState::setAudio(const QByteArray &request)
{
    using namespace AudioRecord;
    audio.all = getU8(request, All);
    audio.cloud = getU8(request, Cloud);
    audio.warning = getU8(request, Warning);
    audio.notice = getU8(request, Notice);
    audio.paperNotTaken = getU8(request, PaperNotTaken);
}

void PrinterState::setWifiNetwork(const QByteArray &request)
{
    // Kept as bytes: an SSID the tool cut inside a UTF-8 sequence reads back unchanged.
    wifiSsid = getBytes(request, WifiRecord::Ssid, WifiRecord::FieldSize);
    wifiPassword = getBytes(request, WifiRecord::Password, WifiRecord::FieldSize);
}

void PrinterState::clearWifiNetwork(const QByteArray &)
{
    wifiSsid.clear();
    wifiPassword.clear();
}

void PrinterState::setPrintSettings(const QByteArray &request)
{
    using namespace PrintRecord;
    PrintSettings &p = printSettings;
    p.cjk = getU8(request, Cjk);
    p.codePage = getU8(request, CodePage);
    p.utf8Mode = getU8(request, Utf8Mode);
    p.density = getU8(request, Density);
    p.quality = quint8(255 - getU8(request, QualityInverted));
    p.paperType = getU32(request, PaperType);
    p.blackMarkA = getU32(request, BlackMarkA);
    p.blackMarkB = getU32(request, BlackMarkB);
    p.printPosition = qint32(getU32(request, PrintPosition));
    p.cutPosition = qint32(getU32(request, CutPosition));
    p.feedLength = getU32(request, FeedLength);
    p.blackMarkLocation = getU8(request, BlackMarkLocation);
    p.flags = getU8(request, Flags);
}

void PrinterState::setFinePrintMode(const QByteArray &request)
{
    finePrintMode = getU8(request, FineModeAt);
}

void PrinterState::setWnetApn(const QByteArray &request)
{
    using namespace ApnRecord;
    wnet.useApn = getU8(request, UseApn) != 0;
    wnet.apn = QString::fromLatin1(getBytes(request, Apn, ApnSize));
    wnet.dialNumber = QString::fromLatin1(getBytes(request, DialNumber, DialNumberSize));
}

void PrinterState::restartWnetModule(const QByteArray &)
{
    // Without a module there is nothing to restart.
    if (has4G())
        wnetRestartedAt = clock();
}

void PrinterState::setSerial(const QByteArray &request)
{
    using namespace SerialRecord;
    serial.baudRate = qint32(getU32(request, BaudRate));
    serial.dataBits = qint32(getU32(request, DataBits));
    serial.stopBits = qint32(getU32(request, StopBits));
    serial.parity = qint32(getU32(request, Parity));
}

void PrinterState::clearWebPassword(const QByteArray &)
{
    // The emulator plays no web page; counting the clears lets a test see one arrived.
    ++webPasswordClears;
}
