#pragma once

#include "emulator/dualcolorsetting.h"
#include "emulator/nvmemory.h"
#include "protocol/wireconstants.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class PrinterState;
struct EmulatorOptions;
class QTcpServer;
class QTcpSocket;

// The printer's raw print port: takes ESC/POS streams and answers nothing. A job is all
// the bytes of one connection; each is kept (and, with a spool folder, saved to a file)
// when its connection closes. The dual-color setup sequences a job carries set the
// printer's dual-color setting; its NV graphics commands change the printer's NV memory,
// and what it prints is drawn, with a spool folder, as PNG files (RasterSpool).
class RawPrintServer : public QObject
{
    Q_OBJECT

public:
    // Jobs kept in memory; older ones are dropped (an emulator may run for days).
    static constexpr int KeptJobs = 64;

    explicit RawPrintServer(QObject *parent = nullptr);

    // port 0: any free one. False, with errorString(), when it cannot listen.
    bool listen(const QHostAddress &address, quint16 port = Wire::RawPrintPort);
    // Beside the command port the options give: on its address, on 9100 (any free port when
    // the command port is any free one), and not at all with noRawPort, which is no failure.
    bool start(const EmulatorOptions &options);
    bool isListening() const;
    QString errorString() const;
    quint16 serverPort() const;
    // Where each job is also written as job-NNNN.bin, each NV image it stores as
    // nv-KC.png and each raster it prints as print-NNNN.png; empty: nowhere.
    void setSpoolDir(const QString &dir) { m_spoolDir = dir; }
    // The last KeptJobs jobs, oldest first; jobCount() counts all.
    const QList<QByteArray> &jobs() const { return m_jobs; }
    int jobCount() const { return m_jobCount; }
    // The last dual-color setting a job carried; none before the first.
    std::optional<DualColorSetting> dualColor() const { return m_dualColor; }
    // Where the setting goes too, so the printer of the command port has it, and whose NV
    // memory the jobs change; null: the server's own memory (nvMemory()). The state must
    // outlive the server.
    void setPrinterState(PrinterState *state) { m_state = state; }
    // The NV memory jobs go to: the printer state's, or the server's own without one.
    const NvMemory &nvMemory() const;

signals:
    void jobReceived(QByteArray job);
    void logLine(QString line);

private:
    void onNewConnection();

    QTcpServer *m_server;
    QString m_spoolDir;
    PrinterState *m_state = nullptr;
    std::optional<DualColorSetting> m_dualColor;
    NvMemory m_nvMemory = NvMemory::withSamples();
    QList<QByteArray> m_jobs;
    int m_jobCount = 0;
};
