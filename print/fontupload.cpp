#include "print/fontupload.h"

#include "protocol/bytefields.h"
#include "protocol/filerecord.h"
#include "protocol/hostcmd.h"
#include "transport/transceiver.h"

#include <QTimer>

FontUpload::FontUpload(QObject *parent)
    : QObject(parent)
    , m_reopenTimer(new QTimer(this))
{
    // The outcome may travel in queued signals.
    qRegisterMetaType<FontUpload::State>();
    // Queued: the USB reader thread emits responses, and this job lives on the GUI thread.
    connect(&g_hostCmd, &HostCmd::responseReceived, this, &FontUpload::handleResponse, Qt::QueuedConnection);
    m_reopenTimer->setSingleShot(true);
    connect(m_reopenTimer, &QTimer::timeout, this, &FontUpload::reopenLink);
}

FontUpload::~FontUpload()
{
    abandon();
}

void FontUpload::abandon()
{
    for (const QMetaObject::Connection &c : {m_reports, m_lost, m_back, m_notBack})
        disconnect(c);
    m_reopenTimer->stop();
    // Between closing the link and opening it again: opened now, not left closed.
    if (m_state == Restarting && g_transceiver && g_transceiver->linkType() == Transceiver::LinkNone)
        g_transceiver->reopen();
    if (running())
        m_state = Idle;
    m_data.clear();
}

bool FontUpload::start(const QByteArray &path, const QByteArray &data)
{
    if (m_state != Idle || data.isEmpty())
        return false;
    m_path = path;
    m_data = data;
    m_size = quint32(data.size());
    m_state = Requested;
    if (g_transceiver)
        m_lost = connect(g_transceiver, &Transceiver::disconnected, this, [this] { m_sessionEnded = true; });
    g_hostCmd.BeginFileUpload(m_path, m_size);
    return true;
}

void FontUpload::cancel()
{
    if (m_state != Requested && m_state != Streaming)
        return;
    disconnect(m_reports);
    disconnect(m_lost);
    if (m_sessionEnded || !g_transceiver) {
        finish(Cancelled);
        return;
    }
    m_state = Restarting;
    m_data.clear();
    // Queued, so that whoever shows the outcome does not do it inside the link's own signal;
    // checked, since a call queued before the job ended still arrives.
    m_back = connect(g_transceiver, &Transceiver::connected, this, [this] {
        if (m_state == Restarting)
            finish(Cancelled);
    }, Qt::QueuedConnection);
    m_notBack = connect(g_transceiver, &Transceiver::connectFailed, this, [this] {
        if (m_state == Restarting)
            finish(CancelledLinkDown);
    }, Qt::QueuedConnection);
    g_transceiver->close();
    m_reopenAttempts = 0;
    m_reopenTimer->start(RestartPauseMs);
}

void FontUpload::reopenLink()
{
    if (m_state != Restarting || g_transceiver->reopen())
        return; // the announcement, or the attempt's failure, tells the rest
    if (++m_reopenAttempts < RestartAttempts)
        m_reopenTimer->start(RestartPauseMs);
    else
        finish(CancelledLinkDown);
}

void FontUpload::handleResponse(QByteArray response)
{
    FileRecord answer;
    if (m_state != Requested || ByteFields::u16(response, 0) != HostCmdWord::BeginFileUpload
        || !FileRecord::decode(response, &answer))
        return;
    if (answer.status != 0) {
        finish(Refused); // the printer gives no reason
        return;
    }
    if (!g_transceiver)
        return;
    m_state = Streaming;
    m_reports = connect(g_transceiver, &Transceiver::bytesWritten, this, &FontUpload::onBytesWritten,
                        Qt::QueuedConnection);
    sendNextBlock();
}

void FontUpload::onBytesWritten(qint64 bytes)
{
    // Reports queued before the job ended still arrive; those after it are not the file's.
    if (m_state != Streaming || bytes <= 0)
        return;
    // Every report of the link counts while the job runs: nothing else may be written then.
    m_written += quint32(bytes);
    if (m_written >= m_size) {
        g_hostCmd.CommitFileUpload(m_path, m_size, FileRecord::md5(m_data));
        finish(Committed);
        return;
    }
    if (m_written < m_blockEnd) {
        emit progress(m_written, m_size); // the rest of the block in flight is still to come
        return;
    }
    sendNextBlock();
}

void FontUpload::sendNextBlock()
{
    const quint32 offset = m_written;
    const quint32 length = qMin(quint32(BlockSize), m_size - offset);
    // Noted first: a receiver showing progress in a modal dialog lets events through, and
    // may cancel the job, while the signal is out.
    m_blockEnd = offset + length;
    emit progress(offset, m_size);
    if (m_state == Streaming && g_transceiver)
        g_transceiver->write(m_data.constData() + offset, length, HostCmd::WriteTimeoutMs);
}

void FontUpload::finish(State outcome)
{
    for (const QMetaObject::Connection &c : {m_reports, m_lost, m_back, m_notBack})
        disconnect(c);
    m_reopenTimer->stop();
    m_state = outcome;
    m_data.clear();
    emit finished(outcome);
}
