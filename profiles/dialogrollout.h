#pragma once

#include "profiles/profile.h"
#include "profiles/rollout.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QPushButton;
class QTableWidget;

// Applies one profile to the printers picked in the connect dialog and shows each one's
// outcome as it comes: a row per printer, a progress line, Cancel while it runs. Each
// printer gets a Rollout of its own (its own link, several at once), so that Cancel can stop
// the ones not yet started while the running ones finish; with more than one printer the
// per-printer settings are taken out of the profile first and named above the table.
class DialogRollout : public QDialog
{
    Q_OBJECT

public:
    enum Column { ColumnAddress, ColumnSerial, ColumnResult };

    DialogRollout(const Profile &profile, const QString &profileName, const QList<Rollout::Printer> &printers,
                  QWidget *parent = nullptr);
    ~DialogRollout() override;

    QSize sizeHint() const override;

    // Starts the printers, a few at a time; each row shows its printer's outcome as it comes.
    void start();
    // Stops starting printers; those running finish.
    void cancel();
    // A printer is being worked on; a finished one starts the next, so none is when this is false.
    bool isRunning() const { return m_running > 0; }

    QTableWidget *table() const { return m_table; }
    QLabel *leftOutLabel() const { return m_leftOut; }
    QLabel *progressLabel() const { return m_progress; }
    QPushButton *closeButton() const { return m_close; }

public slots:
    // Escape and the window's close button cancel while it runs, rather than drop the links.
    void reject() override;

private:
    void startNext();
    void onFinished(int row, const Rollout::Result &result);
    void setResult(int row, const QString &text, bool failed);
    void showProgress();

    Profile m_profile;
    QList<Rollout::Printer> m_printers;
    int m_next = 0;
    int m_running = 0;
    int m_done = 0;
    bool m_cancelled = false;
    QLabel *m_leftOut;
    QTableWidget *m_table;
    QLabel *m_progress;
    QPushButton *m_close;
};
