#pragma once

#include <QObject>
#include <QString>

// Where the outcome of a user's action is told: one line in the main window's status bar,
// beside the link state, and the same line in the log ("Test page sent to ...", "NV image
// "A1" stored"). An outcome the user must act on also gets a message box from whoever
// reports it; the line is the record of every outcome, silent or not.
class Activity : public QObject
{
    Q_OBJECT

public:
    static Activity &instance();
    // Logs the text (as UTF-8) and shows it; callable only on the GUI thread.
    static void report(const QString &text);
    // The last text reported; empty before the first.
    static QString last() { return instance().m_last; }

signals:
    void reported(const QString &text);

private:
    Activity() = default;
    QString m_last;
};
