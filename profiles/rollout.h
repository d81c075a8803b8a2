#pragma once

#include "profiles/profile.h"
#include "profiles/profileapply.h"
#include "protocol/wireconstants.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

class PrinterSession;

// Applies one profile to many printers, a few at a time, each over its own PrinterSession;
// a printer that fails does not hold up or stop the others. With more than one printer the
// per-printer settings are left out; setStaticIpFrom() gives each printer the next Ethernet
// static address instead, in the order the printers were given.
class Rollout : public QObject
{
    Q_OBJECT

public:
    // Each session mostly waits for its printer: on loopback 8 and 16 cost the same, with
    // printers that answer slowly 16 take half the time 8 do.
    static constexpr int DefaultParallelism = 16;
    static QStringList sharedWithStaticIp();

    struct Printer
    {
        QHostAddress address;
        quint16 port = Wire::CommandPort;
    };

    Rollout(const Profile &profile, const QList<Printer> &printers, QObject *parent = nullptr);

    void setParallelism(int sessions);
    // Consecutive Ethernet static addresses from first on, one per printer, each with the
    // profile's netmask and gateway (sharedWithStaticIp()).
    void setStaticIpFrom(const QHostAddress &first);
    void start();

    struct Result
    {
        Printer printer;
        QString serialNumber; // empty when it could not be read
        bool ok = false;      // every supported setting verified
        QString line;         // "10.1.2.3 ZR2108A0001234: 2 settings applied and verified; ..."
        QList<ProfileApply::Row> rows;
    };
    const QList<Result> &results() const { return m_results; }

signals:
    void printerStarted(int index);
    void printerFinished(int index); // results()[index] is filled
    void finished(bool allOk);

private:
    // A printer being worked on: its session, and once read, what applying means for it.
    struct Running
    {
        PrinterSession *session = nullptr;
        std::unique_ptr<ProfileApply> apply;
    };

    void startNext();
    void onRead(int index);
    void onFailed(int index, const QString &reason);
    void finish(int index, const QString &reason = QString());
    Profile::Values overridesFor(int index) const;

    Profile m_profile;
    QList<Printer> m_printers;
    QList<Result> m_results;
    int m_parallelism = DefaultParallelism;
    QHostAddress m_staticIpFrom;
    int m_next = 0;
    int m_done = 0;
    std::map<int, Running> m_running;
};
