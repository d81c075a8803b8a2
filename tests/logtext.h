#pragma once

#include "app/log.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// What the log file at path holds so far: closed to flush it, read, and opened again.
inline QByteArray logTextSoFar(const QString &path)
{
    logClose();
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray text = f.readAll();
    logOpen(path);
    return text;
}
