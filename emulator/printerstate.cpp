#include "emulator/printerstate.h"

#include "emulator/fileupload.h"
#include "protocol/hostcmdword.h"
#include "protocol/modelpredicates.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

namespace {

// Where the fields sit in the records, every one after its 2-byte command word. The emulator
// reads and writes the command records here, on its own, rather than through the tool's
// record classes and ByteFields: a shared misreading would pass unseen, while two readings
// made apart make the emulator a check on the tool. This is the one place of that layout
// code; only the packet codec, the device record and the font script record, which the
// protocol defines as shared types, and the model predicates come from the core.
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

namespace FileRecordField {
constexpr int Status = 2, Path = 4, Size = 132, Digest = 136;
constexpr int PathSize = 128, DigestSize = 16;
} // namespace FileRecordField

namespace ListEntry {
constexpr int Name = 2, Size = 130;
constexpr int NameSize = 128;
} // namespace ListEntry

// The path of ListFiles and DeleteFile.
constexpr int PathRecordPath = 2;

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

quint16 getU16(const QByteArray &in, int offset)
{
    return quint16(getU8(in, offset) | getU8(in, offset + 1) << 8);
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
        {GetDeviceInfo, "GetDeviceInfo", DeviceInfoSize, &P::deviceInfo, nullptr, nullptr},
        {GetNetworkInfo, "GetNetworkInfo", NetworkInfoSize, &P::networkInfo, nullptr, nullptr},
        {GetPrintSettings, "GetPrintSettings", PrintSettingsSize, &P::printSettingsInfo, nullptr, nullptr},
        {GetWnetInfo, "GetWnetInfo", WnetInfoSize, &P::wnetInfo, nullptr, nullptr},
        {GetSerialSettings, "GetSerialSettings", SerialSettingsSize, &P::serialInfo, nullptr, nullptr},
        {GetAudioSettings, "GetAudioSettings", AudioSettingsSize, &P::audioInfo, nullptr, nullptr},
        {GetStaticIp, "GetStaticIp", StaticIpSize, &P::staticIpInfo, nullptr, nullptr},
        {GetFinePrintMode, "GetFinePrintMode", FinePrintModeSize, &P::finePrintInfo, nullptr, nullptr},
        {GetNvImageList, "GetNvImageList", NvImageListSize, &P::nvImageList, nullptr, nullptr},
        {SetLanStaticIp, "SetLanStaticIp", StaticIpRecordSize, nullptr, &P::setLanStaticIp, nullptr},
        {SetWifiStaticIp, "SetWifiStaticIp", StaticIpRecordSize, nullptr, &P::setWifiStaticIp, nullptr},
        {SetAudioSettings, "SetAudioSettings", AudioSettingsSize, nullptr, &P::setAudio, nullptr},
        {SetWifiNetwork, "SetWifiNetwork", WifiNetworkRecordSize, nullptr, &P::setWifiNetwork, nullptr},
        {ClearWifiNetwork, "ClearWifiNetwork", WifiNetworkRecordSize, nullptr, &P::clearWifiNetwork, nullptr},
        {SetPrintSettings, "SetPrintSettings", PrintSettingsSize, nullptr, &P::setPrintSettings, nullptr},
        {SetFinePrintMode, "SetFinePrintMode", FinePrintModeSize, nullptr, &P::setFinePrintMode, nullptr},
        {SetWnetApn, "SetWnetApn", WnetApnRecordSize, nullptr, &P::setWnetApn, nullptr},
        {RestartWnetModule, "RestartWnetModule", WordSize, nullptr, &P::restartWnetModule, nullptr},
        {SetSerialSettings, "SetSerialSettings", SerialSettingsSize, nullptr, &P::setSerial, nullptr},
        {GetFontScripts, "GetFontScripts", WordSize, nullptr, nullptr, &P::getFontScripts},
        {BeginFontScripts, "BeginFontScripts", WordSize, nullptr, nullptr, &P::beginFontScripts},
        {SetFontScript, "SetFontScript", FontScriptRecord::Size, nullptr, nullptr, &P::setFontScript},
        {EndFontScripts, "EndFontScripts", WordSize, nullptr, nullptr, &P::endFontScripts},
        {ResetFontScripts, "ResetFontScripts", WordSize, nullptr, nullptr, &P::resetFontScripts},
        {ListFiles, "ListFiles", PathRecordSize, nullptr, nullptr, &P::listFiles},
        {BeginFileUpload, "BeginFileUpload", FileRecordSize, nullptr, nullptr, &P::beginFileUpload},
        {CommitFileUpload, "CommitFileUpload", FileRecordSize, nullptr, nullptr, &P::commitFileUpload},
        {DeleteFile, "DeleteFile", PathRecordSize, nullptr, nullptr, &P::deleteFile},
        {ClearWebPassword, "ClearWebPassword", WordSize, nullptr, &P::clearWebPassword, nullptr},
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
    return c && (c->apply || c->handle) ? c->size : WordSize;
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

PrinterState::Answer PrinterState::answer(const QByteArray &request, const FileUpload *upload)
{
    const int word = commandWord(request);
    if (word < 0)
        return {Outcome::NoWord, {}, false, {}};
    const Command *c = command(quint16(word));
    if (!c)
        return {Outcome::Unknown, {}, false, {}};
    if (c->query) {
        QByteArray out(c->size, '\0');
        // Every answer starts with the word of its request.
        out[0] = request.at(0);
        out[1] = request.at(1);
        (this->*c->query)(out);
        return {Outcome::Answered, {out}, false, {}};
    }
    if (!c->apply && !c->handle)
        return {Outcome::NotImplemented, {}, false, {}};
    if (request.size() < c->size)
        return {Outcome::TooShort, {}, false, {}};
    if (c->handle)
        return (this->*c->handle)(request, upload);
    if (ignoreSets)
        return {Outcome::Ignored, {}, false, {QStringLiteral("old values kept (--ignore-sets)")}};
    (this->*c->apply)(request);
    return {Outcome::Applied, {}, false, {}};
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
    const QVector<NvMemory::Image> &images = nvMemory.images();
    const int count = std::min(int(images.size()), MaxNvImages);
    putU16(out, Count, quint16(count));
    for (int i = 0; i < count; ++i) {
        const int at = Entries + i * EntrySize;
        putU8(out, at, quint8(images.at(i).kc1));
        putU8(out, at + 1, quint8(images.at(i).kc2));
        putU32(out, at + 2, images.at(i).size());
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

QVector<FontScriptRecord> PrinterState::defaultFontScripts()
{
    // ct, px and ad are the firmware's own bytes; the tool shows and returns them.
    struct Row
    {
        const char *script, *language, *font;
        qint32 face;
        quint16 threshold, width, height, advance;
        quint8 ct, px, ad;
        QVector<FontScriptRecord::Range> ranges;
    };
    const Row rows[] = {
        {"LATIN", "en", "sans-latin.ttf", 0, 128, 12, 24, 12, 0, 24, 12,
         {{0x0020, 0x007E}, {0x00A0, 0x024F}, {0x1E00, 0x1EFF}, {0x2000, 0x206F}, {0x20A0, 0x20CF}}},
        // The collection's simplified Chinese face.
        {"HAN", "zh", "sans-han.ttc", 2, 128, 24, 24, 24, 1, 24, 24,
         {{0x2E80, 0x2FDF}, {0x3000, 0x303F}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xF900, 0xFAFF},
          {0xFF00, 0xFFEF}}},
        // Advance 0: as the font says, for scripts whose glyphs combine.
        {"KHMER", "km", "sans-khmer.ttf", 0, 112, 24, 32, 0, 2, 32, 0, {{0x1780, 0x17FF}, {0x19E0, 0x19FF}}},
        {"ARABIC", "ar", "naskh-arabic.ttf", 0, 120, 24, 24, 0, 3, 24, 0,
         {{0x0600, 0x06FF}, {0x0750, 0x077F}, {0x08A0, 0x08FF}, {0xFB50, 0xFDFF}, {0xFE70, 0xFEFF}}},
        {"THAI", "th", "sans-thai.ttf", 0, 112, 24, 32, 0, 4, 32, 0, {{0x0E00, 0x0E7F}}},
    };
    QVector<FontScriptRecord> table;
    for (const Row &row : rows) {
        FontScriptRecord r;
        r.enabled = true;
        r.ct = row.ct;
        r.px = row.px;
        r.ad = row.ad;
        r.script = row.script;
        r.language = row.language;
        r.font = row.font;
        r.faceIndex = row.face;
        r.threshold = row.threshold;
        r.pixelWidth = row.width;
        r.pixelHeight = row.height;
        r.advance = row.advance;
        r.ranges = row.ranges;
        table.append(r);
    }
    return table;
}

PrinterState::Answer PrinterState::getFontScripts(const QByteArray &, const FileUpload *)
{
    Answer a{Outcome::Answered, {}, true, {}};
    for (const FontScriptRecord &r : qAsConst(fontScripts))
        a.payloads.append(r.toBytes(GetFontScripts));
    return a;
}

PrinterState::Answer PrinterState::beginFontScripts(const QByteArray &, const FileUpload *)
{
    Answer a{Outcome::Applied, {}, false, {}};
    a.notes << (newFontScripts ? QStringLiteral("font scripts: new table started, the unfinished one dropped")
                               : QStringLiteral("font scripts: new table started"));
    newFontScripts.emplace();
    return a;
}

PrinterState::Answer PrinterState::setFontScript(const QByteArray &request, const FileUpload *)
{
    if (!newFontScripts)
        return {Outcome::Ignored, {}, false, {QStringLiteral("font script ignored: no table started")}};
    if (newFontScripts->size() >= MaxFontScripts)
        return {Outcome::Ignored, {}, false,
                {QStringLiteral("font script ignored: the table holds %1 already").arg(MaxFontScripts)}};
    FontScriptRecord r;
    FontScriptRecord::decode(request, &r);
    newFontScripts->append(r);
    return {Outcome::Applied, {}, false,
            {QStringLiteral("font script %1: %2/%3, %4, %5")
                 .arg(newFontScripts->size())
                 .arg(QString::fromLatin1(r.script), QString::fromLatin1(r.language),
                      QString::fromLatin1(r.font), r.enabled ? QStringLiteral("on") : QStringLiteral("off"))}};
}

PrinterState::Answer PrinterState::endFontScripts(const QByteArray &, const FileUpload *)
{
    if (!newFontScripts)
        return {Outcome::Ignored, {}, false, {QStringLiteral("font scripts kept: no table started")}};
    fontScripts = *newFontScripts;
    newFontScripts.reset();
    return {Outcome::Applied, {}, false,
            {QStringLiteral("font scripts replaced: %1 scripts").arg(fontScripts.size())}};
}

PrinterState::Answer PrinterState::resetFontScripts(const QByteArray &, const FileUpload *)
{
    fontScripts = defaultFontScripts();
    newFontScripts.reset();
    return {Outcome::Applied, {}, false,
            {QStringLiteral("font scripts reset to the default: %1 scripts").arg(fontScripts.size())}};
}

PrinterState::Answer PrinterState::listFiles(const QByteArray &request, const FileUpload *)
{
    Answer a{Outcome::Answered, {}, true, {}};
    const QByteArray directory = getBytes(request, PathRecordPath, FileRecordField::PathSize);
    // The folder is the only one the printer lists, with or without its final slash.
    const QByteArray folder(FontFolder::Path);
    if (directory != folder && directory != folder.left(folder.size() - 1)) {
        a.notes << QStringLiteral("no folder %1 to list").arg(QString::fromLatin1(directory));
        return a;
    }
    const QVector<FontFolder::Entry> entries = fontFolder.entries();
    for (const FontFolder::Entry &e : entries) {
        QByteArray out(ListFilesEntrySize, '\0');
        putU16(out, 0, ListFiles);
        putBytes(out, ListEntry::Name, ListEntry::NameSize, e.name);
        putU32(out, ListEntry::Size, e.size);
        a.payloads.append(out);
    }
    return a;
}

PrinterState::Answer PrinterState::beginFileUpload(const QByteArray &request, const FileUpload *)
{
    using namespace FileRecordField;
    const QByteArray path = getBytes(request, Path, PathSize);
    const quint32 size = getU32(request, Size);
    const QString what = QStringLiteral("upload %1").arg(QString::fromLatin1(path));
    QString note;
    quint16 status = UploadReady;
    if (!path.startsWith(FontFolder::Path)) {
        status = UploadBadPath;
        note = QStringLiteral("%1: refused, not in %2").arg(what, QLatin1String(FontFolder::Path));
    } else if (FontFolder::fileNameOf(path).isEmpty()) {
        status = UploadBadPath;
        note = QStringLiteral("%1: refused, no file name").arg(what);
    } else if (refuseUploads) {
        status = UploadRefused;
        note = QStringLiteral("%1: refused, uploads are turned off").arg(what);
    } else {
        note = QStringLiteral("%1: ready for %2 bytes").arg(what).arg(size);
    }
    QByteArray out(FileRecordSize, '\0');
    putU16(out, 0, BeginFileUpload);
    putU16(out, Status, status);
    putBytes(out, Path, PathSize, path);
    putU32(out, Size, size);
    return {Outcome::Answered, {out}, false, {note}};
}

bool PrinterState::readyUpload(const QByteArray &answer, QByteArray *path, quint32 *size)
{
    using namespace FileRecordField;
    if (answer.size() < FileRecordSize || getU16(answer, Status) != UploadReady)
        return false;
    *path = getBytes(answer, Path, PathSize);
    *size = getU32(answer, Size);
    return true;
}

PrinterState::Answer PrinterState::commitFileUpload(const QByteArray &request, const FileUpload *upload)
{
    using namespace FileRecordField;
    const QByteArray path = getBytes(request, Path, PathSize);
    const quint32 size = getU32(request, Size);
    const QByteArray stated = request.mid(Digest, DigestSize);
    if (!upload)
        return {Outcome::Ignored, {}, false,
                {QStringLiteral("commit of %1 ignored: no upload").arg(QString::fromLatin1(path))}};

    const QString what = QStringLiteral("upload %1: %2 bytes")
                             .arg(QString::fromLatin1(upload->path()))
                             .arg(upload->received());
    QString note;
    if (path != upload->path()) {
        note = QStringLiteral("%1, commit names %2, discarded").arg(what, QString::fromLatin1(path));
    } else if (!upload->isComplete() || size != upload->size()) {
        note = QStringLiteral("%1 of %2, commit states %3, discarded").arg(what).arg(upload->size()).arg(size);
    } else if (upload->digest() != stated) {
        note = QStringLiteral("%1, MD5 bad (received %2, stated %3), discarded")
                   .arg(what, QString::fromLatin1(upload->digest().toHex()), QString::fromLatin1(stated.toHex()));
    } else if (!upload->isKept()) {
        note = QStringLiteral("%1, MD5 good, too large to keep (over %2 bytes), discarded")
                   .arg(what)
                   .arg(FileUpload::MaxKept);
    } else {
        const QByteArray name = FontFolder::fileNameOf(path);
        const bool replaces = fontFolder.contains(name);
        QString error;
        if (fontFolder.write(name, upload->data(), &error))
            note = QStringLiteral("%1, MD5 good, installed%2")
                       .arg(what, replaces ? QStringLiteral(", replacing the file of that name") : QString());
        else
            note = QStringLiteral("%1, MD5 good, cannot install: %2").arg(what, error);
    }
    return {Outcome::Applied, {}, false, {note}};
}

PrinterState::Answer PrinterState::deleteFile(const QByteArray &request, const FileUpload *)
{
    const QByteArray path = getBytes(request, PathRecordPath, FileRecordField::PathSize);
    const QString shown = QString::fromLatin1(path);
    const QByteArray name = FontFolder::fileNameOf(path);
    quint32 size = 0;
    if (name.isEmpty())
        return {Outcome::Ignored, {}, false,
                {QStringLiteral("cannot delete %1: not a file of %2").arg(shown, QLatin1String(FontFolder::Path))}};
    if (!fontFolder.contains(name))
        return {Outcome::Ignored, {}, false, {QStringLiteral("no file %1 to delete").arg(shown)}};
    if (!fontFolder.remove(name, &size))
        return {Outcome::Ignored, {}, false, {QStringLiteral("cannot delete %1").arg(shown)}};
    return {Outcome::Applied, {}, false, {QStringLiteral("deleted %1 (%2 bytes)").arg(shown).arg(size)}};
}
