// PNGs of every tab connected to the printer at ADDRESS, the dialogs, the feedback of the pages, an absent printer and the search (screenshots.sh).
#include "app/conf.h"
#include "app/dialogdiagnosis.h"
#include "app/language.h"
#include "app/mainwindow.h"
#include "emulator/printeremulator.h"
#include "emulator/usbsysfs.h"
#include "nvimage/dialogdownloadnvimage.h"
#include "nvimage/nvimagecommands.h"
#include "nvimage/widgetnvimage.h"
#include "pages/dialogconfigurewifi.h"
#include "pages/dialogserialconnect.h"
#include "pages/widgetlan.h"
#include "pages/widgetserial.h"
#include "pages/widgetwnet.h"
#include "print/dialogfontsettings.h"
#include "print/fontupload.h"
#include "profiles/dialogprofile.h"
#include "profiles/dialogrollout.h"
#include "protocol/bytefields.h"
#include "protocol/dialogconnect.h"
#include "protocol/hostcmd.h"
#include "protocol/staticiprecord.h"
#include "transport/dialogreconnect.h"
#include "transport/transceiver.h"
#include "transport/usbport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <functional>

namespace {

bool waitFor(const std::function<bool()> &done, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return done();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3 && !(args.size() == 4 && args.at(3) == QLatin1String("zh_CN"))) {
        std::fprintf(stderr, "usage: zomra-screenshots ADDRESS FOLDER [zh_CN]\n");
        return 2;
    }
    const QDir folder(args.at(2));
    // As the program starts: the translation from translations/ in the working directory.
    g_conf.setLanguage(args.size() == 4 ? Language::Chinese : Language::English);
    QTranslator translator;
    applyLanguage(&translator);

    g_transceiver = new Transceiver;
    auto *window = new MainWindow;
    // The offscreen screen is small; Qt would cut a new window to two thirds of it.
    window->resize(window->sizeHint());
    window->show();

    // Each answer counted once the window's own handler has shown it.
    QSet<quint16> answered;
    QObject::connect(&g_hostCmd, &HostCmd::responseReceived, window, [&](const QByteArray &response) {
        const quint16 word = ByteFields::u16(response, 0);
        if (word >= GetDeviceInfo && word <= GetNvImageList)
            answered.insert(word);
    }, Qt::QueuedConnection);
    g_transceiver->connectTcp(QHostAddress(args.at(1)), Transceiver::IdentifyByHandshake);
    const bool reloaded = waitFor([&] { return answered.size() == GetNvImageList; }, 15000);
    if (!reloaded)
        std::fprintf(stderr, "zomra-screenshots: only %d of 9 answers within 15 s\n", int(answered.size()));
    waitFor([] { return false; }, MainWindow::ReloadGuardMs * 3);

    int failed = 0;
    const auto save = [&](QWidget *widget, const QString &name) {
        const QString file = folder.filePath(name);
        if (widget->grab().save(file)) {
            std::printf("wrote %s\n", qPrintable(file));
        } else {
            std::fprintf(stderr, "zomra-screenshots: could not write %s\n", qPrintable(file));
            ++failed;
        }
    };
    QTabWidget *tabs = window->tabWidget();
    // Named in English whatever the language shown.
    static const char *const Names[] = {"device-information", "ethernet", "4g", "wi-fi",
                                        "serial", "audio", "nv-image", "print-settings"};
    for (int i = 0; reloaded && i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        save(window, QStringLiteral("%1-%2.png").arg(i + 1, 2, 10, QLatin1Char('0')).arg(QLatin1String(Names[i])));
    }
    // The NV image page after a download, which the status bar confirms, and the question before a Delete.
    if (reloaded) {
        WidgetNvImage *nv = window->nvImagePage();
        tabs->setCurrentWidget(nv);
        QTimer::singleShot(0, [] {
            if (auto *dialog = qobject_cast<DialogDownloadNvImage *>(QApplication::activeModalWidget())) {
                QImage image(200, 100, QImage::Format_Mono);
                image.fill(1);
                dialog->setSourceImage(image);
                dialog->kc1Field()->setText(QStringLiteral("L"));
                dialog->kc2Field()->setText(QStringLiteral("1"));
                dialog->doDownload();
            }
        });
        nv->doDownload();
        waitFor([&] { return nv->keyCodes().contains(NvImageCommands::keyCode('L', '1')); }, 5000);
        save(window, QStringLiteral("40-nv-image-stored.png"));
        nv->table()->selectRow(nv->keyCodes().indexOf(NvImageCommands::keyCode('L', '1')));
        QTimer::singleShot(0, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                save(box, QStringLiteral("41-nv-delete-confirmation.png"));
                box->button(QMessageBox::No)->click();
            }
        });
        nv->doDelete();
    }
    // The port dialog with a port of its own, cancelled: nothing is written to a real port.
    const QString port = QStringLiteral("/dev/ttyUSB0");
    qputenv("ZOMRA_SERIAL_PORTS", port.toLocal8Bit());
    QTimer::singleShot(0, [&] {
        if (auto *dialog = qobject_cast<DialogSerialConnect *>(QApplication::activeModalWidget())) {
            dialog->portBox()->setCurrentIndex(dialog->portBox()->findData(port));
            save(dialog, QStringLiteral("09-serial-port.png"));
            dialog->doCancel();
        }
    });
    window->serialPage()->testPageButton()->click();

    // Refused and told: a gateway that is no address, a short Wi-Fi password; a 4G restart counting down.
    const auto onBox = [&](const QString &name, QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [&save, name, button] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                save(box, name);
                box->button(button)->click();
            }
        });
    };
    tabs->setCurrentIndex(MainWindow::TabLan);
    window->lanPage()->fill(StaticIpRecord{"192.168.1.200", "255.255.255.0", "gateway"});
    window->lanPage()->onSettingsChanged(); // as typed
    save(window, QStringLiteral("20-ethernet-invalid-gateway.png"));
    onBox(QStringLiteral("21-ethernet-save-refused.png"), QMessageBox::Ok);
    window->lanPage()->doSave();
    auto *wifi = new DialogConfigureWiFi(window);
    wifi->ssidField()->setText(QStringLiteral("Zomra-Shop"));
    wifi->passwordField()->setText(QStringLiteral("short"));
    onBox(QStringLiteral("22-wifi-password-refused.png"), QMessageBox::Ok);
    wifi->doOk();
    tabs->setCurrentIndex(MainWindow::TabWnet);
    onBox(QStringLiteral("23-4g-restart-asked.png"), QMessageBox::Yes);
    window->wnetPage()->doRestart();
    waitFor([] { return false; }, 2500); // two polls answered
    save(window, QStringLiteral("24-4g-restarting.png"));

    // The font dialog: an upload cancelled after ten blocks, and the question before Reset to
    // Default, answered No. Each message box is saved, then closed.
    {
        QTemporaryDir scratch;
        QFile font(scratch.filePath(QStringLiteral("NotoSansThai-Regular.ttf")));
        font.open(QIODevice::WriteOnly);
        font.write(QByteArray(262144, 'Z'));
        font.close();
        QStringList boxes{QStringLiteral("30-font-upload-cancelled.png"), QStringLiteral("31-font-reset-question.png")};
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || boxes.isEmpty())
                return;
            save(box, boxes.takeFirst());
            box->button(box->button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok)->click();
        });
        poll.start(200);
        DialogFontSettings dialog(window);
        dialog.show();
        waitFor([&] { return !dialog.installedNames().isEmpty(); }, 5000);
        if (dialog.installFont(font.fileName())) {
            QObject::connect(dialog.findChild<FontUpload *>(), &FontUpload::progress, [&](quint32 written) {
                if (written >= 10 * FontUpload::BlockSize && dialog.progressDialog())
                    emit dialog.progressDialog()->canceled();
            });
        }
        waitFor([&] { return boxes.size() == 1; }, 10000);
        dialog.doResetToDefault();
        failed += boxes.size();
    }

    // A profile rolled out to the window's printer, a second one played here, and 127.0.0.9.
    {
        EmulatorOptions second;
        second.listen = QHostAddress(QStringLiteral("127.0.0.2"));
        second.port = 0; // 17900 there may be another test's
        second.printer.serialNumber = QStringLiteral("ZR2108A0001235");
        PrinterEmulator printer(second);
        Profile profile;
        profile.model = QStringLiteral("RX220_S");
        profile.serialNumber = QStringLiteral("ZR2108A0000977");
        profile.date = QDateTime(QDate(2026, 12, 1), QTime(9, 30), Qt::UTC);
        profile.values = {{"print.density", 110}, {"audio.all", false}, {"serial.baudRate", 9600}, {"wifi.ssid", "Counter"}};
        failed += printer.listen() ? 0 : 1;
        DialogRollout dialog(profile, QStringLiteral("front-counter.json"),
                             {{QHostAddress(args.at(1))}, {second.listen, printer.serverPort()}, {QHostAddress(QStringLiteral("127.0.0.9"))}}, window);
        dialog.start();
        failed += waitFor([&] { return !dialog.isRunning(); }, 15000) ? 0 : 1;
        save(&dialog, QStringLiteral("55-rollout.png"));
    }

    // A profile differing in three settings (the SSID without a password) compared, applied; a newer format refused.
    {
        window->clearPages(); // the refused gateway's edit aside: the pages as the printer has them
        window->doReload();
        waitFor([&] { return window->applyProfileAction()->isEnabled(); }, 5000);
        Profile profile = Profile::fromSettings(window->printerSettings(), QStringLiteral("zomra-cloud-printer-setup 1.11"));
        profile.values[QStringLiteral("serial.baudRate")] = 19200;
        profile.values[QStringLiteral("print.density")] = 120;
        profile.values[QStringLiteral("wifi.ssid")] = QStringLiteral("Zomra-Back-Office");
        DialogProfile compare(profile, window->printerSettings(), DialogProfile::Compare, QStringLiteral("counter-2.json"), window);
        compare.show();
        save(&compare, QStringLiteral("50-profile-compare.png"));
        QTemporaryDir scratch;
        QFile file(scratch.filePath(QStringLiteral("counter-2.json")));
        file.open(QIODevice::WriteOnly) && file.write(profile.toJson());
        file.close();
        QTimer::singleShot(0, [&] {
            if (auto *dialog = qobject_cast<DialogProfile *>(QApplication::activeModalWidget())) {
                dialog->applyButton()->click();
                waitFor([&] { return window->applyProfileAction()->isEnabled(); }, 12000);
                save(dialog, QStringLiteral("51-profile-apply.png"));
                dialog->doClose();
            }
        });
        window->applyProfile(file.fileName());
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write("{\"formatVersion\": 2}");
        file.close();
        onBox(QStringLiteral("52-profile-unreadable.png"), QMessageBox::Ok);
        window->compareProfile(file.fileName());
    }

    { // A printer on the USB list whose driver is not bound: a greyed row with the reason.
        QTemporaryDir sysfs;
        UsbSysfs::writeUnboundDevice(sysfs.path(), QStringLiteral("1-1.4"), 0x3273, 2);
        const Language shown = g_conf.language();
        g_conf.setFileName(sysfs.filePath(QStringLiteral("none.ini")));
        g_conf.load(); // the default USB list
        g_conf.setLanguage(shown);
        const std::string realSysfs = UsbPort::sysfsRoot();
        UsbPort::setSysfsRoot(sysfs.path().toStdString());
        DialogConnect::setStepInterval(10);
        DialogConnect dialog(window);
        dialog.resize(640, 360);
        dialog.show();
        waitFor([&] { return dialog.phase() == DialogConnect::PhaseIdle; }, 5000);
        waitFor([] { return false; }, 100); // the wrapped lines get their height
        save(&dialog, QStringLiteral("14-connect-usb-not-usable.png"));
        UsbPort::setSysfsRoot(realSysfs);
        DialogConnect::setStepInterval(DialogConnect::DefaultStepMs);
    }

    // The diagnosis beside a USB printer that has no usblp node, in a made sysfs tree.
    {
        QTemporaryDir sysfs;
        QDir(sysfs.path()).mkpath(QStringLiteral("bus/usb/devices/1-1.4"));
        for (const auto &[name, value] : {std::pair{"idVendor", "3273\n"}, std::pair{"idProduct", "00d2\n"}}) {
            QFile file(sysfs.filePath(QStringLiteral("bus/usb/devices/1-1.4/") + QLatin1String(name)));
            failed += file.open(QIODevice::WriteOnly) && file.write(value) > 0 ? 0 : 1;
        }
        g_conf.setFileName(sysfs.filePath(QStringLiteral("none.ini")));
        g_conf.load(); // the configured identifiers' defaults; the window is built already
        UsbPort::setSysfsRoot(sysfs.path().toStdString());
        DialogDiagnosis dialog(window);
        dialog.show();
        failed += waitFor([&] { return dialog.runAgainButton()->isEnabled(); }, 10000) ? 0 : 1;
        save(&dialog, QStringLiteral("15-diagnosis.png"));
    }

    // What a technician sees when the printer is not there: nothing listens on 127.0.0.9.
    const QHostAddress nowhere(QStringLiteral("127.0.0.9"));
    g_transceiver->close();
    waitFor([&] { return window->connectAction()->isEnabled(); }, 3000);
    {
        DialogReconnect dialog(nowhere, window);
        dialog.show();
        waitFor([&] { return dialog.attempts() >= 3; }, 3000);
        save(&dialog, QStringLiteral("10-reconnecting.png"));
        dialog.doCancel();
    }
    bool connectShown = false;
    {
        DialogConnect dialog(window);
        dialog.show();
        connectShown = waitFor([&] { return dialog.phase() == DialogConnect::PhaseNetwork; }, 5000);
        waitFor([] { return false; }, 3 * DialogConnect::DefaultStepMs); // the seconds left count down
        save(&dialog, QStringLiteral("12-connect-searching.png"));
        dialog.addressEdit()->setText(nowhere.toString());
        dialog.doConnect();
        waitFor([&] { return dialog.statusLabel()->text().contains(QLatin1String("17900")); }, 6000);
        waitFor([] { return false; }, 100); // the wrapped message gets its height
        save(&dialog, QStringLiteral("11-connect-failed.png"));
        // A search that finds none, shortened: the dialog points at the address typed, to type over.
        DialogConnect::setStepInterval(10);
        dialog.doScan();
        connectShown = waitFor([&] { return dialog.phase() == DialogConnect::PhaseIdle; }, 5000) && connectShown;
        waitFor([] { return false; }, 100);
        save(&dialog, QStringLiteral("13-connect-none-found.png"));
    }
    const bool all = failed == 0 && reloaded && connectShown;
    delete window;
    delete g_transceiver;
    return all ? 0 : 1;
}
