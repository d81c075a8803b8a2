#include "app/commandline.h"
#include "app/conf.h"
#include "app/globals.h"
#include "app/log.h"
#include "protocol/hostcmd.h"
#include "transport/transceiver.h"

#include <QAbstractSocket>
#include <QApplication>
#include <QFont>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

namespace {

constexpr int LanguageChinese = 1;

// Until the main window exists the program proves the link: it connects to the address
// given with --connect, completes the handshake, asks for the device information and
// prints what the printer said.
int runLinkCheck(QApplication &app, const QHostAddress &address)
{
    QObject::connect(&g_hostCmd, &HostCmd::deviceFound, &app, [](const host_cmd_dev_info_t &info) {
        std::printf("Handshake: project %s, model %s, serial number %s\n",
                    qPrintable(info.projectText()), qPrintable(info.modelText()),
                    qPrintable(info.snText()));
    });
    QObject::connect(g_transceiver, &Transceiver::connected, &app,
                     [] { g_hostCmd.query(GetDeviceInfo); });
    QObject::connect(&g_hostCmd, &HostCmd::responseReceived, &app, [&app](const QByteArray &response) {
        if (response.size() >= 58 && quint8(response.at(0)) == GetDeviceInfo && response.at(1) == 0) {
            std::printf("Device information: model %s, serial number %s\n",
                        fieldText(response.constData() + 18, 16).constData(),
                        fieldText(response.constData() + 34, 24).constData());
            app.exit(0);
        }
    });
    QObject::connect(g_transceiver, &Transceiver::disconnected, &app, [&app] {
        std::fprintf(stderr, "The printer closed the connection.\n");
        app.exit(1);
    });
    QTimer::singleShot(10000, &app, [&app] {
        std::fprintf(stderr, "No answer from the printer within 10 s.\n");
        app.exit(1);
    });
    if (!g_transceiver->connectTcp(address)) {
        std::fprintf(stderr, "Could not start a connection to %s.\n", qPrintable(address.toString()));
        return 1;
    }
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
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

    if (g_conf.language() == LanguageChinese) {
        if (translator->load(QStringLiteral("translations/zh_CN.qm")))
            QCoreApplication::installTranslator(translator);
        QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10, QFont::Normal, false));
    } else {
        g_conf.setLanguage(0);
        QApplication::setFont(QFont(QStringLiteral("Tahoma"), 10, QFont::Normal));
    }

    g_transceiver = new Transceiver;

    int exitCode = 0;
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(commandLine.error));
        exitCode = 2;
    } else if (commandLine.connectAddress.isNull()) {
        std::fprintf(stderr, "Usage: zomra-cloud-printer-setup --connect ADDRESS\n");
        exitCode = 2;
    } else {
        exitCode = runLinkCheck(app, commandLine.connectAddress);
    }

    delete g_transceiver;
    g_transceiver = nullptr;
    logClose();
    delete translator;
    return exitCode;
}
