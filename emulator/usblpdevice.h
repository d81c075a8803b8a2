#pragma once

#include <QIODevice>
#include <QString>

// A printer-class device node as the kernel's usblp driver makes it, served by a FUSE file
// system of its own: the file lp0 in the mount is the node the tool opens, this object is
// the printer's end of it. Bytes the tool writes arrive here only when their transfer has
// ended; bytes written here are what the tool's reads return, one write per read (a
// transfer), with the driver's answers: a zero-length read for a zero-length packet, EIO for
// a failed transfer, ENODEV once unplugged, EAGAIN when nothing is there. A write takes at
// most one transfer (TransferSize bytes) and returns at once; the next gets EAGAIN and
// poll() no POLLOUT until that transfer has ended, after transferMs, or never while
// stalled. One open at a time, as usblp allows (EBUSY); a close drops a transfer still under
// way. The file control beside lp0 takes the faults at run time, one command per line:
// "unplug", "eio N", "zlp N", "stall", "resume", "transfer-ms N",
// "refuse-open EACCES|EBUSY|none". Faults injected and not yet met outlive a close.
//
// The file system runs on a thread of its own and never waits for this object's thread, so
// the process that serves the node may also open it.
class UsblpDevice : public QIODevice
{
    Q_OBJECT

public:
    static constexpr int TransferSize = 8192;

    struct Faults
    {
        int transferMs = 0;   // how long a transfer takes to end once queued
        bool stalled = false; // transfers do not end (paper out) until this is cleared
        int eioEvery = 0;     // every Nth read that would bring data fails with EIO first; 0: none
        int zlpEvery = 0;     // a zero-length packet before every Nth write here; 0: none
        int refuseOpen = 0;   // the errno every open gets (EACCES, EBUSY), whoever asks; 0: none
    };
    // What the tool did to the node.
    struct Counters
    {
        int opens = 0;
        qint64 transferred = 0;    // bytes of transfers that ended
        qint64 droppedAtClose = 0; // bytes of a transfer still under way at a close
    };

    explicit UsblpDevice(QObject *parent = nullptr);
    // Unmounts.
    ~UsblpDevice() override;

    // Mounts the file system on mountPoint, an existing folder; false, with errorString(),
    // where FUSE is missing or mounting is not permitted. A process killed before the
    // destructor leaves a dead mount (every access fails at once) for umount -l.
    bool mount(const QString &mountPoint);
    QString nodePath() const;

    Faults faults() const;
    void setFaults(const Faults &faults);
    void injectReadErrors(int count);       // the next count reads fail with EIO
    void injectZeroLengthPackets(int count); // count zero-length packets before what comes next
    // The printer is pulled out: the node goes, every read and write on it fails with ENODEV
    // and poll() reports a hang-up. For good.
    void unplug();
    Counters counters() const;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    // Unplugs.
    void close() override;

    struct Fs; // the file system's side, in the .cpp

signals:
    void hostOpened();
    void hostClosed();
    void unplugged();
    void logLine(QString line);

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    // Runs what the file system's thread posted, on this object's thread.
    Q_INVOKABLE void runPosted();

    Fs *m_fs;
    bool m_unplugSignalled = false;
};
