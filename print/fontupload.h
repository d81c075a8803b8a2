#pragma once

#include <QByteArray>
#include <QMetaObject>
#include <QObject>

// One file going up to the printer: BeginFileUpload, then, once the printer takes it, the
// raw file bytes in blocks with one block in flight, then CommitFileUpload with the file's
// MD5 digest. The next block goes out when the link has reported the whole of the last one
// written, so the pace is the link's. A job serves one file; whoever runs it shows what its
// signals tell.
class FontUpload : public QObject
{
    Q_OBJECT

public:
    enum State { Idle, Requested, Streaming, Committed, Refused, Cancelled };
    Q_ENUM(State)
    static constexpr int BlockSize = 4080; // 255 cipher blocks' worth

    explicit FontUpload(QObject *parent = nullptr);
    // A job still running is abandoned: no further block, no commit, no signal.
    ~FontUpload() override;

    // Asks the printer to take data under path (at most 127 bytes, so its field keeps a
    // terminating zero). False, with nothing sent, for empty data or a job already begun.
    bool start(const QByteArray &path, const QByteArray &data);
    // No further block and no commit.
    void cancel();

    State state() const { return m_state; }
    bool running() const { return m_state == Requested || m_state == Streaming; }
    // The file's byte count while the job runs; 0 once it has ended.
    quint32 size() const { return quint32(m_data.size()); }

public slots:
    // Picks the printer's answer to BeginFileUpload out of all responses.
    void handleResponse(QByteArray response);

signals:
    // How much of the file the link has written; 0 when the printer has taken the request.
    void progress(quint32 written, quint32 size);
    // Committed, Refused or Cancelled.
    void finished(FontUpload::State outcome);

private:
    void onBytesWritten(qint64 bytes);
    void sendNextBlock();
    void finish(State outcome);

    State m_state = Idle;
    QByteArray m_path;
    QByteArray m_data;
    quint32 m_written = 0;
    // Where the block last handed to the link ends: a link that reports a block in parts
    // gets the next one only when the whole of it is written.
    quint32 m_blockEnd = 0;
    QMetaObject::Connection m_reports;
};
