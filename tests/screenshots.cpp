// Connects the main window to a printer at the given address, waits for the answers of the
// first Reload and writes a PNG of every tab into a folder. scripts/screenshots.sh runs it
// against the emulator on the offscreen platform.
#include "app/mainwindow.h"
#include "protocol/bytefields.h"
#include "protocol/hostcmd.h"
#include "transport/transceiver.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QHostAddress>
#include <QSet>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: zomra-screenshots ADDRESS FOLDER\n");
        return 2;
    }
    const QHostAddress address(args.at(1));
    const QDir folder(args.at(2));
    QApplication::setFont(QFont(QStringLiteral("Tahoma"), 10, QFont::Normal));

    g_transceiver = new Transceiver;
    auto *window = new MainWindow;
    // The offscreen screen is small; Qt would cut a new window to two thirds of it.
    window->resize(window->sizeHint());
    window->show();

    int written = 0;
    auto shoot = [&] {
        QTabWidget *tabs = window->tabWidget();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QString name = tabs->tabText(i).toLower();
            name.replace(QLatin1Char(' '), QLatin1Char('-'));
            const QString file = folder.filePath(QStringLiteral("%1-%2.png").arg(i + 1, 2, 10, QLatin1Char('0')).arg(name));
            if (window->grab().save(file)) {
                std::printf("wrote %s\n", qPrintable(file));
                ++written;
            }
        }
        app.exit(written == tabs->count() ? 0 : 1);
    };

    // Queued after the window's own handler, so each answer is shown when it is counted.
    QSet<quint16> answered;
    QObject::connect(&g_hostCmd, &HostCmd::responseReceived, window, [&](const QByteArray &response) {
        const quint16 word = ByteFields::u16(response, 0);
        if (word >= GetDeviceInfo && word <= GetNvImageList)
            answered.insert(word);
        if (answered.size() == GetNvImageList)
            QTimer::singleShot(MainWindow::ReloadGuardMs * 3, window, shoot);
    }, Qt::QueuedConnection);
    QTimer::singleShot(15000, window, [&] {
        std::fprintf(stderr, "zomra-screenshots: only %d of 9 answers within 15 s\n", int(answered.size()));
        app.exit(1);
    });

    g_transceiver->connectTcp(address, Transceiver::IdentifyByHandshake);
    const int status = app.exec();
    delete window;
    delete g_transceiver;
    return status;
}
