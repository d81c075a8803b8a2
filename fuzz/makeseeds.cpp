// Writes the fuzzers' seed corpora: real packets, answers and records made with the
// program's and the emulator's own encoders. Run from the build tree:
//   cmake --build build --target zomra-fuzz-seeds && build/fuzz/zomra-fuzz-seeds fuzz/corpus
#include "fuzz/fuzzstream.h"

#include "emulator/printerstate.h"
#include "nvimage/nvimagecommands.h"
#include "protocol/filerecord.h"
#include "protocol/hostcmd.h"
#include "protocol/staticiprecord.h"
#include "protocol/wifinetworkrecord.h"
#include "tests/testbytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdio>

namespace {

QString s_root;

bool write(const char *target, const char *name, const QByteArray &bytes)
{
    const QString dir = s_root + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(dir);
    QFile file(dir + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    return true;
}

// The emulator's first answer to a request.
QByteArray answerTo(PrinterState &state, const QByteArray &request)
{
    return state.answer(request).payloads.value(0);
}

QByteArray sealed(const QByteArray &payload)
{
    return FuzzStream::segment(FuzzStream::Sealed, payload);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    s_root = QString::fromLocal8Bit(argv[1]);
    PrinterState state;
    state.clock = [] { return qint64(1000000); };
    bool ok = true;

    // The nine answers, as the dispatcher gets them.
    const char *answerNames[] = {"device-info", "network-info", "print-settings", "wnet-info", "serial",
                                 "audio", "static-ip", "fine-print-mode", "nvimage-list"};
    for (quint16 w = GetDeviceInfo; w <= GetNvImageList; ++w)
        ok &= write("handle_response", answerNames[w - 1], answerTo(state, word(w)));

    // The engine: answers back to back after a keep-alive in one chunk, answers split with a
    // chunk's tail starting the next packet, a second handshake, and bytes that are no packet.
    using FS = FuzzStream;
    const QByteArray info = answerTo(state, word(GetDeviceInfo));
    const QByteArray audio = word(GetAudioSettings) + QByteArray(5, '\1');
    ok &= write("hostcmd_receive", "answers-one-chunk",
                FS::input(FS::segment(FS::KeepAlive) + sealed(audio) + sealed(info)));
    ok &= write("hostcmd_receive", "answers-split",
                FS::input(sealed(answerTo(state, word(GetNetworkInfo))) + sealed(QByteArray(50, 'b')), {20, 100, 150}));
    ok &= write("hostcmd_receive", "new-handshake-then-answer",
                FS::input(FS::segment(FS::Handshake, deviceRecord("RX100", "RX160", "ZR1000042")) + sealed(info),
                          {68}));
    const QByteArray garbage = QByteArray("\x10\x01\x11\x20garbage", 11) + QByteArray(30, 'x');
    ok &= write("hostcmd_receive", "garbage", FS::input(FS::segment(FS::Raw, garbage)));

    // Discovery: the emulator's record, a short one, one with texts filling their fields.
    ok &= write("discovery_answer", "record", state.deviceRecord().toBytes());
    ok &= write("discovery_answer", "short", state.deviceRecord().toBytes().left(20));
    ok &= write("discovery_answer", "full-fields",
                QByteArray(16, 'P') + QByteArray(16, 'M') + QByteArray(24, 'S') + "extra");

    // The NV image list: the samples, and a count past what is held.
    const QByteArray list = answerTo(state, word(GetNvImageList));
    ok &= write("nvimage_list", "samples", list);
    QByteArray overCount = list;
    overCount[12] = char(0xff);
    overCount[13] = char(0x7f);
    ok &= write("nvimage_list", "count-past-entries", overCount);

    // Font records: a factory script, a listing entry, an upload answer.
    ok &= write("font_records", "script", PrinterState::defaultFontScripts().value(0).toBytes(GetFontScripts));
    const QVector<QByteArray> listing = state.answer(FileRecord::pathRecord(ListFiles, "/data/PUB/fonts/")).payloads;
    ok &= write("font_records", "listing-entry", listing.value(1));
    ok &= write("font_records", "upload-answer",
                answerTo(state, FileRecord{0, "/data/PUB/fonts/New.ttf", 1234, {}}.toBytes(BeginFileUpload)));

    // Configuration files.
    ok &= write("conf_file", "saved", "[Conf]\nFileVersion=1\nLanguage=1\nFontSettingsEnabled=1\n"
                                      "DualColorSettingsEnabled=0\nVID_PID_List=3273:0002;3273:00d2\n");
    ok &= write("conf_file", "old-and-odd", "[Conf]\nLanguage=x\nVID_PID_List=\"3273:0002,abcd:12\"\n[Other]\nKey=1\n");
    ok &= write("conf_file", "empty", "");

    // The emulator: settings records from the tool's encoders and each query, an upload with
    // its data and commit, a print stream on the command link, a second hello.
    StaticIpRecord ip;
    ip.address = QStringLiteral("192.168.1.20");
    ip.netmask = QStringLiteral("255.255.255.0");
    ip.gateway = QStringLiteral("192.168.1.1");
    QByteArray queries = sealed(ip.toBytes(SetLanStaticIp));
    queries += sealed(WifiNetworkRecord{QStringLiteral("shop"), QStringLiteral("secret")}.toBytes());
    for (quint16 w = GetDeviceInfo; w <= GetNvImageList; ++w)
        queries += sealed(word(w));
    ok &= write("emulator_feed", "settings-and-queries", FS::input(queries, {40, 0}));
    const QByteArray file("font bytes\n");
    FileRecord upload{0, "/data/PUB/fonts/A.ttf", quint32(file.size()), {}};
    QByteArray uploadSegments = sealed(upload.toBytes(BeginFileUpload)) + FS::segment(FS::Raw, file);
    upload.digest = FileRecord::md5(file);
    uploadSegments += sealed(upload.toBytes(CommitFileUpload));
    uploadSegments += sealed(FileRecord::pathRecord(ListFiles, "/data/PUB/fonts/"));
    ok &= write("emulator_feed", "upload", FS::input(uploadSegments));
    QImage dots(16, 8, QImage::Format_Mono);
    dots.fill(0);
    // The stream arrives cut inside its first command, then the keep-alive on its own.
    const QByteArray print = NvImageCommands::define(dots, 'A', '1') + NvImageCommands::printStored('A', '1');
    ok &= write("emulator_feed", "print-stream",
                FS::input(FS::segment(FS::Raw, print) + FS::segment(FS::KeepAlive) + sealed(word(GetNvImageList)),
                          {7, uint8_t(print.size() - 7), 4}));
    const QByteArray hello = FS::segment(FS::Handshake, QByteArray("\x07\x00\x00\x00", 4));
    ok &= write("emulator_feed", "second-hello", FS::input(hello + sealed(word(GetFontScripts)), {20}));
    return ok ? 0 : 1;
}
