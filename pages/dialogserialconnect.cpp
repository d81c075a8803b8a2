#include "pages/dialogserialconnect.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

DialogSerialConnect::DialogSerialConnect(QWidget *parent)
    : QDialog(parent)
    , m_port(new QComboBox(this))
    , m_ok(new QPushButton(tr("&OK"), this))
    , m_cancel(new QPushButton(tr("C&ancel"), this))
{
    setWindowTitle(tr("Select a Port to Connect"));

    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports)
        m_port->addItem(tr("%1 (%2)").arg(port.description(), port.portName()), port.portName());
    // A path opens as it stands; the system knows nothing to describe it by.
    const QStringList extra =
        qEnvironmentVariable("ZOMRA_SERIAL_PORTS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &path : extra)
        m_port->addItem(tr("%1 (%2)").arg(QFileInfo(path).fileName(), path), path);

    auto *form = new QFormLayout;
    form->addRow(tr("&Port Name:"), m_port);
    auto *buttons = new QHBoxLayout;
    buttons->setDirection(QBoxLayout::RightToLeft);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_ok);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &DialogSerialConnect::doOk);
    connect(m_cancel, &QPushButton::clicked, this, &DialogSerialConnect::doCancel);
}

QSize DialogSerialConnect::sizeHint() const
{
    return QSize(240, 5);
}

void DialogSerialConnect::doOk()
{
    // No port on this workstation: only Cancel leaves.
    if (m_port->currentText().isEmpty())
        return;
    m_portName = m_port->currentData().toString();
    accept();
}

void DialogSerialConnect::doCancel()
{
    m_portName.clear();
    reject();
}
