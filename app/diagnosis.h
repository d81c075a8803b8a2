#pragma once

#include "protocol/discoverysearch.h"
#include "transport/usbdiagnosis.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

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

    void setUsbRoots(const UsbDiagnosis::Roots &roots);
    void setSearchMs(int ms);
    void setCommandPort(quint16 port); // tests
    void start();

    bool isFinished() const;
    // At least one printer is usable: a USB printer that opens, or a network printer whose
    // command port took the connection.
    bool anyUsable() const;
    // The report, one line per finding, translated.
    QStringList report() const;

signals:
    void finished();
};
