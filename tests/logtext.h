#pragma once

#include "app/log.h"

#include <QFile>

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What the log file at path holds so far: closed to flush it, read, and opened again.
inline QByteArray logTextSoFar(const QString &path)
{
    logClose();
    const QByteArray text = fileBytes(path);
    logOpen(path);
    return text;
}
