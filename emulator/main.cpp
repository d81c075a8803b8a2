#include "emulator/printeremulator.h"
#include "transport/tcpprinter.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zomra-printer-emulator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays a Zomra cloud printer's command port."));
    parser.addHelpOption();
    const QCommandLineOption listen({QStringLiteral("listen")}, QStringLiteral("Address to listen on."), QStringLiteral("ADDRESS"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption port({QStringLiteral("port")}, QStringLiteral("Command port."), QStringLiteral("PORT"), QString::number(TcpPrinter::CommandPort));
    const QCommandLineOption project({QStringLiteral("project")}, QStringLiteral("Project code."), QStringLiteral("CODE"));
    const QCommandLineOption model({QStringLiteral("model")}, QStringLiteral("Model name."), QStringLiteral("NAME"));
    const QCommandLineOption sn({QStringLiteral("sn")}, QStringLiteral("Serial number."), QStringLiteral("SERIAL"));
    const QCommandLineOption keepAlive({QStringLiteral("keepalive-ms")}, QStringLiteral("Keep-alive period, 0 for none."), QStringLiteral("MS"), QStringLiteral("3000"));
    const QCommandLineOption silent({QStringLiteral("silent")}, QStringLiteral("Accept connections but never answer."));
    const QCommandLineOption closeAfter({QStringLiteral("close-after")}, QStringLiteral("Close the connection after N requests (the handshake counts)."), QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption wrongKey({QStringLiteral("wrong-key")}, QStringLiteral("Answer requests with a wrong key."));
    const QCommandLineOption chunk({QStringLiteral("chunk")}, QStringLiteral("Write answers in pieces of at most N bytes."), QStringLiteral("N"), QStringLiteral("0"));
    parser.addOptions({listen, port, project, model, sn, keepAlive, silent, closeAfter, wrongKey, chunk});
    parser.process(app);

    EmulatorOptions options;
    options.listen = QHostAddress(parser.value(listen));
    bool ok = false;
    const uint portValue = parser.value(port).toUInt(&ok);
    options.port = quint16(portValue);
    if (options.listen.isNull() || !ok || portValue > 65535) {
        std::fprintf(stderr, "zomra-printer-emulator: bad --listen or --port\n");
        return 2;
    }
    options.keepAliveMs = parser.value(keepAlive).toInt();
    options.silent = parser.isSet(silent);
    options.closeAfter = parser.value(closeAfter).toInt();
    options.wrongKey = parser.isSet(wrongKey);
    options.chunk = parser.value(chunk).toInt();

    PrinterEmulator emulator(options);
    if (parser.isSet(project))
        emulator.state().project = parser.value(project);
    if (parser.isSet(model))
        emulator.state().model = parser.value(model);
    if (parser.isSet(sn))
        emulator.state().serialNumber = parser.value(sn);
    QObject::connect(&emulator, &PrinterEmulator::logLine, [](const QString &line) {
        std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    });
    if (!emulator.listen()) {
        std::fprintf(stderr, "zomra-printer-emulator: cannot listen: %s\n", qPrintable(emulator.errorString()));
        return 1;
    }
    return app.exec();
}
