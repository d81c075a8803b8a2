#include "emulator/printeremulator.h"

#include "emulator/discoveryresponder.h"
#include "emulator/emulatorsession.h"

#include "protocol/wireconstants.h"

#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

PrinterEmulator::PrinterEmulator(const EmulatorOptions &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_state(options.printer)
    , m_server(new QTcpServer(this))
    , m_discovery(new DiscoveryResponder(m_state, this))
{
    connect(m_server, &QTcpServer::newConnection, this, &PrinterEmulator::onNewConnection);
    connect(m_discovery, &DiscoveryResponder::logLine, this, &PrinterEmulator::logLine);
}

PrinterEmulator::~PrinterEmulator()
{
    close();
}

bool PrinterEmulator::listen()
{
    if (!m_server->listen(m_options.listen, m_options.port))
        return false;
    emit logLine(QStringLiteral("listening on %1")
                     .arg(EmulatorSession::endpoint(m_server->serverAddress(), m_server->serverPort())));
    emit logLine(describe());
    if (!m_options.discovery)
        return true;
    if (m_options.listen.isLoopback())
        emit logLine(QStringLiteral("discovery: off on a loopback address"));
    else if (m_discovery->start())
        emit logLine(QStringLiteral("discovery: answering on UDP port %1").arg(Wire::DiscoveryPort));
    else
        emit logLine(QStringLiteral("discovery: cannot bind UDP port %1: %2")
                         .arg(Wire::DiscoveryPort)
                         .arg(m_discovery->errorString()));
    return true;
}

QString PrinterEmulator::describe() const
{
    QStringList faults;
    if (m_options.silent)
        faults << QStringLiteral("silent");
    if (m_options.closeAfter > 0)
        faults << QStringLiteral("close after %1 requests").arg(m_options.closeAfter);
    if (m_options.wrongKey)
        faults << QStringLiteral("wrong key");
    if (m_options.chunk > 0)
        faults << QStringLiteral("answers in pieces of %1 bytes").arg(m_options.chunk);
    if (m_options.restartMidUpload > 0 && !m_restarted)
        faults << QStringLiteral("restart after %1 bytes of an upload").arg(m_options.restartMidUpload);
    if (m_options.flood)
        faults << QStringLiteral("flood");
    return QStringLiteral("printer: project %1, model %2, sn %3; keep-alive %4; faults: %5")
        .arg(m_state.project, m_state.model, m_state.serialNumber,
             m_options.keepAliveMs > 0 ? QStringLiteral("%1 ms").arg(m_options.keepAliveMs)
                                       : QStringLiteral("off"),
             faults.isEmpty() ? QStringLiteral("none") : faults.join(QStringLiteral(", ")));
}

void PrinterEmulator::close()
{
    m_server->close();
    m_discovery->stop();
    const QList<EmulatorSession *> sessions = m_sessions;
    m_sessions.clear();
    qDeleteAll(sessions);
}

bool PrinterEmulator::isListening() const
{
    return m_server->isListening();
}

bool PrinterEmulator::isAnsweringDiscovery() const
{
    return m_discovery->isActive();
}

QString PrinterEmulator::errorString() const
{
    return m_server->errorString();
}

QHostAddress PrinterEmulator::serverAddress() const
{
    return m_server->serverAddress();
}

quint16 PrinterEmulator::serverPort() const
{
    return m_server->serverPort();
}

void PrinterEmulator::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        EmulatorOptions options = m_options;
        if (m_restarted)
            options.restartMidUpload = 0; // it strikes once
        auto *session = new EmulatorSession(socket, m_state, options, this);
        m_sessions.append(session);
        const QString peer = session->peer();
        emit logLine(QStringLiteral("connection from %1").arg(peer));
        connect(session, &EmulatorSession::logLine, this, &PrinterEmulator::logLine);
        connect(session, &EmulatorSession::requestReceived, this, &PrinterEmulator::requestReceived);
        connect(session, &EmulatorSession::restartDue, this, &PrinterEmulator::restart);
        connect(session, &EmulatorSession::finished, this, [this, session, peer] {
            m_sessions.removeOne(session);
            emit connectionClosed(peer);
        });
        emit connectionOpened(peer);
    }
}

void PrinterEmulator::restart(const QString &what)
{
    if (m_restarted)
        return;
    m_restarted = true;
    emit logLine(QStringLiteral("restart: %1; dropping %2 connection(s), listening again in %3 ms")
                     .arg(what)
                     .arg(m_sessions.size())
                     .arg(m_options.restartDelayMs));
    // Not from inside the session that asked: it is still reading.
    QTimer::singleShot(0, this, [this] {
        close();
        QTimer::singleShot(m_options.restartDelayMs, this, [this] {
            if (!listen())
                emit logLine(QStringLiteral("restart: cannot listen again: %1").arg(errorString()));
        });
    });
}
