#pragma once

#include <QIODevice>
#include <QTimer>

class QSocketNotifier;

// The master end of a pseudo-terminal as a QIODevice, in raw mode: what the tool writes to
// the slave end arrives here, what is written here the tool reads. It tells when the slave
// end is opened and closed (the master reports a hang-up while no one holds the slave).
class PtyDevice : public QIODevice
{
    Q_OBJECT

public:
    explicit PtyDevice(QObject *parent = nullptr);
    ~PtyDevice() override;

    // Creates the pseudo-terminal; false, with errorString(), when it cannot.
    bool openPty();
    // The slave end's path, for example /dev/pts/3.
    QString slaveName() const { return m_slaveName; }
    bool slaveIsOpen() const { return m_slaveOpen; }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    // Closes the master: to the tool the printer is unplugged for good.
    void close() override;

signals:
    void slaveOpened();
    void slaveClosed();

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    void checkSlave();

    int m_master = -1;
    QString m_slaveName;
    bool m_slaveOpen = false;
    QSocketNotifier *m_notifier = nullptr;
    // While the slave is closed the master is always readable (hang-up), so the notifier
    // sleeps and a timer watches for the next open.
    QTimer m_watch;
};
