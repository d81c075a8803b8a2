#include "app/commandline.h"
#include "app/conf.h"
#include "app/globals.h"
#include "app/headless.h"
#include "app/language.h"
#include "app/log.h"
#include "app/mainwindow.h"
#include "protocol/hostcmd.h"
#include "transport/transceiver.h"
#include "transport/usbport.h"

#include <QAbstractSocket>
#include <QApplication>
#include <QTranslator>

#include <cstdio>

namespace {

// The profile commands and --diagnose: no window, no display needed. So no QGuiApplication
// either, and of the language only the translation (applyLanguage also sets the window's font).
int runHeadless(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTranslator translator;

    logOpen();
    g_conf.load();
    if (g_conf.fileVersion() != Conf::CurrentFileVersion)
        g_conf.save();
    if (g_conf.language() == Language::Chinese
        && translator.load(translationFile(QCoreApplication::applicationDirPath())))
        QCoreApplication::installTranslator(&translator);

    // Parsed again now that the translation is in, for the messages' sake.
    const CommandLine commandLine = CommandLine::parse(QCoreApplication::arguments());
    int exitCode = 2;
    if (!commandLine.error.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(commandLine.error));
    else
        exitCode = Headless::run(commandLine);
    logClose();
    return exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    // A sysfs tree of one's own (the emulator's --usb-pty writes one) stands in for the
    // machine's, to reach an emulated USB printer, in the window and in --diagnose.
    const QByteArray sysfsRoot = qgetenv("ZOMRA_SYSFS_ROOT");
    if (!sysfsRoot.isEmpty())
        UsbPort::setSysfsRoot(sysfsRoot.toStdString());

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (CommandLine::parse(arguments).headless)
        return runHeadless(argc, argv);

    QApplication app(argc, argv);
    auto *translator = new QTranslator;

    logOpen();

    const CommandLine commandLine = CommandLine::parse(QCoreApplication::arguments());
    g_demoMode = commandLine.demo;

    g_conf.load();
    if (g_conf.fileVersion() != Conf::CurrentFileVersion)
        g_conf.save();

    qRegisterMetaType<QAbstractSocket::SocketState>("QAbstractSocket::SocketState");
    qRegisterMetaType<host_cmd_dev_info_t>("host_cmd_dev_info_t");
    qRegisterMetaType<quint32>("uint32_t");

    applyLanguage(translator);

    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(commandLine.error));
        logClose();
        delete translator;
        return 2;
    }

    g_transceiver = new Transceiver;
    auto *window = new MainWindow;
    window->show();
    // A printer named on the command line is reached as if picked from the connect
    // dialog; its project and model come from the handshake.
    if (!commandLine.connectAddress.isNull())
        g_transceiver->connectTcp(commandLine.connectAddress, Transceiver::IdentifyByHandshake);
    const int exitCode = app.exec();

    delete window;
    delete g_transceiver;
    g_transceiver = nullptr;
    logClose();
    delete translator;
    return exitCode;
}
