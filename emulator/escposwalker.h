#pragma once

#include <QByteArray>

// Steps through an ESC/POS stream by the stated lengths of the commands that carry blocks
// of data (GS ( x, GS 8 L, GS v 0), so that image bytes are never read as commands. All
// other bytes are passed over one at a time. Never reads past the stream, whatever the
// lengths say.
class EscPosWalker
{
public:
    enum class Kind {
        Function, // GS ( x pL pH, then pL + 256 pH bytes
        Long,     // GS 8 L p1 p2 p3 p4, then a 32-bit count of bytes
        Raster,   // GS v 0 m xL xH yL yH, then x bytes a row, y rows
    };
    struct Command
    {
        Kind kind = Kind::Function;
        qint64 start = 0;  // offset of the GS
        qint64 header = 0; // bytes up to the stated length's end: 5, 7 or 8
        qint64 length = 0; // bytes the header says follow it
        char letter = 0;   // Function: the x of GS ( x; Long: 'L'; Raster: '0'
        qint64 body() const { return start + header; }
        qint64 end() const { return start + header + length; }
    };

    explicit EscPosWalker(const QByteArray &stream);

    // The next command; also one whose data the end of the stream cuts short, after which
    // the walk is over. False when no command is left.
    bool next(Command *command);
    bool isComplete(const Command &command) const { return command.end() <= m_stream.size(); }

    // Once the walk is over: the offset of a GS that starts one of those commands with its
    // header cut by the end of the stream, or -1.
    qint64 cutHeader() const { return m_cutHeader; }

    quint16 u16(qint64 at) const;

private:
    const QByteArray m_stream;
    const uchar *m_bytes;
    qint64 m_at = 0;
    qint64 m_cutHeader = -1;
};
