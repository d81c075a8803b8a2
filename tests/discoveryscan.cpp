// Runs one scan of the connect dialog and prints its rows, "MODEL<TAB>SN<TAB>CONNECTION[<TAB>
// STATUS]"; given an address, connects to its row and prints "status: " and why that failed.
// tests/discovery-end-to-end.sh runs it in a network namespace of its own, with emulated
// printers in others; tests/usb-end-to-end.sh with an emulated USB printer.
#include "app/conf.h"
#include "app/log.h"
#include "protocol/dialogconnect.h"
#include "tests/privatenetns.h"
#include "transport/transceiver.h"
#include "transport/usbport.h"

#include <QApplication>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int stepMs = argc >= 2 && argc <= 3 ? std::atoi(argv[1]) : 0;
    const QString connectTo = argc == 3 ? QStringLiteral("(%1)").arg(argv[2]) : QString();
    if (stepMs < 1) {
        std::fprintf(stderr, "usage: zomra-discoveryscan STEP-MS [ADDRESS]\n");
        return 2;
    }
    if (!inPrivateNetns()) { // the scan multicasts
        std::fprintf(stderr, "zomra-discoveryscan: refusing to run outside a private network namespace\n");
        return 77;
    }
    logOpen();
    g_conf.load(); // the identifiers the USB phase matches
    // Only the tree a test names (an emulated USB printer) is probed, never this machine's own.
    QTemporaryDir noUsb;
    const QByteArray sysfsRoot = qgetenv("ZOMRA_SYSFS_ROOT");
    UsbPort::setSysfsRoot(sysfsRoot.isEmpty() ? noUsb.path().toStdString() : sysfsRoot.toStdString());
    g_transceiver = new Transceiver;
    DialogConnect::setStepInterval(stepMs);
    auto *dialog = new DialogConnect;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, dialog, [&] {
        if (dialog->phase() != DialogConnect::PhaseIdle)
            return;
        poll.stop();
        QTableWidget *table = dialog->table();
        for (int r = 0; r < table->rowCount(); ++r) {
            const QString status = table->item(r, 3)->text();
            std::printf("%s\t%s\t%s%s\n", qPrintable(table->item(r, 0)->text()), qPrintable(table->item(r, 1)->text()),
                        qPrintable(table->item(r, 2)->text()), qPrintable(status.isEmpty() ? status : '\t' + status));
            if (!connectTo.isEmpty() && table->item(r, 2)->text().endsWith(connectTo))
                table->selectRow(r);
        }
        connectTo.isEmpty() ? app.exit(0) : dialog->doConnect();
    });
    poll.start(20);
    QObject::connect(g_transceiver, &Transceiver::connectFailed, dialog, [&] {
        std::printf("status: %s\n", qPrintable(dialog->statusLabel()->text()));
        app.exit(0);
    });
    QTimer::singleShot(DialogConnect::NetworkSteps * stepMs * 4 + 10000, dialog, [&] {
        std::fprintf(stderr, "zomra-discoveryscan: the scan did not end\n");
        app.exit(1);
    });
    const int status = app.exec();
    delete dialog;
    delete g_transceiver;
    logClose();
    return status;
}
