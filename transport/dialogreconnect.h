#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QHostAddress>

class QLabel;
class QPushButton;
class QTimer;

// Shown while a lost network link is retried: tries the printer's address again after each
// failed attempt, at once and then less and less often, and closes as soon as the printer
// is announced again or when the user gives up.
class DialogReconnect : public QDialog
{
    Q_OBJECT

public:
    DialogReconnect(const QHostAddress &address, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    int attempts() const { return m_attempts; }
    // The pause before the next attempt after `failures` failed ones, in ms: a printer that
    // is booting is found within the longest pause, and one that stays off costs nothing.
    static int retryDelayMs(int failures);

public slots:
    void doCancel();
    void onAnnounced();

private:
    void attempt();
    void onAttemptFailed();
    void showProgress();

    QPushButton *m_cancel;
    QLabel *m_progress;
    QTimer *m_retry;
    QTimer *m_clock;
    QElapsedTimer m_sinceLost;
    QHostAddress m_address;
    int m_attempts = 0;
    bool m_done = false;
};
