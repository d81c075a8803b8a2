#pragma once

#include "emulator/emulatoroptions.h"
#include "emulator/printerstate.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class DiscoveryResponder;
class EmulatorSession;
class QTcpServer;

// Plays a printer's command port: listens, runs one EmulatorSession per connection (any
// number at once, all on one PrinterState) and reports what they decoded.
class PrinterEmulator : public QObject
{
    Q_OBJECT

public:
    // The word requestReceived carries for a hello.
    static constexpr quint16 HelloWord = 0;

    explicit PrinterEmulator(const EmulatorOptions &options = EmulatorOptions(),
                             QObject *parent = nullptr);
    ~PrinterEmulator() override;

    // Starts listening and says so on logLine; false, with errorString(), when it cannot.
    // Discovery is started too when the options ask for it; if it cannot be, that is
    // logged and the printer still listens.
    bool listen();
    // Stops listening and drops every connection.
    void close();
    bool isListening() const;
    bool isAnsweringDiscovery() const;
    QString errorString() const;
    QHostAddress serverAddress() const;
    quint16 serverPort() const;

    const EmulatorOptions &options() const { return m_options; }
    // The printer every connection talks to; change it freely between requests.
    PrinterState &state() { return m_state; }
    int connectionCount() const { return m_sessions.size(); }

signals:
    // One per decoded request, hello included (word HelloWord, payload the 4 nonce bytes).
    void requestReceived(quint16 word, QByteArray payload);
    void connectionOpened(QString peer);
    void connectionClosed(QString peer);
    // Everything the emulator has to say, one line each; the program prints them.
    void logLine(QString line);

private:
    void onNewConnection();
    void restart(const QString &what);
    QString describe() const;

    const EmulatorOptions m_options;
    PrinterState m_state;
    QTcpServer *m_server;
    DiscoveryResponder *m_discovery;
    QList<EmulatorSession *> m_sessions;
    bool m_restarted = false; // --restart-mid-upload strikes once
};
