#pragma once

// The main window against the emulator in this process, on loopback; the port is fixed, so each case has its own address.
#include "app/globals.h"
#include "app/log.h"
#include "app/mainwindow.h"
#include "emulator/printeremulator.h"
#include "pages/widgetdeviceinformation.h"
#include "pages/widgetwnet.h"
#include "protocol/bytefields.h"
#include "protocol/hostcmd.h"
#include "transport/tcpprinter.h"
#include "transport/transceiver.h"

#include <QAction>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

inline QByteArray answer(quint16 word, int size)
{
    QByteArray a(size, '\0');
    ByteFields::putU16(a, 0, word);
    return a;
}

// Once the next message box is up: OK, telling what it said ("title|text"); or the given button.
inline void readMessageBox(QString *text)
{
    QTimer::singleShot(0, [text] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            *text = box->windowTitle() + QLatin1Char('|') + box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
}
inline void answerMessageBox(QMessageBox::StandardButton button, bool *seen)
{
    QTimer::singleShot(0, [button, seen] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            *seen = true;
            box->button(button)->click();
        }
    });
}

// Runs action and tells what the message box it opens, then or within waitMs, said (OK).
inline QString messageOf(const std::function<void()> &action, int waitMs = 5000)
{
    QString text;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            text = box->windowTitle() + QLatin1Char('|') + box->text();
            poll.stop();
            box->button(QMessageBox::Ok)->click();
        }
    });
    poll.start(10);
    action();
    (void)QTest::qWaitFor([&] { return !text.isEmpty(); }, waitMs);
    return text;
}

class WindowFixture : public QObject
{
protected:
    QTemporaryDir dir;
    MainWindow *window = nullptr;
    std::unique_ptr<PrinterEmulator> emulator;
    std::unique_ptr<QSignalSpy> requests, responses;

    // An emulator of the usual model at the address, in place of the one before; the link stays.
    bool startEmulator(const char *address, EmulatorOptions options = {})
    {
        stopEmulator();
        options.listen = QHostAddress(QString::fromLatin1(address));
        emulator = std::make_unique<PrinterEmulator>(options);
        emulator->state().serialNumber = QStringLiteral("SN-WINDOW-1");
        requests = std::make_unique<QSignalSpy>(emulator.get(), &PrinterEmulator::requestReceived);
        return emulator->listen();
    }
    void stopEmulator()
    {
        requests.reset();
        emulator.reset();
    }

    bool connectTo(const char *address, const char *project, const char *model)
    {
        closeLink();
        if (!startEmulator(address))
            return false;
        emulator->state().project = QString::fromLatin1(project);
        emulator->state().model = QString::fromLatin1(model);
        responses = std::make_unique<QSignalSpy>(&g_hostCmd, &HostCmd::responseReceived);
        g_transceiver->connectTcp(emulator->options().listen, Transceiver::IdentifyByHandshake);
        // Hello and the nine queries, each answered and dispatched (queued, so one more turn).
        const bool answered = QTest::qWaitFor([this] { return requests->count() == 10 && responses->count() == 9; }, 5000);
        QTest::qWait(10);
        return answered;
    }

    void closeLink()
    {
        g_transceiver->close();
        stopEmulator();
        responses.reset();
        QTest::qWait(10); // the window sees the closed link before the next one opens
    }

    // True when nothing more than `count` requests reached the printer within 50 ms.
    bool quietAt(int count) const
    {
        QTest::qWait(50);
        return requests->count() == count;
    }

    // A Reload once it is allowed, back when its nine answers are dispatched.
    void reload()
    {
        QTRY_VERIFY(window->reloadAction()->isEnabled());
        const int answers = responses->count();
        window->doReload();
        QTRY_COMPARE(responses->count(), answers + 9);
        QTest::qWait(10);
    }

    QString field(WidgetDeviceInformation::Row row) const { return window->deviceInformationPage()->text(row); }

    // Requests that reached the printer after the first `from`, by word.
    QList<quint16> wordsSince(int from) const
    {
        QList<quint16> words;
        for (int i = from; i < requests->count(); ++i)
            words.append(quint16(requests->at(i).at(0).toUInt()));
        return words;
    }

    void setUpWindow()
    {
        QVERIFY(logOpen(dir.filePath(QStringLiteral("log.txt"))));
        g_transceiver = new Transceiver;
        window = new MainWindow;
    }

    // No link, no dialog, empty pages, and a fresh window's timing and switches.
    void resetWindow()
    {
        while (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            modal->reject();
        closeLink();
        g_demoMode = false;
        g_transceiver->setHandshakeTimeout(Transceiver::HandshakeTimeoutMs);
        g_transceiver->tcpPrinter()->setHeartbeatInterval(TcpPrinter::DefaultHeartbeatIntervalMs);
        window->wnetPage()->setRestartPollInterval(WidgetWnet::RestartPollMs);
        qunsetenv("ZOMRA_SERIAL_PORTS");
        window->clearPages();
    }

    void tearDownWindow()
    {
        closeLink();
        delete window;
        QCOMPARE(g_mainWindow, nullptr);
        delete g_transceiver;
        g_transceiver = nullptr;
        logClose();
    }
};
