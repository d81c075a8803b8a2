#include "pages/networkpage.h"

#include "app/log.h"
#include "pages/fieldlimits.h"
#include "pages/ipv4validator.h"
#include "pages/tcprawprint.h"
#include "protocol/staticiprecord.h"

#include <QFormLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

quint32 ipv4(const QString &text)
{
    bool ok = false;
    const quint32 value = QHostAddress(text).toIPv4Address(&ok);
    return ok ? value : 0;
}

bool usableTarget(const QString &text)
{
    QHostAddress address;
    if (!address.setAddress(text))
        return false;
    const quint32 value = ipv4(text);
    return value != 0 && value != 0xffffffffu;
}

} // namespace

bool isValidNetmask(const QString &text)
{
    quint32 mask = ipv4(text);
    if (mask == 0xffffffffu)
        return false;
    // Clear the leading ones; a valid mask has nothing left.
    for (quint32 bit = 0x80000000u; bit != 0 && (mask & bit); bit >>= 1)
        mask &= ~bit;
    return mask == 0;
}

NetworkPage::NetworkPage(QWidget *parent)
    : SettingsPage(parent)
    , m_mac(readOnlyField())
    , m_dhcpAddress(readOnlyField())
    , m_dhcpNetmask(readOnlyField())
    , m_staticAddress(new QLineEdit(this))
    , m_staticNetmask(new QLineEdit(this))
    , m_staticGateway(new QLineEdit(this))
    , m_testPage(new QPushButton(tr("Print Test Page"), this))
{
    connect(m_testPage, &QPushButton::clicked, this, &NetworkPage::doPrintTestPage);
    for (QLineEdit *field : {m_staticAddress, m_staticNetmask, m_staticGateway}) {
        Ipv4Validator::install(field);
        connect(field, &QLineEdit::textChanged, this, &SettingsPage::onSettingsChanged);
    }
}

void NetworkPage::addAddressRows()
{
    form()->addRow(tr("MAC Address:"), m_mac);
    form()->addRow(tr("IP Address (DHCP):"), m_dhcpAddress);
    form()->addRow(tr("Netmask (DHCP):"), m_dhcpNetmask);
    form()->addRow(tr("IP Address (Static):"), m_staticAddress);
    form()->addRow(tr("Netmask (Static):"), m_staticNetmask);
    form()->addRow(tr("Gateway (Static):"), m_staticGateway);
}

void NetworkPage::addButtons(const QList<QPushButton *> &buttons)
{
    QList<QWidget *> chain{m_staticAddress, m_staticNetmask, m_staticGateway};
    for (QPushButton *button : buttons) {
        addButton(button);
        chain.append(button);
    }
    chain.append(saveButton());
    setFocusChain(chain);
}

void NetworkPage::fillAddresses(const TestPage::NetworkFields &fields)
{
    m_mac->setText(fields.mac.toUpper());
    m_dhcpAddress->setText(fields.dhcpAddress);
    m_dhcpNetmask->setText(fields.dhcpNetmask);
    m_staticAddress->setText(fields.staticAddress);
    m_staticNetmask->setText(fields.staticNetmask);
    saveButton()->setEnabled(false);
}

void NetworkPage::fill(const StaticIpRecord &record)
{
    m_staticAddress->setText(record.address);
    m_staticNetmask->setText(record.netmask);
    m_staticGateway->setText(record.gateway);
    saveButton()->setEnabled(false);
}

TestPage::NetworkFields NetworkPage::addresses() const
{
    return {m_mac->text(), m_dhcpAddress->text(), m_dhcpNetmask->text(), m_staticAddress->text(),
            m_staticNetmask->text()};
}

StaticIpRecord NetworkPage::staticIp() const
{
    return {m_staticAddress->text(), m_staticNetmask->text(), m_staticGateway->text()};
}

bool NetworkPage::refuses(QLineEdit *field, bool required)
{
    const auto *label = qobject_cast<const QLabel *>(form()->labelForField(field));
    const QString name = FieldLimits::fieldName(label ? label->text() : QString());
    const QString problem = FieldLimits::ipv4Problem(name, field->text(), required);
    if (problem.isEmpty())
        return false;
    QMessageBox::warning(this, tr("Error"), problem, QMessageBox::Ok);
    field->setFocus();
    field->selectAll();
    return true;
}

void NetworkPage::doSave()
{
    // Nothing goes out while a field holds what would be sent as another address. An empty
    // gateway is none (0.0.0.0, as the printer shows it); an empty address is a slip.
    if (refuses(m_staticAddress, true) || refuses(m_staticNetmask, false) || refuses(m_staticGateway, false))
        return;
    // A missing mask is the one the printer got by DHCP, or the usual class C one.
    if (ipv4(m_staticNetmask->text()) == 0)
        m_staticNetmask->setText(ipv4(m_dhcpNetmask->text()) != 0 ? m_dhcpNetmask->text()
                                                                   : QStringLiteral("255.255.255.0"));
    if (!isValidNetmask(m_staticNetmask->text())) {
        QMessageBox::warning(this, tr("Error"), tr("Invalid netmask."), QMessageBox::Ok);
        return;
    }
    saveButton()->setEnabled(false);
    sendStaticIp(staticIp());
}

QHostAddress NetworkPage::testPageTarget() const
{
    for (const QLineEdit *field : {m_staticAddress, m_dhcpAddress}) {
        if (usableTarget(field->text()))
            return QHostAddress(ipv4(field->text()));
    }
    return QHostAddress();
}

void NetworkPage::doPrintTestPage()
{
    const QHostAddress target = testPageTarget();
    if (target.isNull()) {
        QMessageBox::warning(this, tr("Error"), tr("No valid IP address."));
        return;
    }
    m_testPage->setEnabled(false);
    m_testPageBytes = buildTestPage();
    LOG_LINE("TCP socket created.");
    auto *job = new TcpRawPrint(target, m_testPageBytes, tr("Test page"), this);
    connect(job, &TcpRawPrint::finished, this, [this](bool sent, const QString &outcome) {
        m_testPage->setEnabled(true);
        // The user asked for this page at this address: a failure is for them to act on.
        if (!sent)
            QMessageBox::warning(this, tr("Error"), outcome);
    });
}
