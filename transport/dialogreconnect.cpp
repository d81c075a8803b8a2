#include "transport/dialogreconnect.h"

#include "transport/transceiver.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

DialogReconnect::DialogReconnect(const QHostAddress &address, QWidget *parent)
    : QDialog(parent)
    , m_cancel(new QPushButton(tr("&Cancel"), this))
    , m_progress(new QLabel(this))
    , m_retry(new QTimer(this))
    , m_clock(new QTimer(this))
    , m_address(address)
{
    m_sinceLost.start();
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Reconnecting to %1...").arg(m_address.toString()), this));
    layout->addLayout(buttons);

    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, &DialogReconnect::attempt);
    connect(m_clock, &QTimer::timeout, this, &DialogReconnect::showProgress);
    m_clock->start(1000);
    connect(m_cancel, &QPushButton::clicked, this, &DialogReconnect::doCancel);
    // Done once the printer is announced, not when its socket connects: a printer that takes
    // the connection and drops it, or never answers the handshake, is not back yet. Direct,
    // so the dialog is gone before the window reloads. Failures queued, so the close() and
    // connectTcp() of the next attempt never run inside the link's own signal.
    connect(g_transceiver, &Transceiver::connected, this, &DialogReconnect::onAnnounced);
    connect(g_transceiver, &Transceiver::connectFailed, this, &DialogReconnect::onAttemptFailed,
            Qt::QueuedConnection);
    attempt();
}

QSize DialogReconnect::sizeHint() const
{
    return QSize(300, 5);
}

int DialogReconnect::retryDelayMs(int failures)
{
    constexpr int FirstMs = 500;
    constexpr int LongestMs = 5000;
    if (failures <= 0)
        return 0;
    return qMin(LongestMs, FirstMs << qMin(failures - 1, 4));
}

void DialogReconnect::attempt()
{
    if (m_done)
        return;
    ++m_attempts;
    showProgress();
    g_transceiver->close();
    // Refused while the old socket is still closing: that counts as a failed attempt too.
    if (!g_transceiver->connectTcp(m_address))
        onAttemptFailed();
}

void DialogReconnect::onAttemptFailed()
{
    if (!m_done)
        m_retry->start(retryDelayMs(m_attempts));
}

void DialogReconnect::showProgress()
{
    m_progress->setText(tr("Attempt %1, link lost %2 s ago")
                            .arg(m_attempts)
                            .arg(m_sinceLost.elapsed() / 1000));
}

void DialogReconnect::doCancel()
{
    m_done = true;
    m_retry->stop();
    g_transceiver->close();
    reject();
}

void DialogReconnect::onAnnounced()
{
    if (m_done)
        return;
    m_done = true;
    m_retry->stop();
    reject();
}
