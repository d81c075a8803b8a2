#pragma once

#include <QAbstractSocket>
#include <QDialog>
#include <QHostAddress>

class QPushButton;

// Shown while a lost network link is retried: tries the printer's address again every time
// the socket falls back to unconnected, and closes as soon as it connects (the handshake
// then announces the printer) or when the user gives up.
class DialogReconnect : public QDialog
{
    Q_OBJECT

public:
    DialogReconnect(const QHostAddress &address, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QPushButton *cancelButton() const { return m_cancel; }

public slots:
    void doCancel();
    void onStateChanged(QAbstractSocket::SocketState state);

private:
    void attempt();

    QPushButton *m_cancel;
    QHostAddress m_address;
    bool m_done = false;
};
