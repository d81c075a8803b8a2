#include "emulator/rawprintserver.h"

#include "emulator/emulatoroptions.h"
#include "emulator/emulatorsession.h"
#include "emulator/printerstate.h"
#include "emulator/rasterspool.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>
#include <utility>

RawPrintServer::RawPrintServer(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &RawPrintServer::onNewConnection);
}

bool RawPrintServer::listen(const QHostAddress &address, quint16 port)
{
    if (!m_server->listen(address, port))
        return false;
    emit logLine(QStringLiteral("raw print port on %1")
                     .arg(EmulatorSession::endpoint(m_server->serverAddress(), m_server->serverPort())));
    return true;
}

bool RawPrintServer::start(const EmulatorOptions &options)
{
    if (options.noRawPort) {
        emit logLine(QStringLiteral("raw print port: closed, printouts are refused"));
        return true;
    }
    return listen(options.listen, options.port == 0 ? 0 : Wire::RawPrintPort);
}

bool RawPrintServer::isListening() const
{
    return m_server->isListening();
}

QString RawPrintServer::errorString() const
{
    return m_server->errorString();
}

quint16 RawPrintServer::serverPort() const
{
    return m_server->serverPort();
}

const NvMemory &RawPrintServer::nvMemory() const
{
    return m_state ? m_state->nvMemory : m_nvMemory;
}

void RawPrintServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        const QString peer = EmulatorSession::endpoint(socket->peerAddress(), socket->peerPort());
        // Shared by the two handlers, so it goes with the socket even if the server goes first.
        const auto job = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, socket, [socket, job] { job->append(socket->readAll()); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket, job, peer] {
            job->append(socket->readAll());
            const QByteArray bytes = std::exchange(*job, QByteArray());
            const int number = ++m_jobCount;
            m_jobs.append(bytes);
            if (m_jobs.size() > KeptJobs)
                m_jobs.removeFirst();
            QString line = QStringLiteral("raw print job %1: %2 bytes from %3").arg(number).arg(bytes.size()).arg(peer);
            if (!m_spoolDir.isEmpty()) {
                QDir().mkpath(m_spoolDir);
                const QString name = QDir(m_spoolDir).filePath(
                    QStringLiteral("job-%1.bin").arg(number, 4, 10, QLatin1Char('0')));
                QFile file(name);
                if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
                    line += QStringLiteral(" (saved to %1)").arg(name);
                else
                    line += QStringLiteral(" (cannot save to %1)").arg(name);
            }
            emit logLine(line);
            // Carried on from the last job: a job may set one value alone.
            DualColorSetting setting = m_dualColor.value_or(DualColorSetting());
            if (setting.apply(bytes) > 0) {
                m_dualColor = setting;
                if (m_state)
                    m_state->dualColor = setting;
                emit logLine(setting.text());
            }
            NvMemory &memory = m_state ? m_state->nvMemory : m_nvMemory;
            const NvMemory::Result printed
                = memory.apply(bytes, m_state ? m_state->nvMemorySize : NvMemory::DefaultCapacity);
            for (const QString &note : printed.notes)
                emit logLine(note);
            for (const QString &saved : RasterSpool(m_spoolDir).save(printed))
                emit logLine(saved);
            emit jobReceived(bytes);
            socket->deleteLater();
        });
    }
}
