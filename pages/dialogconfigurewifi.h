#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Asks for the Wi-Fi network the printer is to join. An empty SSID is accepted: it makes
// the printer forget its network. OK stays in the dialog while the SSID or the password
// cannot be sent as typed.
class DialogConfigureWiFi : public QDialog
{
    Q_OBJECT

public:
    explicit DialogConfigureWiFi(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QString ssid() const;
    QString password() const;
    QLineEdit *ssidField() const { return m_ssid; }
    QLineEdit *passwordField() const { return m_password; }

public slots:
    void doOk();
    void doCancel();

private:
    QLineEdit *m_ssid;
    QLineEdit *m_password;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
