#pragma once

// Payloads laid out by hand, so that a wrong offset in the code under test shows.
#include <QByteArray>

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

inline QByteArray word(quint16 w)
{
    return QByteArray(1, char(w & 0xff)) + char(w >> 8);
}

// A zeroed record or answer of the given size behind its word.
inline QByteArray record(quint16 w, int size)
{
    return word(w).leftJustified(size, '\0', true);
}

inline void place(QByteArray &bytes, int offset, const QByteArray &value)
{
    bytes.replace(offset, value.size(), value);
}

// The 56-byte device record: texts at 0, 16 and 32.
inline QByteArray deviceRecord(const QByteArray &project, const QByteArray &model, const QByteArray &sn)
{
    QByteArray r(56, '\0');
    place(r, 0, project);
    place(r, 16, model);
    place(r, 32, sn);
    return r;
}
