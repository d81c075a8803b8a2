#pragma once

#include "protocol/discoverysearch.h"
#include "transport/usbdiagnosis.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;

// The whole answer to "why is my printer not found?": the USB check, a network search of a
// few seconds with the interfaces it went out on, and for each printer that answered, whether
// its command port takes a connection. Runs in the window (the Diagnose... dialog) and
// headless (--diagnose) alike; its report is plain text.
class Diagnosis : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultSearchMs = 3000;
    static constexpr int PortProbeMs = 3000;

    explicit Diagnosis(QObject *parent = nullptr);

    void setSearchMs(int ms);
    void setCommandPort(quint16 port); // tests
    // Runs the whole check again; ignored while one is under way.
    void start();

    bool isFinished() const;
    // At least one printer is usable: a USB printer that opens, or a network printer whose
    // command port took the connection.
    bool anyUsable() const;
    // The report, one line per finding, translated.
    QStringList report() const;

signals:
    void finished();

private:
    struct Probe
    {
        enum Outcome { Pending, Open, Refused, NoAnswer, Failed };
        DiscoverySearch::Found found;
        Outcome outcome = Pending;
        QString error;
    };

    void onSearchStep();
    void probe(const DiscoverySearch::Found &found);
    void settle(int index, Probe::Outcome outcome, const QString &error = QString());
    void finishIfDone();
    QStringList usbReport() const;
    QStringList networkReport() const;

    int m_searchMs = DefaultSearchMs;
    quint16 m_port;
    QList<quint32> m_ids;
    QList<UsbDiagnosis::Printer> m_usb;
    DiscoverySearch *m_search = nullptr;
    QList<DiscoverySearch::Interface> m_interfaces;
    QList<Probe> m_probes;
    QElapsedTimer m_elapsed;
    QTimer *m_step;
    bool m_searching = false;
    bool m_finished = false;
};
