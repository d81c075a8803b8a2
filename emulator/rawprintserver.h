#pragma once

#include "emulator/dualcolorsetting.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class PrinterState;
class QTcpServer;
class QTcpSocket;

// The printer's raw print port: takes ESC/POS streams and answers nothing. A job is all
// the bytes of one connection; each is kept (and, with a spool folder, saved to a file)
// when its connection closes. The dual-color setup sequences a job carries set the
// printer's dual-color setting.
class RawPrintServer : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 RawPrintPort = 9100;
    // Jobs kept in memory; older ones are dropped (an emulator may run for days).
    static constexpr int KeptJobs = 64;

    explicit RawPrintServer(QObject *parent = nullptr);

    // port 0: any free one. False, with errorString(), when it cannot listen.
    bool listen(const QHostAddress &address, quint16 port = RawPrintPort);
    QString errorString() const;
    quint16 serverPort() const;
    // Where each job is also written as job-NNNN.bin; empty: nowhere.
    void setSpoolDir(const QString &dir) { m_spoolDir = dir; }
    // The last KeptJobs jobs, oldest first; jobCount() counts all.
    const QList<QByteArray> &jobs() const { return m_jobs; }
    int jobCount() const { return m_jobCount; }
    // The last dual-color setting a job carried; none before the first.
    std::optional<DualColorSetting> dualColor() const { return m_dualColor; }
    // Where the setting goes too, so the printer of the command port has it; null: nowhere.
    // The state must outlive the server.
    void setPrinterState(PrinterState *state) { m_state = state; }

signals:
    void jobReceived(QByteArray job);
    void logLine(QString line);

private:
    void onNewConnection();

    QTcpServer *m_server;
    QString m_spoolDir;
    PrinterState *m_state = nullptr;
    std::optional<DualColorSetting> m_dualColor;
    QList<QByteArray> m_jobs;
    int m_jobCount = 0;
};
