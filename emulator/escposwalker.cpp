#include "emulator/escposwalker.h"

namespace {
constexpr uchar Gs = 0x1D;
} // namespace

EscPosWalker::EscPosWalker(const QByteArray &stream)
    : m_stream(stream)
    , m_bytes(reinterpret_cast<const uchar *>(m_stream.constData()))
{
}

quint16 EscPosWalker::u16(qint64 at) const
{
    return quint16(m_bytes[at] | m_bytes[at + 1] << 8);
}

bool EscPosWalker::next(Command *command)
{
    const uchar *b = m_bytes;
    const qint64 n = m_stream.size();
    while (m_at < n) {
        const qint64 i = m_at;
        if (b[i] != Gs) {
            ++m_at;
            continue;
        }
        if (i + 1 >= n) {
            m_cutHeader = m_cutHeader < 0 ? i : m_cutHeader;
            break;
        }
        const uchar c = b[i + 1];
        Command found;
        found.start = i;
        if (c == '(' && i + 4 < n) {
            found.kind = Kind::Function;
            found.header = 5;
            found.length = u16(i + 3);
            found.letter = char(b[i + 2]);
        } else if (c == '8' && i + 6 < n && b[i + 2] == 'L') {
            found.kind = Kind::Long;
            found.header = 7;
            found.length = qint64(u16(i + 3)) | qint64(u16(i + 5)) << 16;
            found.letter = 'L';
        } else if (c == 'v' && i + 7 < n && b[i + 2] == '0') {
            found.kind = Kind::Raster;
            found.header = 8;
            found.length = qint64(u16(i + 4)) * u16(i + 6);
            found.letter = '0';
        } else {
            // A header the end cuts: remembered, but its bytes are still looked through,
            // as they may be anything.
            const bool cut = (c == '(' && i + 4 >= n) || (c == '8' && i + 6 >= n && (i + 2 >= n || b[i + 2] == 'L'))
                             || (c == 'v' && i + 7 >= n && (i + 2 >= n || b[i + 2] == '0'));
            if (cut && m_cutHeader < 0)
                m_cutHeader = i;
            ++m_at;
            continue;
        }
        m_at = found.end();
        *command = found;
        return true;
    }
    return false;
}
