#pragma once

#include <QByteArray>
#include <QCryptographicHash>

// One file upload on one connection, from the BeginFileUpload the printer accepted: the
// raw bytes that follow it, up to the stated size, with their running MD5 digest. The
// bytes are kept as they arrive, so a stated size costs nothing up front; beyond MaxKept
// they are only digested, and such a file cannot be installed.
class FileUpload
{
public:
    static constexpr int MaxKept = 64 * 1024 * 1024;

    FileUpload(const QByteArray &path, quint32 size);

    const QByteArray &path() const { return m_path; }
    quint32 size() const { return m_size; }
    quint32 received() const { return m_received; }
    bool isComplete() const { return m_received == m_size; }

    // Takes as many of the bytes as are still missing; returns how many it took.
    quint32 take(const char *data, quint32 length);

    // The MD5 digest of the bytes received so far.
    QByteArray digest() const;
    // The bytes received, when none went past MaxKept.
    bool isKept() const { return m_kept; }
    const QByteArray &data() const { return m_data; }

private:
    QByteArray m_path;
    quint32 m_size;
    quint32 m_received = 0;
    bool m_kept = true;
    QByteArray m_data;
    QCryptographicHash m_md5{QCryptographicHash::Md5};
};
