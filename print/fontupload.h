#pragma once

#include <QByteArray>
#include <QMetaObject>
#include <QObject>

class QTimer;

// One file going up to the printer: BeginFileUpload, then, once the printer takes it, the
// raw file bytes in blocks with one block in flight, then CommitFileUpload with the file's
// MD5 digest. The next block goes out when the link has reported the whole of the last one
// written, so the pace is the link's. A job serves one file; whoever runs it shows what its
// signals tell.
class FontUpload : public QObject
{
    Q_OBJECT

public:
    // Restarting: cancelled, the link being closed and opened again. Cancelled: the printer's
    // session ended, and the partial file with it; CancelledLinkDown: the link did not come
    // back after the cancel.
    enum State { Idle, Requested, Streaming, Restarting, Committed, Refused, Cancelled, CancelledLinkDown };
    Q_ENUM(State)
    static constexpr int BlockSize = 4080; // 255 cipher blocks' worth
    // A closed link is opened again this long after, so that the printer has seen it end
    // (and a device node is free again); an opening refused at once is tried again as often.
    static constexpr int RestartPauseMs = 300;
    static constexpr int RestartAttempts = 10;

    explicit FontUpload(QObject *parent = nullptr);
    // A job still running is abandoned.
    ~FontUpload() override;

    // Asks the printer to take data under path (at most 127 bytes, so its field keeps a
    // terminating zero). False, with nothing sent, for empty data or a job already begun.
    bool start(const QByteArray &path, const QByteArray &data);
    // No further block and no commit. A printer in the middle of reading the file's bytes
    // takes whatever comes next as more of them, so the link is closed and opened again:
    // the printer drops the partial file with the session. Not needed when the link was
    // lost since the job began.
    void cancel();
    // No further block and no commit, and nothing more: for a job that stalled on a link
    // that was lost. No signal.
    void abandon();

    State state() const { return m_state; }
    bool running() const { return m_state == Requested || m_state == Streaming || m_state == Restarting; }
    // The file's byte count, and how much of it the link has reported written.
    quint32 size() const { return m_size; }
    quint32 written() const { return m_written; }

public slots:
    // Picks the printer's answer to BeginFileUpload out of all responses.
    void handleResponse(QByteArray response);

signals:
    // How much of the file the link has written; 0 when the printer has taken the request.
    void progress(quint32 written, quint32 size);
    // Committed, Refused, Cancelled or CancelledLinkDown.
    void finished(FontUpload::State outcome);

private:
    void onBytesWritten(qint64 bytes);
    void sendNextBlock();
    void reopenLink();
    void finish(State outcome);

    State m_state = Idle;
    QByteArray m_path;
    QByteArray m_data;
    quint32 m_size = 0;
    quint32 m_written = 0;
    // Where the block last handed to the link ends: a link that reports a block in parts
    // gets the next one only when the whole of it is written.
    quint32 m_blockEnd = 0;
    // The link was lost while the job ran: the printer's session, and the file, are gone.
    bool m_sessionEnded = false;
    int m_reopenAttempts = 0;
    QTimer *m_reopenTimer;
    QMetaObject::Connection m_reports;
    QMetaObject::Connection m_lost;
    QMetaObject::Connection m_back;
    QMetaObject::Connection m_notBack;
};
