#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QPushButton;

// Picks the workstation's serial port the serial test page goes to. Ports that the system
// does not list (a pseudo-terminal, a USB adapter under an odd name) can be added by path
// in ZOMRA_SERIAL_PORTS, separated by colons.
class DialogSerialConnect : public QDialog
{
    Q_OBJECT

public:
    explicit DialogSerialConnect(QWidget *parent = nullptr);

    QSize sizeHint() const override;

    // Valid once exec() returned Accepted.
    QString portName() const { return m_portName; }
    QComboBox *portBox() const { return m_port; }

public slots:
    void doOk();
    void doCancel();

private:
    QComboBox *m_port;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QString m_portName;
};
