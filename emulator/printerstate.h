#pragma once

#include "emulator/dualcolorsetting.h"
#include "emulator/fontfolder.h"
#include "emulator/nvmemory.h"
#include "protocol/fontscriptrecord.h"
#include "protocol/hostcmddevinfo.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

class FileUpload;

// The emulated printer: its identity, versions and settings, and the answers built from
// them. Shared by every connection, as on a real printer, so a setting one connection
// changes is what the next one reads. Pure: bytes in, bytes out; the time comes from
// clock, which a test replaces.
//
// What the hardware has follows project and model (ModelPredicates). Settings of an
// interface the printer lacks are still kept, but every answer reports that interface as
// absent: empty texts and zero addresses.
//
// A file upload belongs to its connection (EmulatorProtocol), since a dropped connection
// abandons it: the state only says whether it is ready for one, and installs what a
// connection received when the commit checks out.
class PrinterState
{
public:
    // Sizes of the text fields on the wire; a text holds at most size - 1 characters.
    static constexpr int TextFieldSize = 16;
    static constexpr int SerialFieldSize = 24;

    // Answer sizes of the nine queries.
    static constexpr int DeviceInfoSize = 186;
    static constexpr int NetworkInfoSize = 248;
    static constexpr int PrintSettingsSize = 46;
    static constexpr int WnetInfoSize = 344;
    static constexpr int SerialSettingsSize = 18;
    static constexpr int AudioSettingsSize = 7;
    static constexpr int StaticIpSize = 26;
    static constexpr int FinePrintModeSize = 3;
    static constexpr int NvImageListSize = 398;
    // Record sizes of the Set commands that carry more than their word.
    static constexpr int StaticIpRecordSize = 14;
    static constexpr int WifiNetworkRecordSize = 258;
    static constexpr int WnetApnRecordSize = 84;
    static constexpr int MaxNvImages = 64;
    // The font and file commands.
    static constexpr int PathRecordSize = 130;
    static constexpr int FileRecordSize = 152;
    static constexpr int ListFilesEntrySize = 134;
    static constexpr int MaxFontScripts = 64;

    // The status of a BeginFileUpload answer; the tool takes anything but Ready as refused.
    enum UploadStatus : quint16 {
        UploadReady = 0,
        UploadRefused = 1, // the printer takes no uploads (--refuse-uploads)
        UploadBadPath = 2, // not a file of the font folder
    };

    // 4G module status codes, as the tool's status table names them.
    enum WnetStatus : quint16 {
        WnetDisabled = 0, // also what a printer without a module reports
        WnetDisabling = 1,
        WnetEnabling = 2,
        WnetEnabled = 3,
        WnetConnected = 4,
        WnetConnecting = 5,
        WnetReady = 6,
    };

    // IPv4 addresses are held as QHostAddress::toIPv4Address() gives them (192.168.1.1 is
    // 0xC0A80101); on the wire the first octet goes first.
    struct StaticIp
    {
        quint32 address = 0;
        quint32 netmask = 0;
        quint32 gateway = 0;
    };
    struct Dhcp
    {
        quint32 address = 0;
        quint32 netmask = 0;
    };
    // The print settings record's fields; values are kept as the tool sent them, unchecked.
    struct PrintSettings
    {
        quint8 cjk = 0;        // 0 GB18030, 1 BIG5, 11 Shift JIS, 12 JIS 0208, 21 KS C 5601, 128 off
        quint8 codePage = 0;   // PC437
        quint8 utf8Mode = 0;
        quint8 density = 100;  // 70 to 130
        quint8 quality = 60;   // 0 to 100; the wire carries 255 - quality
        quint32 paperType = 48; // 48 receipt, 113 black mark
        quint32 blackMarkA = 0; // 2000 with black mark paper
        quint32 blackMarkB = 0; // 100 with black mark paper
        qint32 printPosition = 0; // mm x 10
        qint32 cutPosition = 0;   // mm x 10
        quint32 feedLength = 160; // dots (8 per mm); 0: no feed on cover close
        quint8 blackMarkLocation = 1; // 1 side, 2 centre
        quint8 flags = 0x02;          // bit 0 stop printing, bit 1 voice alert
    };
    struct Audio
    {
        quint8 all = 1;
        quint8 cloud = 1;
        quint8 warning = 1;
        quint8 notice = 1;
        quint8 paperNotTaken = 0x02; // bit 1 voice, bit 0 beep
    };
    struct Serial
    {
        qint32 baudRate = 115200;
        qint32 dataBits = 8;
        qint32 stopBits = 1;
        qint32 parity = 0; // 0 none, 1 odd, 2 even
    };
    struct Wnet
    {
        // Sizes of its text fields on the wire.
        static constexpr int VersionSize = 64, ImeiSize = 16, IccidSize = 24, ImsiSize = 16,
                             CodeSize = 4, OperatorSize = 64, PositionSize = 64;

        QString moduleVersion = QStringLiteral("LTE-C1 V2.3.07");
        QString imei = QStringLiteral("861234056789012");
        QString iccid = QStringLiteral("89860121801234567895");
        QString imsi = QStringLiteral("460011234567890");
        QString mcc = QStringLiteral("460");
        QString mnc = QStringLiteral("01");
        QString operatorName = QStringLiteral("CHN-UNICOM");
        QString position = QStringLiteral("121.473701,31.230416"); // longitude,latitude
        qint16 rssi = -67;
        bool useApn = false;
        QString apn = QStringLiteral("3gnet");
        QString dialNumber = QStringLiteral("*99#");
        // After RestartWnetModule the module reports Disabling for the first sixth of this,
        // Enabling until a third, Connecting until the end and Connected from then on, with
        // no signal figure before. 0: Connected at once.
        qint64 restartMs = 15000;
    };
    QString project = QStringLiteral("RX210");
    QString model = QStringLiteral("RX220_S");
    QString serialNumber = QStringLiteral("ZR2108A0001234");
    QString hardwareVersion = QStringLiteral("HW-2.1");
    QString bootloaderVersion = QStringLiteral("BL-1.0.4");
    QString firmwareVersion = QStringLiteral("FW-3.2.17");
    QString appVersion = QStringLiteral("APP-2.8.0");
    QString partnerAppVersion = QStringLiteral("PAPP-1.3.2");
    QString miniAppVersion = QStringLiteral("MAPP-0.9.6");
    QString fontVersion = QStringLiteral("FONT-2024.06");
    QString ttsVersion = QStringLiteral("TTS-1.2");

    // MAC texts are lower case, as the firmware writes them.
    QString ethernetMac = QStringLiteral("a4:c1:38:5e:21:07");
    Dhcp ethernetDhcp{0xC0A80139, 0xFFFFFF00};                  // 192.168.1.57/24
    StaticIp ethernetStatic{0xC0A801C8, 0xFFFFFF00, 0xC0A80101}; // 192.168.1.200, gw .1
    QString wifiMac = QStringLiteral("a4:c1:38:5e:21:08");
    Dhcp wifiDhcp{0xC0A81F58, 0xFFFFFF00};                   // 192.168.31.88/24
    StaticIp wifiStatic{0xC0A81FC8, 0xFFFFFF00, 0xC0A81F01}; // 192.168.31.200, gw .1
    QByteArray wifiSsid = QByteArrayLiteral("Zomra-Shop");  // UTF-8, kept as sent
    QByteArray wifiPassword = QByteArrayLiteral("receipt-2024");
    QString bluetoothMac = QStringLiteral("a4:c1:38:5e:21:09");
    QString bluetoothName = QStringLiteral("ZR-1234");

    PrintSettings printSettings;
    quint8 finePrintMode = 0; // 0 off, 2 on
    Audio audio;
    Serial serial;
    Wnet wnet;
    // clock() at the last RestartWnetModule; none: the module has been up all along.
    std::optional<qint64> wnetRestartedAt;
    // Milliseconds on a monotonic clock.
    std::function<qint64()> clock = monotonicMs;

    // The NV graphics memory: its size, which the stored images must fit, and what it holds.
    // Print streams change it (NvMemory::apply with nvMemorySize); GetNvImageList lists it.
    quint32 nvMemorySize = NvMemory::DefaultCapacity;
    NvMemory nvMemory = NvMemory::withSamples();
    // Every listing gets a new identity: the tool appends the entries of an answer that has
    // the identity it already shows, so a repeated one would list the images twice. So a
    // list after a change always has a new one too.
    quint32 nvListIdentity = 0x5A520000;

    int webPasswordClears = 0;

    // The per-script font settings GetFontScripts answers, one record each.
    QVector<FontScriptRecord> fontScripts = defaultFontScripts();
    // The table BeginFontScripts started and SetFontScript fills; EndFontScripts makes it
    // fontScripts. None outside those two.
    std::optional<QVector<FontScriptRecord>> newFontScripts;
    FontFolder fontFolder;
    bool refuseUploads = false;
    // Take settings commands and keep the old values, as a printer whose firmware drops them.
    bool ignoreSets = false;
    // The last dual-color setting a print stream carried; none before the first.
    std::optional<DualColorSetting> dualColor;

    enum class Outcome {
        Answered,       // payloads hold the answers
        Applied,        // a Set command changed the state; the printer sends nothing back
        Ignored,        // known and long enough, but nothing to do now (notes say why)
        TooShort,       // a Set command shorter than its record, ignored
        NotImplemented, // a known command the emulator does not play yet
        Unknown,        // a word the printer does not know
        NoWord,         // shorter than a command word
    };
    struct Answer
    {
        Outcome outcome = Outcome::NoWord;
        // One packet each, in order. A query has one; a listing one per item, maybe none.
        QVector<QByteArray> payloads;
        bool listing = false;
        // What the printer did, one log line each.
        QStringList notes;
    };

    // The handshake answer's record.
    host_cmd_dev_info_t deviceRecord() const;

    // What the printer does with one decrypted request payload. upload is the connection's
    // upload, which only CommitFileUpload looks at.
    Answer answer(const QByteArray &request, const FileUpload *upload = nullptr);

    // The table a printer leaves the factory with; its fonts are in the default folder.
    static QVector<FontScriptRecord> defaultFontScripts();

    // The command word of a request payload, or -1 when it is too short to carry one.
    static int commandWord(const QByteArray &request);
    // The file a BeginFileUpload answer made ready for; false when it refused.
    static bool readyUpload(const QByteArray &answer, QByteArray *path, quint32 *size);
    // The name of a known command word, or nullptr.
    static const char *commandName(quint16 word);
    // The least request size a Set command is applied with (its record), 2 for the others.
    static int requestSize(quint16 word);

    bool hasEthernet() const;
    bool hasWifi() const;
    bool has4G() const;
    quint16 wnetStatus() const;

    static qint64 monotonicMs();

private:
    // A query fills its answer, already sized and starting with the request's word.
    using Query = void (PrinterState::*)(QByteArray &answer);
    // A Set command gets a request at least as long as its record.
    using Apply = void (PrinterState::*)(const QByteArray &request);
    // A command with answers or notes of its own gets a request at least as long as its
    // record.
    using Handle = Answer (PrinterState::*)(const QByteArray &request, const FileUpload *upload);
    struct Command
    {
        quint16 word;
        const char *name;
        int size; // query: answer size; Set and handled: record size
        Query query;
        Apply apply;
        Handle handle; // none of the three: known, not played yet
    };
    static const Command *command(quint16 word);

    void deviceInfo(QByteArray &out);
    void networkInfo(QByteArray &out);
    void printSettingsInfo(QByteArray &out);
    void wnetInfo(QByteArray &out);
    void serialInfo(QByteArray &out);
    void audioInfo(QByteArray &out);
    void staticIpInfo(QByteArray &out);
    void finePrintInfo(QByteArray &out);
    void nvImageList(QByteArray &out);

    void setLanStaticIp(const QByteArray &request);
    void setWifiStaticIp(const QByteArray &request);
    void setAudio(const QByteArray &request);
    void setWifiNetwork(const QByteArray &request);
    void clearWifiNetwork(const QByteArray &request);
    void setPrintSettings(const QByteArray &request);
    void setFinePrintMode(const QByteArray &request);
    void setWnetApn(const QByteArray &request);
    void restartWnetModule(const QByteArray &request);
    void setSerial(const QByteArray &request);
    void clearWebPassword(const QByteArray &request);

    Answer getFontScripts(const QByteArray &request, const FileUpload *upload);
    Answer beginFontScripts(const QByteArray &request, const FileUpload *upload);
    Answer setFontScript(const QByteArray &request, const FileUpload *upload);
    Answer endFontScripts(const QByteArray &request, const FileUpload *upload);
    Answer resetFontScripts(const QByteArray &request, const FileUpload *upload);
    Answer listFiles(const QByteArray &request, const FileUpload *upload);
    Answer beginFileUpload(const QByteArray &request, const FileUpload *upload);
    Answer commitFileUpload(const QByteArray &request, const FileUpload *upload);
    Answer deleteFile(const QByteArray &request, const FileUpload *upload);

    // Writes text as a NUL-terminated single-byte field, cut to size - 1 characters.
    static void putText(QByteArray &out, int offset, int size, const QString &text);
};
