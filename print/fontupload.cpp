#include "print/fontupload.h"

#include "protocol/bytefields.h"
#include "protocol/filerecord.h"
#include "protocol/hostcmd.h"
#include "transport/transceiver.h"

FontUpload::FontUpload(QObject *parent)
    : QObject(parent)
{
    // The outcome may travel in queued signals.
    qRegisterMetaType<FontUpload::State>();
    // Queued: the USB reader thread emits responses, and this job lives on the GUI thread.
    connect(&g_hostCmd, &HostCmd::responseReceived, this, &FontUpload::handleResponse, Qt::QueuedConnection);
}

FontUpload::~FontUpload()
{
    disconnect(m_reports);
}

bool FontUpload::start(const QByteArray &path, const QByteArray &data)
{
    if (m_state != Idle || data.isEmpty())
        return false;
    m_path = path;
    m_data = data;
    m_state = Requested;
    g_hostCmd.BeginFileUpload(m_path, size());
    return true;
}

void FontUpload::cancel()
{
    if (running())
        finish(Cancelled);
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
    if (m_written >= size()) {
        g_hostCmd.CommitFileUpload(m_path, size(), FileRecord::md5(m_data));
        finish(Committed);
        return;
    }
    if (m_written < m_blockEnd) {
        emit progress(m_written, size()); // the rest of the block in flight is still to come
        return;
    }
    sendNextBlock();
}

void FontUpload::sendNextBlock()
{
    const quint32 offset = m_written;
    const quint32 length = qMin(quint32(BlockSize), size() - offset);
    // Noted first: a receiver showing progress in a modal dialog lets events through, and
    // may cancel the job, while the signal is out.
    m_blockEnd = offset + length;
    emit progress(offset, size());
    if (m_state == Streaming && g_transceiver)
        g_transceiver->write(m_data.constData() + offset, length, HostCmd::WriteTimeoutMs);
}

void FontUpload::finish(State outcome)
{
    disconnect(m_reports);
    m_state = outcome;
    m_data.clear();
    emit finished(outcome);
}
