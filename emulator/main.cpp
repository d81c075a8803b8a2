#include "emulator/emulatorsession.h"
#include "emulator/printerfleet.h"
#include "emulator/usbptyprinter.h"
#ifdef ZOMRA_HAVE_FUSE
#include "emulator/usbfuseprinter.h"
#include "emulator/usblpdevice.h"
#endif

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>
#include <limits>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

QCommandLineOption option(const char *name, const char *help, const char *valueName = nullptr,
                          const QString &value = QString())
{
    return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help),
                              QString::fromLatin1(valueName), value);
}

// The printer's texts, with the field each one fills. Most are members of PrinterState,
// the 4G module's are in its Wnet, hence a function rather than a member pointer.
struct Text
{
    QCommandLineOption option;
    std::function<QString &(PrinterState &)> field;
    int size;
};

// Every option, in the order --help lists them.
struct Switches
{
    const QCommandLineOption listen = option("listen", "Address to listen on.", "ADDRESS",
                                             QStringLiteral("127.0.0.1"));
    const QCommandLineOption port = option("port", "Port to listen on; 0 for any free one.", "N",
                                           QString::number(Wire::CommandPort));
    const QCommandLineOption instances = option(
        "instances",
        "Play N printers (1 to 254) on consecutive addresses from --listen on, each with its own "
        "settings, raw print port and serial number (--sn counted up); with more than one, "
        "every line starts with the printer's address, and --spool and --font-dir hold a "
        "folder per address.",
        "N", QStringLiteral("1"));
    const QCommandLineOption keepAlive = option(
        "keepalive-ms", "Keep-alive period after the handshake, 0 for none.", "N",
        QStringLiteral("3000"));
    const QCommandLineOption silent = option(
        "silent", "Accept connections and log requests, never answer, no keep-alive.");
    const QCommandLineOption closeAfter = option(
        "close-after",
        "Close a connection after N decoded requests, the handshake counting as one; the "
        "last is still answered. 0 for never.",
        "N", QStringLiteral("0"));
    const QCommandLineOption wrongKey = option(
        "wrong-key",
        "Seal answers to ordinary requests with a wrong key (the handshake answer stays right).");
    const QCommandLineOption chunk = option(
        "chunk",
        "Write ordinary answers in pieces of at most N bytes, 1 ms apart (a packet's first "
        "piece is at least 20); 0 for whole.",
        "N", QStringLiteral("0"));
    const QCommandLineOption restartMidUpload = option(
        "restart-mid-upload",
        "Once an upload has brought N file bytes, restart as if switched off and on: drop "
        "every connection, forget the upload, listen again after --restart-delay-ms (once).",
        "N", QStringLiteral("0"));
    const QCommandLineOption restartDelay = option(
        "restart-delay-ms", "How long a restart keeps the command port closed.", "N",
        QStringLiteral("1000"));
    const QCommandLineOption flood = option(
        "flood",
        "After the handshake, flood the link with keep-alives and bursts of garbage (random "
        "bytes, malformed headers), still answering every request whole.");

    const QCommandLineOption noRawPort = option(
        "no-raw-port",
        "Do not listen on the raw print port (9100): test pages, NV image commands and other "
        "printouts over the network are refused.");
    const QCommandLineOption noDiscovery = option(
        "no-discovery",
        "Do not answer the connect dialog's discovery requests (UDP 17899); never answered on a "
        "loopback address anyway.");
    const QCommandLineOption spool = option(
        "spool",
        "Save in DIR every job of the raw print port (9100) as job-NNNN.bin, and, on either road "
        "(also USB), each NV image stored as nv-KC.png and each raster printed as print-NNNN.png.",
        "DIR");
    const QCommandLineOption fontDir = option(
        "font-dir",
        "Keep the font folder (/data/PUB/fonts/) in DIR, which must exist: list, install and "
        "delete files there (default: in memory, with the factory fonts).",
        "DIR");
    const QCommandLineOption refuseUploads = option(
        "refuse-uploads", "Refuse every file upload (BeginFileUpload answers refused).");
    const QCommandLineOption ignoreSets = option(
        "ignore-sets", "Take every settings command and keep the old values (a read-back shows nothing changed).");
    const QCommandLineOption usbPty = option(
        "usb-pty",
        "Play a printer on USB instead of the network: serve on a pseudo-terminal and write a "
        "sysfs tree in which it is a printer-class device (point the tool at it with "
        "ZOMRA_SYSFS_ROOT).");
    const QCommandLineOption usbFuse = option(
        "usb-fuse",
        "Play a printer on USB as the kernel's printer-class driver (usblp) shows one: serve on "
        "the node lp0 of a FUSE file system, with the driver's zero-length reads, EIO, ENODEV "
        "and writes that end later, and write a sysfs tree in which it is a printer-class device.");
    const QCommandLineOption fuseMount = option(
        "fuse-mount", "With --usb-fuse: where to mount the node's file system (default: a new temporary folder).",
        "DIR");
    const QCommandLineOption transferMs = option(
        "usb-transfer-ms", "With --usb-fuse: how long a write's transfer takes to end.", "N",
        QStringLiteral("0"));
    const QCommandLineOption stall = option(
        "usb-stall", "With --usb-fuse: transfers never end (paper out) until \"resume\" is written to the control file.");
    const QCommandLineOption eioEvery = option(
        "usb-eio-every", "With --usb-fuse: every Nth read that would bring data fails with EIO first (N >= 2).",
        "N", QStringLiteral("0"));
    const QCommandLineOption zlpEvery = option(
        "usb-zlp-every", "With --usb-fuse: a zero-length packet before every Nth piece the printer sends.",
        "N", QStringLiteral("0"));
    const QCommandLineOption refuseOpen = option(
        "usb-refuse-open", "With --usb-fuse: every open of the node fails with this error, whoever asks.",
        "EACCES|EBUSY");
    const QCommandLineOption sysfsRoot = option(
        "sysfs-root", "With --usb-pty or --usb-fuse: where to write the sysfs tree (default: a new temporary folder).",
        "DIR");
    const QCommandLineOption usbId = option(
        "usb-id", "With --usb-pty or --usb-fuse: the device's vendor and product identifiers.", "VVVV:PPPP",
        QStringLiteral("3273:0002"));

    const QCommandLineOption wnetRestart = option(
        "wnet-restart-seconds",
        "How long a restart of the 4G module takes until it reports Connected again; 0 for at once.",
        "N", QString::number(PrinterState().wnet.restartMs / 1000));
    const QCommandLineOption rssi = option(
        "rssi", "Signal strength the 4G module reports once connected (255 reads as none).", "N",
        QString::number(PrinterState().wnet.rssi));

    std::vector<Text> texts;

    Switches();
    void addTo(QCommandLineParser &parser) const;
};

Switches::Switches()
{
    const PrinterState defaults;
    const auto text = [&](const char *name, const char *help, QString PrinterState::*field,
                          int size = PrinterState::TextFieldSize) {
        return Text{option(name, help, "TEXT", defaults.*field),
                    [field](PrinterState &p) -> QString & { return p.*field; }, size};
    };
    const auto wnetText = [&](const char *name, const char *help,
                              QString PrinterState::Wnet::*field, int size) {
        return Text{option(name, help, "TEXT", defaults.wnet.*field),
                    [field](PrinterState &p) -> QString & { return p.wnet.*field; }, size};
    };
    using W = PrinterState::Wnet;
    texts = {
        text("project", "Project code.", &PrinterState::project),
        text("model", "Model name.", &PrinterState::model),
        text("sn", "Serial number.", &PrinterState::serialNumber, PrinterState::SerialFieldSize),
        text("hw-version", "Hardware version.", &PrinterState::hardwareVersion),
        text("boot-version", "Boot loader version.", &PrinterState::bootloaderVersion),
        text("fw-version", "Firmware version.", &PrinterState::firmwareVersion),
        text("app-version", "Application version.", &PrinterState::appVersion),
        text("partner-app-version", "Partner application version.", &PrinterState::partnerAppVersion),
        text("mini-app-version", "Mini-application version.", &PrinterState::miniAppVersion),
        text("font-version", "Font version.", &PrinterState::fontVersion),
        text("tts-version", "Text-to-speech version.", &PrinterState::ttsVersion),
        wnetText("wnet-version", "4G module version.", &W::moduleVersion, W::VersionSize),
        wnetText("imei", "4G module IMEI.", &W::imei, W::ImeiSize),
        wnetText("iccid", "SIM card ICCID.", &W::iccid, W::IccidSize),
        wnetText("imsi", "SIM card IMSI.", &W::imsi, W::ImsiSize),
        wnetText("mcc", "Mobile country code.", &W::mcc, W::CodeSize),
        wnetText("mnc", "Mobile network code.", &W::mnc, W::CodeSize),
        wnetText("operator", "Network operator name.", &W::operatorName, W::OperatorSize),
        wnetText("position", "4G module position, as longitude,latitude.", &W::position,
                 W::PositionSize),
    };
}

void Switches::addTo(QCommandLineParser &parser) const
{
    parser.addOptions({listen, port, instances, keepAlive, silent, closeAfter, wrongKey, chunk, restartMidUpload,
                       restartDelay, flood, noRawPort, noDiscovery, spool,
                       fontDir, refuseUploads, ignoreSets, usbPty, usbFuse, fuseMount, transferMs, stall, eioEvery,
                       zlpEvery, refuseOpen, sysfsRoot, usbId});
    for (const Text &t : texts)
        parser.addOption(t.option);
    parser.addOptions({rssi, wnetRestart});
}

int usageError(const QString &message)
{
    std::fprintf(stderr, "zomra-printer-emulator: %s\n(see --help)\n", qPrintable(message));
    return 2;
}

int failed(const QString &error)
{
    std::fprintf(stderr, "zomra-printer-emulator: %s\n", qPrintable(error));
    return 1;
}

void print(const QString &line)
{
    // Flushed at once: scripts and tests wait for these lines.
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

// A whole number from 0 to max, or false.
bool number(const QCommandLineParser &parser, const QCommandLineOption &o, int max, int *out)
{
    bool ok = false;
    const int n = parser.value(o).toInt(&ok);
    if (!ok || n < 0 || n > max)
        return false;
    *out = n;
    return true;
}

// The options that shape the printer and its network road; a usage error's text, or empty.
QString readOptions(const QCommandLineParser &parser, const Switches &s, EmulatorOptions *options)
{
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first());
    options->listen = QHostAddress(parser.value(s.listen));
    if (options->listen.isNull())
        return QStringLiteral("--listen: %1 is not an IP address").arg(parser.value(s.listen));
    int portNumber = 0;
    if (!number(parser, s.port, 65535, &portNumber))
        return QStringLiteral("--port: want 0 to 65535");
    options->port = quint16(portNumber);
    if (!number(parser, s.keepAlive, 24 * 3600 * 1000, &options->keepAliveMs))
        return QStringLiteral("--keepalive-ms: want a number of milliseconds, 0 for none");
    if (!number(parser, s.closeAfter, 1000000, &options->closeAfter))
        return QStringLiteral("--close-after: want a number of requests, 0 for never");
    if (!number(parser, s.chunk, PacketCodec::MaxPacket, &options->chunk))
        return QStringLiteral("--chunk: want 0 to %1 bytes").arg(PacketCodec::MaxPacket);
    if (!number(parser, s.restartMidUpload, std::numeric_limits<int>::max(), &options->restartMidUpload))
        return QStringLiteral("--restart-mid-upload: want a number of bytes, 0 for never");
    if (!number(parser, s.restartDelay, 24 * 3600 * 1000, &options->restartDelayMs))
        return QStringLiteral("--restart-delay-ms: want a number of milliseconds");
    int wnetRestartSeconds = 0;
    if (!number(parser, s.wnetRestart, 24 * 3600, &wnetRestartSeconds))
        return QStringLiteral("--wnet-restart-seconds: want 0 to 86400 seconds, 0 for at once");
    options->printer.wnet.restartMs = qint64(wnetRestartSeconds) * 1000;
    bool rssiOk = false;
    options->printer.wnet.rssi = parser.value(s.rssi).toShort(&rssiOk);
    if (!rssiOk)
        return QStringLiteral("--rssi: want -32768 to 32767");
    options->silent = parser.isSet(s.silent);
    options->wrongKey = parser.isSet(s.wrongKey);
    options->flood = parser.isSet(s.flood);
    options->noRawPort = parser.isSet(s.noRawPort);
    options->discovery = !parser.isSet(s.noDiscovery);
    options->printer.refuseUploads = parser.isSet(s.refuseUploads);
    options->printer.ignoreSets = parser.isSet(s.ignoreSets);
    options->spoolDir = parser.value(s.spool);
    if (parser.isSet(s.fontDir)) {
        const QString dir = parser.value(s.fontDir);
        if (!QFileInfo(dir).isDir())
            return QStringLiteral("--font-dir: %1 is not a folder").arg(dir);
        options->printer.fontFolder = FontFolder(dir);
    }
    return QString();
}

// The printer's texts into options->printer; a usage error's text, or empty.
QString readTexts(const QCommandLineParser &parser, const Switches &s, EmulatorOptions *options)
{
    for (const Text &t : s.texts) {
        const QString value = parser.value(t.option);
        bool latin1 = true;
        for (const QChar c : value)
            latin1 = latin1 && c.unicode() < 0x100;
        const QString name = t.option.names().first();
        if (!latin1)
            return QStringLiteral("--%1: single-byte characters only").arg(name);
        if (value.size() > t.size - 1)
            return QStringLiteral("--%1: at most %2 characters").arg(name).arg(t.size - 1);
        t.field(options->printer) = value;
    }
    return QString();
}

// The options of the USB roads that do not go together or alone; a usage error's text, or empty.
QString checkUsbOptions(const QCommandLineParser &parser, const Switches &s)
{
    if (parser.isSet(s.usbPty) && parser.isSet(s.usbFuse))
        return QStringLiteral("--usb-pty and --usb-fuse: one or the other");
    for (const QCommandLineOption *o : {&s.fuseMount, &s.transferMs, &s.stall, &s.eioEvery, &s.zlpEvery, &s.refuseOpen}) {
        if (parser.isSet(*o) && !parser.isSet(s.usbFuse))
            return QStringLiteral("--%1 goes with --usb-fuse").arg(o->names().first());
    }
    return QString();
}

int runUntilQuit(QCoreApplication &app, const PrinterState &state)
{
    print(QStringLiteral("printer: project %1, model %2, sn %3")
              .arg(state.project, state.model, state.serialNumber));
    print(QStringLiteral("font folder: %1").arg(state.fontFolder.describe()));
    return app.exec();
}

#ifdef ZOMRA_HAVE_FUSE
int s_terminationPipe[2] = {-1, -1};

// SIGTERM, SIGINT and SIGHUP end the event loop rather than the process, so that the
// destructors run: a mount must not outlive the emulator.
void quitOnTermination(QCoreApplication &app)
{
    if (pipe2(s_terminationPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(s_terminationPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = [](int) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(s_terminationPipe[1], &byte, 1);
    };
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

// The usblp double: the node's faults from the options, the file system mounted.
int runUsbFuse(QCoreApplication &app, const QCommandLineParser &parser, const Switches &s,
               const EmulatorOptions &options, const QString &root, quint16 vendor, quint16 product)
{
    UsblpDevice::Faults faults;
    if (!number(parser, s.transferMs, 24 * 3600 * 1000, &faults.transferMs))
        return usageError(QStringLiteral("--usb-transfer-ms: want a number of milliseconds"));
    if (!number(parser, s.eioEvery, std::numeric_limits<int>::max(), &faults.eioEvery) || faults.eioEvery == 1)
        return usageError(QStringLiteral("--usb-eio-every: want 2 or more, 0 for never"));
    if (!number(parser, s.zlpEvery, std::numeric_limits<int>::max(), &faults.zlpEvery))
        return usageError(QStringLiteral("--usb-zlp-every: want a number, 0 for never"));
    faults.stalled = parser.isSet(s.stall);
    if (parser.isSet(s.refuseOpen)) {
        const QString error = parser.value(s.refuseOpen);
        faults.refuseOpen = error == QLatin1String("EACCES") ? EACCES : error == QLatin1String("EBUSY") ? EBUSY : 0;
        if (faults.refuseOpen == 0)
            return usageError(QStringLiteral("--usb-refuse-open: want EACCES or EBUSY"));
    }
    QTemporaryDir mountDir(QDir::temp().filePath(QStringLiteral("zomra-usblp-XXXXXX")));
    PrinterState state = options.printer;
    UsbFusePrinter printer(state, options);
    QObject::connect(&printer, &UsbFusePrinter::logLine, print);
    printer.device()->setFaults(faults);
    quitOnTermination(app);
    if (!printer.start(root, parser.isSet(s.fuseMount) ? parser.value(s.fuseMount) : mountDir.path(), vendor,
                       product))
        return failed(printer.errorString());
    print(QStringLiteral("usb: faults at run time through %1/control").arg(QFileInfo(printer.device()->nodePath()).path()));
    return runUntilQuit(app, state);
}
#endif

// The USB road: a printer-class device in a sysfs tree, on a pseudo-terminal or the usblp double.
int runUsb(QCoreApplication &app, const QCommandLineParser &parser, const Switches &s,
           const EmulatorOptions &options)
{
    const QRegularExpressionMatch ids = QRegularExpression(QStringLiteral("^([0-9A-Fa-f]{4}):([0-9A-Fa-f]{4})$"))
                                            .match(parser.value(s.usbId));
    if (!ids.hasMatch())
        return usageError(QStringLiteral("--usb-id: want VVVV:PPPP in hexadecimal"));
    const quint16 vendor = quint16(ids.captured(1).toUShort(nullptr, 16));
    const quint16 product = quint16(ids.captured(2).toUShort(nullptr, 16));
    QTemporaryDir temporary(QDir::temp().filePath(QStringLiteral("zomra-sysfs-XXXXXX")));
    const QString root = parser.isSet(s.sysfsRoot) ? parser.value(s.sysfsRoot) : temporary.path();
    if (parser.isSet(s.usbPty)) {
        PrinterState state = options.printer;
        UsbPtyPrinter printer(state, options);
        QObject::connect(&printer, &UsbPtyPrinter::logLine, print);
        if (!printer.start(root, vendor, product))
            return failed(printer.errorString());
        return runUntilQuit(app, state);
    }
#ifdef ZOMRA_HAVE_FUSE
    return runUsbFuse(app, parser, s, options, root, vendor, product);
#else
    return failed(QStringLiteral("--usb-fuse: built without libfuse3"));
#endif
}

// How many printers the network road plays, checked against the addresses and the serial
// number it needs; a usage error's text, or empty.
QString readInstances(const QCommandLineParser &parser, const Switches &s, const EmulatorOptions &options,
                      int *count)
{
    if (!number(parser, s.instances, PrinterFleet::MaxCount, count) || *count < 1)
        return QStringLiteral("--instances: want 1 to %1").arg(PrinterFleet::MaxCount);
    if (parser.isSet(s.instances) && (parser.isSet(s.usbPty) || parser.isSet(s.usbFuse)))
        return QStringLiteral("--instances goes with the network road, not with --usb-pty or --usb-fuse");
    if (*count == 1)
        return QString();
    QString error;
    if (PrinterFleet::addresses(options.listen, *count, &error).isEmpty())
        return QStringLiteral("--instances: %1").arg(error);
    const QString last = PrinterFleet::serialNumber(options.printer.serialNumber, *count - 1);
    if (last.size() > PrinterState::SerialFieldSize - 1)
        return QStringLiteral("--sn: the last of %1 serial numbers, %2, is longer than %3 characters")
            .arg(*count).arg(last).arg(PrinterState::SerialFieldSize - 1);
    return QString();
}

// The network road: for each printer the command port with discovery, and the raw print
// port beside it (test pages and other printouts; a job is one connection).
int runNetwork(QCoreApplication &app, const EmulatorOptions &options, int count)
{
    PrinterFleet fleet(options, count);
    QObject::connect(&fleet, &PrinterFleet::logLine, print);
    const QString fonts = options.printer.fontFolder.directory();
    print(count > 1 && !fonts.isEmpty() ? QStringLiteral("font folders: one per printer in %1").arg(fonts)
                                        : QStringLiteral("font folder: %1").arg(options.printer.fontFolder.describe()));
    if (!fleet.start())
        return failed(fleet.errorString());
    if (count > 1) {
        for (const QString &line : fleet.roster())
            print(line);
    }
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zomra-printer-emulator"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZOMRA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays a Zomra cloud printer: answers the handshake, the queries and the settings "
        "commands on its command port (or, with --usb-pty or --usb-fuse, on USB), answers discovery, sends "
        "keep-alives, and prints one line per connection and per decoded request on stdout."));
    parser.addHelpOption();
    parser.addVersionOption();
    const Switches switches;
    switches.addTo(parser);
    parser.process(app);

    EmulatorOptions options;
    int count = 1;
    for (const QString &error : {readOptions(parser, switches, &options), readTexts(parser, switches, &options),
                                 checkUsbOptions(parser, switches)}) {
        if (!error.isEmpty())
            return usageError(error);
    }
    const QString instancesError = readInstances(parser, switches, options, &count);
    if (!instancesError.isEmpty())
        return usageError(instancesError);
    if (parser.isSet(switches.usbPty) || parser.isSet(switches.usbFuse))
        return runUsb(app, parser, switches, options);
    return runNetwork(app, options, count);
}
