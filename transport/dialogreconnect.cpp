#include "transport/dialogreconnect.h"

#include "transport/tcpprinter.h"
#include "transport/transceiver.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DialogReconnect::DialogReconnect(const QHostAddress &address, QWidget *parent)
    : QDialog(parent)
    , m_cancel(new QPushButton(tr("&Cancel"), this))
    , m_address(address)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Reconnecting to %1...").arg(m_address.toString()), this));
    layout->addLayout(buttons);

    connect(m_cancel, &QPushButton::clicked, this, &DialogReconnect::doCancel);
    // Queued: the state changes that attempt() itself causes are seen after it returns.
    connect(g_transceiver->tcpPrinter(), &TcpPrinter::stateChanged, this,
            &DialogReconnect::onStateChanged, Qt::QueuedConnection);
    attempt();
}

QSize DialogReconnect::sizeHint() const
{
    return QSize(300, 5);
}

void DialogReconnect::attempt()
{
    g_transceiver->close();
    g_transceiver->connectTcp(m_address);
}

void DialogReconnect::doCancel()
{
    m_done = true;
    g_transceiver->close();
    reject();
}

void DialogReconnect::onStateChanged(QAbstractSocket::SocketState state)
{
    // Once cancelled or connected, a late state change starts nothing.
    if (m_done)
        return;
    switch (state) {
    case QAbstractSocket::UnconnectedState:
        attempt();
        break;
    case QAbstractSocket::ConnectedState:
        m_done = true;
        reject();
        break;
    default:
        break;
    }
}
