#pragma once

#include "emulator/emulatoroptions.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class PrinterEmulator;
class RawPrintServer;

// Several printers on consecutive IPv4 addresses, for trying the tool on a shop's worth of
// them: each its own PrinterEmulator with its own PrinterState, serial number and raw print
// port. With more than one, every log line starts with the printer's address.
class PrinterFleet : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxCount = 254;

    // The serial number of the printer at index (0: first itself): its trailing number
    // counted up, width kept ("ZR0009", 1: "ZR0010"); without one, "-2", "-3", ... appended.
    static QString serialNumber(const QString &first, int index);
    // count addresses from first on, or empty with *error when first is not one IPv4 address
    // or the range would pass x.x.x.254.
    static QList<QHostAddress> addresses(const QHostAddress &first, int count, QString *error);

    // The options of the first printer; the others differ in address, serial number and,
    // when there is more than one, in subfolders named after their address for spool and
    // font folder. count must be one the checks above allow.
    PrinterFleet(const EmulatorOptions &options, int count, QObject *parent = nullptr);
    ~PrinterFleet() override;

    // Starts every printer's command port, then its raw print port; false, with
    // errorString(), when a command port cannot listen (a raw port that cannot is logged).
    bool start();
    QString errorString() const { return m_error; }
    int count() const { return m_printers.size(); }
    PrinterEmulator *printer(int index) const { return m_printers.at(index).emulator; }
    // "printer: project P, model M, sn S at ADDRESS", one per printer.
    QStringList roster() const;

signals:
    void logLine(QString line);

private:
    struct Member
    {
        PrinterEmulator *emulator;
        RawPrintServer *rawPrint;
        QString tag; // what its log lines start with: its address, when there are several
    };

    static QString tagged(const QString &tag, const QString &line);

    QList<Member> m_printers;
    QString m_error;
};
