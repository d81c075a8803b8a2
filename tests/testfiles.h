#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Bytes that are not the same throughout, so a piece lost, doubled or shifted shows.
inline QByteArray patternBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

// A local file of patternBytes(size) in dir; its path, or empty when it cannot be written.
inline QString writeLocalFile(const QTemporaryDir &dir, const QString &name, int size)
{
    QFile f(dir.filePath(name));
    return f.open(QIODevice::WriteOnly) && f.write(patternBytes(size)) == size ? f.fileName() : QString();
}
