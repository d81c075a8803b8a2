#pragma once

#include "pages/settingspage.h"

#include <QByteArray>
#include <QSerialPort>

class QComboBox;
struct SerialSettingsRecord;

// The Serial tab: the printer's own serial port, and a test page sent through one of the
// workstation's serial ports with the settings selected here, saved or not, so that a
// cable and its settings can be tried before they are stored.
class WidgetSerial : public SettingsPage
{
    Q_OBJECT

public:
    static constexpr int CloseDelayMs = 500;

    explicit WidgetSerial(QWidget *parent = nullptr);

    QPushButton *testPageButton() const { return m_testPage; }
    // The port of a test page being written; null otherwise.
    QSerialPort *port() const { return m_port; }
    // The last test page written, as sent.
    const QByteArray &testPageBytes() const { return m_testPageBytes; }

    // Selects the printer's values; one a list lacks shows as the list's first item. Save is
    // left off.
    void fill(const SerialSettingsRecord &record);
    // The selections as Save sends them.
    SerialSettingsRecord settings() const;
    // Why a port did not open, in a technician's words: "Serial port /dev/ttyUSB0 could not
    // be opened: permission denied". accessible: the user may read and write the port.
    static QString openFailureText(const QString &port, QSerialPort::SerialPortError error,
                                   bool accessible, const QString &systemText);

public slots:
    void doPrintTestPage();
    void doSave() override;

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    QComboBox *m_baudRate;
    QComboBox *m_dataBits;
    QComboBox *m_stopBits;
    QComboBox *m_parity;
    QPushButton *m_testPage;
    QSerialPort *m_port = nullptr;
    QString m_portLocation;
    QByteArray m_testPageBytes;
    int m_closeTimer = 0;
    qint64 m_written = 0;
};
