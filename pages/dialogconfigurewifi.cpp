#include "pages/dialogconfigurewifi.h"

#include "pages/fieldlimits.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

DialogConfigureWiFi::DialogConfigureWiFi(QWidget *parent)
    : QDialog(parent)
    , m_ssid(new QLineEdit(this))
    , m_password(new QLineEdit(this))
    , m_ok(new QPushButton(tr("&OK"), this))
    , m_cancel(new QPushButton(tr("&Cancel"), this))
{
    m_password->setEchoMode(QLineEdit::Password);
    // Characters are at least a byte each: no more can fit. The bytes are counted at OK.
    m_ssid->setMaxLength(FieldLimits::SsidBytes);
    m_password->setMaxLength(FieldLimits::PasswordKeyDigits);
    auto *form = new QFormLayout;
    form->addRow(tr("&SSID:"), m_ssid);
    form->addRow(tr("&Password:"), m_password);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok, 0, Qt::AlignRight | Qt::AlignVCenter);
    buttons->addWidget(m_cancel, 0, Qt::AlignRight | Qt::AlignVCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    setTabOrder(m_ssid, m_password);
    setTabOrder(m_password, m_ok);
    setTabOrder(m_ok, m_cancel);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &DialogConfigureWiFi::doOk);
    connect(m_cancel, &QPushButton::clicked, this, &DialogConfigureWiFi::doCancel);
    setWindowTitle(tr("Configure Wi-Fi"));
    setWindowIcon(QIcon(QStringLiteral(":/images/network_wireless.png")));
}

QSize DialogConfigureWiFi::sizeHint() const
{
    return QSize(400, 5);
}

QString DialogConfigureWiFi::ssid() const
{
    return m_ssid->text();
}

QString DialogConfigureWiFi::password() const
{
    return m_password->text();
}

void DialogConfigureWiFi::doOk()
{
    // Without an SSID the printer forgets its network; the password does not matter then.
    QLineEdit *field = m_ssid;
    QString problem = FieldLimits::ssidProblem(FieldLimits::fieldName(tr("&SSID:")), ssid());
    if (problem.isEmpty() && !ssid().isEmpty()) {
        field = m_password;
        problem = FieldLimits::passwordProblem(FieldLimits::fieldName(tr("&Password:")), password());
    }
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, tr("Error"), problem, QMessageBox::Ok);
        field->setFocus();
        return;
    }
    accept();
}

void DialogConfigureWiFi::doCancel()
{
    reject();
}
