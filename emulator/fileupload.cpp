#include "emulator/fileupload.h"

#include <algorithm>

FileUpload::FileUpload(const QByteArray &path, quint32 size)
    : m_path(path)
    , m_size(size)
{
}

quint32 FileUpload::take(const char *data, quint32 length)
{
    const quint32 n = std::min(length, m_size - m_received);
    if (n == 0)
        return 0;
    m_md5.addData(data, int(n));
    if (m_kept && qint64(m_data.size()) + n <= MaxKept) {
        m_data.append(data, int(n));
    } else if (m_kept) {
        m_kept = false;
        m_data.clear();
        m_data.squeeze();
    }
    m_received += n;
    return n;
}

QByteArray FileUpload::digest() const
{
    return m_md5.result();
}
